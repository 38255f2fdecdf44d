// The layout and description readers, project types, the stock lists of a card-stock
// folder, the sheet table's rows and the search.

#include "FileTestSupport.h"

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/GraphicsContext.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

namespace {

using Controller = LBLayoutSheetController;
using Info = DimensionInfo;

void writeStocks(const QString& path, const QVariantList& cards)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(platform::PropertyList::toXml(cards));
}

QVariantMap stock(const QString& code, const QString& paper = "Letter",
                  const QStringList& models = {})
{
    QVariantMap card{{Info::paperCode, code},
                     {Info::description, "Plain"},
                     {Info::paperSize, paper},
                     {Info::labelWidth, "9.5"},
                     {Info::labelHeight, "4.125"}};
    if (!models.isEmpty())
        card.insert(Info::models, models);
    return card;
}

// A card-stock folder of a temporary folder, in place of the shipped one while it lives.
class StockFolder
{
public:
    StockFolder() { Controller::setCardStockPath(_folder.path()); }
    ~StockFolder() { Controller::setCardStockPath(":/Card Stocks/"); }
    QString folder(const QString& project) const
    {
        QDir(_folder.path()).mkpath(project);
        return _folder.path() + "/" + project + "/";
    }

private:
    QTemporaryDir _folder;
};

QStringList codesOf(const Controller& chooser)
{
    QStringList codes;
    for (const Controller::Card& card : chooser.cardArray())
        codes << Info::text(card.record(), Info::paperCode);
    return codes;
}

QStringList rowsOf(const Controller& chooser)
{
    QStringList rows;
    for (qint64 row = 0; row < chooser.numberOfRows(); ++row)
        rows << chooser.rowText(row);
    return rows;
}

} // namespace

