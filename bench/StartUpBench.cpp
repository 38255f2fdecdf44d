// The program's start-up, from starting the process to its first document window shown
// (its first paint done), launch delays 0: one running program's lock and socket, the
// settings' defaults, the folders, the AutoRecover check, both launch stages and the new
// untitled document's window. Beside it, the same for a bare program showing (painting)
// one empty QMainWindow, and for a plain program showing a window with what every
// application window draws: a menu bar, a toolbar with a search field, a line of text and a
// status bar. Each iteration starts this program again as a child that does one or
// the other and ends at once, so both are timed cold, as a user starts them (Qt's and the
// benchmark library's own start are in both). Each child also tells its peak memory
// (resident set): the pair BM_StartUpPeakMemory reports it in place of a time, a
// millisecond a mebibyte, so its ratio to its baseline is the memory's.
#include "app/LBAppController.h"
#include "app/SingleInstance.h"
#include "platform/core/ContactStore.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "shapes/ShapeClasses.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace {

// The child's last word: its peak resident set, on a line of its own.
const char* const peakMemoryTag = "veltrin-peak-rss-kib ";

[[noreturn]] void endChild(int status)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("\n%s%ld\n", peakMemoryTag, usage.ru_maxrss);
    std::fflush(stdout);
    std::_Exit(status);
}

const char* const childVariable = "VELTRIN_STARTUP_BENCH_CHILD";

QWidget* documentWindow()
{
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    return documents.isEmpty() ? nullptr
                               : documents.first()->appropriateWindowForDocModalOperations();
}

// Whether anything of a window was painted: a window is shown once it is on the screen, its
// first paint done (the paint and the flush to the screen happen in one turn of the loop).
class FirstPaint : public QObject
{
public:
    explicit FirstPaint(std::function<QWidget*()> window) : _window(std::move(window))
    {
        qApp->installEventFilter(this);
    }
    bool done() const { return _painted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QWidget* window = _window();
            _painted = _painted || (window && static_cast<QWidget*>(watched)->window() == window);
        }
        return false;
    }

private:
    std::function<QWidget*()> _window;
    bool _painted = false;
};

void processEventsUntilPainted(const FirstPaint& paint)
{
    const QDeadlineTimer deadline(10000);
    while (!paint.done() && !deadline.hasExpired())
        QCoreApplication::processEvents();
}

// The child: starts as the program's main does once its application exists (the
// benchmark main made it), up to the first window painted, and ends there without tearing
// down. The bare program ends at the same point: its window painted.
[[noreturn]] void runChild(const QByteArray& kind)
{
    if (kind == "baseline" || kind == "plain") {
        QMainWindow window;
        const FirstPaint paint([&window] { return &window; });
        if (kind == "plain") {
            // The first use of the fonts, the text layout and the style's controls, which
            // the empty window never makes.
            for (int m = 1; m <= 8; ++m) {
                QMenu* menu = window.menuBar()->addMenu(QStringLiteral("Menu %1").arg(m));
                for (int i = 1; i <= 10; ++i)
                    menu->addAction(QStringLiteral("Command %1").arg(i));
            }
            QToolBar* toolbar = window.addToolBar(QStringLiteral("Toolbar"));
            for (int i = 1; i <= 8; ++i)
                toolbar->addAction(QStringLiteral("Tool %1").arg(i));
            toolbar->addWidget(new QLineEdit);
            window.setCentralWidget(new QLabel(QStringLiteral("A line of text")));
            window.statusBar()->showMessage(QStringLiteral("Ready"));
        }
        window.resize(1024, 720);
        window.show();
        processEventsUntilPainted(paint);
        endChild(paint.done() ? 0 : 1);
    }
    const FirstPaint paint(documentWindow);
    LBAppController::setUpApplicationIdentity();
    SingleInstance instance;
    LBAppController::initialize();
    registerShapeClasses();
    LBAppController::setLaunchDelay(0);
    LBAppController controller;
    platform::ContactStore::setSharedStoreReadInBackground(true);
    instance.listen([](const QStringList&) {});
    controller.applicationDidFinishLaunching();
    processEventsUntilPainted(paint);
    endChild(paint.done() ? 0 : 1);
}

// Before the benchmark main runs, the parent gives itself (and so its children) settings
// and folders of a user of its own.
[[maybe_unused]] const bool isolated = [] {
    if (!qEnvironmentVariableIsEmpty(childVariable))
        return false;
    static QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QByteArray(home.path().toLocal8Bit() + '/' + name));
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    return true;
}();

