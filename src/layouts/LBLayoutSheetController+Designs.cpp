// The template step: the design folders for the chosen stock, found by the stock's label
// size (or, failing that, the most similar sizes, centred by an offset), the outline of
// those folders with its "All" and "Blank" rows, the templates of the chosen folder, the
// blank template and the template search.
//
// Design roots have the shape root / any folder / project folder / size folder / design
// folders, where a size folder is named "<width>x<height> <in|mm>". Folders are read in
// name order, ignoring case, so what is found never depends on the file system's order.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBLayoutItem.h"
#include "layouts/LBTemplateObject.h"
#include "platform/core/UserDefaults.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Info = DimensionInfo;

// Seconds since the first instant of 2001, as the blank templates' unique paths use them.
double secondsSinceReferenceDate()
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return double(reference.msecsTo(QDateTime::currentDateTimeUtc())) / 1000.0;
}

std::optional<QString>& smartTemplatesOverride()
{
    static std::optional<QString> path;
    return path;
}

bool isTemplateExtension(const QString& suffix)
{
    static const QStringList extensions = {
        LBDocument::extensionForDocumentType(LBDocument::LabelDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::EnvelopeDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::PageDocumentType),
        LBDocument::extensionForDocumentType(LBDocument::OldDocumentType)};
    return extensions.contains(suffix);
}

QString joined(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The entries of a folder in name order, ignoring case; "." and ".." left out.
QStringList sortedEntries(const QString& folder)
{
    QDir dir(folder);
    QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                      QDir::Name | QDir::IgnoreCase);
    return names;
}

bool isPlainFolder(const QString& path)
{
    return QFileInfo(path).isDir() && !LBLayoutItem::isPackage(path);
}

// The design folders inside a folder: its plain sub-folders not beginning with ".".
QStringList designFoldersIn(const QString& folder)
{
    QStringList folders;
    for (const QString& name : sortedEntries(folder)) {
        if (!name.startsWith(QLatin1Char('.')) && isPlainFolder(joined(folder, name)))
            folders << joined(folder, name);
    }
    return folders;
}

// The text with letters, then white space, trimmed from both ends.
QString trimmedOfLetters(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).isLetter())
        ++begin;
    while (end > begin && text.at(end - 1).isLetter())
        --end;
    return text.mid(begin, end - begin).trimmed();
}

// A length text with every letter and white space removed, as a number.
double numberWithoutLetters(const QString& text)
{
    QString digits;
    for (const QChar c : text) {
        if (!c.isLetter() && !c.isSpace())
            digits.append(c);
    }
    return digits.toDouble();
}

bool lessIgnoringCase(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

} // namespace

// ---- Size helpers ----

QSizeF LBLayoutSheetController::pixelSizeForString(const QString& string)
{
    const double factor =
        string.endsWith(QLatin1String("mm")) ? PointsPerMillimeter : PointsPerInch;
    const QStringList parts = trimmedOfLetters(string).split(QLatin1Char('x'));
    if (parts.size() != 2)
        return QSizeF(0, 0);
    bool widthOk = false;
    bool heightOk = false;
    const double width = parts.at(0).trimmed().toDouble(&widthOk);
    const double height = parts.at(1).trimmed().toDouble(&heightOk);
    if (!widthOk || !heightOk)
        return QSizeF(0, 0);
    return QSizeF(width * factor, height * factor);
}

double LBLayoutSheetController::compareSize(const QString& size1, const QString& size2, bool isDisc)
{
    const QSizeF a = pixelSizeForString(size1);
    const QSizeF b = pixelSizeForString(size2);
    // A size that cannot be read is never similar to anything.
    if (a.width() <= 0 || b.width() <= 0 || (!isDisc && (a.height() <= 0 || b.height() <= 0)))
        return std::numeric_limits<double>::infinity();
    const double widths = std::max(a.width(), b.width()) / std::min(a.width(), b.width());
    const double heights =
        isDisc ? 1.0 : std::max(a.height(), b.height()) / std::min(a.height(), b.height());
    return widths * heights;
}

QString LBLayoutSheetController::stripTrailingZerosFromString(const QString& string)
{
    if (!string.contains(QLatin1Char('.')))
        return string;
    QString stripped = string;
    while (stripped.endsWith(QLatin1Char('0')))
        stripped.chop(1);
    if (stripped.endsWith(QLatin1Char('.')))
        stripped.chop(1);
    return stripped;
}

QString LBLayoutSheetController::smartTemplatesPath()
{
    if (smartTemplatesOverride())
        return *smartTemplatesOverride();
    const QString path =
        QStandardPaths::locate(QStandardPaths::AppDataLocation, QStringLiteral("Smart Templates"),
                               QStandardPaths::LocateDirectory);
    return path.isEmpty() ? QString() : joined(path, QString());
}

