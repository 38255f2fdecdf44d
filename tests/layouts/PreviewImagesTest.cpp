// The chooser's miniatures, read back by pixels: sheets, page projects, envelopes, the
// masks of round and rounded labels, disc sheets by shape, and the quarter turn.

#include "layouts/LBLayoutSheetController.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QVariantMap>

namespace {

using Controller = LBLayoutSheetController;
constexpr double s = 0.222222;

// The gray level (0-255) of the pixel at a point of the page, in points before scaling.
int grayAt(const QImage& image, double x, double y, double scale = s)
{
    const QColor color = image.pixelColor(int(10 + x * scale), int(15 + y * scale));
    return qGray(color.rgb());
}

QVariantMap sheet(const QVariantMap& extra)
{
    QVariantMap card{{"pageWidth", 612.0},  {"pageHeight", 792.0}, {"labelWidth", 180.0},
                     {"labelHeight", 90.0}, {"leftMargin", 36.0},  {"topMargin", 45.0}};
    card.insert(extra);
    return card;
}

} // namespace

TEST(PreviewImages, LabelSheetsDrawTheirGrid)
{
    // Without rows: one label at its margins.
    QImage one = Controller::previewImageForCard(sheet({}), 500, false);
    ASSERT_EQ(one.size(), QSize(int(std::ceil(612 * s + 20)), int(std::ceil(792 * s + 25))));
    EXPECT_EQ(grayAt(one, 100, 90), 255);       // inside the label
    EXPECT_EQ(grayAt(one, 20, 20), 170);        // the sheet around it
    EXPECT_EQ(grayAt(one, 100, 90 + 140), 170); // no second row

    // One row: its gap is ignored; two columns keep theirs.
    QImage row = Controller::previewImageForCard(
        sheet({{"numRows", 1}, {"numColumns", 2}, {"vLabelSpace", 500.0}, {"hLabelSpace", 40.0}}),
        500, false);
    EXPECT_EQ(grayAt(row, 36 + 180 + 20, 90), 170); // in the column gap
    EXPECT_EQ(grayAt(row, 36 + 180 + 40 + 20, 90), 255);
    // One column: its gap is ignored.
    QImage column = Controller::previewImageForCard(
        sheet({{"numRows", 2}, {"numColumns", 1}, {"vLabelSpace", 18.0}, {"hLabelSpace", 300.0}}),
        500, false);
    EXPECT_EQ(grayAt(column, 100, 45 + 90 + 9), 170); // in the row gap
    EXPECT_EQ(grayAt(column, 100, 45 + 90 + 18 + 45), 255);
    EXPECT_EQ(grayAt(column, 36 + 180 + 300 + 20, 90), 170);

    // Fold lines are dashed gray across every label.
    QImage folded = Controller::previewImageForCard(
        sheet({{"foldLines", QVariantList{QVariantMap{
                                 {"x1", 0.0}, {"y1", 45.0}, {"x2", 180.0}, {"y2", 45.0}}}}}),
        500, false);
    int dark = 0;
    for (int y = int(15 + 90 * s) - 1; y <= int(15 + 90 * s) + 1; ++y) {
        int inRow = 0;
        for (int x = int(10 + 36 * s); x < int(10 + 216 * s); ++x)
            inRow += qGray(folded.pixel(x, y)) < 200;
        dark = std::max(dark, inRow);
    }
    EXPECT_GT(dark, 3);
    EXPECT_LT(dark, int(180 * s));
}

TEST(PreviewImages, PageProjectsAndEnvelopes)
{
    // An envelope: only the white envelope at 0.15, no cells.
    const QVariantMap envelope{
        {"labelWidth", 684.0}, {"labelHeight", 297.0}, {"paperSize", "Letter"}};
    QImage alone = Controller::previewImageForCard(envelope, 0, false);
    EXPECT_EQ(alone.size(),
              QSize(int(std::ceil(684 * 0.15 + 20)), int(std::ceil(297 * 0.15 + 25))));
    EXPECT_EQ(grayAt(alone, 300, 150, 0.15), 255);
    EXPECT_EQ(qAlpha(alone.pixel(alone.width() - 1, 1)), 0); // outside the page

    // Letterhead without rows: the label is the page.
    QImage letterhead = Controller::previewImageForCard(
        {{"labelWidth", 400.0}, {"labelHeight", 300.0}, {"numRows", 0}, {"paperSize", "A4"}}, 1,
        false);
    EXPECT_EQ(letterhead.size(), QSize(int(std::ceil(400 * s + 20)), int(std::ceil(300 * s + 25))));

    // A round label: the cell is darkened outside the circle and in its hole.
    const QVariantMap round{{"labelWidth", 180.0},    {"labelHeight", 180.0},
                            {"numRows", 1},           {"numColumns", 1},
                            {"leftMargin", 36.0},     {"topMargin", 36.0},
                            {"outerDiameter", 180.0}, {"innerDiameter", 45.0},
                            {"paperSize", "Letter"},  {"cornerRadius", 0.0}};
    QImage disc = Controller::previewImageForCard(round, 500 + 1, false);
    EXPECT_LT(grayAt(disc, 38, 38), 160);           // the corner, outside the circle
    EXPECT_EQ(grayAt(disc, 36 + 40, 36 + 90), 255); // on the ring
    EXPECT_LT(grayAt(disc, 36 + 90, 36 + 90), 160); // the hole
    // A rounded label: only its corners are darkened.
    QVariantMap rounded = round;
    rounded.remove("outerDiameter");
    rounded.insert("cornerRadius", 36.0);
    QImage corners = Controller::previewImageForCard(rounded, 2, false);
    EXPECT_LT(grayAt(corners, 37, 37), 160);
    EXPECT_EQ(grayAt(corners, 36 + 90, 36 + 90), 255);
}

