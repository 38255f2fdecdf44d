// The label-template catalogues: reading and parsing the label and disc catalogues, the
// maker and label-type filters, the conversion of a sheet to points and the expansion of a
// disc sheet into its physical labels.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "platform/core/TextForms.h"
#include "platform/core/XmlParser.h"

#include <QCollator>
#include <QDebug>
#include <QFile>
#include <QHash>
#include <QResource>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Info = DimensionInfo;

const QString xmlDataKey = QStringLiteral("XMLData");
const QString foldLinesKey = QStringLiteral("foldLines");
const QString labelTypeDescriptionKey = QStringLiteral("labelTypeDescription");
const QString labelsKey = QStringLiteral("labels");

QString& catalogueFolder()
{
    static QString folder = QStringLiteral(":/catalogue/");
    return folder;
}

// The element names of the catalogue and their keys, both spellings.
// Grouped by the name's length: a leaf's name is looked up among the few of its length.
using ElementKeys = std::array<QList<std::pair<QByteArray, QString>>, 18>;

const ElementKeys& elementKeys()
{
    static const ElementKeys keys = [] {
        const std::pair<const char*, QString> table[] = {
            {"Manufacturer", Info::paperManufacturer},
            {"paperManufacturer", Info::paperManufacturer},
            {"Category", labelTypeDescriptionKey},
            {"category", labelTypeDescriptionKey},
            {"ID", Info::paperCode},
            {"paperCode", Info::paperCode},
            {"PageSize", Info::paperSize},
            {"paperSize", Info::paperSize},
            {"PageWidth", Info::pageWidth},
            {"pageWidth", Info::pageWidth},
            {"PageHeight", Info::pageHeight},
            {"pageHeight", Info::pageHeight},
            {"LabelType", labelTypeDescriptionKey},
            {"labelType", labelTypeDescriptionKey},
            {"Width", Info::labelWidth},
            {"labelWidth", Info::labelWidth},
            {"Height", Info::labelHeight},
            {"labelHeight", Info::labelHeight},
            {"Rows", Info::numRows},
            {"numRows", Info::numRows},
            {"Columns", Info::numColumns},
            {"numColumns", Info::numColumns},
            {"TopMargin", Info::topMargin},
            {"topMargin", Info::topMargin},
            {"LeftMargin", Info::leftMargin},
            {"leftMargin", Info::leftMargin},
            {"HSpace", Info::hLabelSpace},
            {"hLabelSpace", Info::hLabelSpace},
            {"VSpace", Info::vLabelSpace},
            {"vLabelSpace", Info::vLabelSpace},
            {"CornerRadius", Info::cornerRadius},
            {"cornerRadius", Info::cornerRadius},
            {"HoleDiameter", Info::innerDiameter},
            {"innerDiameter", Info::innerDiameter},
            {"Diameter", Info::outerDiameter},
            {"outerDiameter", Info::outerDiameter},
            {"X1", QStringLiteral("x1")},
            {"x1", QStringLiteral("x1")},
            {"X2", QStringLiteral("x2")},
            {"x2", QStringLiteral("x2")},
            {"Y1", QStringLiteral("y1")},
            {"y1", QStringLiteral("y1")},
            {"Y2", QStringLiteral("y2")},
            {"y2", QStringLiteral("y2")},
        };
        ElementKeys keys;
        for (const auto& [name, key] : table)
            keys[qstrlen(name)].append({QByteArray(name), key});
        return keys;
    }();
    return keys;
}

// The key of a name of the table; nullptr for any other name.
const QString* tableKey(QByteArrayView name)
{
    if (name.size() >= qsizetype(elementKeys().size()))
        return nullptr;
    for (const auto& [element, key] : elementKeys()[name.size()]) {
        if (std::memcmp(element.constData(), name.data(), size_t(name.size())) == 0)
            return &key;
    }
    return nullptr;
}

QString keyForElement(QByteArrayView name)
{
    const QString* key = tableKey(name);
    return key ? *key : QString::fromUtf8(name);
}

// The value of a key in a record; nullptr when it has none.
const QVariant* find(const QVariantMap& record, const QString& key)
{
    const auto value = record.constFind(key);
    return value == record.cend() ? nullptr : &*value;
}

// The text of a key as DimensionInfo::text() gives it: a string or a number as text, else
// an empty text.
template <typename Record>
QString textOf(const Record& record, const QString& key)
{
    const QVariant* value = find(record, key);
    if (value && (value->typeId() == QMetaType::QString || platform::isNumberType(value->typeId())))
        return value->toString();
    return QStringLiteral("");
}

