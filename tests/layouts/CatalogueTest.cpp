// The label-template catalogues: parsing small fixture catalogues and the shipped ones,
// the filters, the conversion to points and the disc expansion.

#include "MessageLog.h"

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"

#include <gtest/gtest.h>

#include <QSet>

#include <cmath>

namespace {

using Controller = LBLayoutSheetController;
using Info = DimensionInfo;

QByteArray catalogue(const char* sheets)
{
    return QByteArray("<?xml version=\"1.0\"?>\n<PaperFormatList>") + sheets
           + QByteArray("</PaperFormatList>");
}

QStringList codesOf(const QList<Controller::Card>& cards)
{
    QStringList codes;
    for (const Controller::Card& card : cards)
        codes << Info::text(card.record(), Info::paperCode);
    return codes;
}

} // namespace

TEST(Catalogue, ParsesSheetsWhateverTheSpellingOfTheirFields)
{
    Controller chooser(false, 500);
    const QByteArray xml = catalogue(R"(
        <PaperFormat>
          <Manufacturer>Maker A</Manufacturer><ID>A-1</ID><PageSize>Letter</PageSize>
          <Category>Address Labels</Category><Notes>kept as it is</Notes>
          <description>Address labels</description>
          <Models><Model><Description>A-2</Description></Model>
                  <Model><Description>x</Description></Model></Models>
          <Labels><Label><Width>2.625in</Width><Height>1in</Height><Rows>10</Rows>
            <Columns>3</Columns><TopMargin>0.5in</TopMargin></Label></Labels>
        </PaperFormat>
        <PaperFormat>
          <paperManufacturer>Maker B</paperManufacturer><paperCode>B-1</paperCode>
          <category>Shipping</category><LabelType>Round</LabelType>
          <Models></Models>
          <Labels><Label><labelWidth>50mm</labelWidth><labelHeight>20mm</labelHeight></Label>
          </Labels>
        </PaperFormat>
        <PaperFormat>
          <Manufacturer>Maker A</Manufacturer><ID>A-3</ID><Width>10mm</Width><Height>10mm</Height>
        </PaperFormat>)");
    ASSERT_TRUE(chooser.parseCatalogue(xml, 500)) << chooser.catalogueError().toStdString();
    ASSERT_EQ(chooser.paperFormats().size(), 3);

    const QVariantMap a = chooser.paperFormats().at(0).record();
    EXPECT_EQ(a.value(Info::paperManufacturer), "Maker A");
    EXPECT_EQ(a.value(Info::paperSize), "Letter");
    EXPECT_EQ(a.value("labelTypeDescription"), "Address Labels");
    EXPECT_EQ(a.value("Notes"), "kept as it is");
    EXPECT_EQ(a.value(Info::description), "Address labels");
    EXPECT_EQ(a.value(Info::category), "Address Labels");
    // Label leaves are the sheet's; a one-letter model is none.
    EXPECT_EQ(a.value(Info::labelWidth), "2.625in");
    EXPECT_EQ(a.value(Info::numRows), "10");
    EXPECT_EQ(a.value(Info::models).toStringList(), QStringList{"A-2"});
    EXPECT_FALSE(a.contains("Description"));

    const QVariantMap b = chooser.paperFormats().at(1).record();
    EXPECT_EQ(b.value(Info::paperManufacturer), "Maker B");
    EXPECT_EQ(b.value("labelTypeDescription"), "Round"); // the later of the two wins
    // The card's entries hold each key once, so what the filters compare is the record's.
    EXPECT_EQ(chooser.paperFormats().at(1).labelType, "Round");
    EXPECT_EQ(chooser.paperFormats().at(1).fieldCount, b.size());
    EXPECT_FALSE(b.contains(Info::models)); // an empty list is not stored
    EXPECT_FALSE(b.contains("labels"));     // only disc sheets keep labels

    // The makers of the kept sheets, either spelling, in order of first appearance.
    EXPECT_EQ(chooser.manufacturers(), (QStringList{"All", "-", "Maker A", "Maker B"}));
    EXPECT_EQ(chooser.labelTypePopup().items, (QStringList{"All", "-"}));
}

