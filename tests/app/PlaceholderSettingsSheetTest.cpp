// The placeholder settings sheet: values kept until its window exists, the type pop-up's
// prompt, colour and pop-ups, indented titles, the two windows, the focus cleared after it
// opens, and the delegate's answer (also when it lets the sheet go at once).

#include "../canvas/CanvasTestSupport.h"

#include "app/LBPlaceholderSettingsSheet.h"

#include "platform/ui/ColorWell.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class RecordingDelegate : public LBPlaceholderSettingsDelegate
{
public:
    void placeholderSheetDidDismissWithSave(LBPlaceholderSettings* sheet, bool saved) override
    {
        answers.append(saved);
        typeAtAnswer = sheet->typeString();
        if (owned)
            owned.reset(); // the canvas lets its sheet go here
    }
    QList<bool> answers;
    QString typeAtAnswer;
    std::unique_ptr<LBPlaceholderSettings> owned;
};

void chooseType(LBPlaceholderSettingsSheet& sheet, const QString& title)
{
    QComboBox* popup = sheet.typePopup();
    popup->setCurrentIndex(popup->findText(title));
    sheet.typePopupAction();
}

} // namespace

TEST(PlaceholderSettingsSheet, ValuesGivenBeforeTheWindowShowInItsControls)
{
    LBPlaceholderSettingsSheet sheet(false);
    EXPECT_FALSE(sheet.isWindowLoaded());
    sheet.setTypeString(QStringLiteral("Ribbon"));
    sheet.setPromptString(QStringLiteral("Put\ra ribbon\rhere"));
    sheet.setPromptLocation(6);
    sheet.setPromptIsVertical(true);
    sheet.setColor(QColor(10, 20, 30));
    sheet.setLabelColor(QColor(200, 0, 0));
    sheet.setPatternIndex(3);
    sheet.setImageIndex(2);
    sheet.setHideOutline(true);
    EXPECT_EQ(sheet.promptLocation(), 6);
    EXPECT_EQ(sheet.window(), nullptr);

    sheet.loadWindow();
    ASSERT_TRUE(sheet.isWindowLoaded());
    EXPECT_EQ(sheet.typePopup()->currentText(), QStringLiteral("   Ribbon"));
    EXPECT_EQ(sheet.promptText()->toPlainText(), QStringLiteral("Put\na ribbon\nhere"));
    EXPECT_EQ(sheet.promptPopup()->currentData().toLongLong(), 6);
    EXPECT_EQ(sheet.verticalPopup()->currentIndex(), 1);
    EXPECT_EQ(sheet.colorWell()->color(), QColor(10, 20, 30));
    EXPECT_EQ(sheet.labelColorWell()->color(), QColor(200, 0, 0));
    EXPECT_EQ(sheet.patternPopup()->currentData().toLongLong(), 3);
    EXPECT_TRUE(sheet.hideOutlineCheckBox()->isChecked());
    EXPECT_FALSE(sheet.patternPopup()->isHidden());
    EXPECT_TRUE(sheet.imagePopup()->isHidden());

    // The values read back from the controls, the prompt's line breaks as they were.
    sheet.hideOutlineCheckBox()->setChecked(false);
    EXPECT_EQ(sheet.typeString(), QStringLiteral("Ribbon"));
    EXPECT_EQ(sheet.promptString(), QStringLiteral("Put\ra ribbon\rhere"));
    EXPECT_TRUE(sheet.promptIsVertical());
    EXPECT_EQ(sheet.patternIndex(), 3);
    EXPECT_FALSE(sheet.hideOutline());

    // Set afterwards, the controls change.
    sheet.setTypeString(QStringLiteral("Photo"));
    EXPECT_EQ(sheet.typePopup()->currentText(), QStringLiteral("Photo"));
    EXPECT_TRUE(sheet.patternPopup()->isHidden());
    EXPECT_EQ(sheet.imagePopup()->currentData().toLongLong(), 2);
    sheet.setImageIndex(4);
    EXPECT_EQ(sheet.imageIndex(), 4);
}