// Why a sheet or disc label cannot be used; empty when it can.
template <typename Record>
QString faultOfLabel(const Record& label)
{
    for (const QString& key : {Info::labelWidth, Info::labelHeight}) {
        const QVariant* value = find(label, key);
        if (!value)
            return QStringLiteral("no %1").arg(key);
        if (!(platform::floatValue(*value) > 0))
            return QStringLiteral("%1 is not above 0").arg(key);
    }
    for (const QString& key : {Info::numRows, Info::numColumns}) {
        const QVariant* value = find(label, key);
        if (!value)
            continue;
        const qint64 count = platform::integerValue(*value);
        if (count < 1)
            return QStringLiteral("%1 is below 1").arg(key);
        if (count > Info::MaxRowsOrColumns)
            return QStringLiteral("%1 is above %2").arg(key).arg(Info::MaxRowsOrColumns);
    }
    return QString();
}

// Points in a unit of the sheet's figures that name no unit: inches on the US papers,
// else millimetres.
template <typename Record>
double pointsPerUnitOfSheet(const Record& sheet)
{
    const QString paper = textOf(sheet, Info::paperSize);
    return paper == QLatin1String("Letter") || paper == QLatin1String("Letter1")
                   || paper == QLatin1String("Letter2") || paper == QLatin1String("Tabloid")
               ? LBLayoutSheetController::PointsPerInch
               : LBLayoutSheetController::PointsPerMillimeter;
}

// Why the sheet's page is past the largest a sheet may be; empty when it is not.
template <typename Record>
QString faultOfPage(const Record& sheet)
{
    for (const QString& key : {Info::pageWidth, Info::pageHeight}) {
        const double points = LBLayoutSheetController::convertStringToPoints(
            textOf(sheet, key), pointsPerUnitOfSheet(sheet));
        if (!(std::abs(points) <= Info::MaxPageSide))
            return QStringLiteral("%1 is not within %2 points").arg(key).arg(Info::MaxPageSide);
    }
    return QString();
}

const QStringList& discLabelNames()
{
    static const QStringList names = {
        QStringLiteral("CD/DVD Label"),
        QStringLiteral("CD Core"),
        QStringLiteral("CD Mini"),
        QStringLiteral("Pappa Vinyl CD"),
        QStringLiteral("Pappa Super Coverage"),
        QStringLiteral("Label"),
        QStringLiteral("CD Cover"),
        QStringLiteral("DVD Cover"),
        QStringLiteral("DVD Slim Cover"),
        QStringLiteral("CD Spine"),
        QStringLiteral("CD Tray Insert"),
        QStringLiteral("DVD Insert"),
        QStringLiteral("CD Booklet"),
        QStringLiteral("DVD Booklet"),
        QStringLiteral("VHS Wrap"),
        QStringLiteral("VHS Face Label"),
        QStringLiteral("VHS Spine Label"),
        QStringLiteral("Super Jewel Box CD Booklet"),
        QStringLiteral("Super Jewel Box DVD Booklet"),
        QStringLiteral("Pappa Partial Label Short"),
        QStringLiteral("Pappa Partial Label Medium"),
        QStringLiteral("Pappa Partial Label Long"),
        QStringLiteral("Pappa Full Label Short"),
        QStringLiteral("Pappa Full Label Long"),
        QStringLiteral("Blu-Ray Cover"),
        QStringLiteral("CD Slim Case Insert"),
        QStringLiteral("Super Jewel Box CD Tray Insert"),
        QStringLiteral("Super Jewel Box DVD Tray Insert"),
        QStringLiteral("Super Jewel Box CD Tray Insert Outside"),
        QStringLiteral("Super Jewel Box DVD Tray Insert Outside"),
        QStringLiteral("LightScribe Full Label"),
        QStringLiteral("LightScribe Content Label"),
        QStringLiteral("LightScribe Title Label"),
        QStringLiteral("Labelflash Full"),
        QStringLiteral("DiscT@2 Label"),
        QStringLiteral("CD Business Card"),
    };
    return names;
}

using EntryList = QList<std::pair<QString, QVariant>>;