TEST(PreviewImages, DiscSheetsDrawEachShape)
{
    const auto label = [](const char* name, double x, double y, double w, double h) {
        return QVariantMap{{"labelTypeDescription", name},
                           {"leftMargin", x},
                           {"topMargin", y},
                           {"labelWidth", w},
                           {"labelHeight", h}};
    };
    QVariantMap disc = label("CDDisc", 100, 100, 300, 300);
    disc.insert({{"outerDiameter", 300.0}, {"innerDiameter", 60.0}});
    QVariantMap layout{
        {"pageWidth", 612.0},
        {"pageHeight", 792.0},
        {"labels", QVariantList{disc, label("DVDCover", 36, 500, 540, 200),
                                label("SuperJewelBoxCDTrayInsertInside", 36, 420, 300, 60),
                                label("Mystery", 400, 420, 100, 60)}}};
    QImage image = Controller::discPreviewImageForCard(layout, 6, false);
    EXPECT_EQ(grayAt(image, 150, 250), 255);     // the disc
    EXPECT_EQ(grayAt(image, 250, 250), 170);     // its hole
    EXPECT_EQ(grayAt(image, 105, 105), 170);     // outside the disc, in its box
    EXPECT_EQ(grayAt(image, 100, 520), 255);     // the cover
    EXPECT_EQ(grayAt(image, 10 + 36, 422), 170); // the tray insert's cut corner
    EXPECT_EQ(grayAt(image, 36 + 150, 450), 255);
    EXPECT_EQ(grayAt(image, 450, 450), 170); // an unknown shape draws nothing

    // The cover's default fold lines: two, 42.4368 apart around its mid-height.
    const int x = int(10 + 300 * s);
    QList<int> lines;
    for (int y = int(15 + 500 * s) + 2; y < int(15 + 700 * s) - 2; ++y) {
        for (int dx = 0; dx < 7; ++dx) {
            if (qGray(image.pixel(x + dx, y)) < 250) {
                if (lines.isEmpty() || lines.last() != y - 1)
                    lines << y;
                else
                    lines.last() = y; // the same line over two rows
                break;
            }
        }
    }
    ASSERT_EQ(lines.size(), 2);
    EXPECT_NEAR(lines.at(1) - lines.at(0), 42.4368 * s, 1.01);

    // A tray maker gives the disc's centre.
    layout.insert("paperManufacturer", "CD Tray Maker");
    QImage tray = Controller::discPreviewImageForCard(layout, 6, false);
    EXPECT_EQ(grayAt(tray, 100 - 120, 100), 255);
    EXPECT_EQ(grayAt(tray, 100, 100), 170); // the hole is at the stored position
}

TEST(PreviewImages, EveryShippedDiscSheetDraws)
{
    Controller chooser(false, 6);
    ASSERT_TRUE(chooser.parseDiscLabelsFile());
    ASSERT_FALSE(chooser.paperFormats().isEmpty());
    for (const Controller::Card& card : chooser.paperFormats()) {
        const QImage image = Controller::discPreviewImageForCard(
            Controller::convertDimensionsToPoints(card.record()), 6, false);
        EXPECT_FALSE(image.isNull()) << qPrintable(card.foldedCode);
    }
}

TEST(PreviewImages, APageDrawnBeforeIsDrawnTheSameWhateverCameBetween)
{
    // The shadowed page is kept from one miniature to the next of the same page: another
    // paper, the other orientation or another kind of miniature in between change nothing.
    const QVariantMap a4 = sheet({{"pageWidth", 595.0}, {"pageHeight", 842.0}});
    const QImage first = Controller::previewImageForCard(a4, 500, false);
    const QImage turned = Controller::previewImageForCard(a4, 500, true);
    EXPECT_NE(turned, first); // the shadow falls the other way
    const QImage letter = Controller::previewImageForCard(sheet({}), 500, false);
    EXPECT_NE(letter.size(), first.size());
    Controller::previewImageForCard(sheet({{"numRows", 2}, {"numColumns", 2}}), 3, false);
    EXPECT_EQ(Controller::previewImageForCard(a4, 500, false), first);
    EXPECT_EQ(Controller::previewImageForCard(a4, 500, true), turned);
    EXPECT_EQ(Controller::previewImageForCard(sheet({}), 500, false), letter);
}

TEST(PreviewImages, TurningToLandscapeTwiceTurnsOnce)
{
    Controller chooser(true, Controller::AddressLabelsProject);
    chooser.projectTypeAction(Controller::AddressLabelsProject);
    chooser.continueAction();
    chooser.selectRow(0);
    const QImage upright = chooser.previewImage();
    ASSERT_FALSE(upright.isNull());
    ASSERT_FALSE(chooser.previewTurned());
    chooser.orientationButtonAction(false);
    const QImage once = chooser.previewImage();
    EXPECT_TRUE(chooser.previewTurned());
    chooser.orientationButtonAction(false);
    EXPECT_TRUE(chooser.previewTurned());
    // The drawing stays upright: only the view turns it, and only once.
    EXPECT_EQ(chooser.previewImage(), once);
    EXPECT_EQ(once.size(), upright.size());
}
