// What the canvas draws and in which order: the page decorations, the grid below or above,
// the graphics layer by layer back to front, the rubber band, the guides, the outline and
// the handles last; and the grid and guide lines themselves.

#include "CanvasTestSupport.h"

#include "PaintRecorder.h"

#include <QPainterPath>
#include <QPen>

namespace {

// A graphic that paints its bounds in its colour, and its handles as a square in its
// handle colour, so a recording shows which was drawn when.
class MarkedGraphic : public LBGraphic
{
public:
    explicit MarkedGraphic(QColor mark) : _mark(mark) {}
    void drawInView(CanvasView*, bool) override { paint(bounds(), _mark); }
    void drawHandlesInView(CanvasView*, const QRectF&) override
    {
        paint(QRectF(bounds().topLeft(), QSizeF(4.0, 4.0)), handleColor());
    }
    QColor handleColor() const { return QColor(_mark.red(), 0xff, _mark.blue()); }

private:
    static void paint(const QRectF& r, const QColor& color)
    {
        platform::GraphicsContext::current()->painter()->fillRect(r, color);
    }
    QColor _mark;
};

class CanvasDrawing : public CanvasTest
{
protected:
    CanvasDrawing()
    {
        a = mark("A", QRectF(100, 100, 50, 50), QColor(0x11, 0, 0), 1);
        b = mark("B", QRectF(200, 100, 50, 50), QColor(0x22, 0, 0), 1);
        c = mark("C", QRectF(300, 100, 50, 50), QColor(0x33, 0, 0), 0);
        canvas->selectGraphic(b);
    }

    LBGraphicPtr mark(const QString& text, const QRectF& bounds, const QColor& color, qint64 layer)
    {
        auto graphic = std::make_shared<MarkedGraphic>(color);
        graphic->setBounds(bounds);
        undo()->disableUndoRegistration();
        document->insertGraphic(graphic, document->numGraphicsOnLayer(layer), layer);
        undo()->enableUndoRegistration();
        _tokens.insert(color.name(), text);
        _tokens.insert(graphic->handleColor().name(), text + QStringLiteral(" handles"));
        return graphic;
    }

    // The drawing of the dirty rectangle as a list of what was painted, in order.
    QStringList drawn(const QRectF& dirty = QRectF(0, 0, 1000, 1000))
    {
        RecordingPaintDevice device(QSize(1000, 1000));
        {
            QPainter painter(&device);
            platform::GraphicsContext context(&painter, true);
            platform::GraphicsContext::Scope scope(context);
            canvas->drawRect(dirty);
        }
        QStringList list;
        for (const PaintCall& call : device.calls()) {
            const QString token = tokenFor(call);
            if (!token.isEmpty() && (list.isEmpty() || list.last() != token))
                list.append(token);
        }
        return list;
    }

    QString tokenFor(const PaintCall& call) const
    {
        const QString color = call.color.isValid() ? call.color.name() : QString();
        if (color == decoration::background.name())
            return QStringLiteral("background");
        if (color == decoration::underlay.name())
            return QStringLiteral("underlay");
        if (color == decoration::picture.name())
            return QStringLiteral("picture");
        if (color == decoration::overlay.name())
            return QStringLiteral("overlay");
        if (call.kind == QLatin1String("stroke") && color == QLatin1String("#cccccc"))
            return QStringLiteral("grid");
        if (call.kind == QLatin1String("stroke") && color == QLatin1String("#0000ff"))
            return QStringLiteral("guide");
        if (call.kind == QLatin1String("stroke") && color == QLatin1String("#000000"))
            return QStringLiteral("outline");
        if (call.kind == QLatin1String("fill") && color == QLatin1String("#737373"))
            return QStringLiteral("band");
        return _tokens.value(color);
    }

    LBGraphicPtr a, b, c;

private:
    QHash<QString, QString> _tokens;
};

} // namespace