// Keys are mostly the table's own texts: the same text is the same key at once.
bool sameKey(const QString& a, const QString& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

// The entries of an open sheet or label as they come, one a key (a later one of a key
// replaces it): a label sheet becomes a card of them, a disc label a record, and a label
// sheet's label is merged into its sheet. One list serves every sheet (and one every
// label): emptied, it keeps its room.
class Entries
{
public:
    void insert(const QString& key, QVariant value)
    {
        for (auto& entry : _entries) {
            if (sameKey(entry.first, key)) {
                entry.second = std::move(value);
                return;
            }
        }
        _entries.emplaceBack(key, std::move(value));
    }
    const QVariant* find(const QString& key) const
    {
        for (const auto& entry : _entries) {
            if (sameKey(entry.first, key))
                return &entry.second;
        }
        return nullptr;
    }
    QVariant value(const QString& key) const
    {
        const QVariant* value = find(key);
        return value ? *value : QVariant();
    }
    bool isEmpty() const { return _entries.isEmpty(); }
    void clear() { _entries.resize(0); }
    // Moves the entries into the other list (a later one of a key replacing it there);
    // this one is left empty.
    void moveInto(Entries& other)
    {
        for (auto& [key, value] : _entries)
            other.insert(key, std::move(value));
        clear();
    }
    QVariantMap toMap() const
    {
        QVariantMap record;
        for (const auto& [key, value] : _entries)
            record.insert(key, value);
        return record;
    }
    // The entries; this one is left empty, with room for as many.
    EntryList take()
    {
        EntryList list;
        list.reserve(_entries.size());
        list.swap(_entries);
        return list;
    }

private:
    EntryList _entries;
};

const QVariant* find(const Entries& record, const QString& key)
{
    return record.find(key);
}

// Reads the maker, the label types, the code and the models of the card's entries.
void fillCard(LBLayoutSheetController::Card& card)
{
    const auto find = [&card](const QString& key) -> const QVariant* {
        for (const auto& entry : card.entries) {
            if (sameKey(entry.first, key))
                return &entry.second;
        }
        return nullptr;
    };
    const auto text = [&find](const QString& key) {
        const QVariant* value = find(key);
        if (value
            && (value->typeId() == QMetaType::QString || platform::isNumberType(value->typeId())))
            return value->toString();
        return QStringLiteral("");
    };
    card.maker = text(Info::paperManufacturer);
    card.labelType = text(labelTypeDescriptionKey);
    if (const QVariant* labels = find(labelsKey)) {
        for (const QVariant& label : labels->toList()) {
            const QString type = Info::text(label.toMap(), labelTypeDescriptionKey);
            if (!type.isEmpty())
                card.labelTypes.append(type);
        }
    }
    card.foldedCode = text(Info::paperCode).toCaseFolded();
    if (const QVariant* models = find(Info::models)) {
        // The parse stores the models as a list of texts: joined without a list of
        // strings made of it first.
        if (models->typeId() == QMetaType::QVariantList) {
            QString joined;
            bool first = true;
            for (const QVariant& model : *static_cast<const QVariantList*>(models->constData())) {
                if (!first)
                    joined.append(QLatin1Char('\n'));
                first = false;
                joined.append(model.toString());
            }
            card.foldedModels = std::move(joined).toCaseFolded();
        } else {
            card.foldedModels = models->toStringList().join(QLatin1Char('\n')).toCaseFolded();
        }
    }
}

// The texts of a parse's leaves, each made once and shared: catalogue texts recur from sheet
// to sheet (makers, papers, sizes). An open-addressed table of their bytes, kept in one
// buffer: a general hash of byte arrays cost a node and a byte array a text, and most of a
// leaf's time.
class TextTable
{
public:
    TextTable() { _slots.resize(InitialSlots); }

    QString text(const QByteArray& bytes)
    {
        const quint32 hash = hashOf(bytes);
        quint32 mask = quint32(_slots.size()) - 1;
        for (quint32 i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = _slots[i];
            if (!slot.used) {
                if ((_count + 1) * 4 > quint32(_slots.size()) * 3) {
                    grow();
                    return insert(hash, bytes);
                }
                return fill(slot, hash, bytes);
            }
            if (slot.hash == hash && slot.size == quint32(bytes.size())
                && std::memcmp(_bytes.constData() + slot.offset, bytes.data(),
                               size_t(bytes.size()))
                       == 0)
                return slot.text;
        }
    }

private:
    static constexpr qsizetype InitialSlots = 4096;

    struct Slot
    {
        quint32 hash = 0;
        quint32 offset = 0;
        quint32 size = 0;
        bool used = false;
        QString text;
    };

    static quint32 hashOf(QByteArrayView bytes)
    {
        quint32 hash = 2166136261u; // FNV-1a
        for (const char c : bytes) {
            hash ^= quint8(c);
            hash *= 16777619u;
        }
        return hash;
    }

    QString insert(quint32 hash, const QByteArray& bytes)
    {
        const quint32 mask = quint32(_slots.size()) - 1;
        for (quint32 i = hash & mask;; i = (i + 1) & mask) {
            if (!_slots[i].used)
                return fill(_slots[i], hash, bytes);
        }
    }

    QString fill(Slot& slot, quint32 hash, const QByteArray& bytes)
    {
        slot.hash = hash;
        slot.offset = quint32(_bytes.size());
        slot.size = quint32(bytes.size());
        _bytes.append(bytes.data(), bytes.size());
        slot.text = QString::fromUtf8(bytes);
        slot.used = true;
        ++_count;
        return slot.text;
    }

    void grow()
    {
        std::vector<Slot> old(_slots.size() * 2);
        old.swap(_slots);
        const quint32 mask = quint32(_slots.size()) - 1;
        for (Slot& slot : old) {
            if (!slot.used)
                continue;
            quint32 i = slot.hash & mask;
            while (_slots[i].used)
                i = (i + 1) & mask;
            _slots[i] = std::move(slot);
        }
    }

    std::vector<Slot> _slots;
    QByteArray _bytes;
    quint32 _count = 0;
};

// The elements the parse treats apart from the leaves (every other element is one).
enum class Element {
    Leaf,
    PaperFormatList,
    PaperFormat,
    Models,
    Model,
    Description,
    Labels,
    LowerLabels, // "labels"
    Label,
    FoldLines,
    FoldLine,
};

// Told apart by the length first: most elements are leaves, of other lengths.
Element elementOf(QByteArrayView name)
{
    const auto is = [&name](const char* text) {
        return std::memcmp(name.data(), text, size_t(name.size())) == 0;
    };
    switch (name.size()) {
    case 5: return is("Model") ? Element::Model : is("Label") ? Element::Label : Element::Leaf;
    case 6:
        return is("Models")   ? Element::Models
               : is("Labels") ? Element::Labels
               : is("labels") ? Element::LowerLabels
                              : Element::Leaf;
    case 8: return is("FoldLine") ? Element::FoldLine : Element::Leaf;
    case 9: return is("FoldLines") ? Element::FoldLines : Element::Leaf;
    case 11:
        return is("PaperFormat")   ? Element::PaperFormat
               : is("Description") ? Element::Description
                                   : Element::Leaf;
    case 15: return is("PaperFormatList") ? Element::PaperFormatList : Element::Leaf;
    default: return Element::Leaf;
    }
}

} // namespace

