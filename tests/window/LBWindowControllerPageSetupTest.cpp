// Page set-up: paper sizes from names and layouts, and the print settings a layout gets,
// on a printer list of the test's own.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Beep.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/Printers.h"
#include "window/LBWindowController.h"

#include <gtest/gtest.h>

#include <memory>

using platform::PrintInfo;
using Info = DimensionInfo;

namespace {

void expectSize(const QSizeF& actual, const QSizeF& expected, const QString& what)
{
    EXPECT_NEAR(actual.width(), expected.width(), 1e-4) << what.toStdString();
    EXPECT_NEAR(actual.height(), expected.height(), 1e-4) << what.toStdString();
}

class FakePrinters : public platform::Printers::Source
{
public:
    QList<platform::Printers::Printer> printers() const override { return list; }
    QList<QPageSize> paperSizes(const QString& name) const override { return papers.value(name); }

    QList<platform::Printers::Printer> list;
    QHash<QString, QList<QPageSize>> papers;
};

} // namespace

TEST(LBWindowControllerPageSetup, PaperNamesGiveTheirSizes)
{
    struct Case
    {
        const char* name;
        QSizeF size;
    };
    const Case cases[] = {
        {"Letter", {612, 792}},
        {"US Letter", {612, 792}},
        {"4x6 in", {288, 432}}, // named, not parsed
        {"Legal", {612, 1008}},
        {"A4", {595.2755907, 841.88976399}},
        {"B4 JIS", {728.50393719, 1031.81102388}},
        {"HP CD Tray", {390.24, 676.8}},
        {"210x297mm", {595.27559, 841.88976}},
        {"8.5x11in", {612, 792}},
        {"21x29.7cm", {595.27559, 841.88976}},
        {"8.5x11", {0, 0}},    // no unit
        {"2x3x4in", {0, 0}},   // not two sides
        {"Executive", {0, 0}}, // an x, but no size
        {"letter", {0, 0}},    // names are exact
        {"", {0, 0}},
    };
    for (const Case& c : cases) {
        const QString name = QString::fromLatin1(c.name);
        expectSize(LBWindowController::pixelDimensionsForPaperName(name), c.size, name);
    }
}

TEST(LBWindowControllerPageSetup, ALayoutMeasuresItsPageElseItsPaperElseItsLabel)
{
    struct Case
    {
        const char* what;
        QVariantMap layout;
        QSizeF size;
        bool beeps;
    };
    const Case cases[] = {
        {"page numbers", {{Info::pageWidth, 612}, {Info::pageHeight, 792.4}}, {612, 792.4f}, false},
        {"page texts",
         {{Info::pageWidth, "8.5in"}, {Info::pageHeight, "297mm"}},
         {612, 297 * 2.83464567},
         false},
        {"zero page, Legal",
         {{Info::pageWidth, 0}, {Info::pageHeight, 0}, {Info::paperSize, "Legal"}},
         {612, 1008},
         false},
        {"page of one side",
         {{Info::pageWidth, 612}, {Info::paperSize, "A5"}},
         {419.52755916, 595.2755907},
         false},
        {"unknown paper",
         {{Info::paperSize, "Roll"},
          {Info::labelWidth, 252.0},
          {Info::labelHeight, QStringLiteral("2in")}},
         {252, 144},
         false},
        {"nothing usable",
         {{Info::labelWidth, 10}, {Info::labelHeight, QVariantList()}},
         {0, 0},
         true},
    };
    for (const Case& c : cases) {
        const quint64 beeps = platform::beepCount();
        expectSize(LBWindowController::pixelDimensionsForPaper(c.layout), c.size,
                   QString::fromLatin1(c.what));
        EXPECT_EQ(platform::beepCount() - beeps, c.beeps ? 1u : 0u) << c.what;
    }
}

