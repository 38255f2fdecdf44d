// The canvas's selection (group-aware, with notifications and undo) and hit testing.

#include "CanvasTestSupport.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBTextArea.h"
#include "shapes/LBLine.h"

namespace {

// Records what the canvas asks of the smart palette.
class RecordingPalette : public InspectorPalette
{
public:
    void forceSelectCropTools(bool, bool) override {}
    void centerWindowUnderSelectedGraphics() override {}
    CanvasView* selectedGraphicView() const override { return view; }
    void setSelectedGraphicView(CanvasView* v) override { view = v; }
    void forceSelectGroupTools(bool force) override { groupTools.append(force); }

    CanvasView* view = nullptr;
    QList<bool> groupTools;
};

class CanvasSelection : public CanvasTest
{
protected:
    CanvasSelection()
    {
        a = add("A", QRectF(100, 100, 100, 100));
        b = add("B", QRectF(150, 150, 100, 100));
        c = add("C", QRectF(400, 100, 50, 50));
        d = add("D", QRectF(400, 300, 50, 50));
    }
    LBGraphicPtr a, b, c, d;
};

} // namespace

TEST_F(CanvasSelection, ChangesPostTheirNotificationsAndUndoButARepeatDoesNothing)
{
    NotificationCount will(LBGraphicViewSelectionWillChangeNotification, canvas);
    NotificationCount did(LBGraphicViewSelectionDidChange, canvas);
    canvas->setPasteCascadeDelta(QPointF(30, 30));
    canvas->selectGraphic(a);
    undo()->setActionName(undoStrings("Selection Change"));
    EXPECT_EQ(undoName(), undoStrings("Selection Change"));
    EXPECT_EQ(selection(), QStringList({"A"}));
    EXPECT_EQ(canvas->pasteCascadeDelta(), QPointF(10, 10));
    EXPECT_EQ(will.count, 1);
    EXPECT_EQ(did.count, 1);
    EXPECT_FALSE(document->isDocumentEdited()); // a selection step changes nothing

    // Again: nothing posted, nothing recorded (the step on top is still the first one).
    canvas->selectGraphic(a);
    canvas->selectGraphic2(a);
    closeStep();
    EXPECT_EQ(will.count, 1);
    undo()->undo();
    EXPECT_EQ(selection(), QStringList());
    EXPECT_FALSE(undo()->canUndo());
    undo()->redo();
    EXPECT_EQ(selection(), QStringList({"A"}));

    // Clearing: one pair of notifications, one step; clearing nothing posts and names
    // nothing.
    canvas->selectGraphic(c);
    closeStep();
    canvas->clearSelection();
    EXPECT_EQ(undoName(), undoStrings("Selection Change"));
    EXPECT_EQ(will.count, 5); // select, undo, redo, select, clear
    EXPECT_EQ(did.count, 5);
    canvas->clearSelection();
    EXPECT_EQ(will.count, 5);
    undo()->undo();
    EXPECT_EQ(selection(), QStringList({"A", "C"})); // in its order again
}

TEST_F(CanvasSelection, AMemberStandsForItsWholeGroupParentFirst)
{
    RecordingPalette palette;
    LBProcessState::setInspectorPalette(&palette);
    canvas->selectGraphic(c);
    EXPECT_TRUE(palette.groupTools.isEmpty()); // an ungrouped graphic asks for no group tools
    canvas->selectGraphic(d);
    canvas->group(nullptr);
    canvas->clearSelection();
    ASSERT_EQ(layer(), QStringList({"A", "B", "C", "D"}));

    canvas->selectGraphic(d);
    EXPECT_EQ(selection(), QStringList({"C", "D"}));
    EXPECT_EQ(palette.groupTools, QList<bool>({true}));
    canvas->deselectGraphic(c);
    EXPECT_EQ(selection(), QStringList());

    // Without "Show Group HUD Window" the palette is not asked.
    platform::UserDefaults::standardUserDefaults().setBool(false,
                                                           QStringLiteral("Show Group HUD Window"));
    canvas->selectGraphic(c);
    EXPECT_EQ(palette.groupTools.size(), 1);
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(
        QStringLiteral("Show Group HUD Window"));
    LBProcessState::setInspectorPalette(nullptr);
}

TEST_F(CanvasSelection, AGraphicThatLeftTheSelectedLayerLeavesTheSelectionWhenRedrawn)
{
    canvas->selectGraphic(a);
    canvas->selectGraphic(c);
    canvas->group(nullptr); // A and C: a group, to be dissolved by the layer change below
    canvas->selectGraphic(d);
    undo()->disableUndoRegistration();
    QList<LBGraphicPtr> moved{a, d};
    document->moveGraphics(&moved, 1, 0);
    undo()->enableUndoRegistration();
    canvas->invalidateGraphic(d.get());
    canvas->invalidateGraphic(a.get());
    EXPECT_EQ(selection(), QStringList({"C"}));
}