// The parse of one catalogue: the sheet, label and fold-line records being built and the
// lists open, as the elements come.
class LBLayoutSheetController::CatalogueHandler : public platform::XmlParser
{
public:
    CatalogueHandler(LBLayoutSheetController& controller, qint64 projectType)
        : _controller(controller), _disc(projectType == DiscLabelsProject)
    {
    }

protected:
    void startElement(QByteArrayView name, const platform::XmlAttributes&) override
    {
        const Element element = elementOf(name);
        // Another document is no catalogue: the lists are left as they are.
        if (!_started && element != Element::PaperFormatList)
            return abort(QStringLiteral("the document is not a catalogue (<%1>)")
                             .arg(QString::fromUtf8(name)));
        _started = true;
        if (element == Element::PaperFormatList) {
            _controller._paperFormatsArray.clear();
            _controller._paperFormatsArray.reserve(2000);
            _controller._manufacturersArray = {layoutSheetString(QStringLiteral("All")),
                                               QStringLiteral("-")};
            _makers.clear();
        } else if (element == Element::PaperFormat) {
            _sheet.clear();
            _sheetOpen = true;
        } else if (element == Element::Models) {
            _modelsArray = QVariantList();
            _modelsArray->reserve(16);
        } else if (element == Element::Labels) {
            _labelsArray = QVariantList();
        } else if (element == Element::FoldLines) {
            _foldLinesArray = QVariantList();
        } else if (element == Element::Model) {
        } else if (element == Element::Label) {
            _label.clear();
            _labelOpen = true;
            if (_disc && !_labelsArray)
                _labelsArray = QVariantList();
        } else if (element == Element::FoldLine) {
            _foldLineDict = QVariantMap();
        } else {
            // One buffer serves every leaf: emptied, it keeps its room.
            _fieldStr.resize(0);
            _fieldOpen = true;
        }
    }

    void characters(QByteArrayView text) override
    {
        if (_fieldOpen)
            _fieldStr.append(text.data(), text.size());
    }

