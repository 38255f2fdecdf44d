// The main of every test executable: one QApplication, offscreen unless told otherwise,
// with the user's settings, caches and data folders moved into a temporary folder so tests
// never read or write the real ones.
#include "platform/drawing/PDFReading.h"

#include <QApplication>
#include <QByteArray>
#include <QSettings>
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

namespace {

// Every test starts as a new user does: a test program runs all its tests in one process
// (run directly or shuffled), and the settings an earlier test stored (grid shown, window
// frames, import choices) would otherwise decide what a later one finds. QSettings objects
// on one file share what they hold in a process, so the application's own settings object
// sees the file emptied at once.
class FreshSettingsForEveryTest : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        QSettings settings(QSettings::IniFormat, QSettings::UserScope,
                           QCoreApplication::organizationName(),
                           QCoreApplication::applicationName());
        settings.clear();
        settings.sync();
    }
};

} // namespace

int main(int argc, char** argv)
{
    // A test program reads PDF pictures in children of its own, as the program does.
    if (const std::optional<int> read = platform::servePDFReadingIfAsked(argc, argv))
        return *read;
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
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSettingsForEveryTest);
    return RUN_ALL_TESTS();
}
