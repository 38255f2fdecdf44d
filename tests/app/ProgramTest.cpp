#include "app/LBAppController.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

TEST(Program, OpensAnEmptyMainWindowAndQuits)
{
    LBAppController controller;
    QTimer::singleShot(0, &controller, &LBAppController::applicationDidFinishLaunching);
    bool sawWindow = false;
    QTimer::singleShot(50, [&] {
        sawWindow = controller.mainWindow() && controller.mainWindow()->isVisible()
                    && controller.mainWindow()->windowTitle() == QStringLiteral("Veltrin");
        QApplication::quit();
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(sawWindow);
}

namespace {

// True once the process has installed a handler for SIGTERM, read from /proc so the
// test does not race the program's start-up.
bool catchesSigterm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask & (1ull << (SIGTERM - 1)));
        }
    }
    return false;
}

} // namespace

TEST(Program, StartsOffscreenAndQuitsCleanlyWhenAskedToStop)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRIN_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();

    for (int i = 0; i < 300 && !catchesSigterm(program.processId()); ++i)
        QThread::msleep(20);
    ASSERT_TRUE(catchesSigterm(program.processId()));

    program.terminate();
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}
