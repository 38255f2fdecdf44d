#pragma once

// Shared pieces of the text box tests: the bundled test font, text in it, a text box in a
// recording document, drawing a box into a picture, and a look at a box's internals.

#include "GraphicTestSupport.h"
#include "TestFont.h"

#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/ParagraphStyle.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QString>

#include <memory>

constexpr double TestPadding = 5.0; // line fragment padding at each end of a line
constexpr double MetricTolerance = 0.05;

// The advance of a text in the test font at 12 points, kerned.
inline double testAdvance(const QString& text)
{
    QRawFont raw = QRawFont::fromFont(testFont());
    raw.setPixelSize(12);
    double sum = 0;
    for (const QPointF& advance :
         raw.advancesForGlyphIndexes(raw.glyphIndexesForString(text), QRawFont::KernedAdvances))
        sum += advance.x();
    return sum;
}

inline platform::ParagraphStyle
paragraphStyle(platform::ParagraphStyle::Alignment alignment,
               platform::ParagraphStyle::WritingDirection direction =
                   platform::ParagraphStyle::WritingDirection::Natural)
{
    platform::ParagraphStyle style;
    style.alignment = alignment;
    style.baseWritingDirection = direction;
    return style;
}

// Text in the test font, with more attributes when given.
inline platform::AttributedString testText(const QString& text, const QVariantMap& attributes = {})
{
    QVariantMap all{{platform::FontAttributeName, testFont()}};
    all.insert(attributes);
    return platform::AttributedString(text, all);
}

inline platform::AttributedString alignedText(const QString& text,
                                              platform::ParagraphStyle::Alignment alignment)
{
    return testText(text, {{platform::ParagraphStyleAttributeName,
                            QVariant::fromValue(paragraphStyle(alignment))}});
}

// A text box that lets the tests see its internals.
class ProbeTextArea : public LBTextArea
{
public:
    using LBTextArea::_textGradientFill;
    using LBTextArea::glyphOutlines;
};

// Copies are made by class name.
inline const bool probeTextAreaRegistered =
    platform::ClassRegistry<LBGraphic>::registerClass<ProbeTextArea>(
        QStringLiteral("ProbeTextArea"));

// A text box in a document that records undo and counts redraws.
struct TextAreaFixture
{
    TextAreaFixture()
    {
        box = std::make_shared<ProbeTextArea>();
        box->setDocument(&document);
        document.quietly([&] { box->setBounds(QRectF(10, 20, 300, 100)); });
    }
    ~TextAreaFixture() { box->setDocument(nullptr); }

    void setText(const platform::AttributedString& text)
    {
        document.quietly([&] { box->setContents(text); });
    }

    RecordingDocument document;
    std::shared_ptr<ProbeTextArea> box;
};

// Draws the graphic at scale 1 into a transparent picture covering page rectangle `area`.
inline QImage drawnImage(LBTextArea& box, const QRectF& area, bool selected = false,
                         bool toScreen = false)
{
    QImage image(area.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(-area.topLeft());
        platform::GraphicsContext context(&painter, toScreen);
        platform::GraphicsContext::Scope scope(context);
        box.drawInView(nullptr, selected);
    }
    return image;
}

// The smallest rectangle holding every pixel with some alpha, in the picture's pixels.
inline QRect inkBounds(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ink |= QRect(x, y, 1, 1);
    return ink;
}
