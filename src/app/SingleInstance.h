#pragma once

// One running program per user. Documents open in the one program ("already open only
// brings its window forward") and all of them share one "Temporary Files" folder, whose
// AutoRecover copies a second program would offer as left over and empty at its quit.
//
// The first start holds a lock file and listens on a local socket, both in the user's
// runtime folder. The lock is the kernel's lock on the open file, so it goes with the
// process however that ends: a program that died leaves nothing to clean up, and taking
// the lock writes nothing to the disk. A later start finds the lock held, hands its files
// (absolute paths) to the first through the socket and ends; without files it asks the
// first to bring its front window forward. When the first does not answer in time (frozen, or still busy),
// the later start says so in an alert before it ends, rather than ending without a word.

#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;

class SingleInstance
{
public:
    // Tries to become the running program (the lock).
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // Whether this process holds the lock.
    bool isRunningProgram() const;

    // The running program: listens for later starts; each start's files reach the
    // handler (none: bring the front window forward) on a later turn of the event loop,
    // once the start was told they arrived. Needs the application object.
    bool listen(std::function<void(const QStringList& files)> handler);

    // A later start: hands the files (made absolute) to the running program, waiting up
    // to `timeoutMilliseconds` for it to listen; false when it could not be reached.
    bool handOver(const QStringList& files, int timeoutMilliseconds = 5000) const;
    // After a failed handOver(): tells the user (an alert, and the error output) that the
    // running program does not answer and the files were not opened. Needs the
    // application object.
    static void alertRunningProgramDoesNotAnswer(const QStringList& files);

    // The lock file and the socket of the user's running program.
    static QString lockFilePath();
    static QString serverName();

private:
    // The open lock file while this process holds the lock, else -1.
    int _lockDescriptor = -1;
    QLocalServer* _server = nullptr;
};
