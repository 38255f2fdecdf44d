// The graphics browser's own drags (threshold, modifiers, picture and badge), its menu
// commands, and the path bar's pieces and overlapping segments.

#include "KitBrowserTestSupport.h"

#include "kitbrowser/SGImageBrowserView.h"
#include "kitbrowser/SGPathCell.h"
#include "kitbrowser/SGPathControl.h"
#include "platform/drawing/Bundle.h"

#include <QMouseEvent>
#include <QTableView>
#include <QTest>

using namespace kitbrowsertest;

namespace {

// Counts the drags it starts instead of running them.
class DragRecordingBrowser : public SGImageBrowserView
{
public:
    using SGImageBrowserView::SGImageBrowserView;
    void startDrag(const QMouseEvent& mouseDown) override { drags.append(mouseDown.position()); }
    QList<QPointF> drags;
};

class GraphicBrowserDrags : public KitBrowserTest
{
public:
    void SetUp() override
    {
        KitBrowserTest::SetUp();
        kitfixtures::Kit kit = kitfixtures::tinyKit(QStringLiteral("Dots"), 3);
        _controller = std::make_unique<SGCorbeilController>(QStringLiteral("iCorbeil View"));
        _controller->importCorbeil(writeKit(kit), 0, 1, false);
        _controller->view();
        _controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 0);
        qobject_cast<platform::ImageBrowserView*>(_controller->outlet(QStringLiteral("kitBrowser")))
            ->setSelectionIndexes({0});
        ASSERT_EQ(_controller->mode(), 3);
        _browser = new DragRecordingBrowser;
        _browser->setController(_controller.get());
        _browser->setDataSource(qobject_cast<platform::ImageBrowserView*>(
                                    _controller->outlet(QStringLiteral("graphicBrowser")))
                                    ->dataSource());
        _browser->resize(400, 300);
        _browser->show();
        _browser->reloadData();
    }

    void TearDown() override
    {
        delete _browser;
        _controller.reset();
        KitBrowserTest::TearDown();
    }

    void press(const QPointF& at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseButtonPress, at, _browser->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(_browser->viewport(), &event);
    }
    void move(const QPointF& at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent event(QEvent::MouseMove, at, _browser->viewport()->mapToGlobal(at),
                          Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::sendEvent(_browser->viewport(), &event);
    }

    std::unique_ptr<SGCorbeilController> _controller;
    DragRecordingBrowser* _browser = nullptr;
};

} // namespace

