#include "platform/ui/ColorWell.h"
#include "platform/ui/ColorPanel.h"

#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

TEST(ColorWell, TheActiveWellTakesThePanelsChangesLive)
{
    platform::ColorWell fill;
    platform::ColorWell stroke;
    fill.resize(30, 20);
    stroke.resize(30, 20);
    fill.setColor(Qt::red);
    stroke.setColor(Qt::blue);
    QSignalSpy fillChanged(&fill, &platform::ColorWell::colorChanged);
    QSignalSpy strokeChanged(&stroke, &platform::ColorWell::colorChanged);
    platform::ColorPanel::setShowsAlpha(true); // as the program sets it
    QColorDialog* panel = platform::ColorPanel::sharedColorPanel();

    QTest::mouseClick(&fill, Qt::LeftButton);
    EXPECT_TRUE(fill.isActive());
    EXPECT_EQ(panel->currentColor(), QColor(Qt::red)); // shown without a report
    EXPECT_EQ(fillChanged.count(), 0);
    panel->setCurrentColor(QColor(10, 20, 30, 128));
    EXPECT_EQ(fill.color(), QColor(10, 20, 30, 128));
    // (The panel may report a colour and its alpha separately: the last report counts.)
    ASSERT_GE(fillChanged.count(), 1);
    EXPECT_EQ(fillChanged.last().first().value<QColor>(), QColor(10, 20, 30, 128));
    const qsizetype fillReports = fillChanged.count();

    // Another well's click ends the first one's turn.
    QTest::mouseClick(&stroke, Qt::LeftButton);
    EXPECT_FALSE(fill.isActive());
    EXPECT_EQ(platform::ColorWell::activeWell(), &stroke);
    panel->setCurrentColor(Qt::green);
    EXPECT_EQ(stroke.color(), QColor(Qt::green));
    EXPECT_EQ(fill.color(), QColor(10, 20, 30, 128));
    EXPECT_EQ(fillChanged.count(), fillReports);
    ASSERT_GE(strokeChanged.count(), 1);
    // Setting a colour from the program reports nothing.
    const qsizetype strokeReports = strokeChanged.count();
    stroke.setColor(Qt::yellow);
    EXPECT_EQ(strokeChanged.count(), strokeReports);
    EXPECT_EQ(panel->currentColor(), QColor(Qt::yellow));
    panel->hide();
    platform::ColorPanel::setShowsAlpha(false);
}
