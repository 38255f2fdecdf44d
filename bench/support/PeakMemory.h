#pragma once

// The peak resident set of the benchmark process so far, MiB (0 where the system does not
// say): run one case a process to read it for that case.

#include <QByteArray>
#include <QFile>
#include <QString>

inline double peakResidentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0.0;
}