TEST_F(CanvasSelection, TheCanvasGoingAwayLeavesThePalettes)
{
    RecordingPalette smart;
    RecordingPalette standalone;
    RecordingPalette other;
    LBProcessState::setInspectorPalette(&smart);
    LBProcessState::setStandaloneInspectorPalettes({&standalone, &other});
    smart.view = canvas;
    standalone.view = canvas;
    LBGraphicView elsewhere;
    other.view = &elsewhere;
    scrollView.reset();
    EXPECT_EQ(smart.view, nullptr);
    EXPECT_EQ(standalone.view, nullptr);
    EXPECT_EQ(other.view, &elsewhere);
    LBProcessState::setInspectorPalette(nullptr);
    LBProcessState::setStandaloneInspectorPalettes({});
}

TEST_F(CanvasSelection, HitTesting)
{
    // A rotated line is hit where it is drawn, beyond its unturned frame.
    auto line = std::make_shared<LBLine>();
    line->setBounds(QRectF(500, 500, 100, 2));
    line->setRotation(90.0);
    undo()->disableUndoRegistration();
    document->insertGraphic(line, 0, 1);
    undo()->enableUndoRegistration();
    name(line, QStringLiteral("line"));

    // Placeholders behind A: a photo one, a "RegularText" and a "Text+Image" text one.
    const auto placeholder = [&](const QString& text, const QRectF& bounds, bool textBox,
                                 const QString& type) {
        LBGraphicPtr g;
        if (textBox)
            g = std::make_shared<LBTextArea>();
        else
            g = filledRectangle(bounds);
        g->setBounds(bounds);
        g->setIsPlaceholder(true);
        g->setPlaceholderTypeString(type);
        undo()->disableUndoRegistration();
        document->insertGraphic(g, document->numGraphicsOnLayer(1), 1);
        undo()->enableUndoRegistration();
        name(g, text);
        return g;
    };
    placeholder(QStringLiteral("photo"), QRectF(110, 110, 20, 20), false, QStringLiteral("Photo"));
    placeholder(QStringLiteral("regular"), QRectF(160, 110, 20, 20), true,
                QStringLiteral("RegularText"));
    placeholder(QStringLiteral("text+image"), QRectF(110, 160, 20, 20), true,
                QStringLiteral("Text+Image"));

    struct Case
    {
        const char* name;
        QPointF point;
        bool checkForPlaceholder;
        QString expected;
    };
    const auto hits = [&](const Case& c) {
        SCOPED_TRACE(c.name);
        const LBGraphicPtr g = canvas->graphicUnderPoint(c.point, c.checkForPlaceholder);
        EXPECT_EQ(g ? nameOf(g.get()) : QStringLiteral("none"), c.expected);
    };
    for (const Case& c : {
             Case{"front-most", QPointF(160, 160), false, "A"},
             Case{"behind", QPointF(220, 220), false, "B"},
             Case{"nothing", QPointF(20, 20), false, "none"},
             Case{"photo placeholder preferred", QPointF(115, 115), true, "photo"},
             Case{"not preferred without asking", QPointF(115, 115), false, "A"},
             Case{"text placeholder not preferred", QPointF(165, 115), true, "A"},
             Case{"text+image placeholder preferred", QPointF(115, 165), true, "text+image"},
             Case{"rotated line where drawn", QPointF(550, 460), false, "line"},
         })
        hits(c);

    // A handle of the selected B wins over A in front of it.
    canvas->selectGraphic(b);
    hits({"B's handle", QPointF(150, 150), false, "B"});
    hits({"A's inside", QPointF(120, 120), false, "A"});

    // A hidden selected layer: nothing, except the handles of the selection.
    document->showLayerAtIndex(1, false);
    hits({"hidden layer", QPointF(120, 120), false, "none"});
    hits({"hidden layer, handle", QPointF(150, 150), false, "B"});
    document->showLayerAtIndex(1, true);

    // Graphics in a rectangle: rotated bounds, group parents for members.
    canvas->clearSelection();
    canvas->selectGraphic(c);
    canvas->selectGraphic(d);
    canvas->group(nullptr);
    EXPECT_EQ(names(canvas->graphicsIntersectingRect(QRectF(390, 290, 20, 20), true)),
              QStringList({"C"}));
    EXPECT_EQ(names(canvas->graphicsIntersectingRect(QRectF(540, 440, 20, 20), true)),
              QStringList({"line"}));
}