TEST_F(CanvasDrawing, DrawsEachStepInItsOrder)
{
    const QStringList plain = {"background", "underlay", "C",       "B",
                               "A",          "outline",  "overlay", "B handles"};
    struct Case
    {
        const char* name;
        std::function<void()> setUp;
        QStringList expected;
    };
    const Case cases[] = {
        {"plain", [] {}, plain},
        {"printing", [] { LBDocument::setPrinting(true); }, {}},
        {"grid above",
         [&] { canvas->setShowsGrid(1); },
         {"background", "underlay", "C", "B", "A", "grid", "outline", "overlay", "B handles"}},
        {"grid below",
         [&] { canvas->setShowsGrid(2); },
         {"background", "underlay", "grid", "C", "B", "A", "outline", "overlay", "B handles"}},
        {"no background, grid below",
         [&] {
             canvas->setDrawBackground(false);
             canvas->setShowsGrid(2);
             document->setHasBackgroundPlaceholder(true, 0);
             document->setDrawBackgroundPlaceholder(true, 0);
         },
         {"underlay", "C", "B", "A", "outline", "overlay", "B handles"}},
        {"no background, grid above",
         [&] {
             canvas->setDrawBackground(false);
             canvas->setShowsGrid(1);
         },
         {"underlay", "C", "B", "A", "grid", "outline", "overlay", "B handles"}},
        {"background placeholder",
         [&] {
             document->setHasBackgroundPlaceholder(true, 0);
             document->setDrawBackgroundPlaceholder(true, 0);
         },
         {"background", "underlay", "picture", "C", "B", "A", "outline", "overlay", "B handles"}},
        {"hidden layer",
         [&] { document->showLayerAtIndex(0, false); },
         {"background", "underlay", "B", "A", "outline", "overlay", "B handles"}},
        {"handles hidden",
         [&] { canvas->setKnobsHidden(true); },
         {"background", "underlay", "C", "B", "A", "outline", "overlay"}},
        {"edited",
         [&] { canvas->setEditingGraphic(b.get(), nullptr); },
         {"background", "underlay", "C", "B", "A", "outline", "overlay"}},
        {"group: the parent's handles only",
         [&] {
             canvas->clearSelection();
             canvas->selectGraphic(a);
             canvas->selectGraphic(b);
             canvas->group(nullptr);
         },
         {"background", "underlay", "C", "B", "A", "outline", "overlay", "A handles"}},
        {"rubber band catching A (the press cleared the selection)",
         [&] {
             press(QPointF(90, 90));
             drag(QPointF(160, 160));
         },
         {"background", "underlay", "C", "B", "A", "band", "outline", "overlay", "A handles"}},
        {"Shift rubber band catching A",
         [&] {
             press(QPointF(90, 90), Qt::ShiftModifier);
             drag(QPointF(160, 160), Qt::ShiftModifier);
         },
         {"background", "underlay", "C", "B", "A", "band", "outline", "overlay", "A handles",
          "B handles"}},
        {"guide",
         [&] { canvas->addDynamicGuide(QRectF(0, 300, 500, 1), true); },
         {"background", "underlay", "C", "B", "A", "guide", "outline", "overlay", "B handles"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.setUp();
        EXPECT_EQ(drawn(), c.expected);
        // Back to the plain scene.
        LBDocument::setPrinting(false);
        canvas->setShowsGrid(0);
        canvas->setDrawBackground(true);
        canvas->setKnobsHidden(false);
        canvas->setEditingGraphic(nullptr, nullptr);
        canvas->resetDynamicGuides();
        document->setHasBackgroundPlaceholder(false, 0);
        document->showLayerAtIndex(0, true);
        if (a->isGrouped())
            canvas->ungroup(nullptr);
        release(QPointF(500, 500)); // ends a band
        canvas->clearSelection();
        canvas->selectGraphic(b);
    }
}

TEST_F(CanvasDrawing, SkipsGraphicsOutsideTheDirtyRectangleAndDrawsNothingWithoutAHost)
{
    // B lies outside: neither it nor its handles are drawn.
    EXPECT_EQ(drawn(QRectF(90, 90, 20, 20)),
              QStringList({"background", "underlay", "A", "outline", "overlay"}));
    canvas->setWindowController(nullptr);
    EXPECT_EQ(drawn(), QStringList());
}

TEST_F(CanvasDrawing, BothGridSettingsShowTheGridAboveOnly)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setBool(true, QStringLiteral("Show Grid"));
    defaults.setBool(true, QStringLiteral("Show Grid Below"));
    LBGraphicView fresh;
    EXPECT_EQ(fresh.showsGrid(), 1);
    fresh.setShowsGrid(7); // no such mode: none
    EXPECT_EQ(fresh.showsGrid(), 0);
    defaults.removeObjectForKey(QStringLiteral("Show Grid"));
    defaults.removeObjectForKey(QStringLiteral("Show Grid Below"));
}

namespace {

// The lines of a path: "x1,y1-x2,y2" each.
QStringList linesOf(const QPainterPath& path)
{
    QStringList lines;
    for (int i = 0; i + 1 < path.elementCount(); i += 2) {
        const QPainterPath::Element from = path.elementAt(i);
        const QPainterPath::Element to = path.elementAt(i + 1);
        lines.append(QStringLiteral("%1,%2-%3,%4").arg(from.x).arg(from.y).arg(to.x).arg(to.y));
    }
    return lines;
}

QList<PaintRecorderEngine::Stroke> gridStrokes(qint64 guideSpacing, double spacing, double zoom,
                                               bool forOutput = false)
{
    PaintRecorder device;
    QPainter painter(&device);
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    LBDrawGrid(guideSpacing, QColor(0xcc, 0xcc, 0xcc), forOutput, QRectF(0, 0, 100, 50), spacing,
               QPointF(5, 5), zoom);
    painter.end();
    return device.engine.strokes;
}

} // namespace

TEST(LBDrawGrid, LinesFromTheOriginOverTheRectangle)
{
    // Zoom 1: half-point positions; minor lines at half alpha, major ones whole; both the
    // thinnest line the device draws.
    const QList<PaintRecorderEngine::Stroke> atOne = gridStrokes(4, 10.0, 1.0);
    ASSERT_EQ(atOne.size(), 2);
    const QStringList minor = linesOf(atOne.at(0).path);
    EXPECT_EQ(minor.size(), 10 + 5);
    EXPECT_EQ(minor.first(), QStringLiteral("5.5,0.5-5.5,50.5"));
    EXPECT_EQ(minor.at(9), QStringLiteral("95.5,0.5-95.5,50.5"));
    EXPECT_EQ(minor.at(10), QStringLiteral("0.5,5.5-100.5,5.5"));
    EXPECT_EQ(minor.last(), QStringLiteral("0.5,45.5-100.5,45.5"));
    EXPECT_NEAR(atOne.at(0).pen.color().alphaF(), 0.5, 0.01);
    EXPECT_EQ(atOne.at(0).pen.widthF(), 0.0);
    EXPECT_EQ(linesOf(atOne.at(1).path),
              QStringList({"5.5,0.5-5.5,50.5", "45.5,0.5-45.5,50.5", "85.5,0.5-85.5,50.5",
                           "0.5,5.5-100.5,5.5", "0.5,45.5-100.5,45.5"}));
    EXPECT_EQ(atOne.at(1).pen.color().alphaF(), 1.0);

    // Zoom 2: whole multiples.
    const QList<PaintRecorderEngine::Stroke> atTwo = gridStrokes(4, 10.0, 2.0);
    ASSERT_EQ(atTwo.size(), 2);
    EXPECT_EQ(linesOf(atTwo.at(0).path).first(), QStringLiteral("5,0-5,50"));

    // Printed widths and the colour as it is.
    const QList<PaintRecorderEngine::Stroke> printed = gridStrokes(4, 10.0, 1.0, true);
    EXPECT_EQ(printed.at(0).pen.widthF(), 0.3);
    EXPECT_EQ(printed.at(0).pen.color().alphaF(), 1.0);
    EXPECT_EQ(printed.at(1).pen.widthF(), 0.6);

    // No lines of a kind whose spacing is 0 or less.
    const auto lineCount = [](const QList<PaintRecorderEngine::Stroke>& strokes) {
        qsizetype lines = 0;
        for (const PaintRecorderEngine::Stroke& stroke : strokes)
            lines += linesOf(stroke.path).size();
        return lines;
    };
    EXPECT_EQ(lineCount(gridStrokes(4, 0.0, 1.0)), 0);
    EXPECT_EQ(lineCount(gridStrokes(0, 10.0, 1.0)), 15);
    EXPECT_EQ(lineCount(gridStrokes(4, -9.0, 1.0)), 0);
}
