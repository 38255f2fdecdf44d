// AutoRecover: a copy of the open document in the temporary folder, written on a timer
// while the document changes, and deleted with the document.

#include "document/LBDocument.h"

#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/UserDefaults.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace {

int& minuteLength()
{
    static int milliseconds = 60 * 1000;
    return milliseconds;
}

// The copies' paths that open documents hold: two documents made within one microsecond
// still get paths of their own.
QSet<QString>& claimedPaths()
{
    static QSet<QString> paths;
    return paths;
}

QString temporaryFolder()
{
    QString folder = LBProcessState::temporaryFolderPath();
    if (folder.isEmpty())
        folder = QDir::tempPath() + QLatin1Char('/');
    return folder;
}

// A path for a copy in the temporary folder that neither a file nor another document has.
QString newCopyPath(const QString& extension)
{
    const QString folder = temporaryFolder();
    return folder + LBDocument::timeStampedName(extension, [&folder](const QString& name) {
               const QString path = folder + name;
               return claimedPaths().contains(path) || QFileInfo::exists(path)
                      || QFileInfo(path).isSymLink();
           });
}

} // namespace

void LBDocument::setAutoRecoverMinuteLength(int milliseconds)
{
    minuteLength() = milliseconds;
}

void LBDocument::setTemporaryFilePath(const QString& path)
{
    claimedPaths().remove(_temporaryFilePath);
    _temporaryFilePath = path;
    if (!path.isEmpty())
        claimedPaths().insert(path);
}

void LBDocument::createTemporaryFilePath()
{
    claimedPaths().remove(_temporaryFilePath);
    _temporaryFilePath = newCopyPath(docExtensionForSelectedCardType());
    claimedPaths().insert(_temporaryFilePath);
}

void LBDocument::createTempFileTimer()
{
    killTempFileTimer();
    const qint64 minutes = platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("AutoRecover Save Interval"));
    if (minutes <= 0)
        return;
    // The longest interval a timer takes; a longer setting (a hand-edited one) is that
    // long, where multiplying it out would overflow.
    const qint64 minute = std::max(minuteLength(), 1);
    _tempFileTimer = new QTimer(this);
    _tempFileTimer->setInterval(int(std::min<qint64>(minutes, INT_MAX / minute) * minute));
    connect(_tempFileTimer, &QTimer::timeout, this, &LBDocument::saveTemporaryFileIfDirty);
    _tempFileTimer->start();
}

bool LBDocument::tempFileTimerIsRunning() const
{
    return _tempFileTimer && _tempFileTimer->isActive();
}

void LBDocument::killTempFileTimer()
{
    delete _tempFileTimer;
    _tempFileTimer = nullptr;
}

void LBDocument::saveTemporaryFileIfDirty()
{
    if (!_temporaryFilePath.isEmpty() && isDocumentEdited() && _temporaryFileDirty)
        saveTemporaryFile();
    _temporaryFileExists = true;
}

void LBDocument::forceSaveTemporaryFile()
{
    if (!_tempFileTimer || _forcedTemporarySavePending)
        return;
    _forcedTemporarySavePending = true;
    performAfterDelay([this] {
        _forcedTemporarySavePending = false;
        if (!_tempFileTimer)
            return;
        if (!_temporaryFilePath.isEmpty())
            saveTemporaryFile();
        _temporaryFileExists = true;
    });
}

bool LBDocument::saveTemporaryFile()
{
    if (_temporaryFilePath.isEmpty())
        return false;
    const QString extension = docExtensionForSelectedCardType();
    const QString fresh = newCopyPath(extension);
    claimedPaths().insert(fresh);

    _makesPreviews = false;
    _writingTemporaryCopy = true;
    _previousTemporaryFilePath = _temporaryFilePath;
    platform::Error error;
    const bool written =
        saveToFile(fresh, documentTypeStringForExtension(extension), SaveToOperation, &error);
    _makesPreviews = true;
    _writingTemporaryCopy = false;
    _previousTemporaryFilePath.clear();
    claimedPaths().remove(fresh);

    if (!written) {
        // The previous copy stays the copy.
        qWarning().noquote()
            << QStringLiteral("The AutoRecover copy cannot be written: %1").arg(error.description);
        return false;
    }
    _temporaryFileDirty = false;
    // The fresh copy is complete: it takes the place of the previous one.
    platform::removeItem(_temporaryFilePath);
    if (!QFile::rename(fresh, _temporaryFilePath)) {
        qWarning().noquote() << QStringLiteral("The AutoRecover copy \"%1\" cannot be moved to "
                                               "\"%2\"; it stays where it is")
                                    .arg(fresh, _temporaryFilePath);
        claimedPaths().remove(_temporaryFilePath);
        _temporaryFilePath = fresh;
        claimedPaths().insert(fresh);
    }
    return true;
}

void LBDocument::deleteTemporaryFile()
{
    if (_temporaryFilePath.isEmpty())
        return;
    platform::removeItem(_temporaryFilePath);
    claimedPaths().remove(_temporaryFilePath);
}