TEST(LayoutReaders, ReadCellsLabelsAndDescriptions)
{
    // Numbers stored as text read like numbers.
    const QVariantMap grid{{Info::leftMargin, "54"}, {Info::topMargin, 36},
                           {Info::labelWidth, 252},  {Info::labelHeight, "144"},
                           {Info::hLabelSpace, 9},   {Info::vLabelSpace, "4.5"}};
    EXPECT_EQ(Controller::cellRect(grid, 0, 0), QRectF(54, 36, 252, 144));
    EXPECT_EQ(Controller::cellRect(grid, 2, 1), QRectF(54 + 261, 36 + 2 * 148.5, 252, 144));

    struct Case
    {
        QVariantMap label;
        QRectF rect;
    };
    const Case cases[] = {
        {{{"x", 5}, {Info::leftMargin, 9}, {"y", 6}, {"width", 10}, {Info::labelHeight, 11}},
         QRectF(5, 6, 10, 11)},
        {{{Info::leftMargin, "9"}, {Info::topMargin, 8}, {Info::labelWidth, 7}},
         QRectF(9, 8, 7, 0)},
        {{{"x", 1}, {"y", 2}, {Info::outerDiameter, 117}, {Info::innerDiameter, 41}},
         QRectF(1, 2, 117, 117)},
        {{}, QRectF()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Controller::labelRect(c.label), c.rect);
    EXPECT_EQ(Controller::labelInnerDiameter(cases[2].label), 41);
    EXPECT_EQ(Controller::labelDimension("cornerRadius", {{"cornerRadius", "3"}}), 0);

    const QVariantMap folded{
        {"foldLines", QVariantList{QVariantMap{{"x1", 1}, {"y1", "2"}, {"x2", 3}, {"y2", 4}}}}};
    EXPECT_EQ(Controller::labelFoldLines(folded), QList<QLineF>{QLineF(1, 2, 3, 4)});

    EXPECT_EQ(Controller::projectTypeOfDescription({{"ProjectType", "6"}}), 6);
    EXPECT_EQ(Controller::projectTypeOfDescription(
                  {{"ProjectType", 0}, {"ProjectTypeName", "Disc Labels"}}),
              0);
    EXPECT_EQ(Controller::projectTypeOfDescription({{"ProjectTypeName", "Disc Labels"}}), 6);
    EXPECT_EQ(Controller::projectTypeOfDescription({{"ProjectTypeName", "All Brother"}}), 514);
    EXPECT_EQ(Controller::projectTypeOfDescription({{"ProjectTypeName", "Nothing"}}), 0);
}

TEST(LayoutReaders, NameProjectTypes)
{
    for (qint64 type : {0, 1, 2, 3, 4, 6, 7, 500, 501, 507, 514})
        EXPECT_EQ(Controller::projectTypeForName(Controller::projectNameForType(type)), type);
    EXPECT_EQ(Controller::projectNameForType(5), "");
    EXPECT_EQ(Controller::projectNameForType(8), "");
    EXPECT_EQ(Controller::projectNameForType(500), "Address Labels");
    EXPECT_EQ(Controller::projectTypeForName(""), 0);
}

TEST(StockLists, ReadFromTheFolderOfTheProject)
{
    StockFolder stocks;
    const QString envelopes = stocks.folder("Envelopes");
    writeStocks(envelopes + "Zeta-Letter.plist", {stock("Z1"), stock("Z2")});
    writeStocks(envelopes + "Alpha-Letter.plist", {stock("A1")});
    writeStocks(envelopes + "Metric-A4.plist", {stock("M1", "A4")});
    writeStocks(envelopes + "Bare.plist", {stock("B1", "A4")});
    writeStocks(envelopes + "Custom.plist", {stock("skipped")});
    QFile(envelopes + "Broken-Letter.plist").open(QIODevice::WriteOnly);
    QDir(envelopes).mkdir("Sub-Letter.plist");

    Controller chooser(true, 0);
    chooser.selectProjectType(0);
    EXPECT_EQ(chooser.manufacturerPopup().items,
              (QStringList{"Alpha (US)", "Zeta", "-", "Bare (Metric)", "Metric"}));
    // Envelope rows: every maker of the US list with a separator row between them.
    EXPECT_EQ(rowsOf(chooser), (QStringList{"A1 (9.5x4.125 in)", "-----------", "Z1 (9.5x4.125 in)",
                                            "Z2 (9.5x4.125 in)"}));
    EXPECT_FALSE(chooser.shouldSelectRow(1));
    chooser.selectRow(1);
    EXPECT_EQ(chooser.selectedRow(), 0);
    EXPECT_EQ(chooser.cardDictionaryAtIndex(2)->value(Info::paperCode), "Z1");
    EXPECT_FALSE(chooser.cardDictionaryAtIndex(1));
    EXPECT_FALSE(chooser.cardDictionaryAtIndex(4));
    chooser.setFormatUnitsColumn(1);
    chooser.formatUnitsTypeAction();
    EXPECT_EQ(rowsOf(chooser),
              (QStringList{"B1 (9.5x4.125 mm)", "-----------", "M1 (9.5x4.125 mm)"}));

    // The maker index: US first, the separator skipped, nothing past the end.
    chooser.selectManufacturerAtIndex(3);
    EXPECT_EQ(chooser.selectedManufacturerName(), "");
    EXPECT_EQ(codesOf(chooser), QStringList{"B1"});
    chooser.selectManufacturerAtIndex(2);
    EXPECT_TRUE(chooser.cardArray().isEmpty());
    chooser.selectManufacturerAtIndex(9);
    EXPECT_TRUE(chooser.cardArray().isEmpty());

    // A project without stocks shows one blank maker.
    chooser.selectProjectType(503);
    EXPECT_EQ(chooser.manufacturerPopup().items, QStringList{" "});
    EXPECT_EQ(chooser.numberOfRows(), 0);
}

TEST(StockLists, RowTextsOfPageTypesAndTheShippedStocks)
{
    Controller chooser(true, 1);
    chooser.selectProjectType(1);
    EXPECT_EQ(chooser.manufacturerPopup().items,
              (QStringList{"Standard (US)", "-", "Standard (Metric)"}));
    EXPECT_EQ(rowsOf(chooser), QStringList{"US Letter - Letterhead (8.5x11 in)"});
    EXPECT_EQ(chooser.selectedRow(), 0);
    EXPECT_TRUE(chooser.continueEnabled());
    EXPECT_EQ(chooser.selectedManufacturerName(), ""); // page types keep no maker

    chooser.selectProjectType(0);
    EXPECT_EQ(chooser.numberOfRows(), 9);
    const QVariantMap size10 =
        Controller::convertDimensionsToPoints(*chooser.cardDictionaryAtIndex(2));
    EXPECT_EQ(Info::text(size10, Info::paperCode), "Size 10");
    EXPECT_DOUBLE_EQ(Info::real(size10, Info::labelWidth), 684);
    EXPECT_DOUBLE_EQ(Info::real(size10, Info::labelHeight), 297);
    chooser.setFormatUnitsColumn(1);
    const QVariantMap dl = Controller::convertDimensionsToPoints(*chooser.cardDictionaryAtIndex(8));
    EXPECT_EQ(Info::text(dl, Info::paperCode), "DL");
    EXPECT_NEAR(Info::real(dl, Info::labelWidth), 623.62, 1e-2);
}

TEST(StockLists, SearchByCodeAndByModel)
{
    StockFolder stocks;
    writeStocks(
        stocks.folder("Diskette Labels") + "Maker-Letter.plist",
        {stock("AB-100", "Letter", {"XY-9"}), stock("ab-200"), stock("CD-1", "Letter", {"zab"})});
    Controller chooser(true, 504);
    chooser.selectProjectType(504);
    ASSERT_EQ(chooser.numberOfRows(), 3);
    chooser.searchPaperCode("Ab");
    EXPECT_EQ(codesOf(chooser), (QStringList{"AB-100", "ab-200", "CD-1"}));
    chooser.searchPaperCode("xy-");
    EXPECT_EQ(codesOf(chooser), QStringList{"AB-100"}); // found among its models
    EXPECT_EQ(chooser.selectedRow(), 0);
    EXPECT_EQ(chooser.selectedPrinterModels(), "XY-9");
    chooser.searchPaperCode("nothing");
    EXPECT_EQ(chooser.numberOfRows(), 0);
    EXPECT_EQ(chooser.selectedRow(), -1);
    EXPECT_FALSE(chooser.continueEnabled());
    chooser.searchPaperCode("");
    EXPECT_EQ(chooser.numberOfRows(), 3);

    // The label catalogue: by code and by model, the maker's list restored first.
    Controller labels(true, 500);
    labels.selectProjectType(500);
    labels.searchPaperCode("5160");
    ASSERT_FALSE(labels.cardArray().isEmpty());
    for (const Controller::Card& card : labels.cardArray())
        EXPECT_TRUE(card.foldedCode.contains("5160") || card.foldedModels.contains("5160"));
}

TEST(StockLists, FitThePreviewInItsBoxUnderAShadow)
{
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    platform::GraphicsContext context(&painter);
    platform::GraphicsContext::Scope scope(context);
    Controller chooser(false, 500);
    for (const bool landscape : {true, false}) {
        chooser.setLandscapeOrientationSelected(landscape);
        chooser.startShadow();
        ASSERT_TRUE(context.shadow());
        EXPECT_NEAR(context.shadow()->offset.width(), landscape ? -4 : 0, 1e-4);
        EXPECT_NEAR(context.shadow()->offset.height(), landscape ? 0 : 4, 1e-4);
        EXPECT_EQ(context.shadow()->blurRadius, 7);
        EXPECT_NEAR(context.shadow()->color.alphaF(), 0.6, 1e-2);
        chooser.stopShadow();
        EXPECT_FALSE(context.shadow());
    }

    EXPECT_EQ(Controller::previewBoxSize(QSizeF(464, 600)), QSizeF(232, 232));
    EXPECT_EQ(Controller::previewBoxSize(QSizeF(400, 200)), QSizeF(232, 116));
    EXPECT_EQ(Controller::previewBoxSize(QSizeF(100, 150)), QSizeF(232, 150));
}
