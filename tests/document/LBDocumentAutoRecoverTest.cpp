// AutoRecover copies: written on the timer while the document changes, at the path chosen
// when the document was made, without previews, replaced only by a complete copy, following
// the interval, stopped on close and deleted with the document. Minutes are shortened to
// a few milliseconds.

#include "PackageTestSupport.h"

#include "MessageLog.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QThread>

#include <climits>
#include <limits>

namespace {

// Counts its writes, and fails them on demand.
class CountingDocument : public LBDocument
{
public:
    bool writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                     platform::Error* error) override
    {
        ++writes;
        if (fail)
            return platform::Error::fail(error, LBDocumentErrorDomain, WriteFailedError,
                                         QStringLiteral("No room."));
        return LBDocument::writeToFile(path, type, operation, error);
    }
    int writes = 0;
    bool fail = false;
};

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, int milliseconds = 2000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// Lets the timer tick a few times.
void ticks(int count = 3)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10 * count) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

class AutoRecoverTest : public PackageTest
{
protected:
    AutoRecoverTest()
    {
        LBDocument::setAutoRecoverMinuteLength(5);
        setInterval(1);
        counting = new CountingDocument;
        document.reset(counting);
    }
    ~AutoRecoverTest() override
    {
        document.reset();
        LBDocument::setAutoRecoverMinuteLength(60 * 1000);
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(
            QStringLiteral("AutoRecover Save Interval"));
    }

    static void setInterval(qint64 minutes)
    {
        platform::UserDefaults::standardUserDefaults().setInteger(
            minutes, QStringLiteral("AutoRecover Save Interval"));
    }
    // A change the user made, as one step.
    void edit(const QString& name = QStringLiteral("Change"))
    {
        step([&] { document->insertGraphic(graphic(name), 0, 1); }, name);
    }
    QString copy() const { return document->temporaryFilePath(); }
    QStringList temporaryFolder() const
    {
        return QDir(LBProcessState::temporaryFolderPath())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    CountingDocument* counting = nullptr;
};

} // namespace

TEST_F(AutoRecoverTest, TheCopysPathIsChosenOnceWithTheLayoutsExtension)
{
    const QString chosen = copy();
    EXPECT_EQ(QFileInfo(chosen).absolutePath() + "/", LBProcessState::temporaryFolderPath());
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d{6}\\.quarnlb$")
                    .match(QFileInfo(chosen).fileName())
                    .hasMatch())
        << chosen.toStdString();
    EXPECT_FALSE(QFileInfo::exists(chosen));
    EXPECT_FALSE(document->temporaryFileExists());
    EXPECT_TRUE(document->tempFileTimerIsRunning());
    // Documents made at once still get paths of their own.
    LBDocument a;
    LBDocument b;
    EXPECT_NE(a.temporaryFilePath(), b.temporaryFilePath());
    EXPECT_NE(a.temporaryFilePath(), chosen);
}

TEST_F(AutoRecoverTest, OnlyChangesAreCopiedAndTheCopyKeepsItsPath)
{
    // Nothing changed, or only the selection: no copy, but the flag says the timer ran.
    step([] {}, QStringLiteral("Selection Change"));
    ticks();
    EXPECT_EQ(counting->writes, 0);
    EXPECT_TRUE(document->temporaryFileExists());
    EXPECT_FALSE(QFileInfo::exists(copy()));

    const QString chosen = copy();
    edit("first");
    ASSERT_TRUE(waitFor([&] { return counting->writes == 1; }));
    ticks();
    EXPECT_EQ(counting->writes, 1) << "written once per change";
    edit("second");
    ASSERT_TRUE(waitFor([&] { return counting->writes == 2; }));
    EXPECT_EQ(copy(), chosen);
    // One copy in the folder, holding the second state, without previews.
    EXPECT_EQ(temporaryFolder(), QStringList{QFileInfo(chosen).fileName()});
    const auto graphics = LBDocument::graphicsFromDocumentDictionary(contentsOf(chosen));
    EXPECT_EQ(graphics.pages.value(0).value(1).size(), 2);
    EXPECT_EQ(QDir(chosen).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList{"Contents.quarnd"});
    // The document's own file and state are untouched.
    EXPECT_TRUE(document->fileName().isNull());
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_TRUE(document->makesPreviews());
}

