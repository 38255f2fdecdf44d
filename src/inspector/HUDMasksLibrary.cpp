#include "inspector/HUDMasksLibrary.h"

#include "platform/core/Error.h"
#include "platform/core/Strings.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/Alert.h"

#include <QApplication>
#include <QDebug>

#include <algorithm>

namespace {

struct LibraryState
{
    QString path; // null: the file resource
    std::optional<QList<HUDMaskRecord>> masks;
};

LibraryState& state()
{
    static LibraryState s;
    return s;
}

QImage decoded(const QVariant& data)
{
    const QByteArray bytes = data.toByteArray();
    return bytes.isEmpty() ? QImage() : QImage::fromData(bytes);
}

void reportFailure(const platform::Error& error)
{
    qWarning().noquote() << error.description;
    platform::Alert alert;
    alert.style = platform::Alert::Critical;
    alert.messageText = platform::LocalizedString(
        QStringLiteral("The masks library cannot be read."), QStringLiteral("DialogStrings"));
    alert.informativeText = error.description;
    alert.buttons = {
        platform::LocalizedString(QStringLiteral("OK"), QStringLiteral("DialogStrings"))};
    alert.beginSheetModalForWindow(QApplication::activeWindow());
}

} // namespace

std::optional<QList<HUDMaskRecord>> HUDMasksLibrary::readMasks(const QString& path,
                                                               platform::Error* error)
{
    platform::SqlStore store;
    if (store.openReadOnly(path, SchemaVersion, error) != platform::SqlStore::OpenStatus::Open)
        return std::nullopt;
    const std::optional<QList<QVariantList>> rows = store.select(
        QStringLiteral("SELECT o.name, o.thumbnail, o.\"index\", o.defaultSoftness, d.imageData "
                       "FROM MaskObject o LEFT JOIN MaskData d ON d.id = o.maskData "
                       "ORDER BY o.id"),
        {}, error);
    if (!rows)
        return std::nullopt;
    QList<HUDMaskRecord> masks;
    for (const QVariantList& row : *rows) {
        HUDMaskRecord mask;
        mask.name = row.value(0).toString();
        mask.thumbnail = decoded(row.value(1));
        mask.index = row.value(2).toLongLong();
        mask.defaultSoftness = row.value(3).toLongLong();
        mask.picture = decoded(row.value(4));
        if (mask.picture.isNull()) {
            qWarning().noquote()
                << QStringLiteral("The mask \"%1\" of %2 has no picture that can be read; it is "
                                  "left out.")
                       .arg(mask.name, path);
            continue;
        }
        masks.append(mask);
    }
    std::stable_sort(
        masks.begin(), masks.end(),
        [](const HUDMaskRecord& a, const HUDMaskRecord& b) { return a.index < b.index; });
    return masks;
}

const QList<HUDMaskRecord>& HUDMasksLibrary::masks()
{
    LibraryState& s = state();
    if (!s.masks) {
        platform::Error error;
        s.masks = readMasks(path(), &error);
        if (!s.masks) {
            s.masks.emplace();
            reportFailure(error);
        }
    }
    return *s.masks;
}

QString HUDMasksLibrary::path()
{
    const QString& set = state().path;
    if (!set.isNull())
        return set;
    const QString found = platform::Bundle().pathForFileResource(fileName());
    return found.isNull() ? fileName() : found;
}

void HUDMasksLibrary::setPath(const QString& path)
{
    state().path = path;
    state().masks.reset();
}
