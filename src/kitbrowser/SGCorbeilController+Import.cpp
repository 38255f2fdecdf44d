// Importing kits: batch steps, one kit at a time (whole or not at all), older copies of a
// kit, the confirmation, and the check that the store and the "Kits" folder agree.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "kitfile/iCorbeilFile.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ProgressWindow.h"

#include <QColor>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

using sgstore::Predicate;

namespace {

// A key shown to the user; nothing for no key.
QString displayForm(const QString& key)
{
    return key.isEmpty() ? QStringLiteral("")
                         : iCorbeilImage::convertValueStringToDisplayString(key);
}

QString joinedTags(const std::optional<QStringList>& tags)
{
    return SGCorbeilController::combinedStringFromArray(tags.value_or(QStringList()));
}

QString pictureCount(const QVariant& count)
{
    if (!count.isValid())
        return QStringLiteral("");
    if (platform::isIntegerType(count.typeId()))
        return platform::formatLong(count.toLongLong());
    const double value = count.toDouble();
    return value == double(qint64(value)) ? platform::formatLong(qint64(value))
                                          : QString::number(value);
}

void appendOnce(QStringList& list, const QString& value)
{
    if (!value.isEmpty() && !list.contains(value))
        list.append(value);
}

// The package's own name, whatever the URL's spelling ("a/b.icorbeil/" gives "b.icorbeil").
QString packageName(const QUrl& url)
{
    return QFileInfo(QDir::cleanPath(url.adjusted(QUrl::NormalizePathSegments).toLocalFile()))
        .fileName();
}

} // namespace

void SGCorbeilController::importCorbeils(const QStringList& paths)
{
    for (qsizetype i = 0; i < paths.size(); ++i)
        importCorbeilURL(QUrl::fromLocalFile(paths[i]), quint64(i), quint64(paths.size()), true);
}

bool SGCorbeilController::importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles,
                                        bool displayConfirmation)
{
    return importCorbeilURL(path.isNull() ? QUrl() : QUrl::fromLocalFile(path),
                            quint64(std::max<qint64>(0, currentIndex)),
                            quint64(std::max<qint64>(0, numFiles)), displayConfirmation);
}

bool SGCorbeilController::importCorbeilURL(const QUrl& url, quint64 currentIndex, quint64 numFiles,
                                           bool displayConfirmation)
{
    bool arrivedHere = false;
    if (currentIndex == 0) {
        d->importedNames.clear();
        d->importProblems.clear();
    }
    const QString name = url.isLocalFile() ? packageName(url) : QString();
    if (name.isEmpty()) {
        d->importProblems.append(d->dialogString(QStringLiteral("%@: there is no kit file there."))
                                     .replace(QStringLiteral("%@"), url.toDisplayString()));
    } else {
        const QString destination = platform::uniquePath(d->kitFolder(name));
        QString error;
        arrivedHere = importCorbeilAtURL(url, QUrl::fromLocalFile(destination), true, currentIndex,
                                         numFiles, &error);
        if (arrivedHere)
            d->importedNames.append(QFileInfo(destination).fileName());
        else
            d->importProblems.append(QStringLiteral("%1: %2").arg(name, error));
    }
    if (currentIndex + 1 != numFiles)
        return arrivedHere;

    // The last file: remember what arrived, confirm, and show it.
    const int arrived = int(d->importedNames.size());
    if (arrived > 0)
        platform::UserDefaults::standardUserDefaults().setObject(
            d->importedNames.join(sgbrowser::LastImportSeparator), sgbrowser::LastImportStringKey);
    if (displayConfirmation || !d->importProblems.isEmpty())
        d->showImportConfirmation(arrived);
    if (arrived > 0) {
        d->showLastImport = true;
        switchToMode(1, d->mode, true);
    }
    d->importedNames.clear();
    d->importProblems.clear();
    return arrivedHere;
}

void SGCorbeilController::Private::showImportConfirmation(int arrived)
{
    platform::Alert alert;
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    const QString problems = importProblems.join(QStringLiteral("\r"));
    if (arrived == 0) {
        alert.style = platform::Alert::Critical;
        alert.messageText = dialogString(importProblems.size() == 1
                                             ? QStringLiteral("The kit could not be imported.")
                                             : QStringLiteral("The kits could not be imported."));
        alert.informativeText = problems;
    } else {
        alert.style = platform::Alert::Informational;
        alert.messageText = dialogString(
            arrived == 1
                ? QStringLiteral("The kit was successfully imported. WARNING: please back up your "
                                 "original kit file.")
                : QStringLiteral(
                    "The kits were successfully imported. WARNING: please back up your "
                    "original kit files."));
        alert.informativeText = dialogString(QStringLiteral("BackupAdvice"));
        if (!importProblems.isEmpty())
            alert.informativeText +=
                QStringLiteral("\r\r")
                + dialogString(QStringLiteral("These kits could not be imported:"))
                + QStringLiteral("\r") + problems;
    }
    alert.beginSheetModalForWindow(window());
}