void LBLayoutSheetController::setSmartTemplatesPath(const QString& path)
{
    if (path.isNull())
        smartTemplatesOverride().reset();
    else
        smartTemplatesOverride() = joined(path, QString());
}

// ---- Choosing a stock ----

void LBLayoutSheetController::processCardStockSelection()
{
    const qint64 row = _selectedRow >= 0 ? _selectedRow : 0;
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(row);
    if (card)
        _selectedCardStockName = Info::text(*card, Info::paperCode);
    rebuildDesignFolders(row);
    const QString key = _selectedProjectType == EnvelopesProject
                            ? QStringLiteral("Layout Sheet Selected Envelope Type String")
                        : _selectedProjectType == DiscLabelsProject
                            ? QStringLiteral("Layout Sheet Selected Disc Type String 2")
                            : QStringLiteral("Layout Sheet Selected PaperCode 2");
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    if (card && !_matchedSetsSelected)
        defaults.setObject(Info::text(*card, Info::paperCode), key);
    else
        defaults.removeObjectForKey(key);
}

void LBLayoutSheetController::rebuildDesignFolders(qint64 row)
{
    _templateSearchText.clear();
    _templatePrompt = dialogString(QStringLiteral("Choose a template:"));
    if (_matchedSetsSelected) {
        // Matched sets: the design folders of their own folder, whatever the stock.
        _topFolderArray.clear();
        _hasTopFolderArray = true;
        const QString root = LBProcessState::designsFolderPath();
        if (!root.isEmpty()) {
            for (const QString& folder :
                 designFoldersIn(QStringLiteral("%1/Matched Sets/").arg(root)))
                _topFolderArray.append({std::make_shared<LBLayoutItem>(folder, nullptr), {}});
        }
    } else {
        buildDocumentListForStyleIndex(row, true, LBProcessState::designsFolderPath());
        buildDocumentListForStyleIndex(row, false, smartTemplatesPath());
    }
    selectOutlineRow(0);
}

