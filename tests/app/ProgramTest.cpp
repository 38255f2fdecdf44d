#include "app/LBAppController.h"
#include "app/SingleInstance.h"

#include "document/LBDocument.h"
#include "platform/core/Error.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

// Runs the event loop until `done` holds, `signal` reporting each change, or until the
// bound passes; whether `done` held.
template <typename Sender, typename Signal>
bool waitFor(Sender* sender, Signal signal, const std::function<bool()>& done, int milliseconds)
{
    if (done())
        return true;
    QEventLoop loop;
    QObject::connect(sender, signal, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

} // namespace

TEST(Program, ASystemStopEndsItWithoutQuestionsAndRunsTheQuit)
{
    // The program in a home of its own: settings, folders and the running-program lock.
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("HOME"), home.path());
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        environment.insert(QLatin1String(name), home.filePath(QLatin1String(name)));
    const QString runtime = home.filePath(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    const QString document = home.filePath(QStringLiteral("Card.quarnlb"));
    {
        LBDocument card;
        platform::Error error;
        ASSERT_TRUE(card.saveToFile(document, LBDocument::LabelDocumentType,
                                    platform::Document::SaveToOperation, &error));
    }

    QFileSystemWatcher watcher({runtime});
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRIN_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000)) << program.errorString().toStdString();
    // It listens for later starts once its stop handling is in place.
    const QString socketPath = runtime + QStringLiteral("/Veltrin.socket");
    ASSERT_TRUE(waitFor(
        &watcher, &QFileSystemWatcher::directoryChanged,
        [&] { return QFileInfo::exists(socketPath); }, 20000))
        << program.readAllStandardError().toStdString();

    // A document window, handed over as a second start does.
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    ASSERT_TRUE(socket.waitForConnected(10000));
    QByteArray message;
    {
        QDataStream stream(&message, QIODevice::WriteOnly);
        stream << QStringList{document};
    }
    socket.write(message);
    ASSERT_TRUE(socket.waitForBytesWritten(10000));
    ASSERT_TRUE(socket.waitForReadyRead(20000));

    program.terminate(); // SIGTERM
    ASSERT_TRUE(program.waitForFinished(20000)) << "still running after SIGTERM";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    // The quit ran: the user's fields are written, and nothing is left in "Temporary
    // Files" but whole AutoRecover copies (the document may still count as changed if the
    // stop comes right after it was read).
    const QString folders = QStringLiteral("/Orvane/Veltrin/");
    EXPECT_TRUE(QFileInfo::exists(home.filePath(QStringLiteral("XDG_DATA_HOME")) + folders
                                  + QStringLiteral("CustomFields.plist")));
    const QDir temporary(home.filePath(QStringLiteral("XDG_CACHE_HOME")) + folders
                         + QStringLiteral("Temporary Files"));
    for (const QString& name :
         temporary.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        SCOPED_TRACE(name.toStdString());
        platform::Error error;
        EXPECT_NE(LBDocument::initWithContentsOfFile(temporary.filePath(name),
                                                     LBDocument::LabelDocumentType, &error),
                  nullptr);
    }
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

TEST(Program, AProgramKilledWhileRunningLeavesItsLockToTheNextStart)
{
    QLocalServer::removeServer(SingleInstance::serverName());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VELTRIN_PROGRAM), QStringList());
    ASSERT_TRUE(program.waitForStarted(10000));
    // It listens once it holds the lock.
    const QDeadlineTimer deadline(30000);
    while (!QFileInfo::exists(SingleInstance::serverName()) && !deadline.hasExpired()
           && program.state() == QProcess::Running)
        QThread::msleep(20);
    ASSERT_TRUE(QFileInfo::exists(SingleInstance::serverName()));
    EXPECT_FALSE(SingleInstance().isRunningProgram());
    // Ended without a word: nothing of its own removes the lock.
    program.kill();
    ASSERT_TRUE(program.waitForFinished(10000));
    EXPECT_TRUE(SingleInstance().isRunningProgram());
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