bool SGCorbeilController::importCorbeilAtURL(const QUrl& source, const QUrl& libraryKitURL,
                                             bool showProgress, quint64 currentIndex,
                                             quint64 numFiles, QString* error)
{
    return d->importOne(source, libraryKitURL.toLocalFile(), showProgress, currentIndex, numFiles,
                        error);
}

bool SGCorbeilController::Private::importOne(const QUrl& source, const QString& destination,
                                             bool showProgress, quint64 currentIndex,
                                             quint64 numFiles, QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const bool copying = !source.isEmpty();
    iCorbeilFile kit;
    platform::Error problem;
    if (!kit.readFromURL(copying ? source : QUrl::fromLocalFile(destination), &problem))
        return fail(problem.description);
    SGCorbeilStore& kits = openStore();
    if (!kits.isOpen())
        return fail(dialogString(QStringLiteral("The kit library cannot be opened.")));

    const iCorbeilFile::ImageList& objects = kit.objects();
    platform::ProgressWindow* progress = nullptr;
    if (showProgress) {
        progress = platform::ProgressWindow::startProgressWindowWithTitle(
            QString(), double(objects.size() + 2), window());
    }
    const auto endProgress = [&progress] {
        if (progress)
            progress->endProgressWindow();
        progress = nullptr;
    };
    if (progress) {
        progress->setMessage(
            numFiles < 2
                ? localized(QStringLiteral("Importing %@\\U2026"))
                      .replace(QStringLiteral("%@"), kit.name())
                : localized(QStringLiteral("Importing %@ (%d of %d)\\U2026"))
                      .replace(QStringLiteral("%@"), kit.name())
                      .replace(QStringLiteral("(%d of %d)"),
                               QStringLiteral("(%1 of %2)").arg(currentIndex + 1).arg(numFiles)));
        progress->setValue(1);
    }

    // The package goes into "Kits" under a name no kit bears until its records are in.
    const QString filename = QFileInfo(destination).fileName();
    QString waiting;
    if (copying) {
        waiting = kitsFolder() + u'/' + sgbrowser::ImportingPrefix + platform::UUIDString();
        platform::Error copyProblem;
        if (!platform::copyItem(QDir::cleanPath(source.toLocalFile()), waiting, &copyProblem)) {
            endProgress();
            return fail(copyProblem.description);
        }
    }
    const auto giveUp = [&](const QString& why) {
        if (!waiting.isEmpty())
            platform::removeItem(waiting);
        // The rows written so far are rolled back; so is the store's copy of them.
        kits.forgetObjects();
        endProgress();
        return fail(why);
    };

    const std::shared_ptr<iCorbeilInfo> info = kit.info();
    SGKitRecord record;
    record.UID = info->UUID();
    record.name = info->name();
    record.filename = filename;
    record.author = !info->designerName().isEmpty()          ? info->designerName()
                    : !info->designerContactName().isEmpty() ? info->designerContactName()
                                                             : QStringLiteral("");
    record.kitType = SGCorbeilController::englishNameForKitType(info->kitType());
    record.kitSize = SGCorbeilController::englishNameForKitSize(info->kitSize());
    record.kitDescription = info->description().isNull() ? QStringLiteral("") : info->description();
    record.tagString = joinedTags(info->tags());

    platform::SqlStore::Transaction transaction(kits.sql());
    QString why;
    QStringList replaced;
    // A kit imported again replaces its older copies (only an import does: rebuilding keeps
    // every package it finds).
    if (!transaction.isActive() || (copying && !kits.deleteKitsWithUID(record.UID, &replaced, &why))
        || !kits.insertKit(record, &why))
        return giveUp(why.isEmpty()
                          ? dialogString(QStringLiteral("The kit library cannot be changed."))
                          : why);

    QStringList types, subtypes, primaryColors, secondaryColors;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const iCorbeilImage& image = *objects[i];
        if (progress)
            progress->setValue(double(i + 2));
        SGObjectRecord object;
        object.kit = {record.id, record.UID, record.filename, record.name, record.author};
        object.UID = platform::UUIDString();
        object.filename = image.filename();
        object.name = image.name();
        object.type = displayForm(image.type());
        object.subtype = displayForm(image.subtype());
        object.orientation = displayForm(image.orientation());
        object.paperType = displayForm(image.paperType());
        object.numberOfPictures = pictureCount(image.numberOfPictures());
        object.tagString = joinedTags(image.tags());
        object.primaryColorName = displayForm(image.primaryColorName());
        object.primaryColorValue = platform::orvaneStringRepresentation(image.primaryColor());
        QStringList names, values;
        for (const QVariant& entry : image.secondaryColors()) {
            const QVariantMap color = entry.toMap();
            names.append(displayForm(color.value(VQName).toString()));
            values.append(
                platform::orvaneStringRepresentation(color.value(VQColorActual).value<QColor>()));
        }
        object.secondaryColorNames = SGCorbeilController::combinedStringFromArray(names);
        object.secondaryColorValues = SGCorbeilController::combinedStringFromArray(values);
        object.thumbnailFilename = image.thumbnailFilename();
        object.detailThumbnailFilename = image.detailThumbnailFilename();
        if (!kits.insertObject(object, &why))
            return giveUp(why);
        appendOnce(types, object.type);
        appendOnce(subtypes, object.subtype);
        appendOnce(primaryColors, object.primaryColorName);
        for (const QString& name : names)
            appendOnce(secondaryColors, name);
    }
    if (!kits.sql().execute(QStringLiteral("UPDATE Kit SET typeString = ?, subtypeString = ?, "
                                           "primaryColorString = ?, secondaryColorString = ? "
                                           "WHERE id = ?"),
                            {SGCorbeilController::combinedStringFromArray(types),
                             SGCorbeilController::combinedStringFromArray(subtypes),
                             SGCorbeilController::combinedStringFromArray(primaryColors),
                             SGCorbeilController::combinedStringFromArray(secondaryColors),
                             record.id}))
        return giveUp(dialogString(QStringLiteral("The kit library cannot be changed.")));
    if (progress)
        progress->setValue(double(objects.size() + 2));

    // The package takes its name, then the records count; either failing undoes the other.
    if (copying && !QDir().rename(waiting, destination))
        return giveUp(
            QStringLiteral("The kit could not be placed in the library as \"%1\".").arg(filename));
    platform::Error commitProblem;
    if (!transaction.commit(&commitProblem)) {
        if (copying)
            QDir().rename(destination, waiting);
        return giveUp(commitProblem.description);
    }
    // Only now do the older copies go.
    for (const QString& old : replaced) {
        if (old == filename || old.isEmpty())
            continue;
        platform::Error removal;
        if (!platform::removeItem(kitFolder(old), &removal))
            qWarning().noquote() << QStringLiteral("The older copy %1 of the kit stays: %2")
                                        .arg(old, removal.description);
    }
    endProgress();
    return true;
}

