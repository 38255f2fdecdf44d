#include "platform/ui/Beep.h"

#include <QApplication>

#include <atomic>

namespace platform {

namespace {

std::atomic<quint64> beeps{0};

} // namespace

void beep()
{
    ++beeps;
    QApplication::beep();
}

quint64 beepCount()
{
    return beeps.load();
}

} // namespace platform