TEST(Catalogue, KeepsEveryTextOfALargeCatalogue)
{
    // More distinct texts than the parse's table of texts first has room for, the same
    // texts recurring, an empty leaf and a sheet of several models.
    QByteArray sheets;
    const int count = 4000;
    for (int i = 0; i < count; ++i) {
        sheets += QStringLiteral("<PaperFormat><Manufacturer>Maker %1</Manufacturer>"
                                 "<ID>C-%2</ID><Notes>note %2 \u00e9</Notes><Extra></Extra>"
                                 "<Width>%3mm</Width><Height>10mm</Height></PaperFormat>")
                      .arg(i % 7)
                      .arg(i)
                      .arg(10 + i % 5)
                      .toUtf8();
    }
    sheets += R"(<PaperFormat><Manufacturer>M</Manufacturer><ID>Multi</ID>
        <Models><Model><Description>AB-1</Description></Model>
                <Model><Description>Cd-2</Description></Model></Models>
        <Width>1mm</Width><Height>1mm</Height></PaperFormat>)";
    Controller chooser(false, 500);
    ASSERT_TRUE(chooser.parseCatalogue(catalogue(sheets.constData()), 500));
    ASSERT_EQ(chooser.paperFormats().size(), count + 1);
    for (int i = 0; i < count; ++i) {
        const Controller::Card& card = chooser.paperFormats().at(i);
        const QVariantMap record = card.record();
        ASSERT_EQ(record.value(Info::paperCode), QStringLiteral("C-%1").arg(i)) << i;
        ASSERT_EQ(record.value("Notes"), QStringLiteral("note %1 \u00e9").arg(i)) << i;
        ASSERT_EQ(record.value(Info::labelWidth), QStringLiteral("%1mm").arg(10 + i % 5)) << i;
        ASSERT_EQ(card.maker, QStringLiteral("Maker %1").arg(i % 7)) << i;
        ASSERT_TRUE(record.contains("Extra")) << i;
        ASSERT_EQ(record.value("Extra").toString(), QString()) << i;
        ASSERT_EQ(card.foldedCode, QStringLiteral("c-%1").arg(i)) << i;
    }
    EXPECT_EQ(chooser.manufacturers().size(), 2 + 7 + 1);
    EXPECT_EQ(chooser.paperFormats().last().foldedModels, "ab-1\ncd-2");
}

TEST(Catalogue, ALabelSheetTakesItsLabelsFieldsListsAndFoldLines)
{
    Controller chooser(false, 500);
    const QByteArray xml = catalogue(R"(
        <PaperFormat><Manufacturer>M</Manufacturer><ID>F-1</ID><Width>5mm</Width>
          <Rows>2</Rows><models>leaf</models>
          <Models><Model><Description>M-10</Description></Model></Models>
          <Labels><Label><Width>7mm</Width><Height>9mm</Height>
            <FoldLines><FoldLine><X1>1</X1><Y2>2</Y2></FoldLine></FoldLines>
            <FoldLine><X1>3</X1></FoldLine></Label></Labels>
        </PaperFormat>
        <PaperFormat><Manufacturer>M</Manufacturer><ID>F-2</ID><models>Lone</models>
          <Width>1mm</Width><Height>1mm</Height></PaperFormat>)");
    ASSERT_TRUE(chooser.parseCatalogue(xml, 500));
    ASSERT_EQ(chooser.paperFormats().size(), 2);
    const Controller::Card& card = chooser.paperFormats().at(0);
    const QVariantMap sheet = card.record();
    EXPECT_EQ(card.fieldCount, sheet.size());
    EXPECT_EQ(sheet.value(Info::labelWidth), "7mm"); // the label's, over the sheet's
    EXPECT_EQ(sheet.value(Info::numRows), "2");
    EXPECT_EQ(sheet.value(Info::models), QVariantList{"M-10"}); // the list, over the leaf
    EXPECT_EQ(card.foldedModels, "m-10");
    const QVariantList folds = sheet.value("foldLines").toList();
    ASSERT_EQ(folds.size(), 2);
    EXPECT_EQ(folds.at(0).toMap(), (QVariantMap{{"x1", "1"}, {"y2", "2"}}));
    EXPECT_EQ(folds.at(1).toMap(), (QVariantMap{{"x1", "3"}}));
    // A models leaf alone is the sheet's one model.
    EXPECT_EQ(chooser.paperFormats().at(1).record().value(Info::models), "Lone");
    EXPECT_EQ(chooser.paperFormats().at(1).foldedModels, "lone");
}

