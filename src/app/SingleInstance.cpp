#include "app/SingleInstance.h"

#include "platform/core/Strings.h"
#include "platform/ui/Alert.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// The user's runtime folder; the system's temporary folder under a name of the user when
// there is none.
QString runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    return QDir::tempPath() + QStringLiteral("/veltrin-") + qEnvironmentVariable("USER");
}

} // namespace

SingleInstance::SingleInstance()
{
    QDir().mkpath(QFileInfo(lockFilePath()).absolutePath());
    // The file stays when the lock goes: removing it would let a later start lock a file
    // no longer in the folder while a third locks a new one.
    const int descriptor =
        ::open(QFile::encodeName(lockFilePath()).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return;
    // Held per open file, so a second instance in this process does not get it either.
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0)
        _lockDescriptor = descriptor;
    else
        ::close(descriptor);
}

SingleInstance::~SingleInstance()
{
    delete _server;
    if (_lockDescriptor >= 0)
        ::close(_lockDescriptor);
}

bool SingleInstance::isRunningProgram() const
{
    return _lockDescriptor >= 0;
}

QString SingleInstance::lockFilePath()
{
    return runtimeFolder() + QStringLiteral("/Veltrin.lock");
}

QString SingleInstance::serverName()
{
    return runtimeFolder() + QStringLiteral("/Veltrin.socket");
}

bool SingleInstance::listen(std::function<void(const QStringList&)> handler)
{
    if (!isRunningProgram())
        return false;
    // Holding the lock, any socket there is a dead program's.
    QLocalServer::removeServer(serverName());
    _server = new QLocalServer;
    _server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!_server->listen(serverName()))
        return false;
    QObject::connect(_server, &QLocalServer::newConnection, _server, [this, handler] {
        while (QLocalSocket* socket = _server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, handler] {
                QDataStream stream(socket);
                stream.startTransaction();
                QStringList files;
                stream >> files;
                if (!stream.commitTransaction())
                    return; // more to come
                socket->write("1");
                socket->flush();
                // On a turn of its own: the files may put up an alert (a nested event loop),
                // during which the socket goes once the later start hangs up.
                QMetaObject::invokeMethod(
                    _server, [handler, files] { handler(files); }, Qt::QueuedConnection);
            });
        }
    });
    return true;
}

bool SingleInstance::handOver(const QStringList& files, int timeoutMilliseconds) const
{
    QStringList absolute;
    for (const QString& file : files)
        absolute << QFileInfo(file).absoluteFilePath();
    QByteArray message;
    {
        QDataStream stream(&message, QIODevice::WriteOnly);
        stream << absolute;
    }

    // The running program may still be starting: try until it listens.
    const QDeadlineTimer deadline(timeoutMilliseconds);
    while (true) {
        QLocalSocket socket;
        socket.connectToServer(serverName());
        if (socket.waitForConnected(int(qMax<qint64>(deadline.remainingTime(), 1)))) {
            socket.write(message);
            // Done once the running program confirms it read the files.
            if (socket.waitForBytesWritten(int(qMax<qint64>(deadline.remainingTime(), 1)))
                && socket.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 1))))
                return true;
            return false;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
}

void SingleInstance::alertRunningProgramDoesNotAnswer(const QStringList& files)
{
    const auto text = [](const char* key) {
        return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
    };
    platform::Alert alert;
    alert.style = platform::Alert::Critical;
    alert.messageText = text("Veltrin is already running but does not respond.");
    if (files.isEmpty()) {
        alert.informativeText = text("Wait until it responds, or quit it and start Veltrin again.");
    } else {
        QStringList names;
        for (const QString& file : files)
            names << QFileInfo(file).fileName();
        alert.informativeText =
            text("These files were not opened: %1. Wait until it responds, or quit it, and "
                 "open them again.")
                .arg(names.join(QStringLiteral(", ")));
    }
    qWarning().noquote() << alert.messageText << alert.informativeText;
    alert.runModal();
}
