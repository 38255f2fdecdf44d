// The layout dictionary: a new document's 20 keys, lenient readers, the undoable
// replacement and the fill order of the label cells.

#include "DocumentTestSupport.h"

#include "document/DimensionInfo.h"

TEST_F(DocumentTest, NewLayoutHasTwentyKeysOnTheSharedPaper)
{
    platform::PrintInfo a4;
    a4.setPaperName("A4");
    a4.setPaperSize(QSizeF(595.2755907, 841.88976399));
    platform::PrintInfo::setSharedPrintInfo(a4);
    const LBDocument onA4;
    const QVariantMap& info = onA4.dimensionInfo();
    EXPECT_EQ(info.size(), 20);
    const QVariantMap expected = {
        {"documentType", 1},        {"paperManufacturer", "Quarn"},
        {"paperCode", "0"},         {"paperSize", "Letter"},
        {"pageWidth", 595.2755907}, {"pageHeight", 841.88976399},
        {"labelType", 1},           {"startLabel", 1},
        {"labelDirection", 1},      {"labelWidth", 252},
        {"labelHeight", 144},       {"numRows", 5},
        {"numColumns", 2},          {"topMargin", 36},
        {"leftMargin", 54},         {"hLabelSpace", 0},
        {"vLabelSpace", 0},         {"cornerRadius", 0},
        {"innerDiameter", 0},       {"outerDiameter", 0},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        ASSERT_TRUE(info.contains(it.key())) << it.key().toStdString();
        EXPECT_EQ(info.value(it.key()).toString(), it.value().toString()) << it.key().toStdString();
    }
    EXPECT_EQ(onA4.dimensionType(), 1);
    EXPECT_EQ(onA4.editableDocumentSize(), QSizeF(252, 144));
    EXPECT_NEAR(onA4.documentSize().height(), 841.89, 0.001);
}

TEST_F(DocumentTest, LayoutReadersTakeNumbersOrTheirTextAndMissingKeysAsZero)
{
    const QVariantMap info = {{"numRows", "7 rows"},   {"labelWidth", "252.5pt"},
                              {"labelHeight", 144.25}, {"documentType", 3.9},
                              {"paperCode", 8160},     {"models", QVariantList{"a"}}};
    EXPECT_EQ(DimensionInfo::integer(info, "numRows"), 7);
    EXPECT_EQ(DimensionInfo::real(info, "labelWidth"), 252.5);
    EXPECT_EQ(DimensionInfo::real(info, "labelHeight"), 144.25);
    EXPECT_EQ(DimensionInfo::integer(info, "documentType"), 3);
    EXPECT_EQ(DimensionInfo::text(info, "paperCode"), "8160");
    EXPECT_EQ(DimensionInfo::integer(info, "numColumns"), 0);
    EXPECT_EQ(DimensionInfo::real(info, "topMargin"), 0.0);
    EXPECT_EQ(DimensionInfo::text(info, "category"), "");
    EXPECT_EQ(DimensionInfo::text(info, "models"), "");

    // The document's sizes read the same way.
    document->dimensionInfo()["pageWidth"] = "612";
    document->dimensionInfo()["pageHeight"] = "1008 points";
    document->dimensionInfo()["documentType"] = "3";
    EXPECT_EQ(document->documentSize(), QSizeF(612, 1008));
    EXPECT_EQ(document->editableDocumentSize(), QSizeF(612, 1008)); // not a label sheet
}

TEST_F(DocumentTest, ChangingTheLayoutIsOneUndoableStepOnTheSameDictionary)
{
    auto* controller = new FakeWindowController;
    document->addWindowController(controller);
    const QVariantMap* live = &document->dimensionInfo();
    const QVariantMap before = *live;

    QVariantMap disc = before;
    disc.remove("cornerRadius");
    disc.insert("labelType", 17);
    disc.insert("rotateLabels", "YES");
    step([&] { document->setDimensionInfo(disc); }, QString());
    EXPECT_EQ(document->undoManager()->undoActionName(), "Change Dimensions");
    EXPECT_EQ(&document->dimensionInfo(), live);
    EXPECT_EQ(*live, disc);
    EXPECT_EQ(controller->setups, 1);

    undo();
    EXPECT_EQ(*live, before); // the removed key is back, the added one gone
    EXPECT_FALSE(live->contains("rotateLabels"));
    EXPECT_EQ(controller->setups, 2);
    redo();
    EXPECT_EQ(*live, disc);
}

TEST(DimensionInfo, LabelsFillTheGridColumnByColumnOrRowByRow)
{
    struct Case
    {
        qint64 direction;
        qint64 rows;
        qint64 columns;
        qint64 label;
        DimensionInfo::Cell cell;
    };
    for (const Case& c :
         {Case{2, 5, 2, 7, {1, 1}}, Case{1, 5, 2, 7, {3, 0}}, Case{0, 5, 2, 7, {3, 0}},
          Case{2, 5, 2, 1, {0, 0}}, Case{2, 5, 2, 5, {4, 0}}, Case{1, 5, 2, 10, {4, 1}},
          Case{2, 0, 2, 3, {0, 0}}, Case{1, 5, 0, 3, {0, 0}}, Case{1, 5, 2, 0, {0, 0}}}) {
        const QVariantMap info = {{"labelDirection", c.direction},
                                  {"numRows", c.rows},
                                  {"numColumns", QString::number(c.columns)}};
        const DimensionInfo::Cell cell = DimensionInfo::cellOfLabel(info, c.label);
        EXPECT_EQ(cell.row, c.cell.row) << c.direction << " " << c.label;
        EXPECT_EQ(cell.column, c.cell.column) << c.direction << " " << c.label;
    }
}
