// The main of every test executable: one QApplication, offscreen unless told otherwise,
// with the user's settings, caches and data folders moved into a temporary folder so tests
// never read or write the real ones.
#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

extern "C" {
// Leaks inside system libraries (fontconfig, Qt plugin loading) are listed in a
// suppression file kept with the tests; leak detection itself stays on.
const char* __lsan_default_options()
{
    return "suppressions=" VELTRIN_LSAN_SUPPRESSIONS ":print_suppressions=0";
}
// The sanitizer's record of dynamic thread-local storage (of plugins loaded at run time,
// such as Qt's image format plugins) can hold a bogus block on this system's C library,
// and the leak check then crashes at exit while scanning it, depending only on how the
// test program happens to be laid out; so that record is not kept.
const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:intercept_tls_get_addr=0";
}
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QByteArray(home.path().toLocal8Bit() + '/' + name));
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Orvane"));
    QApplication::setApplicationName(QStringLiteral("Veltrin"));
    return RUN_ALL_TESTS();
}
