#include "controls/DSClickableURLTextField.h"

#include "platform/core/Range.h"
#include "platform/core/Strings.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/OpenUrl.h"
#include "platform/ui/Pasteboard.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <cfloat>

using namespace platform;

DSClickableURLTextFieldDelegate::~DSClickableURLTextFieldDelegate() = default;

DSClickableURLTextField::DSClickableURLTextField(QWidget* parent)
    : QWidget(parent), _opener([this](const QUrl& url) { platform::openUrl(url, window()); })
{
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

DSClickableURLTextField::~DSClickableURLTextField()
{
    _layoutManager.reset();
    _storage.reset();
}

void DSClickableURLTextField::setAttributedStringValue(const AttributedString& value)
{
    if (_storage)
        _storage->setAttributedString(value);
    _value = value;
    unsetCursor();
    update();
}

void DSClickableURLTextField::setStringValue(const QString& value)
{
    setAttributedStringValue(AttributedString(value));
}

QRectF DSClickableURLTextField::textRect() const
{
    return QRectF(rect());
}

void DSClickableURLTextField::ensureTextSystem()
{
    if (_storage)
        return;
    const QRectF text = textRect();
    _storage = std::make_unique<TextStorage>(_value);
    _layoutManager = std::make_unique<LayoutManager>();
    auto container = std::make_unique<TextContainer>(QSizeF(text.width(), FLT_MAX));
    container->setLineFragmentPadding(2);
    _layoutManager->setTextContainer(std::move(container));
    _storage->addLayoutManager(_layoutManager.get());
}

void DSClickableURLTextField::resizeEvent(QResizeEvent*)
{
    if (_layoutManager)
        _layoutManager->textContainer()->setContainerSize(QSizeF(textRect().width(), FLT_MAX));
}

QUrl DSClickableURLTextField::urlFromLink(const QVariant& link)
{
    if (link.canConvert<QUrl>() && link.metaType() == QMetaType::fromType<QUrl>())
        return link.toUrl();
    if (link.metaType() == QMetaType::fromType<QString>())
        return QUrl(link.toString());
    return QUrl();
}

QList<QRectF> DSClickableURLTextField::rectsForRange(qsizetype location, qsizetype length)
{
    QList<QRectF> rects;
    const QRectF text = textRect();
    for (const QRectF& glyphs : _layoutManager->rectArrayForCharacterRange(
             Range(location, length), _layoutManager->textContainer())) {
        const QRectF placed = glyphs.translated(text.topLeft()) & text;
        if (!placed.isEmpty())
            rects.append(placed);
    }
    return rects;
}

QList<QRectF> DSClickableURLTextField::cursorRects()
{
    QList<QRectF> rects;
    if (_value.isEmpty())
        return rects;
    ensureTextSystem();
    const QRectF visible =
        visibleRegion().isEmpty() ? QRectF(rect()) : QRectF(visibleRegion().boundingRect());
    qsizetype index = 0;
    const qsizetype length = _value.length();
    while (index < length) {
        Range run;
        const QVariant link =
            _value.attribute(LinkAttributeName, index, &run, Range(index, length - index));
        if (run.length <= 0)
            break;
        if (link.isValid()) {
            for (const QRectF& rect : rectsForRange(run.location, run.length)) {
                const QRectF shown = rect & visible;
                if (!shown.isEmpty())
                    rects.append(shown);
            }
        }
        index = run.location + run.length;
    }
    return rects;
}

QUrl DSClickableURLTextField::urlAtPoint(const QPointF& point)
{
    const QRectF text = textRect();
    if (_value.isEmpty() || !text.contains(point))
        return QUrl();
    ensureTextSystem();
    // The glyph nearest the point.
    const QPointF inContainer = point - text.topLeft();
    const TextContainer* container = _layoutManager->textContainer();
    const Range glyphs = _layoutManager->glyphRangeForTextContainer(container);
    qsizetype nearest = -1;
    qreal best = 0;
    for (qsizetype g = glyphs.location; g < glyphs.location + glyphs.length; ++g) {
        const QRectF box = _layoutManager->boundingRectForGlyphRange(Range(g, 1), container);
        const qreal dx =
            qMax<qreal>(0, qMax(box.left() - inContainer.x(), inContainer.x() - box.right()));
        const qreal dy =
            qMax<qreal>(0, qMax(box.top() - inContainer.y(), inContainer.y() - box.bottom()));
        const qreal distance = dx * dx + dy * dy;
        if (nearest < 0 || distance < best) {
            nearest = g;
            best = distance;
        }
    }
    if (nearest < 0)
        return QUrl();
    const qsizetype character = _layoutManager->characterIndexForGlyphAtIndex(nearest);
    const qsizetype length = _value.length();
    if (character < 0 || character >= length)
        return QUrl();
    Range run;
    const QVariant link =
        _value.attribute(LinkAttributeName, character, &run, Range(character, length - character));
    if (!link.isValid())
        return QUrl();
    for (const QRectF& rect : rectsForRange(run.location, run.length)) {
        if (rect.contains(point))
            return urlFromLink(link);
    }
    return QUrl();
}

void DSClickableURLTextField::mouseDownAt(const QPointF& point)
{
    _pressedURL = urlAtPoint(point);
}

void DSClickableURLTextField::mouseUpAt(const QPointF& point)
{
    const QUrl url = urlAtPoint(point);
    if (!url.isEmpty() && url == _pressedURL) {
        if (!(_delegate && _delegate->textFieldOpenURL(this, url)) && _opener)
            _opener(url);
    }
    _pressedURL.clear();
}

QMenu* DSClickableURLTextField::menuForPoint(const QPointF& point)
{
    if (!_canCopyURLs)
        return nullptr;
    const QUrl url = urlAtPoint(point);
    if (url.isEmpty())
        return nullptr;
    auto* menu = new QMenu(QStringLiteral("Copy URL"), this);
    QAction* copy = menu->addAction(
        LocalizedString(QStringLiteral("Copy URL"), QStringLiteral("Miscellaneous")));
    copy->setData(url);
    connect(copy, &QAction::triggered, this, [url] { copyURL(url); });
    return menu;
}

void DSClickableURLTextField::copyURL(const QUrl& url)
{
    auto* data = new QMimeData;
    data->setUrls({url});
    data->setText(url.toString());
    QGuiApplication::clipboard()->setMimeData(data);
}

void DSClickableURLTextField::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        mouseDownAt(event->position());
}

void DSClickableURLTextField::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        mouseUpAt(event->position());
}

void DSClickableURLTextField::mouseMoveEvent(QMouseEvent* event)
{
    bool overLink = false;
    for (const QRectF& area : cursorRects())
        overLink = overLink || area.contains(event->position());
    if (overLink)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
}

void DSClickableURLTextField::contextMenuEvent(QContextMenuEvent* event)
{
    if (QMenu* menu = menuForPoint(event->pos())) {
        menu->exec(event->globalPos());
        delete menu;
    }
}

void DSClickableURLTextField::paintEvent(QPaintEvent*)
{
    if (_value.isEmpty())
        return;
    ensureTextSystem();
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    const Range glyphs =
        _layoutManager->glyphRangeForTextContainer(_layoutManager->textContainer());
    _layoutManager->drawGlyphsForGlyphRange(glyphs, textRect().topLeft(), painter);
}
