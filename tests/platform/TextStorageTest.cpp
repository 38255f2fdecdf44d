#include "platform/text/TextStorage.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <QColor>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace platform;

namespace {

const QString Mark = QStringLiteral("Mark");

struct Recorded
{
    QString text; // the storage's text when the observer was called
    TextStorage::Edit edit;
};

// Records every edit reported by a storage.
struct Recorder
{
    std::vector<Recorded> edits;
    TextStorage::Observation observation;

    explicit Recorder(TextStorage& storage)
        : observation(storage.observeEditing([this](TextStorage& s, const TextStorage::Edit& edit) {
              edits.push_back({s.string(), edit});
          }))
    {}
};

constexpr int Characters = TextStorage::EditedCharacters | TextStorage::EditedAttributes;
constexpr int Attributes = TextStorage::EditedAttributes;

} // namespace

TEST(TextStorage, ReportsEachEditAfterItIsMade)
{
    struct Case
    {
        const char* name;
        std::function<void(TextStorage&)> edit;
        QString text;
        TextStorage::Edit reported;
    };
    const Case cases[] = {
        {"replace shorter",
         [](TextStorage& s) { s.replaceCharactersInRange(Range(2, 3), QStringLiteral("xy")); },
         "Hexy world",
         {Characters, Range(2, 2), -1}},
        {"insert",
         [](TextStorage& s) { s.replaceCharactersInRange(Range(5, 0), QStringLiteral(",")); },
         "Hello, world",
         {Characters, Range(5, 1), 1}},
        {"delete",
         [](TextStorage& s) { s.replaceCharactersInRange(Range(0, 6), QString()); },
         "world",
         {Characters, Range(0, 0), -6}},
        {"replace with attributed text",
         [](TextStorage& s) {
             s.replaceCharactersInRange(Range(6, 5), AttributedString(QStringLiteral("there!")));
         },
         "Hello there!",
         {Characters, Range(6, 6), 1}},
        {"whole text",
         [](TextStorage& s) { s.setAttributedString(AttributedString(QStringLiteral("Hi"))); },
         "Hi",
         {Characters, Range(0, 2), -9}},
        {"add attribute",
         [](TextStorage& s) { s.addAttribute(Mark, 1, Range(1, 3)); },
         "Hello world",
         {Attributes, Range(1, 3), 0}},
        {"add attributes past the end",
         [](TextStorage& s) {
             s.addAttributes({{Mark, 1}}, Range(8, 10));
         },
         "Hello world",
         {Attributes, Range(8, 3), 0}},
        {"set attributes",
         [](TextStorage& s) { s.setAttributes({}, Range(0, 11)); },
         "Hello world",
         {Attributes, Range(0, 11), 0}},
        {"remove attribute",
         [](TextStorage& s) { s.removeAttribute(Mark, Range(4, 1)); },
         "Hello world",
         {Attributes, Range(4, 1), 0}},
    };
    for (const Case& c : cases) {
        TextStorage storage(QStringLiteral("Hello world"));
        Recorder recorder(storage);
        c.edit(storage);
        ASSERT_EQ(recorder.edits.size(), 1u) << c.name;
        EXPECT_EQ(recorder.edits.front().text, c.text) << c.name;
        EXPECT_EQ(recorder.edits.front().edit, c.reported) << c.name;
    }
}

TEST(TextStorage, EditsThatChangeNothingAreNotReported)
{
    TextStorage storage(QStringLiteral("abc"));
    Recorder recorder(storage);
    storage.replaceCharactersInRange(Range(1, 0), QString());
    storage.replaceCharactersInRange(Range(9, 4), QString()); // clipped to nothing
    storage.addAttribute(Mark, 1, Range(3, 0));
    storage.removeAttribute(Mark, Range(5, 5));
    EXPECT_TRUE(recorder.edits.empty());
}

