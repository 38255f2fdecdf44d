#include "inspector/HUDControls.h"
#include "inspector/HUDStatusController.h"
#include "inspector/HUDWindow.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

TEST(HUDContentView, DoubleClickPostsCollapseSingleClickDoesNot)
{
    HUDContentView view;
    view.resize(100, 60);
    int posts = 0;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        LBCollapseInspectorNotification, &view, [&](const platform::Notification&) { ++posts; });
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(posts, 0);
    QTest::mouseDClick(&view, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_EQ(posts, 1);
}

TEST(HUDContentView, KeyAndNonKeyTitleRowsDiffer)
{
    HUDContentView view;
    view.resize(120, 60);
    view.setCollapsed(false);
    view.setKeyOverride(1);
    const QImage key = view.grab().toImage();
    view.setKeyOverride(0);
    const QImage other = view.grab().toImage();
    // The title row changes, the body does not.
    EXPECT_NE(key.copy(0, 0, key.width(), 20 * key.height() / 60),
              other.copy(0, 0, other.width(), 20 * other.height() / 60));
    EXPECT_EQ(key.copy(0, key.height() / 2, key.width(), 4),
              other.copy(0, other.height() / 2, other.width(), 4));
    // Collapsed: only the button's picture, at its own size.
    view.setCollapsed(true);
    const QImage collapsed = view.grab().toImage();
    EXPECT_EQ(collapsed.pixelColor(collapsed.width() - 1, collapsed.height() - 1).alpha(), 0);
}

TEST(HUDTextPopUpButton, WidthIsTitlePlusSevenPlusArrowAroundItsCentre)
{
    QWidget parent;
    HUDTextPopUpButton button(false, &parent);
    button.setGeometry(100, 0, 20, 16);
    button.addItem(QStringLiteral("Dimensions"), 2);
    button.addItem(QStringLiteral("Rotation"), 4);
    button.selectItemWithTag(2);
    QFont bold = button.font();
    bold.setBold(true);
    bold.setPixelSize(10);
    const int arrow = qRound(hudImageSize(QStringLiteral("HUDPopUpArrow")).width());
    const int needed =
        QFontMetrics(bold).horizontalAdvance(QStringLiteral("Dimensions")) + 7 + arrow;
    EXPECT_EQ(button.width(), needed);
    EXPECT_NEAR(button.geometry().center().x(), 110, 1);
    const int centre = button.geometry().center().x();
    button.selectItemWithTag(4);
    EXPECT_EQ(button.width(),
              QFontMetrics(bold).horizontalAdvance(QStringLiteral("Rotation")) + 7 + arrow);
    EXPECT_NEAR(button.geometry().center().x(), centre, 1);
}

TEST(HUDResizeBox, ClampsAtTheMinimumAndStoresTheSize)
{
    const QRectF frame(100, 100, 600, 400);
    // Dragged far up and left: the minimum, top edge kept.
    const QRectF small = HUDResizeBox::resizedFrame(frame, QPointF(120, 90), QPointF(0, 5), 10);
    EXPECT_EQ(small, QRectF(100, 100, 495, 148));
    const QRectF big = HUDResizeBox::resizedFrame(frame, QPointF(800, 600), QPointF(0, 5), 10);
    EXPECT_EQ(big, QRectF(100, 100, 800 - 100 + 10, 600 + 5 - 100));

    QWidget window;
    window.setGeometry(100, 100, 600, 400);
    HUDResizeBox grip(&window);
    grip.move(580, 370);
    window.show();
    QTest::mousePress(&grip, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&grip, Qt::LeftButton, {}, QPoint(5, 5));
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("LBFontPreviewWindowWidth")).typeId(),
              QMetaType::Double);
    EXPECT_DOUBLE_EQ(defaults.floatForKey(QStringLiteral("LBFontPreviewWindowWidth")),
                     window.width());
    defaults.removeObjectForKey(QStringLiteral("LBFontPreviewWindowWidth"));
    defaults.removeObjectForKey(QStringLiteral("LBFontPreviewWindowHeight"));
}

TEST(HUDControls, PictureNamesOfTheirStates)
{
    EXPECT_EQ(HUDCheckboxCell::checkboxImage(Qt::PartiallyChecked, false),
              QStringLiteral("HUDCheckboxMN"));
    EXPECT_EQ(HUDCheckboxCell::checkboxImage(Qt::PartiallyChecked, true),
              QStringLiteral("HUDCheckboxMH"));
    EXPECT_EQ(HUDCheckboxCell::checkboxImage(Qt::Checked, false), QStringLiteral("HUDCheckbox1N"));
    EXPECT_EQ(HUDRadioButtonCell::buttonImage(false, true), QStringLiteral("HUDRadioButton0H"));
    EXPECT_EQ(HUDPopUpButtonCell::buttonImages(true, true).right,
              QStringLiteral("HUDPullDownButtonRight1"));
    EXPECT_EQ(HUDSegmentedCell::buttonImages(0, 3, false).left,
              QStringLiteral("HUDPopUpButtonLeft0"));
    EXPECT_EQ(HUDSegmentedCell::buttonImages(2, 3, true).right,
              QStringLiteral("HUDSegmentedControlRight1"));
    EXPECT_EQ(HUDSegmentedCell::buttonImages(1, 3, false).right,
              QStringLiteral("HUDPopUpButtonCenter0"));
    // Every picture the controls and panels name exists.
    for (const QString& name :
         {HUDSliderCell::barImages().left, HUDSliderCell::barImages().center,
          HUDSliderCell::barImages().right, HUDSliderCell::knobImageHilited(true),
          HUDStepperCell::stepperImage(true, false), HUDComboBoxCell::images(true).right,
          HUDTextFieldCell::fieldImages().center, HUDSegmentedCell::dividerImage(),
          QStringLiteral("HUDCollapsed"), QStringLiteral("HUDTopLeft2"),
          QStringLiteral("HUDResizeIcon"), QStringLiteral("HUDMinimizeButton1")})
        EXPECT_FALSE(hudImageSize(name).isEmpty()) << name.toStdString();
}

