// Moving an object along a path over time: a repeating timer carries the motion's state
// and, 30 times a second, puts the object where its speed has taken it by now.

#include "geometry/LBPathText.h"

#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTMotionTarget.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>

#include <cmath>

namespace LBPathText {

namespace {

using TargetPointer = std::shared_ptr<PTMotionTarget>;

const char* const kRecordProperty = "userInfo";
const QString kPathKey = QStringLiteral("path");
const QString kSpeedKey = QStringLiteral("speed");
const QString kUserInfoKey = QStringLiteral("userinfo");
const QString kTargetKey = QStringLiteral("target");
const QString kPathLengthKey = QStringLiteral("path_length");
const QString kLoopKey = QStringLiteral("loop");
const QString kStartTimeKey = QStringLiteral("start_time");

// Seconds from 1970-01-01 to 2001-01-01 (UTC).
constexpr double kReferenceDate = 978307200.0;
constexpr int kTickMilliseconds = 1000 / 30;

std::function<double()>& injectedClock()
{
    static std::function<double()> clock;
    return clock;
}

void endMotion(QTimer* timer)
{
    timer->stop();
    // Lets go of the target at once rather than when the timer is deleted.
    timer->setProperty(kRecordProperty, QVariant());
    timer->deleteLater();
}

} // namespace

void setMotionClock(std::function<double()> clock)
{
    injectedClock() = std::move(clock);
}

double motionClockNow()
{
    const std::function<double()>& clock = injectedClock();
    if (clock)
        return clock();
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - kReferenceDate;
}

QTimer* moveObject(const BezierPath& path, std::shared_ptr<PTMotionTarget> object, double atSpeed,
                   bool loop, const QVariant& userInfo)
{
    if (!object)
        throw LBPathToolkitException(QStringLiteral("can't move a nil object"), kSourceFile);
    if (!(atSpeed > 0) || path.elementCount() < 2)
        return nullptr;
    double slope = 0;
    const QPointF start = LBPathGeometry::pointOnPathAtLength(path, 0, &slope);
    if (!object->moveObjectTo(start, 0, slope, userInfo))
        return nullptr;

    QVariantMap record;
    record.insert(kPathKey, QVariant::fromValue(path));
    record.insert(kSpeedKey, float(atSpeed));
    if (userInfo.isValid())
        record.insert(kUserInfoKey, userInfo);
    record.insert(kTargetKey, QVariant::fromValue(TargetPointer(std::move(object))));
    record.insert(kPathLengthKey, float(LBPathGeometry::length(path)));
    record.insert(kLoopKey, loop);
    // Double precision: the seconds since the reference date are far too many for a
    // float to keep fractions of a second (or even whole seconds).
    record.insert(kStartTimeKey, motionClockNow());

    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(kTickMilliseconds);
    timer->setProperty(kRecordProperty, record);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] { motionCallback(timer); });
    timer->start();
    return timer;
}

void motionCallback(QTimer* timer)
{
    if (!timer)
        return;
    const QVariantMap record = timer->property(kRecordProperty).toMap();
    const TargetPointer target = record.value(kTargetKey).value<TargetPointer>();
    if (!target) {
        endMotion(timer);
        return;
    }
    const BezierPath path = record.value(kPathKey).value<BezierPath>();
    const double speed = record.value(kSpeedKey).toFloat();
    const double pathLength = record.value(kPathLengthKey).toFloat();
    const double elapsed = motionClockNow() - record.value(kStartTimeKey).toDouble();

    double distance = speed * elapsed;
    bool finished = false;
    if (record.value(kLoopKey).toBool()) {
        distance = pathLength > 0 ? std::fmod(float(distance), float(pathLength)) : 0.0;
    } else if (distance > pathLength) {
        distance = pathLength;
        finished = true;
    }
    double slope = 0;
    const QPointF point = LBPathGeometry::pointOnPathAtLength(path, distance, &slope);
    const bool goOn = target->moveObjectTo(point, distance, slope, record.value(kUserInfoKey));
    if (!goOn || finished)
        endMotion(timer);
}

} // namespace LBPathText
