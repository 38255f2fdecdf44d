// The program's start-up, from starting the process to its first document window shown,
// launch delays 0: one running program's lock and socket, the settings' defaults, the
// folders, the field lists, the AutoRecover check, both launch stages and the new untitled
// document's window. Beside it, the same for a bare program showing one QMainWindow. Each
// iteration starts this program again as a child that does one or the other and ends at
// once, so both are timed cold, as a user starts them (Qt's and the benchmark library's
// own start are in both).
#include "app/LBAppController.h"
#include "app/SingleInstance.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "shapes/ShapeClasses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const char* const childVariable = "VELTRIN_STARTUP_BENCH_CHILD";

bool documentWindowIsShown()
{
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    if (documents.isEmpty())
        return false;
    QWidget* window = documents.first()->appropriateWindowForDocModalOperations();
    return window && window->isVisible();
}

// The child: starts as the program's main does once its application exists (the
// benchmark main made it), up to the first window, and ends there without tearing down.
[[noreturn]] void runChild(const QByteArray& kind)
{
    if (kind == "baseline") {
        QMainWindow window;
        window.resize(1024, 720);
        window.show();
        while (!window.isVisible())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        std::_Exit(0);
    }
    LBAppController::setUpApplicationIdentity();
    SingleInstance instance;
    LBAppController::initialize();
    registerShapeClasses();
    LBAppController::setLaunchDelay(0);
    LBAppController controller;
    instance.listen([](const QStringList&) {});
    controller.applicationDidFinishLaunching();
    const QDeadlineTimer deadline(10000);
    while (!documentWindowIsShown() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    std::_Exit(documentWindowIsShown() ? 0 : 1);
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

// Each iteration starts this program again running only the benchmark of that kind,
// which, in the child, starts once and ends.
void startChild(benchmark::State& state, const QString& kind, const QString& benchmark)
{
    const QByteArray child = qgetenv(childVariable);
    if (!child.isEmpty())
        runChild(child);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childVariable), kind);
    const QStringList arguments = {QStringLiteral("--benchmark_filter=^%1$").arg(benchmark)};
    for (auto _ : state) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationFilePath(), arguments);
        if (!process.waitForFinished(20000) || process.exitCode() != 0) {
            state.SkipWithError("the child did not show its window");
            break;
        }
    }
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

} // namespace
