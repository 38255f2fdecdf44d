// Reading a comma-separated file of 100 MB (1.19 million records of ten fields, one of them
// quoted with a comma inside) into records. Goals: at least 50 MB/s (2 s an iteration,
// bench/targets.txt), and the counter memory_x_file, the most memory the read holds at
// once with the file's own bytes counted in, as a multiple of the file's size: at most 3.

#include "platform/core/DelimitedText.h"

#include <QByteArray>
#include <QFile>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype FileBytes = 100'000'000;

QByteArray commaFile()
{
    const char* const first[] = {"Ann", "Bob", "Cy", "Dana", "Eli", "Fay", "Gus"};
    const char* const last[] = {"Smith", "Jones", "Brown", "Lee", "Cole", "Young"};
    QByteArray data;
    data.reserve(FileBytes + 200);
    for (qint64 i = 0; data.size() < FileBytes; ++i) {
        const QByteArray number = QByteArray::number(i);
        data += number + ',' + first[i % 7] + ',' + last[i % 6] + ",\"" + number
                + ", Main St\",Springfield,IL," + QByteArray::number(10000 + i % 90000)
                + ",555-1234,p" + number + "@ex.com,x\n";
    }
    return data;
}

// A value of /proc/self/status, KiB.
qint64 statusKiB(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Starts the peak resident set again from the present one.
void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

void BM_Read100MB(benchmark::State& state)
{
    const QByteArray data = commaFile();
    qsizetype records = 0;
    double memoryTimesFile = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetPeak();
        const qint64 before = statusKiB("VmRSS:");
        state.ResumeTiming();
        {
            const auto text = platform::DelimitedText::read(data, QLatin1Char(','));
            if (!text)
                state.SkipWithError("the file is not read");
            else
                records = text->recordCount();
        }
        const double used = double(statusKiB("VmHWM:") - before) * 1024.0;
        memoryTimesFile = std::max(memoryTimesFile, (used + double(data.size())) / data.size());
    }
    state.counters["records"] = double(records);
    state.counters["memory_x_file"] = memoryTimesFile;
    state.SetBytesProcessed(state.iterations() * data.size());
}

} // namespace

BENCHMARK(BM_Read100MB)->Unit(benchmark::kMillisecond)->Iterations(3);
