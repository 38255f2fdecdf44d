// The entry points libFuzzer calls, shared by every target.

#include "FuzzTarget.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVariantList>
#include <QVariantMap>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

void broken(const char* promise, const QString& detail)
{
    std::fprintf(stderr, "\nbroken promise: %s\n%s\n", promise, qPrintable(detail));
    std::fflush(stderr);
    std::abort();
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.metaType() != b.metaType())
        return false;
    switch (a.typeId()) {
    case QMetaType::QVariantMap: {
        const QVariantMap x = a.toMap();
        const QVariantMap y = b.toMap();
        if (x.size() != y.size())
            return false;
        for (auto i = x.cbegin(), j = y.cbegin(); i != x.cend(); ++i, ++j) {
            if (i.key() != j.key() || !sameValue(i.value(), j.value()))
                return false;
        }
        return true;
    }
    case QMetaType::QVariantList: {
        const QVariantList x = a.toList();
        const QVariantList y = b.toList();
        if (x.size() != y.size())
            return false;
        for (qsizetype i = 0; i < x.size(); ++i) {
            if (!sameValue(x[i], y[i]))
                return false;
        }
        return true;
    }
    case QMetaType::Double: {
        const double x = a.toDouble();
        const double y = b.toDouble();
        return (std::isnan(x) && std::isnan(y)) || x == y;
    }
    default: return a == b;
    }
}

QString describe(const QVariant& value)
{
    QString text;
    if (value.typeId() == QMetaType::QByteArray)
        text =
            QString::fromLatin1(value.toByteArray().left(400).toPercentEncoding(" {}()<>=;,\"/"));
    else
        text = QDebug::toString(value);
    return text.left(600);
}

void checkRoundTrip(const QVariant& value, Writer write, Reader read)
{
    const QByteArray written = write(value);
    QString error;
    const std::optional<QVariant> again = read(written, &error);
    FUZZ_PROMISE(
        again,
        QStringLiteral("what was written does not read: %1\n%2").arg(error, describe(written)));
    FUZZ_PROMISE(sameValue(value, *again),
                 QStringLiteral("the round trip changed the value\n%1\n%2")
                     .arg(describe(value), describe(*again)));
    FUZZ_PROMISE(write(*again) == written, describe(written));
}


const QString& toolSandbox()
{
    static const QString folder = [] {
        static QTemporaryDir root;
        const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        QDir(root.path()).mkpath(QStringLiteral("tmp"));
        if (!gs.isEmpty()) {
            QFile wrapper(root.filePath(QStringLiteral("bin/gs")));
            wrapper.open(QIODevice::WriteOnly);
            wrapper.write("#!/bin/sh\nulimit -t 3; ulimit -v 1048576; ulimit -f 131072\nexec '" + gs.toUtf8()
                          + "' \"$@\"\n");
            wrapper.close();
            wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", root.filePath(QStringLiteral("bin")).toUtf8() + ':' + qgetenv("PATH"));
        qputenv("TMPDIR", root.filePath(QStringLiteral("tmp")).toUtf8());
        return root.path();
    }();
    return folder;
}

} // namespace fuzz

namespace {

void writeSeeds(const QString& folder)
{
    QDir().mkpath(folder);
    for (const QByteArray& seed : fuzz::seeds()) {
        const QString name =
            QString::fromLatin1(QCryptographicHash::hash(seed, QCryptographicHash::Sha1).toHex());
        QFile file(QDir(folder).filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(seed) != seed.size()) {
            std::fprintf(stderr, "cannot write the seed %s\n", qPrintable(file.fileName()));
            std::exit(1);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int applicationArgc = 1;
    static QGuiApplication application(applicationArgc, *argv);
    Q_UNUSED(argc);
    // Pictures stating huge dimensions are refused by the decoders' own limit; a smaller
    // one keeps each input quick under the sanitizers.
    QImageReader::setAllocationLimit(64);
    const QString seeds = qEnvironmentVariable("VELTRIN_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        writeSeeds(seeds);
        std::exit(0);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A deep copy, so readers that keep the bytes own them.
    fuzz::fuzzOne(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