std::optional<QVariantMap>
LBLayoutSheetController::buildDocumentListForStyleIndex(qint64 row, bool resetTopFolderArray,
                                                        const QString& designsRoot)
{
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(row);
    if (row < 0 || !card || isBusinessCard())
        return card;

    // The size name of the stock's labels.
    QString width = stripTrailingZerosFromString(Info::text(*card, Info::labelWidth));
    QString height = stripTrailingZerosFromString(Info::text(*card, Info::labelHeight));
    const QString paperSize = Info::text(*card, Info::paperSize);
    QString units =
        paperSize.startsWith(QLatin1String("Letter")) || width.endsWith(QLatin1String("in"))
                || (paperSize.contains(QLatin1Char('x')) && paperSize.endsWith(QLatin1String("in")))
            ? QStringLiteral("in")
            : QStringLiteral("mm");
    const bool disc = _selectedProjectType == DiscLabelsProject;
    QPointF discOffset;
    if (disc) {
        for (const QVariant& entry : card->value(Info::labels).toList()) {
            const QVariantMap label = entry.toMap();
            if (Info::text(label, QStringLiteral("labelTypeDescription"))
                != QLatin1String("CDDisc"))
                continue;
            width = Info::text(label, Info::outerDiameter);
            height = Info::text(label, Info::innerDiameter);
            if (width.endsWith(QLatin1String("in")))
                units = QStringLiteral("in");
            else if (width.endsWith(QLatin1String("mm")))
                units = QStringLiteral("mm");
            const double factor =
                units == QLatin1String("mm") ? PointsPerMillimeter : PointsPerInch;
            discOffset = QPointF(numberWithoutLetters(Info::text(label, Info::leftMargin)),
                                 numberWithoutLetters(Info::text(label, Info::topMargin)))
                         * factor;
            // Tray makers give the disc's centre rather than its corner.
            if (Info::text(*card, Info::paperManufacturer).contains(QLatin1String("CD Tray"))) {
                const double radius = numberWithoutLetters(width) * factor / 2;
                discOffset -= QPointF(radius, radius);
            }
            break;
        }
    }
    width = trimmedOfLetters(width);
    height = trimmedOfLetters(height);
    if (height.startsWith(QLatin1Char('.')))
        height.prepend(QLatin1Char('0'));
    if (height.endsWith(QLatin1String(".3333")))
        height.chop(1);
    if (_landscapeOrientationSelected)
        std::swap(width, height);
    const QString sizeName = QStringLiteral("%1x%2 %3").arg(width, height, units);
    const QSizeF size = pixelSizeForString(sizeName);

    QString projectFilter = projectNameForType(_selectedProjectType);
    static const QStringList allMakers = {"All Avery", "All DYMO", "All Seiko", "All Brother"};
    for (const QString& name : allMakers) {
        if (projectFilter == layoutSheetString(name))
            projectFilter.clear();
    }

    if (resetTopFolderArray) {
        _topFolderArray.clear();
        _folderSizeSimilarity =
            _selectedProjectType == LetterheadProject && _landscapeOrientationSelected ? 1.0
                                                                                       : 100000.0;
    }
    _hasTopFolderArray = true;
    const auto addFolder = [this](const QString& path, const QPointF& offset) {
        _topFolderArray.append({std::make_shared<LBLayoutItem>(path, nullptr), offset});
    };

    if (!designsRoot.isEmpty() && isPlainFolder(designsRoot)) {
        for (const QString& anyFolder : designFoldersIn(designsRoot)) {
            for (const QString& projectFolder : designFoldersIn(anyFolder)) {
                if (!projectFilter.isEmpty()
                    && QFileInfo(projectFolder).fileName() != projectFilter)
                    continue;
                QStringList candidates;
                for (const QString& entry : sortedEntries(projectFolder)) {
                    const QString entryPath = joined(projectFolder, entry);
                    if (entry == sizeName && QFileInfo(entryPath).isDir()) {
                        for (const QString& design : designFoldersIn(entryPath)) {
                            if (_folderSizeSimilarity != 1.0)
                                _topFolderArray.clear();
                            _folderSizeSimilarity = 1.0;
                            addFolder(design, disc ? discOffset : QPointF());
                            _templatePrompt = dialogString(QStringLiteral("Choose a template:"));
                        }
                    } else if (_folderSizeSimilarity != 1.0) {
                        const double similarity = compareSize(sizeName, entry, disc);
                        if (similarity < _folderSizeSimilarity) {
                            candidates.clear();
                            _topFolderArray.clear();
                            _folderSizeSimilarity = similarity;
                        }
                        if (similarity <= _folderSizeSimilarity)
                            candidates << entry;
                    }
                }
                if (_folderSizeSimilarity == 1.0)
                    continue;
                for (const QString& candidate : candidates) {
                    const QSizeF candidateSize = pixelSizeForString(candidate);
                    QPointF offset((size.width() - candidateSize.width()) / 2,
                                   (size.height() - candidateSize.height()) / 2);
                    if (disc)
                        offset += discOffset;
                    for (const QString& design :
                         designFoldersIn(joined(projectFolder, candidate))) {
                        addFolder(design, offset);
                        _templatePrompt =
                            dialogString(
                                QStringLiteral("Choose a template (showing %@ templates):"))
                                .replace(QLatin1String("%@"), candidate);
                    }
                }
            }
        }
    }
    std::stable_sort(_topFolderArray.begin(), _topFolderArray.end(),
                     [](const DesignFolder& a, const DesignFolder& b) {
                         return lessIgnoringCase(QFileInfo(a.item->fullPath()).fileName(),
                                                 QFileInfo(b.item->fullPath()).fileName());
                     });
    return card;
}

// ---- The outline ----

qint64 LBLayoutSheetController::outlineRootRowCount() const
{
    if (!_hasTopFolderArray)
        return 0;
    return _topFolderArray.size() + (_matchedSetsSelected ? 0 : 2);
}

LBLayoutItem* LBLayoutSheetController::outlineRootItem(qint64 row) const
{
    const qint64 index = _matchedSetsSelected ? row : row - 2;
    if (index < 0 || index >= _topFolderArray.size())
        return nullptr;
    return _topFolderArray.at(index).item.get();
}

QString LBLayoutSheetController::outlineTitle(const LBLayoutItem& item)
{
    const QFileInfo info(item.fullPath());
    return isTemplateExtension(info.suffix()) ? info.completeBaseName() : info.fileName();
}

QString LBLayoutSheetController::outlineRootTitle(qint64 row) const
{
    if (LBLayoutItem* item = outlineRootItem(row))
        return outlineTitle(*item);
    if (_matchedSetsSelected || row < 0 || row >= outlineRootRowCount())
        return QString();
    return layoutSheetString(row == 0 ? QStringLiteral("All") : QStringLiteral("Blank"));
}

QStringList LBLayoutSheetController::designFolderRows() const
{
    QStringList rows;
    for (qint64 row = 0; row < outlineRootRowCount(); ++row)
        rows << outlineRootTitle(row);
    return rows;
}

