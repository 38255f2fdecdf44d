// The canvas's state around its graphics: page geometry, the page it follows, the zoom it
// divides by, in-place editing as an undoable pair, clicks in text mode, the curve status
// window, and the settings it keeps.

#include "CanvasTestSupport.h"

#include "graphics/CurveStatusWindow.h"
#include "graphics/LBTextArea.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"
#include "shapes/LBCurvedLine.h"

namespace {

class RecordingStatusWindow : public CurveStatusWindow
{
public:
    QSize frameSize() const override { return {200, 40}; }
    void showAtScreenPoint(const QPoint& topLeft) override
    {
        shownAt = topLeft;
        shown = true;
    }
    void close() override { shown = false; }

    QPoint shownAt;
    bool shown = false;
};

} // namespace

TEST_F(CanvasTest, PageGeometryMovesTheGraphicsWithThePage)
{
    auto g = add("G", QRectF(10, 20, 30, 40));
    host->zoom = 2.0;
    canvas->setFaceOffset(QSizeF(5, 0));
    canvas->setVisiblePageRect(QRectF(71, 100.6, 1224, 1584)); // zoomed
    EXPECT_EQ(canvas->visiblePageRect(), QRectF(36, 50, 612, 792));
    EXPECT_EQ(g->bounds(), QRectF(51, 70, 30, 40)); // moved by the new origin plus the face's
    EXPECT_EQ(g->visiblePageOrigin(), QPointF(41, 50));
    EXPECT_FALSE(undo()->canUndo());

    // Graphics about to be inserted are told the origin only.
    auto fresh = filledRectangle(QRectF(0, 0, 5, 5));
    canvas->setVisiblePageOriginForGraphic(fresh.get());
    EXPECT_EQ(fresh->visiblePageOrigin(), QPointF(41, 50));
    EXPECT_EQ(fresh->bounds(), QRectF(0, 0, 5, 5));

    // A zoom of 0 or less counts as 1.
    host->zoom = 0.0;
    EXPECT_EQ(canvas->zoomFactor(), 1.0);
    host->zoom = -2.0;
    EXPECT_EQ(canvas->convertFromWidget(QPointF(10, 10)), QPointF(10, 10));
}

TEST_F(CanvasTest, FollowsTheDocumentsPage)
{
    platform::NotificationCenter::defaultCenter().post(QStringLiteral("LBSetPageIndex"), this,
                                                       {{QStringLiteral("LBPageIndex"), 3}});
    EXPECT_EQ(canvas->pageIndex(), 0); // another sender
    platform::NotificationCenter::defaultCenter().post(
        QStringLiteral("LBSetPageIndex"), document.get(), {{QStringLiteral("LBPageIndex"), 3}});
    EXPECT_EQ(canvas->pageIndex(), 3);
    EXPECT_EQ(canvas->graphics(), nullptr); // no such page: nothing to show
}

TEST_F(CanvasTest, EditingInPlaceIsAnUndoablePair)
{
    auto box = addTextBox(QRectF(100, 100, 120, 40), QStringLiteral("Hello"));

    canvas->startEditingGraphic(box, nullptr, true);
    EXPECT_EQ(canvas->editingGraphic(), box.get());
    EXPECT_EQ(undoName(), undoStrings("Start Editing"));
    undo()->undo();
    EXPECT_EQ(canvas->editingGraphic(), nullptr);
    undo()->redo();
    ASSERT_EQ(canvas->editingGraphic(), box.get());

    canvas->endEditing();
    EXPECT_EQ(undoName(), undoStrings("End Editing"));
    undo()->undo(); // editing again, with no event and nothing selected
    ASSERT_EQ(canvas->editingGraphic(), box.get());
    EXPECT_EQ(canvas->editorView()->selectedRange().length, 0);

    // In text mode a click in the edited box puts the caret at the end of its text; a
    // click elsewhere ends the editing.
    host->text = true;
    canvas->editorView()->setSelectedRange(platform::Range(0, 2));
    click(QPointF(110, 110));
    EXPECT_EQ(canvas->editorView()->selectedRange(), platform::Range(5, 0));
    NotificationCount stops(LBStopEditingTextDuringDrag, canvas);
    click(QPointF(400, 400));
    EXPECT_EQ(canvas->editingGraphic(), nullptr);
    EXPECT_EQ(stops.count, 1);

    // An open curve goes into point-by-point drawing instead.
    host->text = false;
    auto line = std::make_shared<LBCurvedLine>();
    line->addControlPointAndModifiersAtPoint(QPointF(10, 10));
    line->addControlPointAndModifiersAtPoint(QPointF(50, 10));
    canvas->startEditingGraphic(line, nullptr, false);
    EXPECT_TRUE(host->bezier);
    EXPECT_EQ(canvas->editingBezierGraphic(), line.get());
}

TEST_F(CanvasTest, TheCurveStatusWindowKeepsClearOfTheCurve)
{
    RecordingStatusWindow window;
    LBProcessState::setCurveStatusWindow(&window);
    const QRectF visible = canvas->visibleRect();
    const auto at = [&](double y) {
        auto line = std::make_shared<LBCurvedLine>();
        line->addControlPointAndModifiersAtPoint(QPointF(100, y));
        canvas->setEditingBezierGraphic(line);
        return canvas->mapFromGlobal(window.shownAt);
    };
    // The curve in the upper half: the window at the bottom of the visible part, centred.
    const QPoint low = at(50);
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(low, QPointF(visible.center().x() - 100, visible.bottom() - 40).toPoint());
    // In the lower half: at the top.
    EXPECT_EQ(at(visible.bottom() - 20).y(), int(visible.top()));
    canvas->setEditingBezierGraphic(nullptr);
    EXPECT_FALSE(window.shown);
    LBProcessState::setCurveStatusWindow(nullptr);
}

TEST_F(CanvasTest, SettingsAndTheirDefaults)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    EXPECT_FALSE(canvas->trimToPageIsOn());
    canvas->trimToPageAction(nullptr);
    EXPECT_TRUE(canvas->trimToPageIsOn());
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Trim To Page")));
    canvas->postalGuidelinesAction(nullptr);
    EXPECT_TRUE(canvas->drawPostalGuidelines());
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("DrawPostalGuidelines")));
    LBGraphicView fresh; // a new canvas starts from the settings
    EXPECT_TRUE(fresh.trimToPageIsOn());
    EXPECT_TRUE(fresh.drawPostalGuidelines());
    EXPECT_EQ(fresh.gridSpacing(), 9.0); // no document: the setting
    EXPECT_EQ(fresh.guideSpacing(), 8);
    defaults.removeObjectForKey(QStringLiteral("Trim To Page"));
    defaults.removeObjectForKey(QStringLiteral("DrawPostalGuidelines"));

    document->setGridSpacing(12.0, false);
    EXPECT_EQ(canvas->gridSpacing(), 12.0);
    EXPECT_EQ(canvas->gridColor(), QColor::fromRgbF(0.8f, 0.8f, 0.8f));
    canvas->setGridColor(Qt::red);
    EXPECT_EQ(canvas->gridColor(), QColor(Qt::red));
}