TEST_F(AutoRecoverTest, TheCopyHoldsThePictures)
{
    // A timer that does not come round during the test.
    setInterval(100000);
    document->createTempFileTimer();
    const QString photo = writeFile("photo.png", picture(20, 20, "png"));
    // A new picture file asks for a copy at once (one for several in one go).
    placeImage(photo, QRectF(0, 0, 20, 20));
    placeImage(photo, QRectF(0, 30, 20, 20));
    document->forceSaveTemporaryFile();
    ASSERT_TRUE(waitFor([&] { return counting->writes >= 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(counting->writes, 1);
    EXPECT_EQ(membersOf(copy()).size(), 1);
    EXPECT_EQ(QDir(copy()).entryList(QDir::Files).size(), 2);

    // Saved, the package takes the copy's member; the copy is not the document.
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    EXPECT_EQ(membersOf(package), membersOf(copy()));
}

TEST_F(AutoRecoverTest, AFailedCopyKeepsThePreviousOne)
{
    edit("first");
    ASSERT_TRUE(waitFor([&] { return counting->writes == 1; }));
    const QMap<QString, QByteArray> previous = treeOf(copy());
    MessageLog log;
    counting->fail = true;
    edit("second");
    ASSERT_TRUE(waitFor([&] { return counting->writes >= 3; }));
    EXPECT_EQ(treeOf(copy()), previous) << "retried while it fails, and kept";
    EXPECT_TRUE(log.contains("The AutoRecover copy cannot be written: No room."));
    EXPECT_EQ(temporaryFolder(), QStringList{QFileInfo(copy()).fileName()});
    counting->fail = false;
    const int writes = counting->writes;
    ASSERT_TRUE(waitFor([&] { return counting->writes == writes + 1; }));
    EXPECT_NE(treeOf(copy()), previous);
}

TEST_F(AutoRecoverTest, TheIntervalIsFollowedAndZeroStopsCopies)
{
    setInterval(0);
    platform::NotificationCenter::defaultCenter().post(LBAutoRecoverIntervalChanged);
    EXPECT_FALSE(document->tempFileTimerIsRunning());
    edit();
    document->forceSaveTemporaryFile();
    ticks();
    EXPECT_EQ(counting->writes, 0);
    EXPECT_FALSE(document->temporaryFileExists());

    // A long interval, then a short one: the next copy comes within the short one.
    setInterval(100000);
    platform::NotificationCenter::defaultCenter().post(LBAutoRecoverIntervalChanged);
    ticks();
    EXPECT_EQ(counting->writes, 0);
    setInterval(1);
    platform::NotificationCenter::defaultCenter().post(LBAutoRecoverIntervalChanged);
    EXPECT_TRUE(waitFor([&] { return counting->writes == 1; }));
}

TEST_F(AutoRecoverTest, AHugeIntervalIsTheLongestATimerTakes)
{
    // Real minutes, where the settings' numbers multiplied out overflow.
    LBDocument::setAutoRecoverMinuteLength(60 * 1000);
    for (const qint64 minutes :
         {qint64(INT_MAX), qint64(1) << 50, std::numeric_limits<qint64>::max()}) {
        setInterval(minutes);
        platform::NotificationCenter::defaultCenter().post(LBAutoRecoverIntervalChanged);
        EXPECT_TRUE(document->tempFileTimerIsRunning()) << minutes;
        edit();
        QCoreApplication::processEvents();
        EXPECT_EQ(counting->writes, 0) << minutes;
    }
}

TEST_F(AutoRecoverTest, ClosingStopsTheTimerAndTheDocumentTakesItsCopyAlong)
{
    edit();
    ASSERT_TRUE(waitFor([&] { return counting->writes == 1; }));
    const QString copied = copy();
    ASSERT_TRUE(QFileInfo(copied).isDir());
    document->forceSaveTemporaryFile();
    document->close();
    EXPECT_FALSE(document->tempFileTimerIsRunning());
    edit();
    ticks();
    EXPECT_EQ(counting->writes, 1) << "no timer, no queued copy";
    platform::NotificationCenter::defaultCenter().post(LBAutoRecoverIntervalChanged);
    EXPECT_FALSE(document->tempFileTimerIsRunning()) << "no longer observing";
    document.reset();
    EXPECT_FALSE(QFileInfo::exists(copied));

    // A recovered copy is written over where it is.
    const QString recovered = path("recovered.quarnlb");
    QDir().mkpath(recovered);
    writeFile("recovered.quarnlb/Contents.quarnd", "{}");
    counting = new CountingDocument;
    document.reset(counting);
    document->setTemporaryFilePath(recovered);
    edit();
    ASSERT_TRUE(waitFor([&] { return counting->writes == 1; }));
    EXPECT_EQ(LBDocument::graphicsFromDocumentDictionary(contentsOf(recovered)).pages.size(), 1);
    document.reset();
    EXPECT_FALSE(QFileInfo::exists(recovered));
}