// One child started and waited for: its time from its start to its end, in seconds, and
// its peak memory in KiB; none when it did not show its window.
struct ChildRun
{
    double seconds = 0;
    double kib = 0;
};

std::optional<ChildRun> runChildOnce(const QProcessEnvironment& environment,
                                     const QString& benchmark)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    QElapsedTimer timer;
    timer.start();
    // (A benchmark's full name may carry options after a slash.)
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("--benchmark_filter=^%1(/|$)").arg(benchmark)});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return std::nullopt;
    ChildRun run;
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    const QByteArray output = process.readAllStandardOutput();
    const qsizetype at = output.lastIndexOf(peakMemoryTag);
    if (at >= 0)
        run.kib = output.mid(at + qsizetype(qstrlen(peakMemoryTag))).trimmed().toDouble();
    return run;
}

bool isChild()
{
    return !qEnvironmentVariableIsEmpty(childVariable);
}

QProcessEnvironment childEnvironment(const QString& kind)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childVariable), kind);
    return environment;
}

// Each iteration starts this program again running only the benchmark of that kind,
// which, in the child, starts once and ends. Reports the children's peak memory; with
// memoryAsTime, as each iteration's time (a millisecond a mebibyte), else the child's time
// as the iteration's (for a benchmark timed by hand).
void startChild(benchmark::State& state, const QString& kind, const QString& benchmark,
                bool memoryAsTime = false)
{
    if (isChild())
        runChild(qgetenv(childVariable));
    const QProcessEnvironment environment = childEnvironment(kind);
    double peakMiB = 0;
    qint64 children = 0;
    for (auto _ : state) {
        const std::optional<ChildRun> run = runChildOnce(environment, benchmark);
        if (!run) {
            state.SkipWithError("the child did not show its window");
            break;
        }
        state.SetIterationTime(memoryAsTime ? run->kib / 1024.0 / 1000.0 : run->seconds);
        peakMiB += run->kib / 1024.0;
        ++children;
    }
    if (children > 0)
        state.counters["peak_MiB"] = peakMiB / double(children);
}

void BM_StartUp(benchmark::State& state)
{
    startChild(state, QStringLiteral("program"), QStringLiteral("BM_StartUp"));
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_StartUp_Baseline(benchmark::State& state)
{
    startChild(state, QStringLiteral("baseline"), QStringLiteral("BM_StartUp_Baseline"));
}
BENCHMARK(BM_StartUp_Baseline)->Unit(benchmark::kMillisecond);

// A user with 3,000 people in the contacts folder (one file), beside one with none: the
// folder is read once the first window is on the screen, so that window should come about
// as soon. The two are timed turn about in one benchmark (each iteration starts one child
// of each, which first alternating), so that a change of the machine's load touches both
// alike: two benchmarks run one after the other each see a load of their own, which moved
// their ratio by a tenth either way. The pair's baseline reports the times of the starts
// with none measured there.
QString dataHomeWithContacts()
{
    static QTemporaryDir home;
    static const bool written = [] {
        const QString folder = home.path() + QStringLiteral("/Orvane/Veltrin/Contacts");
        QDir().mkpath(folder);
        QFile file(folder + QStringLiteral("/people.vcf"));
        if (!file.open(QIODevice::WriteOnly))
            return false;
        for (int i = 0; i < 3000; ++i)
            file.write(QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:person-%1\r\n"
                                      "N:Person%1;Ann;;;\r\nFN:Ann Person%1\r\nORG:Company %1\r\n"
                                      "EMAIL;TYPE=INTERNET:ann%1@example.com\r\n"
                                      "TEL;TYPE=CELL:+1 555 %1\r\n"
                                      "ADR;TYPE=HOME:;;%1 Main Street;Springfield;IL;62701;USA\r\n"
                                      "END:VCARD\r\n")
                           .arg(i)
                           .toUtf8());
        return file.flush();
    }();
    return written ? home.path() : QString();
}

// Each iteration starts one child of each environment, which first alternating, so that
// a change of the machine's load touches both alike; the iteration's time is the first
// one's. Returns the other's runs.
std::vector<ChildRun> runTurnAbout(benchmark::State& state, const QProcessEnvironment& timed,
                                   const QProcessEnvironment& other, const QString& benchmark)
{
    std::vector<ChildRun> others;
    double peakMiB = 0;
    bool timedFirst = true;
    for (auto _ : state) {
        std::optional<ChildRun> run;
        std::optional<ChildRun> otherRun;
        if (timedFirst)
            run = runChildOnce(timed, benchmark);
        otherRun = runChildOnce(other, benchmark);
        if (!timedFirst)
            run = runChildOnce(timed, benchmark);
        timedFirst = !timedFirst;
        if (!run || !otherRun) {
            state.SkipWithError("the child did not show its window");
            break;
        }
        state.SetIterationTime(run->seconds);
        peakMiB += run->kib / 1024.0;
        others.push_back(*otherRun);
    }
    if (!others.empty())
        state.counters["peak_MiB"] = peakMiB / double(others.size());
    return others;
}

