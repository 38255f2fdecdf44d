// The program's start-up to its first document, launch delays 0: the delegate's set-up
// (defaults, folders, field lists, AutoRecover check) and both launch stages, until the new
// untitled document has its windows shown; beside it a bare program showing one
// QMainWindow.
#include "app/LBAppController.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/WindowController.h"
#include "shapes/ShapeClasses.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

// The settings and folders of a user of our own, set before the application exists.
[[maybe_unused]] const bool isolated = [] {
    static QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QByteArray(home.path().toLocal8Bit() + '/' + name));
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    return true;
}();

bool documentIsShown()
{
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    if (documents.isEmpty())
        return false;
    for (platform::WindowController* controller : documents.first()->windowControllers()) {
        if (controller->window() && !controller->window()->isVisible())
            return false;
    }
    return true;
}

void BM_StartUp(benchmark::State& state)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Orvane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrin"));
    LBAppController::initialize();
    registerShapeClasses();
    LBAppController::setLaunchDelay(0);
    for (auto _ : state) {
        {
            LBAppController controller;
            controller.applicationDidFinishLaunching();
            const QDeadlineTimer deadline(5000);
            while (!documentIsShown() && !deadline.hasExpired())
                QCoreApplication::processEvents();
            if (!documentIsShown())
                state.SkipWithError("no document");
            state.PauseTiming();
            platform::DocumentController::sharedDocumentController().closeAllDocuments();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond);

void BM_StartUp_Baseline(benchmark::State& state)
{
    for (auto _ : state) {
        auto* window = new QMainWindow;
        window->resize(1024, 720);
        window->show();
        while (!window->isVisible())
            QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        state.PauseTiming();
        delete window;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUp_Baseline)->Unit(benchmark::kMillisecond);

} // namespace
