// The prompt of a placeholder: which text, where in the frame, at which of the font sizes
// that fit, and drawing it (turned for a vertical label).

#include "graphics/LBGraphic.h"

#include "platform/drawing/GraphicsContext.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <tuple>

namespace {

// Space between the frame's sides (and its top or bottom edge) and the text.
constexpr double PromptInset = 3.0;

} // namespace

// "Courier New Bold" where it is installed; elsewhere the font configuration substitutes
// a bold monospaced face. The size is set in pixels, which are points on every page
// drawing surface (one unit of the page coordinates is one point), so the text neither
// grows with a device's resolution nor needs its own scaling.
QFont LBGraphic::placeholderFont(double fontSize)
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setBold(true);
    font.setPixelSize(qMax(1, qRound(fontSize)));
    // Unhinted, so the size measured is the size drawn at any zoom.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

std::pair<Qt::Alignment, LBGraphic::PlaceholderVerticalPlacement>
LBGraphic::placeholderLabelPlacement(qint64 position)
{
    using P = PlaceholderVerticalPlacement;
    switch (position) {
    case 1: return {Qt::AlignHCenter, P::Top};
    case 2: return {Qt::AlignHCenter, P::Bottom};
    case 3: return {Qt::AlignLeft, P::Middle};
    case 4: return {Qt::AlignRight, P::Middle};
    case 5: return {Qt::AlignLeft, P::Top};
    case 6: return {Qt::AlignRight, P::Top};
    case 7: return {Qt::AlignLeft, P::Bottom};
    case 8: return {Qt::AlignRight, P::Bottom};
    default: return {Qt::AlignHCenter, P::Middle}; // 0 and any unknown code
    }
}

QRectF LBGraphic::placeholderTextFrame(const QRectF& bounds, bool vertical)
{
    if (!vertical)
        return bounds;
    // A quarter turn about the centre: the sides swap, the centre stays.
    QRectF frame(0, 0, bounds.height(), bounds.width());
    frame.moveCenter(bounds.center());
    return frame;
}

QSizeF LBGraphic::measurePlaceholderText(const QString& text, double fontSize)
{
    const QFontMetricsF metrics(placeholderFont(fontSize));
    // Lines as the text breaks them itself; no wrapping.
    return metrics.boundingRect(QRectF(0, 0, 1e6, 1e6), Qt::AlignLeft | Qt::AlignTop, text).size();
}

LBGraphic::PlaceholderTextLayout
LBGraphic::placeholderTextLayout(const QString& label, qint64 position, bool vertical,
                                 const QRectF& bounds, const PlaceholderTextMeasure& measure)
{
    PlaceholderTextLayout layout;
    layout.text = label.isNull() ? defaultPlaceholderLabel() : label;
    // Prompts break their lines with carriage returns, which the text drawing does not.
    layout.text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    layout.text.replace(u'\r', u'\n');
    std::tie(layout.alignment, layout.placement) = placeholderLabelPlacement(position);
    layout.vertical = vertical;
    layout.frame = placeholderTextFrame(bounds, vertical);

    const QRectF& frame = layout.frame;
    QRectF textRect(frame.x() + PromptInset, frame.y(), frame.width() - 2 * PromptInset,
                    frame.height());

    // The largest size whose text is narrower than the text rectangle and lower than the
    // frame; the smallest when none is.
    for (double fontSize : PlaceholderFontSizes) {
        layout.fontSize = fontSize;
        layout.textSize = measure ? measure(layout.text, fontSize)
                                  : measurePlaceholderText(layout.text, fontSize);
        if (layout.textSize.width() < textRect.width() && layout.textSize.height() < frame.height())
            break;
    }

    const double textHeight = layout.textSize.height();
    switch (layout.placement) {
    case PlaceholderVerticalPlacement::Top: textRect.moveTop(frame.y() + PromptInset); break;
    case PlaceholderVerticalPlacement::Bottom:
        textRect.moveTop(frame.y() + frame.height() - PromptInset - textHeight);
        break;
    case PlaceholderVerticalPlacement::Middle:
        textRect.moveTop(frame.y() + (frame.height() - textHeight) / 2);
        break;
    }
    layout.textRect = textRect;
    return layout;
}

LBGraphic::PlaceholderTextLayout LBGraphic::placeholderTextLayout() const
{
    return placeholderTextLayout(_placeholderLabel, _placeholderLabelPosition,
                                 _placeholderLabelIsVertical, bounds());
}

void LBGraphic::drawPlaceholderText() const
{
    if (!_isPlaceholder || !_drawPlaceholderText)
        return;
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter* painter = context->painter();
    const PlaceholderTextLayout layout = placeholderTextLayout();

    context->saveGraphicsState();
    if (layout.vertical) {
        // The graphic's transform for its bounds with a turn of -90 degrees and no
        // mirrors: the turned frame comes back onto the bounds, the text running upwards.
        const QPointF center = bounds().center();
        QTransform turn;
        turn.translate(center.x(), center.y());
        turn.rotate(-90.0);
        turn.translate(-center.x(), -center.y());
        painter->setTransform(turn, true);
    }
    painter->setFont(placeholderFont(layout.fontSize));
    painter->setPen(_placeholderLabelColor);
    painter->drawText(layout.textRect, int(layout.alignment | Qt::AlignTop | Qt::TextWordWrap),
                      layout.text);
    context->restoreGraphicsState();
}