TEST(Catalogue, KeepsDiscLabelsWithTheirFoldLines)
{
    Controller chooser(false, 6);
    const QByteArray xml = catalogue(R"(
        <PaperFormat><Manufacturer>M</Manufacturer><ID>D-1</ID><PageSize>A4</PageSize>
          <Labels>
            <Label><LabelType>CDDisc</LabelType><Width>117mm</Width><Height>117mm</Height>
              <Diameter>117mm</Diameter><HoleDiameter>41mm</HoleDiameter></Label>
            <Label><LabelType>CDCover</LabelType><Width>120mm</Width><Height>240mm</Height>
              <FoldLines><FoldLine><X1>120mm</X1><Y1>0mm</Y1><X2>120mm</X2><Y2>120mm</Y2></FoldLine>
              </FoldLines>
              <FoldLine><x1>1</x1><y1>2</y1><x2>3</x2><y2>4</y2></FoldLine>
              <FoldLine><x1>5</x1></FoldLine>
            </Label>
            <Label></Label>
            <Label><LabelType>CDSpine</LabelType><Width>5mm</Width><Height>118mm</Height>
              <FoldLines></FoldLines></Label>
          </Labels>
        </PaperFormat>)");
    ASSERT_TRUE(chooser.parseCatalogue(xml, 6));
    ASSERT_EQ(chooser.paperFormats().size(), 1);
    const QVariantMap sheet = chooser.paperFormats().first().record();
    EXPECT_EQ(sheet.value(Info::category), "Disc Labels");
    const QVariantList labels = sheet.value("labels").toList();
    ASSERT_EQ(labels.size(), 3); // the empty label is dropped
    EXPECT_EQ(labels.at(0).toMap().value(Info::outerDiameter), "117mm");
    EXPECT_EQ(labels.at(0).toMap().value(Info::innerDiameter), "41mm");
    // The listed fold line and the two loose ones after it, none lost.
    const QVariantList folds = labels.at(1).toMap().value("foldLines").toList();
    ASSERT_EQ(folds.size(), 3);
    EXPECT_EQ(folds.at(0).toMap().value("x1"), "120mm");
    EXPECT_EQ(folds.at(1).toMap().value("y2"), "4");
    EXPECT_EQ(folds.at(2).toMap().value("x1"), "5");
    EXPECT_FALSE(labels.at(2).toMap().contains("foldLines"));
}

