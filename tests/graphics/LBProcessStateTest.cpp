// The support and designs folders: the user's data folder until start-up sets others.

#include "graphics/LBProcessState.h"

#include <gtest/gtest.h>

#include <QDir>

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