TEST_F(GraphicBrowserDrags, OwnDragStartsPastFourPointsWithoutShiftOrControl)
{
    const QPointF start = QPointF(_browser->itemFrameAtIndex(0).center());
    struct Case
    {
        QPointF offset;
        Qt::KeyboardModifiers modifiers;
        bool drags;
    };
    const Case cases[] = {
        {{4, 0}, Qt::NoModifier, false},      {{4.5, 0}, Qt::NoModifier, true},
        {{0, -4}, Qt::NoModifier, false},     {{0, -4.5}, Qt::NoModifier, true},
        {{10, 10}, Qt::ShiftModifier, false}, {{10, 10}, Qt::ControlModifier, false},
    };
    for (const Case& c : cases) {
        _browser->drags.clear();
        press(start, c.modifiers);
        move(start + c.offset, c.modifiers);
        EXPECT_EQ(_browser->drags.size(), c.drags ? 1 : 0) << c.offset.x() << "," << c.offset.y();
        // One drag per press: the next move starts none.
        if (c.drags) {
            move(start + c.offset * 2, c.modifiers);
            EXPECT_EQ(_browser->drags.size(), 1);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, start,
                            _browser->viewport()->mapToGlobal(start), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(_browser->viewport(), &release);
    }
}

TEST_F(GraphicBrowserDrags, DragPictureIsTheThumbnailHalfTransparentWithACountBadge)
{
    _browser->setSelectionIndexes({0});
    const QImage one = _browser->dragImageForIndex(0);
    ASSERT_FALSE(one.isNull());
    EXPECT_EQ(one.width(), _browser->itemFrameAtIndex(0).width());
    EXPECT_EQ(one.height(), one.width()); // a square thumbnail
    EXPECT_NEAR(one.pixelColor(1, 1).alphaF(), 0.5, 0.01);
    // No badge for one graphic: the lower right is the thumbnail too.
    EXPECT_EQ(one.pixelColor(one.width() - 3, one.height() - 3), one.pixelColor(1, 1));

    _browser->setSelectionIndexes({0, 1});
    const QImage two = _browser->dragImageForIndex(1);
    const QImage badge = SGImageBrowserView::dragBadgeWithCount(2);
    ASSERT_FALSE(badge.isNull());
    // The badge sits at the lower right, the rest is the thumbnail.
    const QSizeF size = badge.deviceIndependentSize();
    const QPoint inBadge(int(two.width() - size.width() / 2),
                         int(two.height() - size.height() / 2));
    EXPECT_NE(two.pixelColor(inBadge), two.pixelColor(1, 1));
    EXPECT_EQ(two.pixelColor(1, 1), one.pixelColor(1, 1));
}

TEST(GraphicBrowser, BadgeAndMenuCommands)
{
    const std::pair<quint64, const char*> badges[] = {
        {2, "DragBadge1-2.tiff"},   {99, "DragBadge1-2.tiff"}, {100, "DragBadge3.tiff"},
        {999, "DragBadge3.tiff"},   {1000, "DragBadge4.tiff"}, {9999, "DragBadge4.tiff"},
        {10000, "DragBadge5.tiff"},
    };
    for (const auto& [count, name] : badges)
        EXPECT_EQ(SGImageBrowserView::dragBadgeNameForCount(count), QString::fromLatin1(name))
            << count;
    // Every badge picture is in the bundle, and the wider badges hold more digits.
    const platform::Bundle bundle(SGCorbeilController::bundleName());
    qreal width = 0;
    for (const char* name :
         {"DragBadge1-2.tiff", "DragBadge3.tiff", "DragBadge4.tiff", "DragBadge5.tiff"}) {
        const auto picture = bundle.imageNamed(QString::fromLatin1(name));
        ASSERT_TRUE(picture) << name;
        EXPECT_GT(picture->size().width(), width);
        width = picture->size().width();
    }
    EXPECT_FALSE(SGImageBrowserView::validateMenuItem(SGImageBrowserView::MenuAction::Cut));
    EXPECT_FALSE(SGImageBrowserView::validateMenuItem(SGImageBrowserView::MenuAction::Paste));
    EXPECT_TRUE(SGImageBrowserView::validateMenuItem(SGImageBrowserView::MenuAction::Copy));
    EXPECT_TRUE(SGImageBrowserView::validateMenuItem(SGImageBrowserView::MenuAction::Other));
    EXPECT_EQ(SGImageBrowserView::draggingSourceOperationMask(), Qt::DropActions(Qt::CopyAction));
}

TEST(PathBar, PiecesAndOverlappingSegments)
{
    // Three segments: caps at the ends, arrows in between.
    const SGPathCell::PieceNames first = SGPathCell::pieceNamesForSegment(0, 3, false);
    const SGPathCell::PieceNames middle = SGPathCell::pieceNamesForSegment(1, 3, false);
    const SGPathCell::PieceNames last = SGPathCell::pieceNamesForSegment(2, 3, true);
    EXPECT_EQ(first.left, QStringLiteral("PathCapLeft"));
    EXPECT_EQ(first.right, QStringLiteral("PathArrowRight"));
    EXPECT_EQ(middle.left, QStringLiteral("PathArrowLeft"));
    EXPECT_EQ(middle.right, QStringLiteral("PathArrowRight"));
    EXPECT_EQ(last.left, QStringLiteral("PathArrowLeft1"));
    EXPECT_EQ(last.right, QStringLiteral("PathCapRight1"));
    EXPECT_EQ(last.middle, QStringLiteral("PathMiddle1"));
    // Neighbours overlap by 4 points on each side.
    const QRectF frame(0, 0, 200, 22);
    EXPECT_EQ(SGPathCell::segmentFrames({40, 50, 60}, frame),
              (QList<QRectF>{{0, 0, 44, 22}, {36, 0, 58, 22}, {86, 0, 64, 22}}));
    EXPECT_EQ(SGPathCell::segmentFrames({40}, frame), QList<QRectF>{frame});
    EXPECT_TRUE(SGPathCell::segmentFrames({}, frame).isEmpty());
    // Every piece is in the bundle, all of one height.
    for (bool hilited : {false, true}) {
        const SGPathCell::Pieces pieces = SGPathCell::getCellImage(hilited);
        for (const QPixmap& piece : {pieces.capLeft, pieces.capRight, pieces.arrowLeft,
                                     pieces.arrowRight, pieces.middle}) {
            ASSERT_FALSE(piece.isNull());
            EXPECT_EQ(piece.deviceIndependentSize().height(), 22);
        }
    }
    EXPECT_FALSE(SGPathCell::homeImage().isNull());
}

TEST(PathBar, DrawsTheHomeSegmentAsTheHouse)
{
    SGPathControl control;
    control.resize(200, 22);
    platform::SegmentedCell* cell = control.cell();
    cell->setSegmentCount(2);
    cell->setLabel(QStringLiteral("W"), 0);
    cell->setWidth(40, 0);
    cell->setLabel(QStringLiteral("Kits"), 1);
    cell->setWidth(60, 1);
    const QImage picture = control.grab().toImage();
    // The house: dark pixels around (x + 9 .. 23, y + 3 .. 15) of the first segment.
    int dark = 0;
    for (int y = 4; y < 15; ++y) {
        for (int x = 10; x < 22; ++x)
            dark += qGray(picture.pixel(QPoint(x, y) * picture.devicePixelRatio())) < 120;
    }
    EXPECT_GT(dark, 20);
}

TEST(KitBrowserBundle, PicturesAndTablesAreTheLibrarysOwn)
{
    const platform::Bundle bundle(SGCorbeilController::bundleName());
    // Vector pictures, drawn for dense screens at twice the pixels.
    for (const char* name : {"KitPlus", "AllKits", "HomeKits", "RedSwatch", "PathHome"}) {
        const auto picture = bundle.imageNamed(QString::fromLatin1(name));
        ASSERT_TRUE(picture) << name;
        const QPixmap twice = bundle.pixmapNamed(QString::fromLatin1(name), 2);
        EXPECT_EQ(twice.size(), (picture->size() * 2).toSize()) << name;
        EXPECT_EQ(twice.deviceIndependentSize(), picture->size()) << name;
    }
    EXPECT_EQ(bundle.localizedString(QStringLiteral("Importing %@\\U2026"),
                                     QStringLiteral("iCorbeil View")),
              QStringLiteral("Importing %@\u2026"));
    EXPECT_EQ(bundle.localizedString(QStringLiteral("The selected kit was deleted."),
                                     QStringLiteral("DialogStrings")),
              QStringLiteral("The selected kit was deleted."));
    EXPECT_TRUE(
        bundle.localizedString(QStringLiteral("BackupAdvice"), QStringLiteral("DialogStrings"))
            .contains(u'\r'));
}
