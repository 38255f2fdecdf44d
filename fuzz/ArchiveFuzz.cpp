// The archive reader: any value it decodes encodes again, and decodes to the same value.

#include "FuzzTarget.h"
#include "support/ArchiveSamples.h"

#include "platform/core/Archive.h"

#include <QDateTime>

using platform::Archive;

namespace fuzz {

QList<QByteArray> seeds()
{
    QColor extended(QColor::ExtendedRgb);
    extended.setRgbF(1.5f, -0.25f, 0.5f, 0.75f);
    return {
        Archive::archivedDataWithColor(QColor(10, 20, 30, 40)),
        Archive::archivedDataWithColor(QColor(128, 128, 128)),
        Archive::archivedDataWithColor(QColor::fromHsvF(0.5f, 0.25f, 1.0f)),
        Archive::archivedDataWithColor(QColor::fromHslF(-1.0f, 0.0f, 0.5f)),
        Archive::archivedDataWithColor(extended),
        Archive::archivedDataWithArray({QString("a"), qint64(7), 0.5, true, QByteArray("\x01", 1),
                                        QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC),
                                        QVariantMap{{"k", QColor(Qt::red)}}, QVariantList{}}),
        Archive::archivedDataWithValue(QVariant::fromValue(sampleAttributedString())),
    };
}

void fuzzOne(const QByteArray& data)
{
    const std::optional<QVariant> value = Archive::valueFromArchivedData(data);
    if (!value)
        return;
    const QByteArray written = Archive::archivedDataWithValue(*value);
    FUZZ_PROMISE(!written.isEmpty(), describe(*value));
    const std::optional<QVariant> again = Archive::valueFromArchivedData(written);
    FUZZ_PROMISE(again,
                 QStringLiteral("written archive does not decode\n%1").arg(describe(written)));
    // Bytes compare NaN components and reals as the same; values catch the rest.
    FUZZ_PROMISE(Archive::archivedDataWithValue(*again) == written, describe(written));
    if (!written.contains("nan"))
        FUZZ_PROMISE(*again == *value || sameValue(*again, *value),
                     QStringLiteral("%1\n%2").arg(describe(*value), describe(*again)));
}

} // namespace fuzz