// Reports the mean of the runs measured beside another benchmark as each iteration's time,
// with their peak memory; with none measured (run alone), times children of that kind of
// its own.
void reportRuns(benchmark::State& state, const std::vector<ChildRun>& runs, const QString& kind,
                const QString& benchmark)
{
    if (isChild() || runs.empty()) {
        startChild(state, kind, benchmark);
        return;
    }
    double seconds = 0;
    double peakMiB = 0;
    for (const ChildRun& run : runs) {
        seconds += run.seconds;
        peakMiB += run.kib / 1024.0;
    }
    for (auto _ : state)
        state.SetIterationTime(seconds / double(runs.size()));
    state.counters["peak_MiB"] = peakMiB / double(runs.size());
}

// The starts with no contacts of the last run of BM_StartUpWith3000Contacts.
std::vector<ChildRun>& startsWithoutContacts()
{
    static std::vector<ChildRun> runs;
    return runs;
}

const QString withContacts = QStringLiteral("BM_StartUpWith3000Contacts");

void BM_StartUpWith3000Contacts(benchmark::State& state)
{
    if (isChild())
        runChild(qgetenv(childVariable));
    // Only the parent makes the folder: a child's time holds nothing of the making.
    const QString dataHome = dataHomeWithContacts();
    if (dataHome.isEmpty()) {
        state.SkipWithError("the contacts folder could not be written");
        return;
    }
    QProcessEnvironment contacts = childEnvironment(QStringLiteral("program"));
    contacts.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    startsWithoutContacts() =
        runTurnAbout(state, contacts, childEnvironment(QStringLiteral("program")), withContacts);
}
BENCHMARK(BM_StartUpWith3000Contacts)->UseManualTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

// Reports the starts measured beside those with contacts (their mean each iteration);
// run alone, it times children of its own.
void BM_StartUpWith3000Contacts_Baseline(benchmark::State& state)
{
    reportRuns(state, startsWithoutContacts(), QStringLiteral("program"),
               QStringLiteral("BM_StartUpWith3000Contacts_Baseline"));
}
BENCHMARK(BM_StartUpWith3000Contacts_Baseline)
    ->UseManualTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond);

// The program's start beside the plain program's, the two started turn about. The empty
// window of BM_StartUp_Baseline draws no text at all: this pair shows how much of the
// program's start is its own, past what any window with menus and text costs.
std::vector<ChildRun>& plainWindowStarts()
{
    static std::vector<ChildRun> runs;
    return runs;
}

const QString besidePlainWindow = QStringLiteral("BM_StartUpBesideAPlainWindow");

void BM_StartUpBesideAPlainWindow(benchmark::State& state)
{
    if (isChild())
        runChild(qgetenv(childVariable));
    plainWindowStarts() =
        runTurnAbout(state, childEnvironment(QStringLiteral("program")),
                     childEnvironment(QStringLiteral("plain")), besidePlainWindow);
}
BENCHMARK(BM_StartUpBesideAPlainWindow)
    ->UseManualTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond);

// Reports the plain program's starts measured beside the program's; run alone, it times
// children of its own.
void BM_StartUpBesideAPlainWindow_Baseline(benchmark::State& state)
{
    reportRuns(state, plainWindowStarts(), QStringLiteral("plain"),
               QStringLiteral("BM_StartUpBesideAPlainWindow_Baseline"));
}
BENCHMARK(BM_StartUpBesideAPlainWindow_Baseline)
    ->UseManualTime()
    ->MinTime(2.0)
    ->Unit(benchmark::kMillisecond);

void BM_StartUpPeakMemory(benchmark::State& state)
{
    startChild(state, QStringLiteral("program"), QStringLiteral("BM_StartUpPeakMemory"), true);
}
BENCHMARK(BM_StartUpPeakMemory)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_StartUpPeakMemory_Baseline(benchmark::State& state)
{
    startChild(state, QStringLiteral("baseline"), QStringLiteral("BM_StartUpPeakMemory_Baseline"),
               true);
}
BENCHMARK(BM_StartUpPeakMemory_Baseline)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