TEST(TextStorage, GroupedEditsAreReportedOnce)
{
    TextStorage storage(QStringLiteral("0123456789"));
    Recorder recorder(storage);
    storage.beginEditing();
    storage.replaceCharactersInRange(Range(6, 2), QStringLiteral("abcd")); // 012345abcd89
    storage.beginEditing();
    storage.replaceCharactersInRange(Range(1, 1), QString()); // 02345abcd89, earlier and shorter
    storage.addAttribute(Mark, 1, Range(0, 1));
    storage.endEditing();
    EXPECT_TRUE(recorder.edits.empty()); // still inside the outer group
    storage.endEditing();
    ASSERT_EQ(recorder.edits.size(), 1u);
    EXPECT_EQ(recorder.edits.front().text, QStringLiteral("02345abcd89"));
    // From the first changed character to the end of the inserted text, in the new text.
    EXPECT_EQ(recorder.edits.front().edit, (TextStorage::Edit{Characters, Range(0, 9), 1}));

    storage.endEditing(); // unbalanced: ignored
    storage.addAttribute(Mark, 2, Range(0, 1));
    EXPECT_EQ(recorder.edits.size(), 2u);
}

TEST(TextStorage, ObserversComeAndGo)
{
    TextStorage storage(QStringLiteral("abc"));
    int first = 0;
    int second = 0;
    TextStorage::Observation secondObservation;
    TextStorage::Observation firstObservation =
        storage.observeEditing([&](TextStorage&, const TextStorage::Edit&) {
            ++first;
            secondObservation.reset(); // removed while being notified: not called this time
        });
    secondObservation =
        storage.observeEditing([&](TextStorage&, const TextStorage::Edit&) { ++second; });
    storage.addAttribute(Mark, 1, Range(0, 1));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);

    // An observer that edits again gets that edit reported in turn.
    std::vector<QString> seen;
    TextStorage::Observation fixer =
        storage.observeEditing([&](TextStorage& s, const TextStorage::Edit&) {
            seen.push_back(s.string());
            if (!s.string().endsWith(u'!'))
                s.replaceCharactersInRange(Range(s.length(), 0), QStringLiteral("!"));
        });
    storage.replaceCharactersInRange(Range(0, 1), QStringLiteral("A"));
    EXPECT_EQ(seen, (std::vector<QString>{"Abc", "Abc!"}));
    EXPECT_EQ(storage.string(), QStringLiteral("Abc!"));

    // Moving an observation keeps it registered once; a token may outlive the storage.
    TextStorage::Observation moved = std::move(firstObservation);
    first = 0;
    storage.addAttribute(Mark, 2, Range(0, 1));
    EXPECT_EQ(first, 1);
    auto gone = std::make_unique<TextStorage>();
    TextStorage::Observation orphan =
        gone->observeEditing([](TextStorage&, const TextStorage::Edit&) {});
    gone.reset();
    orphan.reset();
}

TEST(TextStorage, LayoutManagersBelongToOneStorage)
{
    auto a = std::make_unique<TextStorage>(QStringLiteral("one"));
    TextStorage b(QStringLiteral("three"));
    LayoutManager manager;
    manager.setTextContainer(std::make_unique<TextContainer>());

    a->addLayoutManager(&manager);
    a->addLayoutManager(&manager); // once only
    EXPECT_EQ(a->layoutManagers(), QList<LayoutManager*>{&manager});
    EXPECT_EQ(manager.numberOfGlyphs(), 3);

    b.addLayoutManager(&manager); // taken from a
    EXPECT_TRUE(a->layoutManagers().isEmpty());
    EXPECT_EQ(manager.textStorage(), &b);
    EXPECT_EQ(manager.numberOfGlyphs(), 5);

    a->removeLayoutManager(&manager); // not attached: nothing happens
    EXPECT_EQ(manager.textStorage(), &b);

    // Observers find the layout already updated.
    qsizetype glyphsSeen = -1;
    TextStorage::Observation observation = b.observeEditing(
        [&](TextStorage&, const TextStorage::Edit&) { glyphsSeen = manager.numberOfGlyphs(); });
    b.replaceCharactersInRange(Range(5, 0), QStringLiteral("33"));
    EXPECT_EQ(glyphsSeen, 7);

    // Either side may go first.
    a->addLayoutManager(&manager);
    a.reset();
    EXPECT_EQ(manager.textStorage(), nullptr);
    EXPECT_EQ(manager.numberOfGlyphs(), 0);
    {
        LayoutManager shortLived;
        b.addLayoutManager(&shortLived);
    }
    EXPECT_TRUE(b.layoutManagers().isEmpty());
}
