#pragma once

// Small operations on Qt's containers.

#include <QList>

namespace platform {

// Moves the element at `from` to `to`; a `to` equal to the count moves it to the end.
// Indexes out of range change nothing.
template <typename T>
void moveObjectAtIndex(QList<T>& list, qsizetype from, qsizetype to)
{
    if (from < 0 || from >= list.size() || to < 0 || to > list.size())
        return;
    list.move(from, to == list.size() ? list.size() - 1 : to);
}

} // namespace platform
