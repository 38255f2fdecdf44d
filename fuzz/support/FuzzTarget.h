#pragma once

// What a fuzz target provides: its seeds, made by the project's own writers, and the check
// of one input. The shared main (FuzzMain.cpp) creates the application once, hands every
// input to fuzzOne() and, when VELTRIN_FUZZ_SEEDS names a folder, writes seeds() there
// instead of fuzzing.
//
// A target checks the reader's promises, not only that nothing crashes: what a reader
// accepts, its writer writes and the reader reads back equal. A broken promise aborts with
// the promise and the values, so libFuzzer keeps the input as a crash.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

namespace fuzz {

QList<QByteArray> seeds();
void fuzzOne(const QByteArray& data);

// Reports the broken promise and aborts.
[[noreturn]] void broken(const char* promise, const QString& detail);

// Deep equality of property-list values where NaN equals NaN and the types match exactly.
bool sameValue(const QVariant& a, const QVariant& b);

// A short printable form of a value or bytes for the reports.
QString describe(const QVariant& value);

// The promise of a reader and its writer: `value`, as read, writes; what is written reads
// back as the same value; and that writes the same bytes again.
using Writer = QByteArray (*)(const QVariant&);
using Reader = std::optional<QVariant> (*)(const QByteArray&, QString*);
void checkRoundTrip(const QVariant& value, Writer write, Reader read);

// The folder external programs the readers start work in, made on first use: its "bin"
// goes first on PATH with a wrapper of the gs command that caps it at a few seconds of CPU,
// 1 GB of memory and 64 MB a file (so an endless PostScript loop costs seconds, not the
// reader's half-minute limit), and its "tmp" becomes TMPDIR.
const QString& toolSandbox();

} // namespace fuzz

#define FUZZ_PROMISE(condition, detail)                                                            \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzz::broken(#condition, (detail));                                                    \
    } while (false)