TEST(PlaceholderSettingsSheet, ChoosingATypeSetsThePromptColourAndPopUps)
{
    const struct
    {
        const char* title;
        const char* type;
        const char* prompt;
        QColor color;
        bool photo;
    } types[] = {
        {"Alphabet", "Alphabet", "Drag\rLetter\rHere", QColor::fromRgbF(0.5, 0.5, 0.5), false},
        {"Photo", "Photo", "Drag\rPhoto\rHere", Qt::white, true},
        {"Paper", "Paper", "Drag\rPaper\rHere", Qt::black, false},
        {"   Flower", "Flower", "Drag\rFlower\rHere", QColor::fromRgbF(0.5, 0.5, 0.5), false},
    };
    LBPlaceholderSettingsSheet sheet(false);
    sheet.loadWindow();
    for (const auto& t : types) {
        SCOPED_TRACE(t.title);
        sheet.patternPopup()->setCurrentIndex(5);
        chooseType(sheet, QString::fromLatin1(t.title));
        EXPECT_EQ(sheet.typeString(), QString::fromLatin1(t.type));
        EXPECT_EQ(sheet.promptString(), QString::fromLatin1(t.prompt));
        EXPECT_EQ(sheet.promptText()->toPlainText(),
                  QString::fromLatin1(t.prompt).replace(u'\r', u'\n'));
        EXPECT_EQ(sheet.colorWell()->color(), t.color);
        EXPECT_EQ(sheet.patternPopup()->isHidden(), t.photo);
        EXPECT_EQ(sheet.imagePopup()->isHidden(), !t.photo);
        // A photo has no pattern, whatever the hidden pop-up shows.
        EXPECT_EQ(sheet.patternIndex(), t.photo ? 0 : 5);
    }
    // Indented or not, a title is found; the type never carries the blanks.
    sheet.setTypeString(QStringLiteral("   Bow"));
    EXPECT_EQ(sheet.typePopup()->currentText(), QStringLiteral("   Bow"));
    EXPECT_EQ(sheet.typeString(), QStringLiteral("Bow"));
}

TEST(PlaceholderSettingsSheet, TheBackgroundWindowHasNoTypePictureOrOutline)
{
    LBPlaceholderSettingsSheet sheet(true);
    sheet.setPatternIndex(2);
    sheet.setLabelColor(Qt::blue);
    sheet.setTypeString(QStringLiteral("Photo")); // kept, but the window offers no types
    sheet.loadWindow();
    EXPECT_EQ(sheet.typePopup(), nullptr);
    EXPECT_EQ(sheet.imagePopup(), nullptr);
    EXPECT_EQ(sheet.hideOutlineCheckBox(), nullptr);
    ASSERT_NE(sheet.patternPopup(), nullptr);
    EXPECT_FALSE(sheet.patternPopup()->isHidden());
    EXPECT_EQ(sheet.patternIndex(), 2); // a background keeps its pattern
    EXPECT_EQ(sheet.labelColorWell()->color(), QColor(Qt::blue));
    EXPECT_EQ(sheet.window()->objectName(), QStringLiteral("BackgroundPlaceholderSettings"));
}

TEST(PlaceholderSettingsSheet, OpensWithNothingFocusedAndAnswersItsDelegate)
{
    QWidget documentWindow;
    documentWindow.resize(600, 400);
    documentWindow.show();

    RecordingDelegate delegate;
    {
        LBPlaceholderSettingsSheet sheet(false);
        sheet.setDelegate(&delegate);
        sheet.beginSheetForWindow(&documentWindow);
        ASSERT_TRUE(sheet.window());
        EXPECT_TRUE(sheet.window()->isVisible());
        EXPECT_EQ(sheet.window()->windowModality(), Qt::WindowModal);
        sheet.promptText()->setFocus();
        EXPECT_TRUE(QTest::qWaitFor([&] { return sheet.window()->focusWidget() == nullptr; }));
        sheet.cancelButton()->click();
        EXPECT_EQ(delegate.answers, QList<bool>({false}));
        EXPECT_FALSE(sheet.window()->isVisible());
    }

    // OK, with the delegate letting the sheet go while it answers.
    auto owned = std::make_unique<LBPlaceholderSettingsSheet>(false);
    LBPlaceholderSettingsSheet* sheet = owned.get();
    sheet->setDelegate(&delegate);
    sheet->beginSheetForWindow(&documentWindow);
    sheet->setTypeString(QStringLiteral("Paper"));
    delegate.owned = std::move(owned);
    sheet->okButton()->click();
    EXPECT_EQ(delegate.answers, QList<bool>({false, true}));
    EXPECT_EQ(delegate.typeAtAnswer, QStringLiteral("Paper"));
    EXPECT_FALSE(delegate.owned);
    QApplication::processEvents(); // the window goes later
}

