#pragma once

// The system beep: the short sound that tells the user an action did not take. Every call
// is counted, so tests (where the offscreen platform makes no sound) can see that a beep
// was asked for, and how often.

#include <QtGlobal>

namespace platform {

// Sounds the beep and counts it.
void beep();

// How many times beep() was called in this process.
quint64 beepCount();

} // namespace platform