    void endElement(QByteArrayView name) override
    {
        const Element element = elementOf(name);
        if (element == Element::PaperFormatList) {
            _controller._labelTypePopup = {
                {layoutSheetString(QStringLiteral("All")), QStringLiteral("-")}, 0};
        } else if (element == Element::PaperFormat) {
            if (_sheetOpen)
                endSheet(_sheet);
            _sheetOpen = false;
        } else if (element == Element::Models) {
            if (_sheetOpen && _modelsArray && !_modelsArray->isEmpty())
                _sheet.insert(Info::models, std::move(*_modelsArray));
            _modelsArray.reset();
        } else if (element == Element::Labels || element == Element::LowerLabels) {
            if (_disc) {
                if (_sheetOpen && _labelsArray && !_labelsArray->isEmpty())
                    _sheet.insert(labelsKey, std::move(*_labelsArray));
                _labelsArray.reset();
            }
        } else if (element == Element::FoldLines) {
            if (_labelOpen && _foldLinesArray && !_foldLinesArray->isEmpty())
                _label.insert(foldLinesKey, std::move(*_foldLinesArray));
            _foldLinesArray.reset();
        } else if (element == Element::Description) {
            if (_fieldOpen && _modelsArray) {
                // Models recur too: a dozen sheets may name one printer.
                const QString model = fieldText();
                if (model.size() >= 2)
                    _modelsArray->append(model);
            }
        } else if (element == Element::Label) {
            if (_labelOpen && !_label.isEmpty())
                endLabel(_label);
            _labelOpen = false;
        } else if (element == Element::FoldLine) {
            if (_foldLineDict && !_foldLineDict->isEmpty()) {
                if (_foldLinesArray) {
                    _foldLinesArray->append(*_foldLineDict);
                } else if (_labelOpen) {
                    // A fold line outside a list joins the label's fold lines.
                    QVariantList lines = _label.value(foldLinesKey).toList();
                    lines.append(*_foldLineDict);
                    _label.insert(foldLinesKey, lines);
                }
            }
            _foldLineDict.reset();
        } else if (_fieldOpen) {
            if (_foldLineDict)
                _foldLineDict->insert(key(name), fieldText());
            else if (_labelOpen)
                _label.insert(key(name), fieldText());
            else if (_sheetOpen)
                _sheet.insert(key(name), fieldText());
        }
        _fieldOpen = false;
    }

private:
    QString key(QByteArrayView name)
    {
        if (const QString* known = tableKey(name))
            return *known;
        const QByteArray raw = QByteArray::fromRawData(name.data(), name.size());
        auto other = _otherKeys.constFind(raw);
        if (other == _otherKeys.cend())
            other = _otherKeys.insert(name.toByteArray(), QString::fromUtf8(name));
        return *other;
    }

    void endLabel(Entries& label)
    {
        if (_foldLinesArray) {
            if (!_foldLinesArray->isEmpty())
                label.insert(foldLinesKey, std::move(*_foldLinesArray));
            _foldLinesArray.reset();
        }
        if (_disc) {
            if (!_labelsArray)
                _labelsArray = QVariantList();
            _labelsArray->append(label.toMap());
        } else if (_sheetOpen) {
            label.moveInto(_sheet);
        }
    }

    void endSheet(Entries& sheet)
    {
        sheet.insert(Info::category, _controller._parsingDocumentTypeStr);
        if (textOf(sheet, Info::paperCode).isEmpty())
            return _controller.logBadSheet(sheet.toMap(), QStringLiteral("no paperCode"));
        if (const QString fault = faultOfPage(sheet); !fault.isEmpty())
            return _controller.logBadSheet(sheet.toMap(), fault);
        if (_disc) {
            QVariantMap record = sheet.toMap();
            QVariantList labels;
            for (const QVariant& entry : record.value(labelsKey).toList()) {
                const QString fault = faultOfLabel(entry.toMap());
                if (fault.isEmpty())
                    labels.append(entry);
                else
                    _controller.logBadSheet(record, QStringLiteral("a label dropped: ") + fault);
            }
            if (labels.isEmpty())
                return _controller.logBadSheet(record, QStringLiteral("no usable labels"));
            record.insert(labelsKey, labels);
            _controller._paperFormatsArray.append(cardWithRecord(record));
        } else if (const QString fault = faultOfLabel(sheet); !fault.isEmpty()) {
            return _controller.logBadSheet(sheet.toMap(), fault);
        } else {
            Card card;
            card.entries = sheet.take();
            fillCard(card);
            _controller._paperFormatsArray.append(std::move(card));
        }
        const QString& maker = _controller._paperFormatsArray.constLast().maker;
        if (!_makers.contains(maker)) {
            _makers.insert(maker);
            _controller._manufacturersArray.append(maker);
        }
    }

    // The text of the leaf just closed. Catalogue texts recur from sheet to sheet (makers,
    // papers, sizes): each is made once a parse and shared.
    QString fieldText()
    {
        return _texts.text(_fieldStr);
    }

    LBLayoutSheetController& _controller;
    const bool _disc;
    QSet<QString> _makers;
    Entries _sheet;
    bool _sheetOpen = false;
    std::optional<QVariantList> _modelsArray;
    std::optional<QVariantList> _labelsArray;
    std::optional<QVariantList> _foldLinesArray;
    Entries _label;
    bool _labelOpen = false;
    std::optional<QVariantMap> _foldLineDict;
    bool _started = false;
    QByteArray _fieldStr;
    bool _fieldOpen = false;
    // The keys of the elements outside the table, made once a parse.
    QHash<QByteArray, QString> _otherKeys;
    // The texts of the leaves, made once a parse.
    TextTable _texts;
};