void SGCorbeilController::deleteDuplicateKitWithUID(const QString& uid)
{
    SGCorbeilStore& kits = d->openStore();
    if (!kits.isOpen())
        return;
    QStringList filenames;
    platform::SqlStore::Transaction transaction(kits.sql());
    if (!transaction.isActive() || !kits.deleteKitsWithUID(uid, &filenames, nullptr)
        || !transaction.commit())
        return;
    for (const QString& filename : filenames) {
        if (!filename.isEmpty())
            platform::removeItem(d->kitFolder(filename));
    }
}

void SGCorbeilController::Private::removeLeftoverImports()
{
    const QStringList leftovers =
        QDir(kitsFolder())
            .entryList({sgbrowser::ImportingPrefix + u'*'},
                       QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : leftovers)
        platform::removeItem(kitFolder(name));
}

QList<SGKitRecord> SGCorbeilController::verifyAllKits(const QList<SGKitRecord>& kits)
{
    d->verifyPending = false;
    SGCorbeilStore& store = d->openStore();
    if (!store.isOpen())
        return kits;
    d->removeLeftoverImports();
    const QStringList entries =
        QDir(d->kitsFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    const QSet<QString> present(entries.cbegin(), entries.cend());

    QList<SGKitRecord> current = kits;
    bool deleted = false;
    QSet<QString> recorded;
    for (const SGKitRecord& kit : kits) {
        if (!present.contains(kit.filename)) {
            deleted = store.deleteKit(kit.id, nullptr) || deleted;
        } else {
            recorded.insert(kit.filename);
        }
    }
    if (deleted)
        current = allKits();

    platform::ProgressWindow* progress = nullptr;
    int attempted = 0;
    int rebuilt = 0;
    for (const QString& entry : entries) {
        if (QFileInfo(entry).suffix() != QLatin1String("icorbeil") || recorded.contains(entry))
            continue;
        if (attempted++ == 0) {
            progress =
                platform::ProgressWindow::startProgressWindowWithTitle(QString(), 0, d->window());
            if (progress)
                progress->setIndeterminate(true);
        }
        if (progress)
            progress->setMessage(
                d->localized(QStringLiteral("Rebuilding iCorbeil Library (Kit %d)\\U2026"))
                    .replace(QStringLiteral("%d"), QString::number(attempted)));
        QString error;
        if (d->importOne(QUrl(), d->kitFolder(entry), false, 0, 0, &error))
            ++rebuilt;
        else
            qWarning().noquote()
                << QStringLiteral("The kit %1 in the library cannot be read: %2").arg(entry, error);
    }
    if (rebuilt > 0)
        current = allKits();
    if (progress)
        progress->endProgressWindow();
    return current;
}