TEST(Catalogue, SkipsBadSheetsWithOneLogLineEach)
{
    struct Case
    {
        const char* name;
        const char* sheet;
        const char* logged;
    };
    const Case cases[] = {
        {"no code", "<Manufacturer>M</Manufacturer><Width>1in</Width><Height>1in</Height>",
         "M : no paperCode"},
        {"no width", "<Manufacturer>M</Manufacturer><ID>W</ID><Height>1in</Height>",
         "M W: no labelWidth"},
        {"zero height",
         "<Manufacturer>M</Manufacturer><ID>H</ID><Width>1in</Width><Height>0mm</Height>",
         "M H: labelHeight is not above 0"},
        {"negative width",
         "<Manufacturer>M</Manufacturer><ID>N</ID><Width>-1in</Width><Height>1in</Height>",
         "M N: labelWidth is not above 0"},
        {"no rows",
         "<Manufacturer>M</Manufacturer><ID>R</ID><Width>1in</Width><Height>1in</Height><Rows>0</"
         "Rows>",
         "M R: numRows is below 1"},
        {"no columns",
         "<Manufacturer>M</Manufacturer><ID>C</ID><Width>1in</Width><Height>1in</Height>"
         "<Columns>x</Columns>",
         "M C: numColumns is below 1"},
        {"a sheet of 10^9 x 10^9 labels",
         "<Manufacturer>M</Manufacturer><ID>B</ID><Width>1in</Width><Height>1in</Height>"
         "<Rows>1000000000</Rows><Columns>1000000000</Columns>",
         "M B: numRows is above 1000"},
        {"a page 10^9 inches high",
         "<Manufacturer>M</Manufacturer><ID>P</ID><PageSize>Letter</PageSize>"
         "<PageWidth>8.5</PageWidth><PageHeight>1000000000</PageHeight>"
         "<Width>1in</Width><Height>1in</Height>",
         "M P: pageHeight is not within 14400 points"},
    };
    for (const Case& c : cases) {
        Controller chooser(false, 500);
        MessageLog log;
        const QByteArray xml =
            catalogue((QByteArray("<PaperFormat>") + c.sheet
                       + "</PaperFormat><PaperFormat><Manufacturer>Good</Manufacturer><ID>G</ID>"
                         "<Width>1in</Width><Height>1in</Height></PaperFormat>")
                          .constData());
        EXPECT_TRUE(chooser.parseCatalogue(xml, 500)) << c.name;
        EXPECT_EQ(codesOf(chooser.paperFormats()), QStringList{"G"}) << c.name;
        EXPECT_EQ(chooser.manufacturers(), (QStringList{"All", "-", "Good"})) << c.name;
        ASSERT_EQ(log.messages.size(), 1) << c.name;
        EXPECT_TRUE(log.contains(QString::fromLatin1(c.logged)))
            << log.messages.join('\n').toStdString();
    }

    // Disc labels: a bad label is dropped; a sheet left without labels is skipped.
    Controller disc(false, 6);
    MessageLog log;
    EXPECT_TRUE(disc.parseCatalogue(catalogue(R"(
        <PaperFormat><Manufacturer>M</Manufacturer><ID>D1</ID><Labels>
          <Label><Width>0mm</Width><Height>10mm</Height></Label>
          <Label><Width>10mm</Width><Height>10mm</Height></Label></Labels></PaperFormat>
        <PaperFormat><Manufacturer>M</Manufacturer><ID>D2</ID><Labels>
          <Label><Width>10mm</Width></Label></Labels></PaperFormat>)"),
                                    6));
    EXPECT_EQ(codesOf(disc.paperFormats()), QStringList{"D1"});
    EXPECT_EQ(disc.paperFormats().first().record().value("labels").toList().size(), 1);
    EXPECT_EQ(log.messages.size(), 3);
    EXPECT_TRUE(log.contains("M D2: no usable labels"));
}