LBLayoutSheetController::Card LBLayoutSheetController::cardWithRecord(const QVariantMap& record)
{
    Card card;
    card.entries.reserve(record.size());
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        card.entries.append({it.key(), it.value()});
    fillCard(card);
    return card;
}

QVariantMap LBLayoutSheetController::Card::record() const
{
    QVariantMap record;
    for (const auto& [key, value] : entries)
        record.insert(key, value);
    return record;
}

void LBLayoutSheetController::setCatalogueFolder(const QString& folder)
{
    catalogueFolder() = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QVariantMap LBLayoutSheetController::catalogueResource(const QString& name)
{
    const QString path = catalogueFolder() + name + QStringLiteral(".xml");
    // A compressed resource is unpacked straight into the bytes returned: read through a
    // file, it is unpacked into a buffer of its own and copied out again.
    if (path.startsWith(QLatin1Char(':'))) {
        const QResource resource(path);
        const QByteArray bytes = resource.isValid() ? resource.uncompressedData() : QByteArray();
        if (bytes.isEmpty()) // none, or a folder
            return {};
        return {{xmlDataKey, bytes}};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return {{xmlDataKey, file.readAll()}};
}

QString LBLayoutSheetController::keyForPaperElementName(const QString& name)
{
    return keyForElement(name.toUtf8());
}

bool LBLayoutSheetController::parseAddressLabelsFile()
{
    const QVariantMap resource = catalogueResource(QStringLiteral("Labels"));
    if (!resource.contains(xmlDataKey)) {
        qWarning().noquote() << "The label catalogue cannot be read";
        return false;
    }
    return parseCatalogue(resource.value(xmlDataKey).toByteArray(), AddressLabelsProject);
}

bool LBLayoutSheetController::parseDiscLabelsFile()
{
    const QVariantMap resource = catalogueResource(QStringLiteral("DiscLabels"));
    if (!resource.contains(xmlDataKey)) {
        qWarning().noquote() << "The disc label catalogue cannot be read";
        return false;
    }
    return parseCatalogue(resource.value(xmlDataKey).toByteArray(), DiscLabelsProject);
}

bool LBLayoutSheetController::parseCatalogue(const QByteArray& xml, qint64 projectType)
{
    _parsingDocumentTypeStr = projectNameForType(projectType);
    CatalogueHandler handler(*this, projectType);
    _catalogueError.clear();
    if (handler.parse(xml))
        return true;
    _catalogueError = handler.errorString();
    qWarning().noquote() << QStringLiteral("The %1 catalogue is broken at %2; %3 sheets read")
                                .arg(_parsingDocumentTypeStr, _catalogueError)
                                .arg(_paperFormatsArray.size());
    return false;
}

void LBLayoutSheetController::logBadSheet(const QVariantMap& record, const QString& reason) const
{
    qWarning().noquote() << QStringLiteral("Catalogue sheet skipped: %1 %2: %3")
                                .arg(Info::text(record, Info::paperManufacturer),
                                     Info::text(record, Info::paperCode), reason);
}

QList<LBLayoutSheetController::Card>
LBLayoutSheetController::filteredCatalogue(const QString& manufacturer,
                                           const QString& labelType) const
{
    const QString all = layoutSheetString(QStringLiteral("All"));
    const bool anyMaker = manufacturer.isEmpty() || manufacturer == all;
    const bool anyType = labelType.isEmpty() || labelType == all;
    if (anyMaker && anyType)
        return _paperFormatsArray;
    const bool disc = _selectedProjectType == DiscLabelsProject;
    QList<Card> cards;
    for (const Card& card : _paperFormatsArray) {
        if (!anyMaker && card.maker != manufacturer)
            continue;
        if (!anyType && !(disc ? card.labelTypes.contains(labelType) : card.labelType == labelType))
            continue;
        cards.append(card);
    }
    return cards;
}

void LBLayoutSheetController::rebuildLabelTypePopup()
{
    const bool disc = _selectedProjectType == DiscLabelsProject;
    QSet<QString> seen;
    QStringList types;
    for (const Card& card : std::as_const(_cardArray)) {
        for (const QString& type : disc ? card.labelTypes : QStringList{card.labelType}) {
            if (!type.isEmpty() && !seen.contains(type)) {
                seen.insert(type);
                types.append(type);
            }
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(types.begin(), types.end(), collator);
    const QString previous = _labelTypePopup.selectedTitle();
    _labelTypePopup.items = {layoutSheetString(QStringLiteral("All")), QStringLiteral("-")};
    for (const QString& type : std::as_const(types))
        _labelTypePopup.items.append(disc ? englishNameForDiscLabelType(type) : type);
    const qint64 kept = _labelTypePopup.items.indexOf(previous);
    _labelTypePopup.selected = kept > 1 ? kept : 0;
}

void LBLayoutSheetController::filterByManufacturer(const QString& manufacturer)
{
    const qint64 previousRow = _selectedRow;
    QString type;
    if (_labelTypePopup.selected > 0) {
        type = _labelTypePopup.selectedTitle();
        if (_selectedProjectType == DiscLabelsProject)
            type = discLabelTypeForEnglishName(type);
    }
    _cardArray = filteredCatalogue(manufacturer, type);
    _hasCardArray = true;
    if (_rebuildDiscLabelTypes || _selectedProjectType != DiscLabelsProject)
        rebuildLabelTypePopup();
    updatePaperStyleBox(previousRow);
}

void LBLayoutSheetController::filterByLabelType(const QString& labelType)
{
    const QString maker =
        _manufacturerPopup.selected > 0 ? _manufacturerPopup.selectedTitle() : QString();
    _cardArray = filteredCatalogue(maker, labelType);
    _hasCardArray = true;
    _selectedRow = -1;
    if (!_cardArray.isEmpty())
        _selectedRow = 0;
    tableViewSelectionDidChange();
}

QVariantMap LBLayoutSheetController::convertDimensionsToPoints(const QVariantMap& record,
                                                               bool swapSignDimensions)
{
    QVariantMap result = record;
    const double multiplier = pointsPerUnitOfSheet(result);
    const auto converted = [&](const QString& key) {
        return convertStringToPoints(Info::text(record, key), multiplier);
    };
    const auto convert = [&](const QString& key) {
        if (record.contains(key))
            result.insert(key, converted(key));
    };
    for (const QString& key :
         {Info::pageWidth, Info::pageHeight, Info::labelWidth, Info::labelHeight})
        convert(key);
    for (const QString& key : {Info::leftMargin, Info::topMargin})
        result.insert(key, record.contains(key) ? converted(key) : 0.0);
    for (const QString& key : {Info::numRows, Info::numColumns}) {
        if (!record.contains(key))
            result.insert(key, qint64(1));
    }
    for (const QString& key : {Info::vLabelSpace, Info::hLabelSpace, Info::cornerRadius})
        convert(key);
    if (record.contains(Info::innerDiameter)) {
        convert(Info::innerDiameter);
        result.insert(
            Info::outerDiameter,
            record.contains(Info::outerDiameter)
                ? converted(Info::outerDiameter)
                : std::max(record.contains(Info::labelWidth) ? converted(Info::labelWidth) : 0.0,
                           record.contains(Info::labelHeight) ? converted(Info::labelHeight)
                                                              : 0.0));
    }
    for (const char* key : {"x1", "y1", "x2", "y2"})
        convert(QString::fromLatin1(key));
    const QVariantList labels = record.value(labelsKey).toList();
    if (!labels.isEmpty()) {
        QVariantList convertedLabels;
        for (const QVariant& entry : labels) {
            const QVariantMap label = entry.toMap();
            QVariantMap convertedLabel = convertDimensionsToPoints(label, swapSignDimensions);
            const QVariantList lines = label.value(foldLinesKey).toList();
            if (!lines.isEmpty()) {
                QVariantList convertedLines;
                for (const QVariant& line : lines)
                    convertedLines.append(
                        convertDimensionsToPoints(line.toMap(), swapSignDimensions));
                convertedLabel.insert(foldLinesKey, convertedLines);
            }
            convertedLabels.append(convertedLabel);
        }
        result.insert(labelsKey, convertedLabels);
    }
    return result;
}

QVariantMap LBLayoutSheetController::expandDiscLabelsInDictionary(const QVariantMap& record) const
{
    if (_selectedProjectType != DiscLabelsProject)
        return record;
    return expandDiscLabels(record);
}

QVariantMap LBLayoutSheetController::expandDiscLabels(const QVariantMap& record)
{
    QVariantMap result = record;
    QVariantList expanded;
    for (const QVariant& entry : record.value(labelsKey).toList()) {
        const QVariantMap label = entry.toMap();
        const float x0 = float(Info::real(label, Info::leftMargin));
        const float y0 = float(Info::real(label, Info::topMargin));
        const float w = float(Info::real(label, Info::labelWidth));
        const float h = float(Info::real(label, Info::labelHeight));
        QVariantMap copy;
        if (label.contains(labelTypeDescriptionKey))
            copy.insert(labelTypeDescriptionKey, label.value(labelTypeDescriptionKey));
        copy.insert(QStringLiteral("x"), double(x0));
        copy.insert(QStringLiteral("y"), double(y0));
        if (label.contains(Info::cornerRadius))
            copy.insert(Info::cornerRadius, label.value(Info::cornerRadius));
        if (label.contains(foldLinesKey))
            copy.insert(foldLinesKey, label.value(foldLinesKey));
        float stepX = w;
        float stepY = h;
        if (!label.contains(Info::innerDiameter)) {
            copy.insert(QStringLiteral("width"), label.value(Info::labelWidth));
            copy.insert(QStringLiteral("height"), label.value(Info::labelHeight));
        } else {
            const float diameter = label.contains(Info::outerDiameter)
                                       ? float(Info::real(label, Info::outerDiameter))
                                   : h > w ? h
                                           : w;
            copy.insert(Info::outerDiameter, double(diameter));
            copy.insert(Info::innerDiameter, label.value(Info::innerDiameter));
            stepX = stepY = diameter;
        }
        if (!label.contains(Info::numRows)) {
            expanded.append(copy);
            continue;
        }
        const qint64 rows = Info::integer(label, Info::numRows);
        const qint64 columns = Info::integer(label, Info::numColumns);
        // (A block of more than a million labels is no sheet.)
        if (rows < 1 || columns < 1 || rows > 1000 || columns > 1000)
            continue;
        const float hSpace = float(Info::real(label, Info::hLabelSpace));
        const float vSpace = float(Info::real(label, Info::vLabelSpace));
        float y = y0;
        for (qint64 row = 0; row < rows; ++row) {
            float x = x0;
            for (qint64 column = 0; column < columns; ++column) {
                copy.insert(QStringLiteral("x"), double(x));
                copy.insert(QStringLiteral("y"), double(y));
                expanded.append(copy);
                x += stepX + hSpace;
            }
            y += stepY + vSpace;
        }
    }
    result.insert(labelsKey, expanded);
    return result;
}

const QStringList& LBLayoutSheetController::discLabelTypes()
{
    static const QStringList codes = {
        QStringLiteral("CDDisc"),
        QStringLiteral("CDCore"),
        QStringLiteral("CDMini"),
        QStringLiteral("PappaVinylCD"),
        QStringLiteral("PappaSuperCD"),
        QStringLiteral("Label"),
        QStringLiteral("CDCover"),
        QStringLiteral("DVDCover"),
        QStringLiteral("DVDSlimCover"),
        QStringLiteral("CDSpine"),
        QStringLiteral("CDTrayInsert"),
        QStringLiteral("DVDInsert"),
        QStringLiteral("CDBooklet"),
        QStringLiteral("DVDBooklet"),
        QStringLiteral("VHSWrap"),
        QStringLiteral("VHSFace"),
        QStringLiteral("VHSSpine"),
        QStringLiteral("SuperJewelBoxCDBooklet"),
        QStringLiteral("SuperJewelBoxDVDBooklet"),
        QStringLiteral("PappaPartialShort"),
        QStringLiteral("PappaPartialMedium"),
        QStringLiteral("PappaPartialLong"),
        QStringLiteral("PappaFullShort"),
        QStringLiteral("PappaFullLong"),
        QStringLiteral("Blu-RayCover"),
        QStringLiteral("CDSlimCaseInsert"),
        QStringLiteral("SuperJewelBoxCDTrayInsertInside"),
        QStringLiteral("SuperJewelBoxDVDTrayInsertInside"),
        QStringLiteral("SuperJewelBoxCDTrayInsertOutside"),
        QStringLiteral("SuperJewelBoxDVDTrayInsertOutside"),
        QStringLiteral("LightScribeFull"),
        QStringLiteral("LightScribeContent"),
        QStringLiteral("LightScribeTitle"),
        QStringLiteral("LabelFlashFull"),
        QStringLiteral("DiscT@2"),
        QStringLiteral("CDBusinessCard"),
    };
    return codes;
}

QString LBLayoutSheetController::englishNameForDiscLabelType(const QString& code)
{
    const qsizetype index = discLabelTypes().indexOf(code);
    return layoutSheetString(index >= 0 ? discLabelNames().at(index) : QStringLiteral("All"));
}

QString LBLayoutSheetController::discLabelTypeForEnglishName(const QString& name)
{
    for (qsizetype i = 0; i < discLabelNames().size(); ++i) {
        if (layoutSheetString(discLabelNames().at(i)) == name)
            return discLabelTypes().at(i);
    }
    return layoutSheetString(QStringLiteral("All"));
}
