#include "platform/ui/Alert.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QWidget>

namespace {

// The alerts shown on the window, by their message.
QStringList visibleSheets(const QWidget& window)
{
    QStringList shown;
    for (const QMessageBox* box : window.findChildren<QMessageBox*>())
        if (box->isVisible())
            shown << box->text();
    return shown;
}

void answer(const QWidget& window)
{
    for (QMessageBox* box : window.findChildren<QMessageBox*>())
        if (box->isVisible())
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    QApplication::processEvents();
}

} // namespace

// A second alert begun on a window while one is on it waits for it, as a sheet does: two
// stacked would hide the first one's text and take its keys.
TEST(AlertSheets, AWindowShowsOneSheetAtATimeInTheOrderBegun)
{
    platform::Alert::setResponder(nullptr);
    QWidget window;
    window.resize(400, 300);
    window.show();
    QStringList answered;
    for (const char* message : {"First", "Second", "Third"}) {
        platform::Alert alert;
        alert.messageText = QString::fromLatin1(message);
        alert.beginSheetModalForWindow(&window, [&answered, message](const auto&) {
            answered << QString::fromLatin1(message);
        });
    }
    QApplication::processEvents();
    EXPECT_EQ(visibleSheets(window), QStringList{"First"});
    answer(window);
    EXPECT_EQ(visibleSheets(window), QStringList{"Second"});
    answer(window);
    EXPECT_EQ(visibleSheets(window), QStringList{"Third"});
    answer(window);
    EXPECT_TRUE(visibleSheets(window).isEmpty());
    EXPECT_EQ(answered, (QStringList{"First", "Second", "Third"}));

    // Once they have ended, the next one comes at once.
    platform::Alert alert;
    alert.messageText = QStringLiteral("Later");
    alert.beginSheetModalForWindow(&window);
    QApplication::processEvents();
    EXPECT_EQ(visibleSheets(window), QStringList{"Later"});
    answer(window);
}