TEST(Catalogue, BrokenXmlKeepsTheSheetsBeforeTheFault)
{
    const QByteArray good = "<PaperFormat><Manufacturer>M</Manufacturer><ID>1</ID>"
                            "<Width>1in</Width><Height>1in</Height></PaperFormat>";
    struct Case
    {
        const char* name;
        QByteArray xml;
        const char* error;
        const char* kept; // the sheet left in the catalogue
    };
    const Case cases[] = {
        {"truncated", "<PaperFormatList>" + good + "<PaperFormat><ID>2</ID><Wid", "line 1", "1"},
        {"entity", "<!DOCTYPE PaperFormatList [<!ENTITY big \"xxxxxxxx\">]>\n<PaperFormatList>",
         "entities", "before"},
        {"mismatched", "<PaperFormatList>" + good + "\n<PaperFormat></Labels>", "line 2", "1"},
        {"no catalogue", "<plist>" + good + "</plist>", "not a catalogue (<plist>)", "before"},
    };
    for (const Case& c : cases) {
        Controller chooser(false, 500);
        ASSERT_TRUE(chooser.parseCatalogue(
            QByteArray(good).replace("<ID>1</ID>", "<ID>before</ID>").prepend("<PaperFormatList>")
                + "</PaperFormatList>",
            500));
        MessageLog log;
        EXPECT_FALSE(chooser.parseCatalogue(c.xml, 500)) << c.name;
        EXPECT_TRUE(chooser.catalogueError().contains(QString::fromLatin1(c.error)))
            << c.name << ": " << chooser.catalogueError().toStdString();
        EXPECT_EQ(log.messages.size(), 1) << c.name;
        EXPECT_EQ(codesOf(chooser.paperFormats()), QStringList{c.kept}) << c.name;
        EXPECT_EQ(chooser.manufacturers(), (QStringList{"All", "-", "M"})) << c.name;
    }
}

TEST(Catalogue, ConvertsSheetsToPoints)
{
    struct Case
    {
        const char* text;
        const char* paperSize;
        double points;
    };
    const Case cases[] = {
        {"63.5mm", "A4", 180.0},   {"1in", "A4", 72},       {"1inch", "A4", 72},
        {"1inches", "A4", 72},     {"2.54cm", "A4", 72},    {"2.5", "Letter", 180},
        {"2.5", "Letter2", 180},   {"2.5", "Tabloid", 180}, {"2.5", "A4", 7.0866},
        {"  2.5mm", "A4", 7.0866}, // leading blanks do not matter
        {"1in ", "A4", 2.8346},    // a blank after the unit hides it
    };
    for (const Case& c : cases) {
        const QVariantMap converted = Controller::convertDimensionsToPoints(
            {{Info::labelWidth, QString::fromLatin1(c.text)},
             {Info::paperSize, QString::fromLatin1(c.paperSize)}});
        EXPECT_NEAR(converted.value(Info::labelWidth).toDouble(), c.points, 1e-3)
            << c.text << " " << c.paperSize;
    }

    const QVariantMap sheet = Controller::convertDimensionsToPoints(
        {{Info::paperSize, "A4"},
         {Info::numRows, "4"},
         {"labels",
          QVariantList{QVariantMap{{Info::labelWidth, "10mm"},
                                   {Info::innerDiameter, "4mm"},
                                   {"foldLines", QVariantList{QVariantMap{{"x1", "1in"}}}}}}}});
    EXPECT_EQ(sheet.value(Info::numRows), "4"); // counts keep their text
    EXPECT_EQ(sheet.value(Info::numColumns), 1);
    EXPECT_EQ(sheet.value(Info::leftMargin), 0.0);
    EXPECT_FALSE(sheet.contains(Info::outerDiameter));
    const QVariantMap label = sheet.value("labels").toList().first().toMap();
    EXPECT_NEAR(label.value(Info::innerDiameter).toDouble(), 11.3386, 1e-3);
    EXPECT_NEAR(label.value(Info::outerDiameter).toDouble(), 28.3465, 1e-3); // the larger side
    EXPECT_EQ(label.value(Info::numRows), 1);
    const QVariantMap fold = label.value("foldLines").toList().first().toMap();
    EXPECT_DOUBLE_EQ(fold.value("x1").toDouble(), 72);
    EXPECT_EQ(fold.value(Info::topMargin), 0.0);
}

