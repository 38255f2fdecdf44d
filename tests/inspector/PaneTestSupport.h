#pragma once

// The pane tests: the palette showing one pane of the real graphics selected on the
// fixture's canvas, its controls found by their outlet names and driven like a user would.

#include "InspectorTestSupport.h"

#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"
#include "platform/ui/ColorWell.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

class PaneTest : public InspectorTest
{
protected:
    // Selects the graphics and shows the pane.
    void showPane(const QList<LBGraphicPtr>& graphics, int tag)
    {
        selectOnly(graphics);
        palette->toolsPopupAction(tag);
        ASSERT_EQ(palette->toolTag(), tag);
    }
    template <typename T>
    T* control(const char* name) const
    {
        T* found = palette->currentTools()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // Types the text into a field and presses Return.
    void type(const char* field, const QString& text)
    {
        QWidget* widget = control<QWidget>(field);
        auto* box = qobject_cast<QComboBox*>(widget);
        QLineEdit* edit = box ? box->lineEdit() : qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr) << field;
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString text(const char* name) const
    {
        if (auto* edit = palette->currentTools()->findChild<QLineEdit*>(QLatin1String(name)))
            return edit->text();
        if (auto* label = palette->currentTools()->findChild<QLabel*>(QLatin1String(name)))
            return label->text();
        ADD_FAILURE() << name;
        return {};
    }
    // Chooses the pop-up's item at the index, as a click in its menu does.
    void choose(const char* popUp, int index)
    {
        control<HUDPopUpButton>(popUp)->itemMenu()->actions().at(index)->trigger();
    }
    int selectedIndex(const char* popUp) const
    {
        return control<HUDPopUpButton>(popUp)->indexOfSelectedItem();
    }
    // A colour the user picks in the panel for the well.
    void pick(const char* well, const QColor& color)
    {
        Q_EMIT control<platform::ColorWell>(well)->colorChanged(color);
    }
    // Presses the stepper's upper or lower half.
    void step(const char* stepper, bool up)
    {
        auto* widget = control<HUDStepper>(stepper);
        const QPoint at(widget->width() / 2, up ? 3 : widget->height() - 3);
        QTest::mousePress(widget, Qt::LeftButton, {}, at);
        QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
    }
    // Undoes the step and says whether its name was that of the key.
    ::testing::AssertionResult undoNamed(const char* key)
    {
        const QString name = undoName();
        if (name != undoStrings(key))
            return ::testing::AssertionFailure() << "step named " << name.toStdString();
        undo()->undo();
        return ::testing::AssertionSuccess();
    }
    // Clicks a check box on its box.
    void click(const char* checkBox)
    {
        auto* box = control<QCheckBox>(checkBox);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(7, box->height() / 2));
    }
    double windowHeight() const { return palette->window()->height(); }
};