TEST(HUDControls, MixedCheckboxPaintsTheMixedPicture)
{
    HUDCheckbox box(QStringLiteral("Mixed"));
    box.setTristate(true);
    box.setCheckState(Qt::PartiallyChecked);
    box.resize(80, 18);
    const QImage mixed = box.grab().toImage();
    box.setCheckState(Qt::Checked);
    const QImage on = box.grab().toImage();
    EXPECT_NE(mixed, on);
}

TEST(HUDControls, SliderKnobSitsAtTheBarEnds)
{
    const QSize knob = hudImageSize(HUDSliderCell::knobImageHilited(false)).toSize();
    const QRect bar(10, 0, 200, 16);
    EXPECT_EQ(HUDStyle::knobRect(bar, 0, 100, 0, knob).left(), bar.left());
    EXPECT_EQ(HUDStyle::knobRect(bar, 0, 100, 100, knob).right(), bar.right());
    HUDSlider slider;
    slider.setRange(0, 100);
    slider.resize(200, 16);
    slider.setValue(100);
    QStyleOptionSlider option;
    option.initFrom(&slider);
    option.minimum = 0;
    option.maximum = 100;
    option.sliderPosition = 100;
    option.orientation = Qt::Horizontal;
    const QRect handle = slider.style()->subControlRect(QStyle::CC_Slider, &option,
                                                        QStyle::SC_SliderHandle, &slider);
    EXPECT_EQ(handle.right(), slider.rect().right());
}

TEST(HUDControls, StepperStepsByTheHalfPressed)
{
    HUDStepper stepper;
    stepper.setRange(0, 10);
    stepper.setValue(5);
    QSignalSpy changed(&stepper, &HUDStepper::valueChanged);
    QTest::mousePress(&stepper, Qt::LeftButton, {}, QPoint(5, 2));
    EXPECT_EQ(stepper.value(), 6);
    EXPECT_EQ(stepper.currentImage(), QStringLiteral("HUDStepperT"));
    QTest::mouseRelease(&stepper, Qt::LeftButton, {}, QPoint(5, 2));
    EXPECT_EQ(stepper.currentImage(), QStringLiteral("HUDStepper0"));
    QTest::mousePress(&stepper, Qt::LeftButton, {}, QPoint(5, stepper.height() - 2));
    EXPECT_EQ(stepper.value(), 5);
    EXPECT_EQ(stepper.currentImage(), QStringLiteral("HUDStepperB"));
    QTest::mouseRelease(&stepper, Qt::LeftButton, {}, QPoint(5, stepper.height() - 2));
    EXPECT_EQ(changed.count(), 2);
}

TEST(HUDControls, FirstClickSelectsAllSecondPlacesTheCaret)
{
    QWidget window;
    HUDTextField other(&window);
    HUDTextField field(&window);
    field.move(0, 30);
    field.resize(120, 18);
    field.setText(QStringLiteral("12.5"));
    window.show();
    // The focus a click gives the field (sent directly: offscreen windows are never
    // active), then the click itself.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(&field, &focusIn);
    EXPECT_TRUE(field.selectAllText());
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(60, 9));
    EXPECT_EQ(field.selectedText(), QStringLiteral("12.5"));
    EXPECT_FALSE(field.selectAllText());
    // The selection shows on the field's dark ground.
    const QColor ground = field.palette().color(QPalette::Base);
    const QColor selection = field.palette().color(QPalette::Highlight);
    EXPECT_GT(std::abs(selection.red() - ground.red())
                  + std::abs(selection.green() - ground.green())
                  + std::abs(selection.blue() - ground.blue()),
              120);
    QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(2, 9));
    EXPECT_FALSE(field.hasSelectedText());
}

TEST(HUDControls, SegmentedControlSelectsTheClickedSegment)
{
    HUDSegmentedControl control({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    control.resize(90, 18);
    QSignalSpy clicked(&control, &HUDSegmentedControl::segmentClicked);
    QTest::mouseClick(&control, Qt::LeftButton, {}, QPoint(75, 9));
    EXPECT_EQ(control.selectedSegment(), 2);
    ASSERT_EQ(clicked.count(), 1);
}

TEST(HUDStatusController, TakesTheSizeOfItsKindsView)
{
    HUDStatusController path(HUDStatusController::PathWindow);
    HUDStatusController group(HUDStatusController::GroupWindow);
    EXPECT_EQ(path.frameSize(), path.shownView()->size());
    EXPECT_EQ(group.frameSize(), group.shownView()->size());
    EXPECT_NE(path.shownView(), group.shownView());
    path.showAtScreenPoint(QPoint(30, 40));
    EXPECT_TRUE(path.window()->isVisible());
    EXPECT_EQ(path.window()->pos(), QPoint(30, 40));
    path.close();
    EXPECT_FALSE(path.window()->isVisible());
}
