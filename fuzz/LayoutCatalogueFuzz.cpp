// The label-template catalogue parser: any bytes read as the label catalogue and as the
// disc catalogue. Every sheet kept is usable (a code, a label size above 0, counts of at
// least 1; a disc sheet has labels), the maker list is the makers of the kept sheets in
// order, every kept sheet converts to points and expands; and the kept sheets, written
// again as a catalogue, read back as the same sheets.

#include "FuzzTarget.h"

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"
#include "platform/core/TextForms.h"

#include <QFile>
#include <QSet>

namespace fuzz {

namespace {

using Controller = LBLayoutSheetController;
using Info = DimensionInfo;

// Element names that open or close the catalogue's lists: a record key of such a name
// cannot be written as a leaf.
const QSet<QString>& structuralNames()
{
    static const QSet<QString> names = {
        "PaperFormatList", "PaperFormat", "Models", "Model",     "Description",
        "Labels",          "labels",      "Label",  "FoldLines", "FoldLine",
    };
    return names;
}

QByteArray escaped(const QString& text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#13;"; break;
        default: out += c; break;
        }
    }
    return out;
}

bool writable(const QVariantMap& record)
{
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        if (structuralNames().contains(it.key()))
            return false;
        if (it.value().typeId() == QMetaType::QVariantList) {
            for (const QVariant& entry : it.value().toList()) {
                if (entry.typeId() == QMetaType::QVariantMap && !writable(entry.toMap()))
                    return false;
            }
        }
    }
    return true;
}

QByteArray leaves(const QVariantMap& record)
{
    QByteArray out;
    for (auto it = record.cbegin(); it != record.cend(); ++it) {
        if (it.value().typeId() != QMetaType::QString)
            continue;
        const QByteArray name = it.key().toUtf8();
        out += '<' + name + '>' + escaped(it.value().toString()) + "</" + name + '>';
    }
    return out;
}

QByteArray foldLines(const QVariantList& lines)
{
    QByteArray out = "<FoldLines>";
    for (const QVariant& line : lines)
        out += "<FoldLine>" + leaves(line.toMap()) + "</FoldLine>";
    return out + "</FoldLines>";
}

// The catalogue of the records, as the parser reads them back.
QByteArray written(const QList<Controller::Card>& cards, bool disc)
{
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PaperFormatList>";
    for (const Controller::Card& card : cards) {
        QVariantMap sheet = card.record();
        sheet.remove(Info::category); // the parser's own
        out += "<PaperFormat>" + leaves(sheet);
        const QVariantList models = sheet.value(Info::models).toList();
        if (sheet.value(Info::models).typeId() == QMetaType::QVariantList) {
            out += "<Models>";
            for (const QVariant& model : models)
                out +=
                    "<Model><Description>" + escaped(model.toString()) + "</Description></Model>";
            out += "</Models>";
        }
        if (disc) {
            out += "<Labels>";
            for (const QVariant& entry : sheet.value(QStringLiteral("labels")).toList()) {
                const QVariantMap label = entry.toMap();
                out += "<Label>" + leaves(label);
                if (label.value(QStringLiteral("foldLines")).typeId() == QMetaType::QVariantList)
                    out += foldLines(label.value(QStringLiteral("foldLines")).toList());
                out += "</Label>";
            }
            out += "</Labels>";
        } else if (sheet.value(QStringLiteral("foldLines")).typeId() == QMetaType::QVariantList) {
            out += "<Labels><Label>" + foldLines(sheet.value(QStringLiteral("foldLines")).toList())
                   + "</Label></Labels>";
        }
        out += "</PaperFormat>";
    }
    return out + "</PaperFormatList>";
}

bool usable(const QVariantMap& label)
{
    for (const QString& key : {Info::labelWidth, Info::labelHeight}) {
        if (!label.contains(key) || !(platform::floatValue(label.value(key)) > 0))
            return false;
    }
    for (const QString& key : {Info::numRows, Info::numColumns}) {
        if (label.contains(key) && platform::integerValue(label.value(key)) < 1)
            return false;
    }
    return true;
}

