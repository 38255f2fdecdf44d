// The kit browser on a library of 200 kits of 100 graphics each: opening it with the check
// against "Kits", the graphics query (a search and the whole library), the types list,
// importing a kit of 100 graphics, and the first paint of an image browser of 20,000 items.
// The library is made once per run in a temporary data folder (it takes a while).

#include "KitFixtures.h"
#include "kitbrowser/SGCorbeilController.h"
#include "platform/ui/ImageBrowserView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Kits = 200;
constexpr int GraphicsPerKit = 100;

struct Library
{
    Library()
    {
        // Settings and the library in folders of this run only.
        qputenv("XDG_DATA_HOME", QByteArray(home.path().toLocal8Bit() + "/data"));
        qputenv("XDG_CONFIG_HOME", QByteArray(home.path().toLocal8Bit() + "/config"));
        kitfixtures::Kit kit = kitfixtures::tinyKit(QStringLiteral("BENCHKIT"), GraphicsPerKit);
        const QStringList words = {QStringLiteral("Leaf"), QStringLiteral("Snow"),
                                   QStringLiteral("Star"), QStringLiteral("Wave")};
        for (int i = 0; i < kit.graphics.size(); ++i) {
            kitfixtures::Graphic& graphic = kit.graphics[i];
            graphic.name = QStringLiteral("%1 %2")
                               .arg(i % 50 == 0 ? QStringLiteral("Rose") : words[i % 4])
                               .arg(i);
            graphic.tags = {words[(i + 1) % 4].toLower()};
            if (i % 3 == 1) {
                graphic.type = VQEmbellishment;
                graphic.subtype = i % 2 ? VQRibbon : VQTag;
            }
        }
        importSource = home.filePath(QStringLiteral("Import.icorbeil"));
        kitfixtures::writeKit(importSource, kit);
        SGCorbeilController controller(QStringLiteral("iCorbeil View"));
        // The same package under 200 names and identifiers, recorded by the check.
        QFile contents(importSource + QStringLiteral("/contents.xml"));
        contents.open(QIODevice::ReadOnly);
        const QString manifest = QString::fromUtf8(contents.readAll());
        const QString uuid = manifest.section(QStringLiteral("<key>UUID</key>"), 1)
                                 .section(u'>', 1)
                                 .section(u'<', 0, 0);
        for (int k = 0; k < Kits; ++k) {
            const QString path =
                controller.libraryPath() + QStringLiteral("/Kits/Kit %1.icorbeil").arg(k);
            copyFolder(importSource, path);
            QFile out(path + QStringLiteral("/contents.xml"));
            out.open(QIODevice::WriteOnly | QIODevice::Truncate);
            QString text = manifest;
            text.replace(uuid, QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
            text.replace(QStringLiteral("<string>BENCHKIT</string>"),
                         QStringLiteral("<string>Kit %1</string>").arg(k));
            out.write(text.toUtf8());
        }
        controller.allKits();
    }

    static void copyFolder(const QString& from, const QString& to)
    {
        QDir().mkpath(to);
        for (const QFileInfo& entry :
             QDir(from).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (entry.isDir())
                copyFolder(entry.filePath(), to + u'/' + entry.fileName());
            else
                QFile::copy(entry.filePath(), to + u'/' + entry.fileName());
        }
    }

    QTemporaryDir home;
    QString importSource;
};

// Made on first use; gone before the application is, with the widgets they made.
std::unique_ptr<Library> theLibrary;
std::unique_ptr<SGCorbeilController> theBrowser;

void release()
{
    theBrowser.reset();
    theLibrary.reset();
}

Library& library()
{
    if (!theLibrary) {
        theLibrary = std::make_unique<Library>();
        qAddPostRoutine(release);
    }
    return *theLibrary;
}

void BM_OpenWithCheck(benchmark::State& state)
{
    library();
    for (auto _ : state) {
        SGCorbeilController controller(QStringLiteral("iCorbeil View"));
        const QList<SGKitRecord> kits = controller.allKits();
        if (kits.size() != Kits)
            state.SkipWithError("the library is not whole");
        benchmark::DoNotOptimize(kits);
    }
}
BENCHMARK(BM_OpenWithCheck)->Unit(benchmark::kMillisecond);

SGCorbeilController& browser()
{
    library();
    if (!theBrowser)
        theBrowser = std::make_unique<SGCorbeilController>(QStringLiteral("iCorbeil View"));
    return *theBrowser;
}

void BM_SearchGraphics(benchmark::State& state)
{
    SGCorbeilController& controller = browser();
    for (auto _ : state) {
        const QList<SGObjectRecord> found = controller.objectsMatchingWords(
            {QStringLiteral("rose")}, std::nullopt, QString(), QStringLiteral("ALL TYPES"),
            QString(), QString(), {}, false, QString(), QString(), QString());
        if (found.size() != Kits * GraphicsPerKit / 50)
            state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_SearchGraphics)->Unit(benchmark::kMillisecond);

void BM_AllGraphics(benchmark::State& state)
{
    SGCorbeilController& controller = browser();
    for (auto _ : state) {
        const QList<SGObjectRecord> all = controller.objectsMatchingWords(
            {}, std::nullopt, QString(), QStringLiteral("ALL TYPES"), QString(), QString(), {},
            false, QString(), QString(), QString());
        if (all.size() != Kits * GraphicsPerKit)
            state.SkipWithError("unexpected result");
        benchmark::DoNotOptimize(all);
    }
}
BENCHMARK(BM_AllGraphics)->Unit(benchmark::kMillisecond);

void BM_TypesList(benchmark::State& state)
{
    SGCorbeilController& controller = browser();
    for (auto _ : state) {
        const QStringList types =
            controller.typesInKit(std::nullopt, QString(), QString(), QString(), false);
        if (types.size() != 4)
            state.SkipWithError("unexpected types");
        benchmark::DoNotOptimize(types);
    }
}
BENCHMARK(BM_TypesList)->Unit(benchmark::kMillisecond);

void BM_Import100(benchmark::State& state)
{
    SGCorbeilController& controller = browser();
    for (auto _ : state) {
        // The same kit again: it replaces its earlier copy.
        controller.importCorbeil(library().importSource, 0, 1, false);
    }
}
BENCHMARK(BM_Import100)->Unit(benchmark::kMillisecond);

class ManyItems : public platform::ImageBrowserDataSource
{
public:
    int numberOfItemsInImageBrowser(platform::ImageBrowserView*) override { return 20000; }
    platform::ImageBrowserItem imageBrowserItemAtIndex(platform::ImageBrowserView*,
                                                       int index) override
    {
        return {QStringLiteral("item %1").arg(index), 1, QStringLiteral("Graphic %1").arg(index),
                QString()};
    }
    QByteArray imageRepresentationAtIndex(platform::ImageBrowserView*, int) override { return {}; }
};

void BM_FirstPaint20000(benchmark::State& state)
{
    ManyItems items;
    for (auto _ : state) {
        platform::ImageBrowserView view;
        view.setDataSource(&items);
        view.setCellSize(QSize(96, 96));
        view.resize(600, 800);
        view.reloadData();
        const QPixmap painted = view.grab();
        benchmark::DoNotOptimize(painted);
    }
}
BENCHMARK(BM_FirstPaint20000)->Unit(benchmark::kMillisecond);

} // namespace
