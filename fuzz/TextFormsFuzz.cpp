// The lenient readers of stored numbers and geometry: what they read from any text, the
// writers write so that it reads back the same.

#include "FuzzTarget.h"

#include "platform/core/TextForms.h"

#include <cmath>

using namespace platform;

namespace fuzz {

QList<QByteArray> seeds()
{
    return {
        stringFromRect(QRectF(10, 20.5, -100, 1e20)).toUtf8(),
        stringFromPoint(QPointF(0.1, -2.5e-7)).toUtf8(),
        stringFromSize(QSizeF(841.88976399, 595.27559055)).toUtf8(),
        format2f(0.125).toUtf8(),
        format6f(-0.0078125).toUtf8(),
        formatLong(-9223372036854775807LL - 1).toUtf8(),
        " +007.5e3xyz",
        "YES",
    };
}

namespace {

bool same(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

QString numbers(const QString& text, double a, double b)
{
    return QStringLiteral("%1: %2 then %3").arg(text).arg(a, 0, 'g', 17).arg(b, 0, 'g', 17);
}

} // namespace

void fuzzOne(const QByteArray& data)
{
    const QString text = QString::fromUtf8(data);

    const QRectF rect = rectFromString(text);
    const QRectF rectBack = rectFromString(stringFromRect(rect));
    FUZZ_PROMISE(same(rect.x(), rectBack.x()) && same(rect.y(), rectBack.y())
                     && same(rect.width(), rectBack.width())
                     && same(rect.height(), rectBack.height()),
                 text + QStringLiteral(" -> ") + stringFromRect(rect));
    const QPointF point = pointFromString(text);
    const QPointF pointBack = pointFromString(stringFromPoint(point));
    FUZZ_PROMISE(same(point.x(), pointBack.x()) && same(point.y(), pointBack.y()),
                 text + QStringLiteral(" -> ") + stringFromPoint(point));

    const int integer = intValue(text);
    FUZZ_PROMISE(intValue(formatLong(integer)) == integer, text);
    const qint64 wide = integerValue(text);
    FUZZ_PROMISE(integerValue(formatLong(wide)) == wide, text);

    const double real = doubleValue(text);
    if (std::isfinite(real)) {
        const double twoDecimals = doubleValue(format2f(real));
        FUZZ_PROMISE(std::abs(twoDecimals - real) <= 0.005 + std::abs(real) * 1e-15,
                     numbers(text, real, twoDecimals));
        const double sixDecimals = doubleValue(format6f(real));
        FUZZ_PROMISE(std::abs(sixDecimals - real) <= 5e-7 + std::abs(real) * 1e-15,
                     numbers(text, real, sixDecimals));
    } else {
        FUZZ_PROMISE(same(doubleValue(format2f(real)), real), numbers(text, real, 0));
    }
    const double single = floatValue(text);
    FUZZ_PROMISE(same(double(float(single)), single), numbers(text, single, 0));
}

} // namespace fuzz
