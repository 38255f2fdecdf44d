#pragma once

#include <functional>

namespace bench {

// Runs the cleanup once every benchmark has run, before the application goes (the last one
// given first): for what benchmarks share that must not outlive the QApplication, such as
// widgets and window controllers a function-local static would destroy after it.
void atEnd(std::function<void()> cleanup);

} // namespace bench
