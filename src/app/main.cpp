#include "app/LBAppController.h"
#include "app/SingleInstance.h"
#include "platform/core/ContactStore.h"
#include "platform/drawing/PDFReading.h"
#include "shapes/ShapeClasses.h"

#include <QApplication>

#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace {

// The files named on the command line (the desktop entry passes them as "%F"), made
// absolute; options are left to Qt.
QStringList filesOnCommandLine(int argc, char** argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!argument.startsWith(QLatin1Char('-')))
            files << QFileInfo(argument).absoluteFilePath();
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    // Started only to read a PDF picture for the running program: nothing else runs.
    if (const std::optional<int> read = platform::servePDFReadingIfAsked(argc, argv))
        return *read;
    LBAppController::setUpApplicationIdentity();
    const QStringList files = filesOnCommandLine(argc, argv);

    // A second start hands its files to the running program and ends; when that program
    // does not answer, it says so first.
    SingleInstance instance;
    if (!instance.isRunningProgram()) {
        if (instance.handOver(files))
            return 0;
        QApplication application(argc, argv);
        SingleInstance::alertRunningProgramDoesNotAnswer(files);
        return 1;
    }

    // Floating palettes are placed by the program, which Wayland does not allow: with an X
    // server at hand and no platform chosen, use it.
    const bool platformChosen = qEnvironmentVariableIsSet("QT_QPA_PLATFORM")
                                || std::any_of(argv, argv + argc, [](const char* a) {
                                       return qstrcmp(a, "-platform") == 0;
                                   });
    if (!platformChosen && qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication application(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Veltrin"));
    QGuiApplication::setDesktopFileName(QStringLiteral("com.orvane.Veltrin"));
    LBAppController::initialize();
    // Every graphic class by name, before any stored graphic is read.
    registerShapeClasses();

    LBAppController controller;
    // The first window lists the contacts: their folder is read once that window is on the
    // screen, in the background.
    platform::ContactStore::setSharedStoreReadInBackground(true);
    controller.quitOnTerminationSignals();
    instance.listen([&controller](const QStringList& handed) {
        if (handed.isEmpty())
            controller.bringFrontWindowForward();
        else
            controller.applicationOpenFiles(handed);
    });
    QTimer::singleShot(0, &controller, [&controller, files] {
        // Files come before the launch ends, so the launch knows a document was opened.
        if (!files.isEmpty())
            controller.applicationOpenFiles(files);
        controller.applicationDidFinishLaunching();
    });
    return QApplication::exec();
}