void LBLayoutSheetController::selectOutlineRow(qint64 row, LBLayoutItem* item)
{
    _selectedOutlineRow = row >= 0 && row < outlineRootRowCount() ? row : -1;
    _selectedOutlineItem = _selectedOutlineRow >= 0 ? item : nullptr;
    outlineViewSelectionDidChange();
}

LBLayoutItem* LBLayoutSheetController::selectedOutlineItem() const
{
    return _selectedOutlineItem ? _selectedOutlineItem : outlineRootItem(_selectedOutlineRow);
}

void LBLayoutSheetController::outlineViewSelectionDidChange()
{
    _templateArray.clear();
    if (_selectedOutlineRow >= 0) {
        const bool textRow = !_matchedSetsSelected && _selectedOutlineRow < 2;
        if (textRow && _selectedOutlineRow == 0) {
            for (const DesignFolder& folder : _topFolderArray)
                addTemplatesInFolder(folder.item->fullPath());
        } else if (LBLayoutItem* item = selectedOutlineItem()) {
            addTemplatesInFolder(item->fullPath());
        }
        std::stable_sort(_templateArray.begin(), _templateArray.end(),
                         [](const std::shared_ptr<LBTemplateObject>& a,
                            const std::shared_ptr<LBTemplateObject>& b) {
                             return lessIgnoringCase(QFileInfo(a->path()).fileName(),
                                                     QFileInfo(b->path()).fileName());
                         });
        if (textRow && _selectedProjectType != ContactListsProject
            && _selectedProjectType != ActivityReportsProject)
            _templateArray.prepend(
                blankTemplateObjectWithName(layoutSheetString(QStringLiteral("Blank"))));
    }
    if (!_templateSearchText.isEmpty()) {
        _templateArray.removeIf([this](const std::shared_ptr<LBTemplateObject>& item) {
            return !QFileInfo(item->path())
                        .fileName()
                        .contains(_templateSearchText, Qt::CaseInsensitive);
        });
    }
    _selectedTemplate = 0;
    _chooseDesignEnabled = !_templateArray.isEmpty();
    Q_EMIT changed();
}

void LBLayoutSheetController::addTemplatesInFolder(const QString& path)
{
    for (const QString& name : sortedEntries(path)) {
        const QString entry = joined(path, name);
        if (isPlainFolder(entry)) {
            addTemplatesInFolder(entry);
        } else if (isTemplateExtension(QFileInfo(name).suffix())) {
            auto item = LBTemplateObject::templateObjectWithPath(entry, 0);
            item->setCellSize(templateCellSize());
            _templateArray.append(item);
        }
    }
}

void LBLayoutSheetController::searchTemplateName(const QString& text)
{
    _templateSearchText = text;
    outlineViewSelectionDidChange();
}

// ---- Templates ----

std::shared_ptr<LBTemplateObject>
LBLayoutSheetController::blankTemplateObjectWithName(const QString& name) const
{
    const std::optional<QVariantMap> card =
        cardDictionaryAtIndex(_selectedRow >= 0 ? _selectedRow : 0);
    QSizeF paper;
    if (card) {
        paper = _selectedProjectType == DiscLabelsProject
                    ? pixelDimensionsForPaper(*card)
                    : QSizeF(convertStringToPoints(Info::text(*card, Info::labelWidth), 1.0),
                             convertStringToPoints(Info::text(*card, Info::labelHeight), 1.0));
    }
    const double w = paper.width();
    const double h = paper.height();
    // A card without a size (a disc paper of 0 x 0 included) gives a square blank.
    QSizeF scaled(templateCellSize(), templateCellSize());
    if (w > 0 && h > 0)
        scaled = w > h ? QSizeF(120, h * 120 / w) : QSizeF(w * 120 / h, 120);
    auto blank = LBTemplateObject::templateObjectWithPath(
        QStringLiteral("%1/%2").arg(QString::number(secondsSinceReferenceDate(), 'f', 6), name), 0);
    blank->setBlankPaperSize(scaled);
    blank->setCellSize(templateCellSize());
    return blank;
}

bool LBLayoutSheetController::isSmartTemplate() const
{
    const QString root = smartTemplatesPath();
    if (root.isEmpty() || _templateArray.isEmpty())
        return false;
    const std::shared_ptr<LBTemplateObject> chosen =
        _templateArray.value(_selectedTemplate >= 0 ? _selectedTemplate : 0);
    return chosen && chosen->path().startsWith(root);
}

QPointF LBLayoutSheetController::designOffsetForTemplate(const QString& path) const
{
    for (const DesignFolder& folder : _topFolderArray) {
        const QString folderPath = joined(folder.item->fullPath(), QString());
        if (path.startsWith(folderPath))
            return folder.offset;
    }
    return QPointF();
}