TEST(Catalogue, ExpandsDiscSheetsIntoTheirLabels)
{
    const QVariantMap converted = Controller::convertDimensionsToPoints(
        {{Info::paperSize, "A4"},
         {"labels",
          QVariantList{QVariantMap{{"labelTypeDescription", "CDDisc"},
                                   {Info::leftMargin, "10mm"},
                                   {Info::topMargin, "20mm"},
                                   {Info::numRows, "2"},
                                   {Info::numColumns, "1"},
                                   {Info::innerDiameter, "41mm"},
                                   {Info::outerDiameter, "117mm"},
                                   {Info::vLabelSpace, "10mm"}},
                       QVariantMap{{Info::labelWidth, "30mm"},
                                   {Info::labelHeight, "20mm"},
                                   {Info::cornerRadius, "2mm"},
                                   {"foldLines", QVariantList{QVariantMap{{"x1", "1mm"}}}}},
                       QVariantMap{{Info::labelWidth, "30mm"},
                                   {Info::labelHeight, "20mm"},
                                   {Info::numRows, "0"}}}}});
    Controller notDisc(false, 500);
    EXPECT_EQ(notDisc.expandDiscLabelsInDictionary(converted), converted);

    Controller disc(false, 500);
    disc.setSelectedProjectType(6);
    const QVariantList labels =
        disc.expandDiscLabelsInDictionary(converted).value("labels").toList();
    ASSERT_EQ(labels.size(), 3); // two discs, one label, a block of none
    const QVariantMap first = labels.at(0).toMap();
    const QVariantMap second = labels.at(1).toMap();
    EXPECT_EQ(first.value("x"), second.value("x"));
    EXPECT_NEAR(second.value("y").toDouble() - first.value("y").toDouble(), 360.0, 1e-3);
    EXPECT_NEAR(first.value(Info::outerDiameter).toDouble(), 331.65, 1e-2);
    EXPECT_FALSE(first.contains("width"));
    EXPECT_EQ(first.value("labelTypeDescription"), "CDDisc");
    const QVariantMap plain = labels.at(2).toMap();
    EXPECT_NEAR(plain.value("width").toDouble(), 85.039, 1e-3);
    EXPECT_FALSE(plain.contains(Info::outerDiameter));
    EXPECT_EQ(plain.value("foldLines").toList().size(), 1);
    EXPECT_TRUE(plain.contains(Info::cornerRadius));
}

TEST(Catalogue, FiltersByMakerAndLabelType)
{
    Controller chooser(false, 6);
    chooser.setSelectedProjectType(6);
    ASSERT_TRUE(chooser.parseCatalogue(catalogue(R"(
        <PaperFormat><Manufacturer>B</Manufacturer><ID>1</ID><Labels>
          <Label><LabelType>CDDisc</LabelType><Width>1in</Width><Height>1in</Height></Label>
          <Label><LabelType>CDDisc</LabelType><Width>1in</Width><Height>1in</Height></Label>
          <Label><LabelType>CDSpine</LabelType><Width>1in</Width><Height>1in</Height></Label>
        </Labels></PaperFormat>
        <PaperFormat><Manufacturer>A</Manufacturer><ID>2</ID><Labels>
          <Label><LabelType>CDCover</LabelType><Width>1in</Width><Height>1in</Height></Label>
        </Labels></PaperFormat>)"),
                                       6));
    chooser.populateManufacturerPopupMenu();
    EXPECT_EQ(chooser.manufacturerPopup().items, (QStringList{"All", "-", "B", "A"}));
    chooser.filterByManufacturer("All");
    EXPECT_EQ(codesOf(chooser.cardArray()), (QStringList{"1", "2"}));
    // Sorted by code, shown by name.
    EXPECT_EQ(chooser.labelTypePopup().items,
              (QStringList{"All", "-", "CD Cover", "CD/DVD Label", "CD Spine"}));
    chooser.filterByLabelType("CDDisc");
    EXPECT_EQ(codesOf(chooser.cardArray()), QStringList{"1"}); // listed once
    EXPECT_EQ(chooser.selectedRow(), 0);
    chooser.setManufacturerPopupSelection(3);
    chooser.filterByLabelType("CDDisc");
    EXPECT_TRUE(chooser.cardArray().isEmpty());
    EXPECT_EQ(chooser.selectedRow(), -1);
    chooser.filterByManufacturer("A");
    EXPECT_EQ(codesOf(chooser.cardArray()), QStringList{"2"});
    EXPECT_EQ(chooser.labelTypePopup().items, (QStringList{"All", "-", "CD Cover"}));
}