void checkCatalogue(const QByteArray& data, qint64 projectType)
{
    const bool disc = projectType == Controller::DiscLabelsProject;
    Controller chooser(false, projectType);
    chooser.setSelectedProjectType(projectType);
    const bool parsed = chooser.parseCatalogue(data, projectType);
    FUZZ_PROMISE(parsed == chooser.catalogueError().isEmpty(), chooser.catalogueError());

    QStringList makers;
    for (const Controller::Card& card : chooser.paperFormats()) {
        const QVariantMap sheet = card.record();
        FUZZ_PROMISE(!Info::text(sheet, Info::paperCode).isEmpty(), describe(sheet));
        if (disc) {
            const QVariantList labels = sheet.value(QStringLiteral("labels")).toList();
            FUZZ_PROMISE(!labels.isEmpty(), describe(sheet));
            for (const QVariant& label : labels)
                FUZZ_PROMISE(usable(label.toMap()), describe(label));
        } else {
            FUZZ_PROMISE(usable(sheet), describe(sheet));
        }
        const QString maker = Info::text(sheet, Info::paperManufacturer);
        if (!makers.contains(maker))
            makers << maker;
        const QVariantMap converted =
            chooser.expandDiscLabelsInDictionary(Controller::convertDimensionsToPoints(sheet));
        for (const QString& key : {Info::labelWidth, Info::labelHeight, Info::leftMargin})
            FUZZ_PROMISE(!converted.contains(key)
                             || converted.value(key).typeId() == QMetaType::Double,
                         describe(converted));
    }
    if (!chooser.manufacturers().isEmpty())
        FUZZ_PROMISE(chooser.manufacturers() == QStringList({"All", "-"}) + makers,
                     describe(chooser.manufacturers()));

    if (chooser.paperFormats().isEmpty() || chooser.manufacturers().isEmpty())
        return;
    for (const Controller::Card& card : chooser.paperFormats()) {
        if (!writable(card.record()))
            return;
    }
    const QByteArray again = written(chooser.paperFormats(), disc);
    Controller second(false, projectType);
    second.setSelectedProjectType(projectType);
    FUZZ_PROMISE(second.parseCatalogue(again, projectType),
                 QStringLiteral("%1\n%2").arg(second.catalogueError(), describe(again)));
    FUZZ_PROMISE(second.paperFormats().size() == chooser.paperFormats().size(), describe(again));
    for (qsizetype i = 0; i < chooser.paperFormats().size(); ++i)
        FUZZ_PROMISE(
            sameValue(second.paperFormats().at(i).record(), chooser.paperFormats().at(i).record()),
            QStringLiteral("%1\n%2").arg(describe(chooser.paperFormats().at(i).record()),
                                         describe(second.paperFormats().at(i).record())));
    FUZZ_PROMISE(second.manufacturers() == chooser.manufacturers(), describe(again));
}

// The first sheets of a shipped catalogue, written again.
QByteArray shippedSample(const QString& name, qint64 projectType, qsizetype count)
{
    Controller chooser(false, projectType);
    QFile file(QStringLiteral(":/catalogue/%1.xml").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    chooser.parseCatalogue(file.readAll(), projectType);
    return written(chooser.paperFormats().mid(0, count),
                   projectType == Controller::DiscLabelsProject);
}

} // namespace

QList<QByteArray> seeds()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QList<QByteArray> out = {
        "<PaperFormatList><PaperFormat><Manufacturer>M</Manufacturer><ID>1</ID>"
        "<PageSize>Letter</PageSize><Category>Address</Category><Notes> a\r\nb </Notes>"
        "<Models><Model><Description>M-2</Description></Model></Models><Labels><Label>"
        "<Width>2.625in</Width><Height>1</Height><Rows>10</Rows><Columns>3</Columns>"
        "<FoldLine><X1>1</X1></FoldLine></Label></Labels></PaperFormat>"
        "<PaperFormat><paperManufacturer>N</paperManufacturer><paperCode>2</paperCode>"
        "<labelWidth>0mm</labelWidth></PaperFormat></PaperFormatList>",
        "<PaperFormatList><PaperFormat><Manufacturer>D</Manufacturer><ID>D1</ID><Labels>"
        "<Label><LabelType>CDDisc</LabelType><Width>117mm</Width><Height>117mm</Height>"
        "<Rows>2</Rows><Columns>1</Columns><VSpace>10mm</VSpace><HoleDiameter>41mm</HoleDiameter>"
        "</Label><Label><LabelType>CDCover</LabelType><Width>1in</Width><Height>2in</Height>"
        "<FoldLines><FoldLine><X1>1</X1><Y2>2</Y2></FoldLine></FoldLines></Label></Labels>"
        "</PaperFormat></PaperFormatList>",
    };
    out << shippedSample(QStringLiteral("Labels"), Controller::AddressLabelsProject, 4)
        << shippedSample(QStringLiteral("DiscLabels"), Controller::DiscLabelsProject, 4);
    return out;
}

void fuzzOne(const QByteArray& data)
{
    static const bool quiet = [] {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        return true;
    }();
    Q_UNUSED(quiet);
    checkCatalogue(data, Controller::AddressLabelsProject);
    checkCatalogue(data, Controller::DiscLabelsProject);
}

} // namespace fuzz
