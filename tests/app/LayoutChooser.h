#pragma once

// The layout chooser as a user drives it: the sheet open on a document window, its project
// buttons, pop-ups, sheet list, template browser and bottom buttons clicked by their
// titles. Each step fails the test with what was missing.

#include "controls/LBImageButton.h"
#include "platform/core/UserDefaults.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QListView>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

class LayoutChooser
{
public:
    // The chooser shown on the window; empty() when none is.
    explicit LayoutChooser(QWidget* window)
    {
        for (QDialog* sheet : window->findChildren<QDialog*>()) {
            auto* steps = sheet->findChild<QStackedWidget*>();
            if (sheet->isVisible() && steps) {
                _sheet = sheet;
                _steps = steps;
            }
        }
    }

    // Forgets what the chooser remembers of the user's choices, for the tests that share
    // the process.
    static void forgetChoices()
    {
        for (const char* key :
             {"Layout Sheet A4 Paper Selected", "Layout Sheet Design File Path",
              "Layout Sheet Document List Width", "Layout Sheet Selected Disc Manufacturer 2",
              "Layout Sheet Selected Disc Type String 2",
              "Layout Sheet Selected Envelope Type String", "Layout Sheet Selected Manufacturer 2",
              "Layout Sheet Selected PaperCode 2", "Layout Sheet Size 2"})
            platform::UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(key));
    }

    bool empty() const { return !_steps; }
    QDialog* sheet() const { return _sheet; }
    int step() const { return _steps ? _steps->currentIndex() : -1; }

    // Clicks the project button of that title ("Labels", "Envelopes", "Disc Labels", ...).
    void clickProject(const QString& title) const
    {
        ASSERT_TRUE(_steps);
        for (auto* button : _steps->widget(0)->findChildren<LBImageButton*>()) {
            if (button->title() == title) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        FAIL() << "no project button " << title.toStdString();
    }

    // Clicks the button of that title at the bottom of the step shown.
    void clickButton(const QString& title) const
    {
        ASSERT_TRUE(_steps);
        for (QPushButton* button : _steps->currentWidget()->findChildren<QPushButton*>()) {
            if (button->text() == title && button->isVisible()) {
                ASSERT_TRUE(button->isEnabled()) << title.toStdString() << " is disabled";
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        FAIL() << "no button " << title.toStdString() << " on step " << step();
    }

    // Chooses the item of that title in the step's pop-up at that place (0 the first).
    void choosePopUpItem(int popUp, const QString& title) const
    {
        ASSERT_TRUE(_steps);
        QComboBox* box = _steps->currentWidget()->findChildren<QComboBox*>().value(popUp);
        ASSERT_TRUE(box) << "no pop-up " << popUp;
        const int index = box->findText(title);
        ASSERT_GE(index, 0) << "no item " << title.toStdString();
        box->setCurrentIndex(index);
        Q_EMIT box->activated(index);
    }

    // Clicks the first row of the sheet list whose text begins with the text.
    void clickSheet(const QString& beginning) const
    {
        ASSERT_TRUE(_steps);
        auto* table = _steps->currentWidget()->findChild<QTableView*>();
        ASSERT_TRUE(table);
        QAbstractItemModel* rows = table->model();
        QStringList texts;
        for (int row = 0; row < rows->rowCount(); ++row) {
            const QModelIndex index = rows->index(row, 0);
            texts << index.data().toString();
            if (!texts.last().startsWith(beginning))
                continue;
            table->scrollTo(index);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                              table->visualRect(index).center());
            ASSERT_EQ(table->currentIndex().row(), row) << texts.last().toStdString();
            return;
        }
        FAIL() << "no sheet " << beginning.toStdString() << " among "
               << texts.join(QStringLiteral(" | ")).toStdString();
    }

    // The whole way through for a project: its button, its sheet (the first whose text
    // begins with the given one), the first design of the template browser, and Choose.
    void chooseFirstDesign(const QString& project, const QString& sheet) const
    {
        clickProject(project);
        clickButton(QStringLiteral("Continue"));
        ASSERT_EQ(step(), 1);
        clickSheet(sheet);
        clickButton(QStringLiteral("Continue"));
        ASSERT_EQ(step(), 2);
        clickFirstTemplate();
        clickButton(QStringLiteral("Choose"));
    }

    // Clicks the first design of the template browser.
    void clickFirstTemplate() const
    {
        ASSERT_TRUE(_steps);
        auto* browser = _steps->currentWidget()->findChild<QListView*>();
        ASSERT_TRUE(browser);
        ASSERT_GT(browser->model()->rowCount(), 0) << "no design to choose";
        const QModelIndex first = browser->model()->index(0, 0);
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                          browser->visualRect(first).center());
    }

private:
    QDialog* _sheet = nullptr;
    QStackedWidget* _steps = nullptr;
};