TEST(Catalogue, NamesDiscLabelTypes)
{
    EXPECT_EQ(Controller::discLabelTypes().size(), 36);
    for (const QString& code : Controller::discLabelTypes())
        EXPECT_EQ(
            Controller::discLabelTypeForEnglishName(Controller::englishNameForDiscLabelType(code)),
            code);
    EXPECT_EQ(Controller::englishNameForDiscLabelType("CDDisc"), "CD/DVD Label");
    EXPECT_EQ(Controller::englishNameForDiscLabelType("DiscT@2"), "DiscT@2 Label");
    EXPECT_EQ(Controller::englishNameForDiscLabelType("Unknown"), "All");
    EXPECT_EQ(Controller::discLabelTypeForEnglishName("Unknown"), "All");
    EXPECT_EQ(Controller::keyForPaperElementName("HoleDiameter"), Info::innerDiameter);
    EXPECT_EQ(Controller::keyForPaperElementName("Y2"), "y2");
    EXPECT_EQ(Controller::keyForPaperElementName("Notes"), "Notes");
}

TEST(Catalogue, ShippedCataloguesHaveEveryCellOnItsPage)
{
    struct Case
    {
        qint64 type;
        qsizetype sheets;
        qsizetype makers;
    };
    for (const Case& c : {Case{500, 1486, 53}, Case{6, 172, 35}}) {
        Controller chooser(false, c.type);
        chooser.setSelectedProjectType(c.type);
        MessageLog log;
        ASSERT_TRUE(c.type == 6 ? chooser.parseDiscLabelsFile() : chooser.parseAddressLabelsFile());
        EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();
        EXPECT_EQ(chooser.paperFormats().size(), c.sheets);
        EXPECT_EQ(chooser.manufacturers().size() - 2, c.makers);
        for (const Controller::Card& card : chooser.paperFormats()) {
            const QVariantMap sheet = card.record();
            // No value has a blank after its unit, where the unit would be missed.
            for (auto it = sheet.cbegin(); it != sheet.cend(); ++it) {
                if (it.value().typeId() == QMetaType::QString) {
                    ASSERT_EQ(it.value().toString().trimmed(), it.value().toString());
                }
            }
            const QVariantMap converted =
                chooser.expandDiscLabelsInDictionary(Controller::convertDimensionsToPoints(sheet));
            const QRectF page(QPointF(0, 0), Controller::pixelDimensionsForPaper(converted));
            const QRectF allowed = page.adjusted(-0.5, -0.5, 0.5, 0.5);
            const QString name = Info::text(sheet, Info::paperManufacturer) + " "
                                 + Info::text(sheet, Info::paperCode);
            if (c.type == 6) {
                const QVariantList labels = converted.value("labels").toList();
                ASSERT_FALSE(labels.isEmpty()) << name.toStdString();
                for (const QVariant& label : labels)
                    ASSERT_TRUE(allowed.contains(Controller::labelRect(label.toMap())))
                        << name.toStdString();
            } else {
                const qint64 rows = Info::integer(converted, Info::numRows);
                const qint64 columns = Info::integer(converted, Info::numColumns);
                ASSERT_TRUE(
                    allowed.contains(Controller::cellRect(converted, 0, 0))
                    && allowed.contains(Controller::cellRect(converted, rows - 1, columns - 1)))
                    << name.toStdString();
            }
        }
    }
}
