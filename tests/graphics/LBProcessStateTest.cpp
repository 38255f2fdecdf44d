// The support and designs folders: the user's data folder until start-up sets others.

#include "graphics/LBProcessState.h"

#include <gtest/gtest.h>

#include <QDir>

#include <utility>

TEST(LBProcessState, SupportAndDesignsFoldersDefaultToTheDataFolder)
{
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(LBProcessState::applicationSupportPath(), "/data/home/Orvane/Veltrin/");
    EXPECT_EQ(LBProcessState::designsFolderPath(), "/data/home/Orvane/Veltrin/Designs/");
    qputenv("XDG_DATA_HOME", "relative");
    EXPECT_EQ(LBProcessState::applicationSupportPath(),
              QDir::homePath() + "/.local/share/Orvane/Veltrin/");

    LBProcessState::setApplicationSupportPath("/support");
    EXPECT_EQ(LBProcessState::applicationSupportPath(), "/support/");
    EXPECT_EQ(LBProcessState::designsFolderPath(), "/support/Designs/");
    LBProcessState::setDesignsFolderPath("/designs/");
    EXPECT_EQ(LBProcessState::designsFolderPath(), "/designs/");

    LBProcessState::setApplicationSupportPath(QString());
    LBProcessState::setDesignsFolderPath(QString());
    qputenv("XDG_DATA_HOME", data);
}

// The palettes' maker runs once, at the first question about any of them, before it is
// answered; a palette asked for while it runs does not run it again.
TEST(LBProcessState, ThePaletteMakerRunsOnceAtTheFirstQuestion)
{
    using Ask = void (*)();
    const std::pair<const char*, Ask> questions[] = {
        {"current palette", [] { LBProcessState::inspectorPalette(); }},
        {"all palettes", [] { LBProcessState::allInspectorPalettes(); }},
        {"curve status window", [] { LBProcessState::curveStatusWindow(); }},
    };
    for (const auto& [name, ask] : questions) {
        SCOPED_TRACE(name);
        int runs = 0;
        LBProcessState::setInspectorPaletteMaker([&runs] {
            ++runs;
            LBProcessState::inspectorPalette(); // the palette being made asks too
        });
        LBProcessState::standaloneInspectorPalettes(); // not a question that makes them
        EXPECT_EQ(runs, 0);
        ask();
        EXPECT_EQ(runs, 1);
        for (const auto& [other, again] : questions)
            again();
        EXPECT_EQ(runs, 1);
    }

    // An empty maker drops one that has not run.
    int runs = 0;
    LBProcessState::setInspectorPaletteMaker([&runs] { ++runs; });
    LBProcessState::setInspectorPaletteMaker({});
    LBProcessState::inspectorPalette();
    EXPECT_EQ(runs, 0);
}

// Each field list is read at its first use after the loader is set, once; what is put in
// it afterwards stays; a new loader reads them again.
TEST(LBProcessState, FieldListsAreReadAtTheirFirstUse)
{
    using List = LBProcessState::FieldsList;
    QList<List> reads;
    const auto loader = [&reads](List list) {
        reads.append(list);
        return QVariantList{int(list), QStringLiteral("read")};
    };
    LBProcessState::setFieldsListLoader(loader);
    EXPECT_TRUE(reads.isEmpty());
    EXPECT_EQ(LBProcessState::fieldsList(List::Misc), (QVariantList{2, QStringLiteral("read")}));
    EXPECT_EQ(reads, QList<List>{List::Misc});
    LBProcessState::fieldsList(List::Custom) = {QStringLiteral("mine")};
    EXPECT_EQ(LBProcessState::fieldsList(List::Custom), QVariantList{QStringLiteral("mine")});
    LBProcessState::fieldsList(List::Misc);
    EXPECT_EQ(reads, (QList<List>{List::Misc, List::Custom}));

    LBProcessState::setFieldsListLoader(loader);
    EXPECT_EQ(LBProcessState::fieldsList(List::Custom), (QVariantList{3, QStringLiteral("read")}));
    EXPECT_EQ(reads.size(), 3);

    // Without a loader the lists are as they were left.
    LBProcessState::setFieldsListLoader({});
    for (List list : {List::Standard, List::My, List::Misc, List::Custom})
        LBProcessState::fieldsList(list).clear();
    EXPECT_TRUE(LBProcessState::fieldsList(List::Standard).isEmpty());
    EXPECT_EQ(reads.size(), 3);
}
