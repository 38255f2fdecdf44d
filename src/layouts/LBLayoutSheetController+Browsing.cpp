// Browsing the sheets: project types and their names, the stock lists of the card-stock
// folder, the maker and label-type pop-ups, the sheet table with its rows, the search by
// code and model, and the stock preview's placement and shadow.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "platform/core/PropertyList.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

using Info = DimensionInfo;

const QString separatorRowText = QStringLiteral("-----------");

// A catalogue length for the sheet list: its number, at most three decimals, and the unit it
// names ("mm", "cm", "in"), empty when it names none.
QPair<QString, QString> shownLength(const QString& stored)
{
    QString value = stored.trimmed();
    QString unit;
    for (const char* name : {"mm", "cm", "in"}) {
        if (value.endsWith(QLatin1String(name))) {
            unit = QLatin1String(name);
            value.chop(unit.size());
            break;
        }
    }
    bool ok = false;
    const double number = value.trimmed().toDouble(&ok);
    if (!ok)
        return {stored, unit};
    QString text = QString::number(number, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return {text, unit};
}

qint64 countOrOne(const QVariantMap& record, const QString& key)
{
    return record.contains(key) ? Info::integer(record, key) : 1;
}

// The labels of one catalogue sheet: its grid, or for a disc sheet the grids of its labels.
qint64 labelsPerSheet(const QVariantMap& record)
{
    const QVariantList labels = record.value(Info::labels).toList();
    if (labels.isEmpty())
        return countOrOne(record, Info::numRows) * countOrOne(record, Info::numColumns);
    qint64 count = 0;
    for (const QVariant& label : labels)
        count +=
            countOrOne(label.toMap(), Info::numRows) * countOrOne(label.toMap(), Info::numColumns);
    return count;
}
const QString selectedManufacturerKey = QStringLiteral("Layout Sheet Selected Manufacturer 2");
const QString selectedDiscManufacturerKey =
    QStringLiteral("Layout Sheet Selected Disc Manufacturer 2");

struct ProjectName
{
    qint64 type;
    const char* name;
};
// In the order names are matched back to types.
constexpr ProjectName projectNames[] = {
    {500, "Address Labels"},
    {0, "Envelopes"},
    {1, "Letterhead"},
    {6, "Disc Labels"},
    {2, "Fax Covers"},
    {3, "Invoices"},
    {4, "Contact Lists"},
    {7, "Activity Reports"},
    {501, "Audio Tape Labels"},
    {502, "Automated Labels"},
    {503, "Color Coding Labels"},
    {504, "Diskette Labels"},
    {505, "File Folder Labels"},
    {506, "MultiUse Labels"},
    {507, "Name Badge Labels"},
    {508, "Permanent ID Labels"},
    {509, "Video Tape Labels"},
    {510, "Zip Disk Labels"},
    {511, "All Avery"},
    {512, "All DYMO"},
    {513, "All Seiko"},
    {514, "All Brother"},
};

QString& cardStockFolder()
{
    static QString path = QStringLiteral(":/Card Stocks/");
    return path;
}

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

} // namespace

QString LBLayoutSheetController::PopUp::selectedTitle() const
{
    return items.value(selected);
}

bool LBLayoutSheetController::PopUp::isSeparator(qint64 index) const
{
    return items.value(index) == QLatin1String("-");
}

QString LBLayoutSheetController::layoutSheetString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("Layout Sheet"));
}

QString LBLayoutSheetController::dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

QString LBLayoutSheetController::projectNameForType(qint64 type)
{
    for (const ProjectName& entry : projectNames) {
        if (entry.type == type)
            return layoutSheetString(QString::fromLatin1(entry.name));
    }
    return QString();
}

qint64 LBLayoutSheetController::projectTypeForName(const QString& name)
{
    for (const ProjectName& entry : projectNames) {
        if (layoutSheetString(QString::fromLatin1(entry.name)) == name)
            return entry.type;
    }
    return 0;
}

bool LBLayoutSheetController::isPageType(qint64 type)
{
    return type == 1 || type == 2 || type == 3 || type == 4 || type == 7;
}

