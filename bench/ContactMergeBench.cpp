// Speed of the contacts and the merge: reading 30,000 vCards from one file and from 300
// files (with the peak resident memory), reading a 30,000-row and a 100,000-row CSV, the
// search "ann smi" and each people order over 30,000 people, and merging a text box of
// three fields for one record (copy, substitution, layout). Goals: bench/targets.txt.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBMergeServices.h"
#include "merge/LBRenderingView.h"
#include "merge/MergeClasses.h"
#include "platform/core/ContactStore.h"
#include "platform/core/DelimitedText.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UndoManager.h"
#include "platform/core/VCardReader.h"
#include "platform/text/AttributedString.h"
#include "window/LBWindowController.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <benchmark/benchmark.h>

#include "support/PeakMemory.h"

namespace {

constexpr int kPeople = 30000;

const char* const kFirst[] = {"Ann",  "Bob", "Cy",   "Dana", "Eli", "Fay",  "Gus",
                              "Hana", "Ivo", "Jade", "Kim",  "Lou", "Mia",  "Ned",
                              "Ola",  "Pia", "Quin", "Rae",  "Sol", "Tess", "Uma"};
const char* const kLast[] = {"Smith", "Jones",  "Brown", "Lee",   "Cole",  "Young",
                             "Adams", "Baker",  "Clark", "Davis", "Evans", "Fox",
                             "Green", "Harris", "Irwin", "Jacks", "King",  "Lopez"};

QByteArray card(int i)
{
    const QByteArray first = kFirst[i % 21];
    const QByteArray last = QByteArray(kLast[(i / 21) % 18]) + QByteArray::number(i / 378);
    QByteArray c = "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:person-" + QByteArray::number(i)
                   + "\r\nN:" + last + ";" + first + ";;;\r\nFN:" + first + " " + last + "\r\n";
    if (i % 7 == 0)
        c += "ORG:Example Works " + QByteArray::number(i % 50) + ";Sales\r\n";
    c += "TEL;TYPE=work:+1 555 " + QByteArray::number(1000000 + i) + "\r\n";
    c += "TEL;TYPE=cell:+1 555 " + QByteArray::number(2000000 + i) + "\r\n";
    c += "EMAIL;TYPE=INTERNET,HOME:" + first.toLower() + "." + last.toLower() + "@example.org\r\n";
    c += "ADR;TYPE=home:;;" + QByteArray::number(i % 900 + 1) + " Market Street;Springfield;IL;"
         + QByteArray::number(60000 + i % 999) + ";USA\r\n";
    c += "NOTE:Met at the fair\\, said hello\r\nEND:VCARD\r\n";
    return c;
}

const QByteArray& allCards()
{
    static const QByteArray data = [] {
        QByteArray d;
        for (int i = 0; i < kPeople; ++i)
            d += card(i);
        return d;
    }();
    return data;
}

// Reads the folder of 30,000 people. Besides the time: peak_MiB, the process's peak resident
// memory, Qt's libraries and everything before included; start_MiB, that peak before the
// first reading; and where the C library says, store_B_per_person, the heap a store keeps
// for each person read.
void readFolder(benchmark::State& state, const QString& folder)
{
    state.counters["start_MiB"] = peakResidentMiB();
    for (auto _ : state) {
#ifdef __GLIBC__
        const size_t before = mallinfo2().uordblks;
#endif
        auto store = platform::ContactStore::readFolder(folder, nullptr, nullptr);
        if (!store || store->people().size() != kPeople)
            state.SkipWithError("not every card was read");
#ifdef __GLIBC__
        state.counters["store_B_per_person"] =
            double(mallinfo2().uordblks - before) / double(kPeople);
#endif
    }
    state.counters["peak_MiB"] = peakResidentMiB();
}

void BM_ReadVCardsOneFile(benchmark::State& state)
{
    QTemporaryDir folder;
    // Written card by card: the peak memory is the reader's, not the fixture's.
    QFile file(folder.filePath(QStringLiteral("all.vcf")));
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < kPeople; ++i)
        file.write(card(i));
    file.close();
    readFolder(state, folder.path());
}

void BM_ReadVCards300Files(benchmark::State& state)
{
    QTemporaryDir folder;
    for (int f = 0; f < 300; ++f) {
        QFile file(folder.filePath(QStringLiteral("people-%1.vcf").arg(f)));
        file.open(QIODevice::WriteOnly);
        for (int i = f * 100; i < (f + 1) * 100; ++i)
            file.write(card(i));
    }
    readFolder(state, folder.path());
}