TEST(PlaceholderSettingsSheet, ItsWindowWaitingToGoReachesNoSheetThatWent)
{
    // The delegate lets the sheet go from its OK button; the window goes on the next turn
    // of the event loop, and an Escape already queued for it, or a second click, comes
    // first. Neither may reach the sheet that went.
    QWidget documentWindow;
    documentWindow.resize(600, 400);
    documentWindow.show();
    RecordingDelegate delegate;
    auto owned = std::make_unique<LBPlaceholderSettingsSheet>(false);
    LBPlaceholderSettingsSheet* sheet = owned.get();
    sheet->setDelegate(&delegate);
    sheet->beginSheetForWindow(&documentWindow);
    const QPointer<QWidget> window = sheet->window();
    QPushButton* ok = sheet->okButton();
    delegate.owned = std::move(owned);
    QCoreApplication::postEvent(window,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    ok->click();
    ASSERT_FALSE(delegate.owned);
    ASSERT_TRUE(window);
    ok->click();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(delegate.answers, QList<bool>({true}));
    EXPECT_TRUE(window.isNull());
}

TEST(PlaceholderSettingsSheet, IsWhatTheCanvasMakesOnceRegistered)
{
    LBPlaceholderSettings::setFactory(
        [](bool background) { return std::make_unique<LBPlaceholderSettingsSheet>(background); });
    const auto object = LBPlaceholderSettings::make(false);
    const auto background = LBPlaceholderSettings::make(true);
    LBPlaceholderSettings::setFactory({});
    ASSERT_TRUE(dynamic_cast<LBPlaceholderSettingsSheet*>(object.get()));
    EXPECT_FALSE(object->isForBackgroundPlaceholder());
    EXPECT_TRUE(background->isForBackgroundPlaceholder());
}

// ---- Through the canvas ----

class PlaceholderSheetOnCanvas : public CanvasTest
{
protected:
    PlaceholderSheetOnCanvas()
    {
        LBPlaceholderSettings::setFactory([](bool background) {
            return std::make_unique<LBPlaceholderSettingsSheet>(background);
        });
    }
    ~PlaceholderSheetOnCanvas() override { LBPlaceholderSettings::setFactory({}); }
};

TEST_F(PlaceholderSheetOnCanvas, DefinesAndEditsAPlaceholder)
{
    auto shape = add(QStringLiteral("frame"), QRectF(50, 50, 120, 90));
    canvas->selectGraphic(shape);
    canvas->defineAsPlaceholder(nullptr);
    auto* sheet = dynamic_cast<LBPlaceholderSettingsSheet*>(canvas->placeholderSheet());
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->window());
    // A new placeholder starts as a photo.
    EXPECT_EQ(sheet->typeString(), QStringLiteral("Photo"));
    chooseType(*sheet, QStringLiteral("Alphabet"));
    sheet->okButton()->click();
    EXPECT_EQ(canvas->placeholderSheet(), nullptr);
    EXPECT_TRUE(shape->isPlaceholder());
    EXPECT_EQ(shape->placeholderTypeString(), QStringLiteral("Alphabet"));
    EXPECT_EQ(shape->placeholderLabel(), QStringLiteral("Drag\rLetter\rHere"));
    EXPECT_EQ(shape->placeholderColor(), QColor::fromRgbF(0.5, 0.5, 0.5));

    // Editing: the canvas begins the sheet first and then gives it the values.
    canvas->editPlaceholderSettings(nullptr);
    sheet = dynamic_cast<LBPlaceholderSettingsSheet*>(canvas->placeholderSheet());
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->typePopup()->currentText(), QStringLiteral("Alphabet"));
    EXPECT_EQ(sheet->promptText()->toPlainText(), QStringLiteral("Drag\nLetter\nHere"));
    EXPECT_EQ(sheet->colorWell()->color(), QColor::fromRgbF(0.5, 0.5, 0.5));
    sheet->cancelButton()->click();
    EXPECT_EQ(canvas->placeholderSheet(), nullptr);
    EXPECT_EQ(shape->placeholderTypeString(), QStringLiteral("Alphabet"));
    QApplication::processEvents();
}