bool LBLayoutSheetController::isHorizontalLabelType(qint64 labelType)
{
    switch (labelType) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 9:
    case 11:
    case 13:
    case 17: return true;
    default: return false;
    }
}

QString LBLayoutSheetController::cardStockPath()
{
    return cardStockFolder();
}

void LBLayoutSheetController::setCardStockPath(const QString& path)
{
    cardStockFolder() = path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

void LBLayoutSheetController::selectProjectType(qint64 type)
{
    _selectedProjectType = type;
    _matchedSetsSelected = false;
    if (_newDocumentLayout && type == MatchedSetsProject) {
        // Matched sets list the designs of their folder, which come with the design
        // folders; no sheet list.
        _matchedSetsSelected = true;
        _cardArray.clear();
        _hasCardArray = false;
        Q_EMIT changed();
        return;
    }
    if (isPageType(type)) {
        _selectedCardStockName = QStringLiteral("US Letter");
        if (defaults().boolForKey(QStringLiteral("Layout Sheet A4 Paper Selected"))) {
            _templateUnitsColumn = 1;
            templateUnitsTypeAction();
        }
    }
    buildManufacturerArrays(QStringLiteral("%1%2/").arg(cardStockPath(), projectNameForType(type)));
    populateManufacturerPopupMenu();
    manufacturerAction();
    if (type == DiscLabelsProject)
        selectDiscManufacturerAtIndex(0);
    else
        selectManufacturerAtIndex(0);
}

QList<LBLayoutSheetController::ManufacturerEntry>
LBLayoutSheetController::readStockFile(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString error;
    const std::optional<QVariant> list = platform::PropertyList::read(file.readAll(), &error);
    if (!list || list->typeId() != QMetaType::QVariantList) {
        qWarning().noquote() << QStringLiteral("The stock list \"%1\" cannot be read: %2")
                                    .arg(path,
                                         error.isEmpty() ? QStringLiteral("not a list") : error);
        return {};
    }
    ManufacturerEntry entry;
    for (const QVariant& card : list->toList()) {
        if (card.typeId() == QMetaType::QVariantMap)
            entry.cards.append(cardWithRecord(card.toMap()));
    }
    return {entry};
}

void LBLayoutSheetController::buildManufacturerArrays(const QString& path)
{
    _usManufacturersArray.clear();
    _a4ManufacturersArray.clear();
    if (_selectedProjectType == DiscLabelsProject) {
        parseDiscLabelsFile();
        return;
    }
    if (_selectedProjectType == AddressLabelsProject) {
        parseAddressLabelsFile();
        return;
    }
    const QFileInfoList files =
        QDir(path).entryInfoList({QStringLiteral("*.plist")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        if (file.fileName() == QLatin1String("Custom.plist"))
            continue;
        QList<ManufacturerEntry> read = readStockFile(file.filePath());
        if (read.isEmpty())
            continue;
        ManufacturerEntry entry = read.takeFirst();
        QString name = file.completeBaseName();
        if (name.endsWith(QLatin1String("-Letter"))) {
            name.chop(7);
            entry.name = name;
            _usManufacturersArray.append(entry);
        } else {
            if (name.endsWith(QLatin1String("-A4")))
                name.chop(3);
            entry.name = name;
            _a4ManufacturersArray.append(entry);
        }
    }
    if (!_usManufacturersArray.isEmpty())
        _usManufacturersArray.first().name += QStringLiteral(" (US)");
    if (!_a4ManufacturersArray.isEmpty())
        _a4ManufacturersArray.first().name += QStringLiteral(" (Metric)");
}

void LBLayoutSheetController::populateManufacturerPopupMenu()
{
    if (_selectedProjectType == DiscLabelsProject || _selectedProjectType == AddressLabelsProject) {
        _manufacturerPopup.items = _manufacturersArray;
    } else {
        _manufacturerPopup.items.clear();
        for (const ManufacturerEntry& entry : std::as_const(_usManufacturersArray))
            _manufacturerPopup.items.append(entry.name);
        if (!_usManufacturersArray.isEmpty() && !_a4ManufacturersArray.isEmpty())
            _manufacturerPopup.items.append(QStringLiteral("-"));
        for (const ManufacturerEntry& entry : std::as_const(_a4ManufacturersArray))
            _manufacturerPopup.items.append(entry.name);
    }
    if (_manufacturerPopup.items.isEmpty())
        _manufacturerPopup.items.append(QStringLiteral(" "));
    _manufacturerPopup.selected = 0;
    Q_EMIT changed();
}

void LBLayoutSheetController::manufacturerAction()
{
    _searchText.clear();
    if (_selectedProjectType == DiscLabelsProject)
        selectDiscManufacturerAtIndex(_manufacturerPopup.selected);
    else
        selectManufacturerAtIndex(_manufacturerPopup.selected);
}

void LBLayoutSheetController::labelTypeAction()
{
    _searchText.clear();
    if (_selectedProjectType == AddressLabelsProject)
        filterByLabelType(_labelTypePopup.selectedTitle());
    else if (_selectedProjectType == DiscLabelsProject)
        filterByLabelType(discLabelTypeForEnglishName(_labelTypePopup.selectedTitle()));
    Q_EMIT changed();
}

void LBLayoutSheetController::selectManufacturerAtIndex(qint64 index)
{
    if (_selectedProjectType == DiscLabelsProject || _selectedProjectType == AddressLabelsProject) {
        selectDiscManufacturerAtIndex(index);
        return;
    }
    const qint64 previousRow = _selectedRow;
    _cardArray.clear();
    _hasCardArray = true;
    const qint64 us = _usManufacturersArray.size();
    const ManufacturerEntry* entry = nullptr;
    if (index >= 0 && index < us) {
        entry = &_usManufacturersArray.at(index);
    } else if (index >= us) {
        const qint64 metric = index - us - (us > 0 ? 1 : 0);
        if (metric >= 0 && metric < _a4ManufacturersArray.size() && !(us > 0 && index == us))
            entry = &_a4ManufacturersArray.at(metric);
    }
    if (!entry) {
        _selectedRow = -1;
        Q_EMIT changed();
        return;
    }
    _manufacturerPopup.selected = index;
    _cardArray = entry->cards;
    _selectedManufacturerName = entry->name;
    updatePaperStyleBox(previousRow);
    defaults().setInteger(index, selectedManufacturerKey);
    Q_EMIT changed();
}

void LBLayoutSheetController::selectDiscManufacturerAtIndex(qint64 index)
{
    _manufacturerPopup.selected = index;
    if (_rebuildDiscLabelTypes)
        _labelTypePopup.selected = 0;
    filterByManufacturer(index == 0 ? QStringLiteral("All")
                                    : _manufacturerPopup.items.value(index));
    defaults().setInteger(index, _selectedProjectType == DiscLabelsProject
                                     ? selectedDiscManufacturerKey
                                     : selectedManufacturerKey);
    Q_EMIT changed();
}

void LBLayoutSheetController::formatUnitsTypeAction()
{
    _selectedRow = 0;
    tableViewSelectionDidChange();
}

void LBLayoutSheetController::templateUnitsTypeAction()
{
    const bool a4 = _templateUnitsColumn == 1;
    _selectedCardStockName = a4 ? QStringLiteral("A4") : QStringLiteral("US Letter");
    // The page's card follows the units (cardDictionaryAtIndex), and with it the designs.
    _selectedRow = 0;
    rebuildDesignFolders(0);
    defaults().setBool(a4, QStringLiteral("Layout Sheet A4 Paper Selected"));
    Q_EMIT changed();
}

bool LBLayoutSheetController::showsTemplateUnits() const
{
    return isPageType(_selectedProjectType) && !_matchedSetsSelected;
}

void LBLayoutSheetController::pageOrientationAction(qint64 column)
{
    // Only the button of the orientation not shown changes it.
    if ((column == 0) == _landscapeOrientationSelected)
        return;
    _landscapeOrientationSelected = !_landscapeOrientationSelected;
    _pageOrientationColumn = _landscapeOrientationSelected ? 0 : 1;
    _selectedRow = 0;
    rebuildDesignFolders(0);
    Q_EMIT changed();
}

void LBLayoutSheetController::orientationButtonAction(bool portraitButton)
{
    const bool shownLandscape = _selectedProjectType == EnvelopesProject
                                    ? !_landscapeOrientationSelected
                                    : _landscapeOrientationSelected;
    // Only the button of the orientation not shown changes it.
    if (portraitButton == shownLandscape) {
        _landscapeOrientationSelected = !_landscapeOrientationSelected;
        rebuildPreview();
    }
}

void LBLayoutSheetController::rebuildPreview()
{
    if (_selectedProjectType == DiscLabelsProject)
        createDiscPreviewImage();
    else
        createPreviewImage();
    Q_EMIT changed();
}

void LBLayoutSheetController::updatePaperStyleBox(qint64 previousRow)
{
    Q_UNUSED(previousRow);
    if (!_hasCardArray) {
        Q_EMIT changed();
        return;
    }
    // Selecting row 0 after a reload is reported once, whether or not it was selected.
    _selectedRow =
        (_selectedProjectType == EnvelopesProject ? numberOfRows() > 0 : !_cardArray.isEmpty())
            ? 0
            : -1;
    tableViewSelectionDidChange();
}

const QList<LBLayoutSheetController::ManufacturerEntry>&
LBLayoutSheetController::envelopeList() const
{
    return _formatUnitsColumn == 1 ? _a4ManufacturersArray : _usManufacturersArray;
}

qint64 LBLayoutSheetController::numberOfRows() const
{
    if (_selectedProjectType != EnvelopesProject)
        return _cardArray.size();
    qint64 rows = 0;
    for (const ManufacturerEntry& entry : envelopeList()) {
        if (rows > 0 && !entry.cards.isEmpty())
            ++rows;
        rows += entry.cards.size();
    }
    return rows;
}

std::optional<QVariantMap> LBLayoutSheetController::cardDictionaryAtIndex(qint64 row) const
{
    if (row < 0)
        return std::nullopt;
    if (_selectedProjectType == EnvelopesProject) {
        qint64 first = 0;
        for (const ManufacturerEntry& entry : envelopeList()) {
            if (entry.cards.isEmpty())
                continue;
            if (first > 0) {
                if (row == first)
                    return std::nullopt; // the separator row
                ++first;
            }
            if (row < first + entry.cards.size())
                return entry.cards.at(row - first).record();
            first += entry.cards.size();
        }
        return std::nullopt;
    }
    if (isPageType(_selectedProjectType)) {
        const QList<ManufacturerEntry>& list =
            _templateUnitsColumn == 1 ? _a4ManufacturersArray : _usManufacturersArray;
        if (list.isEmpty() || row >= list.first().cards.size())
            return std::nullopt;
        return list.first().cards.at(row).record();
    }
    if (row >= _cardArray.size())
        return std::nullopt;
    return _cardArray.at(row).record();
}

QString LBLayoutSheetController::rowText(qint64 row) const
{
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(row);
    const bool catalogue =
        _selectedProjectType == DiscLabelsProject || _selectedProjectType == AddressLabelsProject;
    if (catalogue && !card)
        return QString();
    if (_selectedProjectType == EnvelopesProject && !card)
        return separatorRowText;
    const QVariantMap record = card.value_or(QVariantMap());
    const QString paper = Info::text(record, Info::paperSize);
    const bool inches =
        paper.startsWith(QLatin1String("Letter"))
        || (paper.contains(QLatin1Char('x')) && paper.endsWith(QLatin1String("in")));
    QString units = inches ? QStringLiteral("in") : QStringLiteral("mm");
    const QString code = Info::text(record, Info::paperCode);
    QString width = Info::text(record, Info::labelWidth);
    QString height = Info::text(record, Info::labelHeight);
    if (catalogue) {
        // A catalogue sheet tells its stock by the label size and how many labels it holds;
        // its lengths carry their unit. A disc sheet's labels differ in size: only the count.
        const QString perSheet =
            layoutSheetString(QStringLiteral("%1 per sheet")).arg(labelsPerSheet(record));
        const QString description = Info::text(record, Info::description);
        const QString name =
            description.isEmpty() ? code : code + QStringLiteral(" - ") + description;
        if (_selectedProjectType == DiscLabelsProject || width.isEmpty() || height.isEmpty())
            return QStringLiteral("%1 (%2)").arg(name, perSheet);
        const auto [w, widthUnit] = shownLength(width);
        const auto [h, heightUnit] = shownLength(height);
        if (!widthUnit.isEmpty())
            units = widthUnit;
        return QStringLiteral("%1 (%2x%3 %4, %5)").arg(name, w, h, units, perSheet);
    }
    if (_selectedProjectType == EnvelopesProject)
        return QStringLiteral("%1 (%2x%3 %4)").arg(code, width, height, units);
    return QStringLiteral("%1 - %2 (%3x%4 %5)")
        .arg(code, Info::text(record, Info::description), width, height, units);
}

bool LBLayoutSheetController::shouldSelectRow(qint64 row) const
{
    if (_selectedProjectType == EnvelopesProject)
        return rowText(row) != separatorRowText;
    return true;
}

void LBLayoutSheetController::selectRow(qint64 row)
{
    if (row >= numberOfRows())
        row = -1;
    if (row >= 0 && !shouldSelectRow(row))
        return;
    _selectedRow = row;
    tableViewSelectionDidChange();
}

void LBLayoutSheetController::tableViewSelectionDidChange()
{
    _continueEnabled = _selectedRow >= 0;
    if (_selectedRow >= 0
        && (_selectedProjectType == EnvelopesProject || isPageType(_selectedProjectType)))
        _selectedManufacturerName.clear();
    rebuildPreview();
}

QString LBLayoutSheetController::selectedPrinterModels() const
{
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(_selectedRow);
    if (!card)
        return QString();
    QStringList models;
    for (const QVariant& model : card->value(Info::models).toList())
        models.append(model.toString());
    return models.join(QStringLiteral(", "));
}

void LBLayoutSheetController::searchPaperCode(const QString& text)
{
    _searchText = text;
    if (_selectedProjectType == DiscLabelsProject || _selectedProjectType == AddressLabelsProject) {
        // The search narrows the sheets of the maker and the label type chosen: both pop-ups
        // keep their choice, and the list starts again from the catalogue filtered by them.
        const QString maker =
            _manufacturerPopup.selected > 0 ? _manufacturerPopup.selectedTitle() : QString();
        QString type = _labelTypePopup.selected > 0 ? _labelTypePopup.selectedTitle() : QString();
        if (!type.isEmpty() && _selectedProjectType == DiscLabelsProject)
            type = discLabelTypeForEnglishName(type);
        _cardArray = filteredCatalogue(maker, type);
        _hasCardArray = true;
    } else {
        selectManufacturerAtIndex(_manufacturerPopup.selected);
    }
    if (!text.isEmpty()) {
        const QString folded = text.toCaseFolded();
        // The models are one a line: a text of more than one line is in none of them.
        const bool oneLine = !folded.contains(QLatin1Char('\n'));
        QList<Card> found;
        for (const Card& card : std::as_const(_cardArray)) {
            if (card.foldedCode.contains(folded) || (oneLine && card.foldedModels.contains(folded)))
                found.append(card);
        }
        _cardArray = found;
    }
    _selectedRow = _cardArray.isEmpty() ? -1 : 0;
    tableViewSelectionDidChange();
}

QSizeF LBLayoutSheetController::previewBoxSize(const QSizeF& imageSize)
{
    constexpr double box = 232.0;
    if (imageSize.width() <= 0 || imageSize.height() <= 0)
        return QSizeF(box, 0);
    const double factor = std::min(box / imageSize.width(), box / imageSize.height());
    return QSizeF(box, factor < 1 ? imageSize.height() * factor : imageSize.height());
}

void LBLayoutSheetController::startShadow()
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->setShadow(previewShadow(_landscapeOrientationSelected));
}

void LBLayoutSheetController::stopShadow()
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current())
        context->restoreGraphicsState();
}