void BM_ReadCSV(benchmark::State& state)
{
    QByteArray data;
    for (qint64 r = 0; r < state.range(0); ++r)
        data += QByteArray::number(100000 + r) + ",\"Example, Jordan " + QByteArray::number(r)
                + "\"," + QByteArray::number(r % 997 + 1) + " Market Street,Springfield\r\n";
    for (auto _ : state) {
        const auto text = platform::DelimitedText::read(data, QLatin1Char(','));
        if (!text || text->recordCount() != state.range(0))
            state.SkipWithError("not every record was read");
        benchmark::DoNotOptimize(text->flattened());
    }
    state.SetComplexityN(state.range(0));
}

std::unique_ptr<platform::ContactStore> bigStore()
{
    auto store = std::make_unique<platform::ContactStore>();
    for (const auto& person :
         platform::VCardReader::read(allCards(), QStringLiteral("all.vcf"), nullptr))
        store->addPerson(person);
    return store;
}

void BM_SearchAnnSmi(benchmark::State& state)
{
    static const auto store = bigStore();
    LBWindowController* controller = new LBWindowController;
    LBMergeServices services(*controller);
    services.setContactStore(store.get());
    qsizetype found = 0;
    for (auto _ : state)
        found =
            services.recordsMatchingSearchStr(QStringLiteral("ann smi"), store->people()).size();
    state.counters["found"] = double(found);
    delete controller;
}

void BM_SortPeople(benchmark::State& state)
{
    static const auto store = bigStore();
    for (auto _ : state) {
        QList<platform::ContactPersonPtr> people = store->people();
        LBMergeServices::sortPeople(people, state.range(0));
        benchmark::DoNotOptimize(people);
    }
}

QVariantList fieldList(const QString& resource)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    const auto list = platform::PropertyList::read(file.readAll(), nullptr);
    return list ? list->toList() : QVariantList();
}

// One label of a three-field box (first name, last name, city) merged for a record.
void BM_MergeThreeFieldBox(benchmark::State& state)
{
    using List = LBProcessState::FieldsList;
    LBProcessState::fieldsList(List::Standard) = fieldList(QStringLiteral(":/Fields.plist"));
    LBProcessState::fieldsList(List::My) = fieldList(QStringLiteral(":/MyFields.plist"));
    LBProcessState::fieldsList(List::Misc) = fieldList(QStringLiteral(":/MiscFields.plist"));
    static const auto store = bigStore();
    registerMergeClasses();
    MergeServices::setFactory([](LBWindowController& window) {
        auto made = std::make_unique<LBMergeServices>(window);
        made->setContactStore(store.get());
        made->setSelectedPeople(store->people().mid(0, 100));
        return made;
    });
    LBDocument document;
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    controller->scanGraphicsForContactFields();
    platform::AttributedString text;
    const QVariantMap font{
        {platform::FontAttributeName, QFont(QStringLiteral("Liberation Sans"), 12)}};
    for (const char* name : {"First Name", "Last Name", "City"}) {
        QVariantMap attributes = font;
        attributes.insert(LBQFieldAttributeName,
                          LBMergeServices::fieldAttributeForFieldString(QLatin1String(name)));
        text.appendAttributedString(platform::AttributedString(QLatin1String(name), attributes));
        text.appendAttributedString(platform::AttributedString(QStringLiteral("\n"), font));
    }
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(8, 6, 150, 60));
    box->setContents(text);
    LBRenderingView view(QRectF(0, 0, 612, 792), document.documentGraphics());
    view.setContactServer(controller);
    qint64 record = 0;
    for (auto _ : state) {
        view.setContactIndex(record++ % 100);
        const LBGraphicPtr drawn = view.textObjectForDrawing(box);
        // The layout the drawing needs.
        benchmark::DoNotOptimize(static_cast<LBTextArea&>(*drawn).textHeight());
    }
    MergeServices::setFactory({});
}

} // namespace

BENCHMARK(BM_ReadVCardsOneFile)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadVCards300Files)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadCSV)
    ->Arg(30000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_SearchAnnSmi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortPeople)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeThreeFieldBox)->Unit(benchmark::kMicrosecond);