TEST(LBWindowControllerPageSetup, PrintSettingsFollowTheKindOfLayout)
{
    auto printers = std::make_shared<FakePrinters>();
    printers->list = {{QStringLiteral("Office"), QStringLiteral("HP LaserJet")},
                      {QStringLiteral("Roll"), QStringLiteral("SII SLP 650")},
                      {QStringLiteral("Tape"), QStringLiteral("PT-P900W")}};
    // Papers by their driver's names (QPageSize::key()).
    const QPageSize small(QSizeF(28, 89), QPageSize::Millimeter, QStringLiteral("Small"));
    printers->papers.insert(QStringLiteral("Roll"),
                            {QPageSize(QSizeF(62, 100), QPageSize::Millimeter), small});
    platform::Printers::setSource(printers);
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.registerDefaults({{QStringLiteral("Envelope Automatic Alignment"), true}});

    using O = PrintInfo::Orientation;
    struct Case
    {
        const char* what;
        QVariantMap layout;
        bool feed;
        bool automaticAlignment;
        O userOrientation;
        QSizeF paper;
        O orientation;
        QString printer;
        QString paperName = QString();
    };
    // A #10 envelope (684 x 297), a 62 mm roll label (175.7 x 283.5), a 3 x 1 in roll.
    const QVariantMap envelope{{Info::labelType, 5},     {Info::labelWidth, 684},
                               {Info::labelHeight, 297}, {Info::paperSize, "Letter"},
                               {Info::pageWidth, 684},   {Info::pageHeight, 297}};
    auto with = [](QVariantMap map, const QVariantMap& more) {
        for (auto i = more.begin(); i != more.end(); ++i)
            map.insert(i.key(), i.value());
        return map;
    };
    const QVariantMap seiko{{Info::labelType, 5},
                            {Info::paperManufacturer, "Seiko"},
                            {Info::labelWidth, 100},
                            {Info::labelHeight, 250},
                            {Info::printableWidth, 28},
                            {Info::printableHeight, 89},
                            {Info::orientation, "Portrait"},
                            {Info::paperSize, "A4"}};
    const Case cases[] = {
        {"plain sheet laid across",
         {{Info::labelType, 1}, {Info::pageWidth, 842}, {Info::pageHeight, 595}},
         false,
         true,
         O::Landscape,
         {595, 842},
         O::Landscape,
         ""},
        {"plain sheet, portrait kept",
         {{Info::labelType, 1}, {Info::pageWidth, 842}, {Info::pageHeight, 595}},
         false,
         true,
         O::Portrait,
         {595, 842},
         O::Portrait,
         ""},
        {"envelope", envelope, false, true, O::Portrait, {297, 684}, O::Landscape, ""},
        {"envelope fed, aligned", envelope, true, true, O::Portrait, {297, 684}, O::Landscape, ""},
        {"envelope fed on Letter",
         envelope,
         true,
         false,
         O::Portrait,
         {612, 792},
         O::Landscape,
         ""},
        {"envelope fed on A4",
         with(envelope, {{Info::paperSize, "A4 Envelope"}}),
         true,
         false,
         O::Portrait,
         {595, 842},
         O::Landscape,
         ""},
        {"vertical envelope",
         with(envelope, {{Info::labelType, 6}}),
         false,
         true,
         O::Landscape,
         {684, 297},
         O::Portrait,
         ""},
        {"letterhead",
         {{Info::labelType, 7}, {Info::paperSize, "A4"}},
         false,
         true,
         O::Landscape,
         {595.2755907, 841.88976399},
         O::Portrait,
         ""},
        {"letterhead across",
         {{Info::labelType, 8}, {Info::paperSize, "Letter"}},
         false,
         true,
         O::Portrait,
         {612, 792},
         O::Landscape,
         ""},
        {"disc sheet",
         {{Info::labelType, 18}, {Info::paperSize, "Letter"}},
         false,
         true,
         O::Portrait,
         {612, 792},
         O::Landscape,
         ""},
        {"DYMO roll",
         {{Info::labelType, 5},
          {Info::paperManufacturer, "DYMO"},
          {Info::labelWidth, 252},
          {Info::labelHeight, 81}},
         false,
         true,
         O::Portrait,
         {252, 81},
         O::Landscape,
         ""},
        {"Zebra",
         {{Info::labelType, 1},
          {Info::paperManufacturer, "Zebra"},
          {Info::labelWidth, 288},
          {Info::labelHeight, 144}},
         false,
         true,
         O::Landscape,
         {288, 144},
         O::Portrait,
         ""},
        {"Zebra across",
         {{Info::labelType, 2},
          {Info::paperManufacturer, "Zebra"},
          {Info::labelWidth, 288},
          {Info::labelHeight, 144}},
         false,
         true,
         O::Portrait,
         {144, 288},
         O::Landscape,
         ""},
        {"Seiko with its paper", seiko, false, true, O::Landscape,
         QPageSize(QSizeF(28, 89), QPageSize::Millimeter).size(QPageSize::Point), O::Portrait,
         "Roll", small.key()},
        {"Seiko without its paper",
         with(seiko, {{Info::printableWidth, 30}}),
         false,
         true,
         O::Landscape,
         {100, 250},
         O::Portrait,
         "Roll"},
        {"Seiko, vertical kind",
         with(seiko, {{Info::labelType, 6}, {Info::printableWidth, 1}}),
         false,
         true,
         O::Portrait,
         {100, 250},
         O::Landscape,
         "Roll"},
        {"Brother on a tape printer",
         with(seiko, {{Info::paperManufacturer, "Brother"}}),
         false,
         true,
         O::Landscape,
         {100, 250},
         O::Portrait,
         "Tape"},
    };
    // The print settings a document with the layout gets, from the user's orientation.
    const auto pageSetUp = [](const QVariantMap& layout, bool feed, O userOrientation) {
        LBDocument document;
        auto* controller = new LBWindowController;
        document.addWindowController(controller);
        PrintInfo before;
        before.setOrientation(userOrientation);
        document.ourSetPrintInfo(before);
        document.dimensionInfo() = layout;
        controller->initializePageSetup(feed);
        return document.printInfo();
    };
    for (const Case& c : cases) {
        defaults.setBool(c.automaticAlignment, QStringLiteral("Envelope Automatic Alignment"));
        const PrintInfo after = pageSetUp(c.layout, c.feed, c.userOrientation);
        expectSize(after.paperSize(), c.paper, QString::fromLatin1(c.what));
        EXPECT_EQ(after.orientation(), c.orientation) << c.what;
        EXPECT_EQ(after.printerName(), c.printer) << c.what;
        if (!c.paperName.isNull()) {
            EXPECT_EQ(after.paperName(), c.paperName) << c.what;
        }
    }
    defaults.removeObjectForKey(QStringLiteral("Envelope Automatic Alignment"));

    // Without any label printer the Seiko label keeps its own size.
    printers->list.removeAt(1);
    const PrintInfo alone = pageSetUp(seiko, false, O::Portrait);
    expectSize(alone.paperSize(), {100, 250}, QStringLiteral("no printer"));
    EXPECT_EQ(alone.printerName(), QString());
    platform::Printers::setSource(nullptr);
}

TEST(LBWindowControllerPageSetup, ThePrintSettingsAreTheDocumentsOwnCopy)
{
    PrintInfo shared;
    shared.setPaperBySize({595.2755907, 841.88976399});
    PrintInfo::setSharedPrintInfo(shared);
    LBDocument document;
    EXPECT_EQ(document.printInfo().paperName(), QStringLiteral("A4"));
    PrintInfo::setSharedPrintInfo(PrintInfo());
    EXPECT_EQ(document.printInfo(), shared); // taken on first use, kept since
    PrintInfo mine;
    mine.setOrientation(PrintInfo::Landscape);
    document.ourSetPrintInfo(mine);
    EXPECT_EQ(document.printInfo(), mine);
    EXPECT_TRUE(document.updateDocumentForPrintInfoChanges());
    EXPECT_EQ(PrintInfo::sharedPrintInfo(), PrintInfo());
}
