#include "app/LBAppController.h"
#include "app/SingleInstance.h"

#include "document/LBDocument.h"
#include "platform/core/Error.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <limits>

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

TEST(Program, ASecondStartHandsItsFilesToTheRunningProgramAndEnds)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Card.quarnlb"));
    {
        LBDocument document;
        platform::Error error;
        ASSERT_TRUE(document.saveToFile(path, LBDocument::LabelDocumentType,
                                        platform::Document::SaveToOperation, &error));
    }
    // This test is the running program.
    SingleInstance running;
    ASSERT_TRUE(running.isRunningProgram());
    EXPECT_FALSE(SingleInstance().isRunningProgram());
    LBAppController controller;
    QList<QStringList> handed;
    ASSERT_TRUE(running.listen([&](const QStringList& files) {
        handed << files;
        controller.applicationOpenFiles(files);
    }));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto start = [&](const QStringList& arguments) {
        QProcess second;
        second.setProcessEnvironment(environment);
        // A relative path is handed over made absolute.
        second.setWorkingDirectory(folder.path());
        second.start(QStringLiteral(VELTRIN_PROGRAM), arguments);
        const QDeadlineTimer deadline(20000);
        while (second.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            second.waitForFinished(20);
        }
        EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    };
    start({QStringLiteral("Card.quarnlb")});
    const QDeadlineTimer deadline(5000);
    while (handed.isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(handed, QList<QStringList>({{path}}));
    auto& documents = platform::DocumentController::sharedDocumentController();
    ASSERT_EQ(documents.documents().size(), 1);
    EXPECT_EQ(documents.documents().first()->fileName(), path);

    // Without files it only asks for the front window.
    start({});
    const QDeadlineTimer again(5000);
    while (handed.size() < 2 && !again.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(handed.size(), 2);
    EXPECT_TRUE(handed[1].isEmpty());
    EXPECT_EQ(documents.documents().size(), 1);
    documents.closeAllDocuments();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(Program, ASecondStartSaysSoWhenTheRunningProgramDoesNotAnswer)
{
    // This test is the running program, frozen: it runs no events while a start waits.
    SingleInstance running;
    ASSERT_TRUE(running.isRunningProgram());
    QStringList handed;
    ASSERT_TRUE(running.listen([&](const QStringList& files) { handed << files; }));

    SingleInstance second;
    EXPECT_FALSE(second.handOver({QStringLiteral("/cards/Card.quarnlb")}, 200));
    QStringList alerts;
    platform::Alert::setResponder([&](const platform::Alert& alert, QWidget*) {
        alerts << alert.messageText + QLatin1Char('|') + alert.informativeText;
        return platform::Alert::Response();
    });
    SingleInstance::alertRunningProgramDoesNotAnswer({QStringLiteral("/cards/Card.quarnlb")});
    SingleInstance::alertRunningProgramDoesNotAnswer({});
    platform::Alert::setResponder(nullptr);
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_TRUE(alerts[0].startsWith("Veltrin is already running but does not respond.|"));
    EXPECT_TRUE(alerts[0].contains("Card.quarnlb")) << alerts[0].toStdString();
    EXPECT_TRUE(alerts[1].startsWith("Veltrin is already running but does not respond.|"));

    // The program itself: after its wait it says so (and stays, showing the alert),
    // instead of ending without a word.
    QProcess start;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    start.setProcessEnvironment(environment);
    start.setReadChannel(QProcess::StandardError);
    start.start(QStringLiteral(VELTRIN_PROGRAM), {QStringLiteral("/cards/Card.quarnlb")});
    ASSERT_TRUE(start.waitForStarted(10000));
    QByteArray said;
    const QDeadlineTimer deadline(30000);
    while (!said.contains("does not respond") && !deadline.hasExpired()
           && start.state() == QProcess::Running) {
        start.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1)));
        said += start.readAllStandardError();
    }
    EXPECT_TRUE(said.contains("does not respond")) << said.toStdString();
    EXPECT_TRUE(said.contains("Card.quarnlb")) << said.toStdString();
    EXPECT_EQ(start.state(), QProcess::Running) << "the alert is up";
    start.kill();
    start.waitForFinished(10000);
    EXPECT_TRUE(handed.isEmpty());
}

TEST(Program, ALockLeftByAProgramThatDiedIsTakenOver)
{
    QFile lock(SingleInstance::lockFilePath());
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    // A process number no process has, the program's name, this machine.
    lock.write(QByteArray::number(std::numeric_limits<int>::max() - 1) + "\nVeltrin\n"
               + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    SingleInstance instance;
    EXPECT_TRUE(instance.isRunningProgram());
}
