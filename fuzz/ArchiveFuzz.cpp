// The archive reader: any value it decodes encodes again, and decodes to the same value.

#include "FuzzTarget.h"
#include "support/ArchiveSamples.h"

#include "platform/core/Archive.h"
#include "platform/drawing/BezierPath.h"

#include <QDateTime>

using platform::Archive;

namespace fuzz {

namespace {

platform::BezierPath samplePath()
{
    platform::BezierPath path = platform::BezierPath::withRoundedRect(QRectF(1, 2, 30, 20), 4, 3);
    path.moveTo(QPointF(0.5, -7.25));
    path.curveTo(QPointF(10, 10), QPointF(3, 1e-3), QPointF(7, 1e6));
    path.setLineWidth(2.5);
    path.setLineDash({3, 1.5}, 0.5);
    path.setWindingRule(platform::BezierPath::WindingRule::EvenOdd);
    return path;
}

} // namespace

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
        Archive::archivedDataWithBezierPath(samplePath()),
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
