#include "TextPaneTestSupport.h"

#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextTools.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/KXFontPreviewViewController.h"
#include "platform/ui/TextView.h"
#include "shapes/LBBezierPath.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <algorithm>

using platform::AttributedString;
using platform::Range;

namespace {

// Types into a combo box's field as the user does and ends with Return.
void typeInto(QComboBox* box, const QString& text, bool pressReturn = true)
{
    box->lineEdit()->setFocus();
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), text);
    if (pressReturn)
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
}

QString imageString(const LBCompImageButton* button)
{
    return button->property("componentImageString").toString();
}

} // namespace

TEST_F(TextPaneTest, TwoFamiliesShowAnEmptyFamilyBoxAndAChosenFamilyGoesToBoth)
{
    const QFont bold = fontOf(firstFamily(), 10, QFont::Bold);
    auto a = box(runs(
        {{QStringLiteral("Bold "), bold}, {QStringLiteral("plain"), fontOf(firstFamily(), 14)}}));
    auto b = box(runs({{QStringLiteral("Serif"), fontOf(secondFamily(), 12)}}),
                 QRectF(100, 200, 200, 60));
    auto* pane = show<HUDFontTools>({a, b}, HUDWindowController::FontTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_textFontBox->currentText(), QString());
    EXPECT_EQ(pane->_selectedFontFamilyIndex, -1);

    // Choosing from the list applies at once, each run keeping its face and size.
    const int index = int(pane->fontFamilyArray().indexOf(secondFamily()));
    ASSERT_GE(index, 0);
    pane->_textFontBox->setCurrentIndex(index);
    Q_EMIT pane->_textFontBox->activated(index);
    EXPECT_EQ(undoName(), undoStrings("Set Font"));
    for (const auto& [graphic, at, size] :
         {std::tuple{a, 0, 10.0}, std::tuple{a, 6, 14.0}, std::tuple{b, 0, 12.0}}) {
        const QFont font = fontAt(*graphic, at);
        EXPECT_EQ(familyOfFont(font), secondFamily());
        EXPECT_EQ(font.pointSizeF(), size);
    }
    EXPECT_EQ(fontAt(*a, 0).weight(), QFont::Bold);
    EXPECT_EQ(platform::FontManager::sharedFontManager().selectedFont()->families().first(),
              secondFamily());

    // One undo puts every run's own font back.
    undo()->undo();
    EXPECT_EQ(fontAt(*a, 0), bold);
    EXPECT_EQ(familyOfFont(fontAt(*b, 0)), secondFamily());
    EXPECT_EQ(familyOfFont(fontAt(*a, 6)), firstFamily());
}

// Families whose slanted faces are called "Oblique" rather than "Italic" (the default sans
// serif family and DejaVu Sans are such): an upright text names an upright face, and stays
// upright when moved to such a family.
TEST_F(TextPaneTest, AnUprightTextStaysUprightInFamiliesWithObliqueFaces)
{
    const auto slanted = [](const QString& family, const QString& face) {
        return QFontDatabase::font(family, face, 12).style() != QFont::StyleNormal;
    };
    const auto hasOblique = [](const QString& family) {
        const QStringList faces = QFontDatabase::styles(family);
        return std::any_of(faces.begin(), faces.end(), [&](const QString& face) {
            return QFontDatabase::font(family, face, 12).style() == QFont::StyleOblique;
        });
    };
    QStringList families;
    for (const QString& family : {QStringLiteral("Sans Serif"), firstFamily()})
        if (hasOblique(family))
            families << family;
    if (families.isEmpty())
        GTEST_SKIP() << "no installed family with an oblique face";

    // A text as a new text box has it: a family and a size, no face named.
    QFont plain;
    plain.setFamilies({families.first()});
    plain.setPointSizeF(12);
    auto a = box(runs({{QStringLiteral("Upright"), plain}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    ASSERT_TRUE(pane);
    EXPECT_FALSE(slanted(families.first(), pane->_textFaceBox->currentText()))
        << pane->_textFaceBox->currentText().toStdString();

    for (const QString& family : families) {
        const int index = int(pane->fontFamilyArray().indexOf(family));
        ASSERT_GE(index, 0) << family.toStdString();
        pane->_textFontBox->setCurrentIndex(index);
        Q_EMIT pane->_textFontBox->activated(index);
        const QFont moved = fontAt(*a, 0);
        EXPECT_EQ(familyOfFont(moved), family);
        // The face the text is drawn in is the one its font names.
        EXPECT_FALSE(slanted(family, moved.styleName())) << moved.styleName().toStdString();
        EXPECT_EQ(moved.weight(), QFont::Normal);
        EXPECT_FALSE(slanted(family, pane->_textFaceBox->currentText()))
            << pane->_textFaceBox->currentText().toStdString();
    }
}

TEST_F(TextPaneTest, MixedSizesShowAnEmptySizeBoxAndATypedSizeSetsEveryRun)
{
    auto a = box(runs({{QStringLiteral("ten "), fontOf(firstFamily(), 10)},
                       {QStringLiteral("twelve"), fontOf(firstFamily(), 12)}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    EXPECT_EQ(pane->_textSizeBox->currentText(), QString());
    EXPECT_EQ(pane->_textSizeStepper->value(), 12);
    EXPECT_EQ(pane->_textFontBox->currentText(), firstFamily());

    typeInto(pane->_textSizeBox, QStringLiteral("14"));
    EXPECT_EQ(fontAt(*a, 0).pointSizeF(), 14);
    EXPECT_EQ(fontAt(*a, 5).pointSizeF(), 14);
    EXPECT_EQ(pane->_textSizeStepper->value(), 14);
    EXPECT_EQ(undoName(), undoStrings("Set Font"));

    // The stepper steps from there and shows its value in the box.
    palette->updateSelectedTools();
    EXPECT_EQ(pane->_textSizeBox->currentText(), "14");
    QTest::mouseClick(pane->_textSizeStepper, Qt::LeftButton, {}, QPoint(5, 3));
    EXPECT_EQ(fontAt(*a, 0).pointSizeF(), 15);
    EXPECT_EQ(pane->_textSizeBox->currentText(), "15");
}

TEST_F(TextPaneTest, AnInsertionPointChangesOnlyTheTypingAttributes)
{
    auto a = box(runs({{QStringLiteral("Hello"), fontOf(firstFamily(), 12)}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    canvas->startEditingGraphic(a, nullptr, false);
    platform::TextView* view = a->textEditor();
    ASSERT_TRUE(view);
    palette->addTextView(view);
    view->setSelectedRange(Range(2, 0));
    const AttributedString before = a->contents()->attributedString();

    typeInto(pane->_textSizeBox, QStringLiteral("30"));
    EXPECT_EQ(a->contents()->attributedString(), before);
    const QFont typing = view->typingAttributes().value(platform::FontAttributeName).value<QFont>();
    EXPECT_EQ(typing.pointSizeF(), 30);

    // A new family: the face box shows the face the typing font now has.
    const int index = int(pane->fontFamilyArray().indexOf(secondFamily()));
    pane->_textFontBox->setCurrentIndex(index);
    Q_EMIT pane->_textFontBox->activated(index);
    EXPECT_EQ(a->contents()->attributedString(), before);
    const QFont converted =
        view->typingAttributes().value(platform::FontAttributeName).value<QFont>();
    EXPECT_EQ(familyOfFont(converted), secondFamily());
    EXPECT_EQ(pane->_textFaceBox->currentText(),
              platform::FontManager::sharedFontManager().faceNameForFont(converted));

    // With a selection the selected characters change, through the view's undo.
    view->setSelectedRange(Range(1, 3));
    typeInto(pane->_textSizeBox, QStringLiteral("20"));
    EXPECT_EQ(fontAt(*a, 0).pointSizeF(), 12);
    EXPECT_EQ(fontAt(*a, 2).pointSizeF(), 20);
    EXPECT_EQ(fontAt(*a, 4).pointSizeF(), 12);
    EXPECT_EQ(undoName(), undoStrings("Set Font"));
    undo()->undo();
    EXPECT_EQ(a->contents()->attributedString(), before);
}

TEST_F(TextPaneTest, RecolouringRunsIsUndoneRunByRun)
{
    const QFont font = fontOf(firstFamily(), 12);
    auto a = box(
        runs({{QStringLiteral("red "), font, Qt::red}, {QStringLiteral("blue"), font, Qt::blue}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    EXPECT_EQ(pane->_textColorButton->color(), QColor(Qt::red));
    pane->_textColorButton->setColor(Qt::green);
    Q_EMIT pane->_textColorButton->colorChanged(Qt::green);
    const auto colorAt = [&](qsizetype i) {
        return a->contents()
            ->attributedString()
            .attribute(platform::ForegroundColorAttributeName, i)
            .value<QColor>();
    };
    EXPECT_EQ(colorAt(0), QColor(Qt::green));
    EXPECT_EQ(colorAt(5), QColor(Qt::green));
    EXPECT_EQ(undoName(), undoStrings("Set Text Color"));
    undo()->undo();
    EXPECT_EQ(colorAt(0), QColor(Qt::red));
    EXPECT_EQ(colorAt(5), QColor(Qt::blue));
    undo()->redo();
    EXPECT_EQ(colorAt(5), QColor(Qt::green));
}

TEST_F(TextPaneTest, FamilyBoxCompletesAndMovesWithTheArrowKeys)
{
    auto a = box(runs({{QStringLiteral("Hello"), fontOf(firstFamily(), 12)}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    const QStringList families = pane->fontFamilyArray();
    // The first family in the list that starts with the typed text in any case.
    const QString prefix = secondFamily().left(3).toLower();
    const auto expected = std::find_if(families.begin(), families.end(), [&](const QString& f) {
        return f.startsWith(prefix, Qt::CaseInsensitive);
    });
    ASSERT_NE(expected, families.end());
    typeInto(pane->_textFontBox, prefix, false);
    EXPECT_EQ(pane->_textFontBox->lineEdit()->text(), *expected);
    EXPECT_EQ(pane->_textFontBox->lineEdit()->selectedText(), expected->mid(prefix.size()));
    EXPECT_EQ(pane->_selectedFontFamilyIndex, families.indexOf(*expected));
    QTest::keyClick(pane->_textFontBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(familyOfFont(fontAt(*a, 0)), *expected);

    // Text that matches nothing stays as typed and applies nothing.
    palette->updateSelectedTools();
    closeStep();
    const int steps = undo()->undoCount();
    typeInto(pane->_textFontBox, QStringLiteral("zzqx"));
    EXPECT_EQ(pane->_textFontBox->lineEdit()->text(), "zzqx");
    EXPECT_EQ(pane->_selectedFontFamilyIndex, -1);
    closeStep();
    EXPECT_EQ(undo()->undoCount(), steps);
    EXPECT_EQ(familyOfFont(fontAt(*a, 0)), *expected);

    // Up on the first entry moves nothing and is still handled; Down moves one on.
    EXPECT_TRUE(pane->moveSelectionInBox(pane->_textFontBox, -1));
    palette->updateSelectedTools();
    pane->_selectedFontFamilyIndex = 0;
    EXPECT_TRUE(pane->moveSelectionInBox(pane->_textFontBox, -1));
    EXPECT_EQ(pane->_selectedFontFamilyIndex, 0);
    QTest::keyClick(pane->_textFontBox->lineEdit(), Qt::Key_Down);
    EXPECT_EQ(pane->_selectedFontFamilyIndex, 1);
    EXPECT_EQ(pane->_textFontBox->currentText(), families.at(1));

    // Down in the face box with no face chosen lands on the first face.
    pane->_selectedFontFaceIndex = -1;
    ASSERT_GT(pane->numberOfItemsInComboBox(pane->_textFaceBox), 0);
    QTest::keyClick(pane->_textFaceBox->lineEdit(), Qt::Key_Down);
    EXPECT_EQ(pane->_selectedFontFaceIndex, 0);
    EXPECT_EQ(pane->_textFaceBox->currentText(), pane->fontFaceArray().first().faceName);
}

TEST_F(TextPaneTest, AlignmentButtonsShowTheCommonAlignment)
{
    using Style = platform::ParagraphStyle;
    const auto styled = [](Style::Alignment alignment, Style::WritingDirection direction) {
        Style style;
        style.alignment = alignment;
        style.baseWritingDirection = direction;
        return AttributedString(QStringLiteral("text"), {{platform::ParagraphStyleAttributeName,
                                                          QVariant::fromValue(style)}});
    };
    auto rtl = box(styled(Style::Alignment::Natural, Style::WritingDirection::RightToLeft));
    auto* pane = show<HUDFontTools>({rtl}, HUDWindowController::FontTools);
    EXPECT_EQ(
        imageString(pane->_textRightAlignmentButton),
        "HUDDividerLeft1|HUDMiddle1|HUDDividerRight1|HUDDividerLeftH|HUDMiddleH|HUDDividerRightH");
    EXPECT_EQ(imageString(pane->_textLeftAlignmentButton),
              "HUDCapLeft0|HUDMiddle0|HUDDividerRight0|HUDCapLeftH|HUDMiddleH|HUDDividerRightH");

    // Mixed: nothing highlighted; a button aligns both, undoably.
    auto left = box(styled(Style::Alignment::Left, Style::WritingDirection::Natural),
                    QRectF(100, 300, 200, 60));
    pane = show<HUDFontTools>({rtl, left}, HUDWindowController::FontTools);
    for (auto* button : {pane->_textLeftAlignmentButton, pane->_textCenterAlignmentButton,
                         pane->_textRightAlignmentButton, pane->_textFullAlignmentButton})
        EXPECT_TRUE(imageString(button).contains(QStringLiteral("Middle0")))
            << imageString(button).toStdString();
    QTest::mouseClick(pane->_textFullAlignmentButton, Qt::LeftButton);
    for (const auto& graphic : {rtl, left})
        EXPECT_EQ(
            HUDTextTools::alignmentForText(graphic->contents()->attributedString(), Range(0, 4)),
            HUDTextTools::Justified);
    EXPECT_EQ(imageString(pane->_textFullAlignmentButton),
              "HUDDividerLeft1|HUDMiddle1|HUDCapRight1|HUDDividerLeftH|HUDMiddleH|HUDCapRightH");
    closeStep();
    undo()->undo();
    EXPECT_EQ(HUDTextTools::alignmentForText(left->contents()->attributedString(), Range(0, 4)),
              HUDTextTools::Left);
}

TEST_F(TextPaneTest, ConvertingAsksFirstAndCancelWithTheBoxTickedOnlySuppresses)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("DisableConvertTextToOutlinesAlert"));
    auto a = box(runs({{QStringLiteral("Hello"), fontOf(firstFamily(), 24), Qt::red}}));
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    EXPECT_TRUE(pane->_convertTextToOutlinesButton->isHidden());
    QStringList messages;
    platform::Alert::setResponder([&](const platform::Alert& alert, QWidget*) {
        messages << alert.messageText;
        EXPECT_TRUE(alert.showsSuppressionButton);
        return platform::Alert::Response{platform::Alert::SecondButtonReturn, true};
    });
    pane->_convertTextToOutlinesButton->click();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.first(), "Are you sure you want to convert the selected text to outlines? ");
    EXPECT_EQ(document->indexOfGraphic(a, 1), 0);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("DisableConvertTextToOutlinesAlert")));

    // Suppressed: the next one converts without asking.
    pane->_convertTextToOutlinesButton->click();
    platform::Alert::setResponder(nullptr);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(document->indexOfGraphic(a, 1), -1);
    auto outline = std::dynamic_pointer_cast<LBBezierPath>(document->pageGraphics().at(1).at(0));
    ASSERT_TRUE(outline);
    EXPECT_EQ(outline->fillType(), 1);
    EXPECT_EQ(outline->fillColor(), QColor(Qt::red));
    defaults.removeObjectForKey(QStringLiteral("DisableConvertTextToOutlinesAlert"));
}

TEST_F(TextPaneTest, AConvertedGroupedBoxKeepsItsPlaceAndGroup)
{
    platform::UserDefaults::standardUserDefaults().setBool(
        true, QStringLiteral("DisableConvertTextToOutlinesAlert"));
    auto back = add(QStringLiteral("back"), QRectF(10, 10, 20, 20));
    auto front = add(QStringLiteral("front"), QRectF(40, 10, 20, 20));
    auto a = box(runs({{QStringLiteral("Hi"), fontOf(firstFamily(), 30)}}));
    undo()->disableUndoRegistration();
    document->moveGraphic(a, 2, 1); // between the two
    a->setIsGrouped(true);
    a->setGroupedChildrenCount(2);
    a->setGroupBounds(QRectF(5, 5, 300, 200));
    a->setRotation(30);
    a->setGraphicAlpha(0.5);
    undo()->enableUndoRegistration();
    const qint64 index = document->indexOfGraphic(a, 1);
    ASSERT_EQ(index, 1);
    auto* pane = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    pane->convertTextToOutlinesAction();
    auto outline =
        std::dynamic_pointer_cast<LBBezierPath>(document->pageGraphics().at(1).at(index));
    ASSERT_TRUE(outline);
    EXPECT_TRUE(outline->isGrouped());
    EXPECT_EQ(outline->groupedChildrenCount(), 2);
    EXPECT_EQ(outline->groupBounds(), QRectF(5, 5, 300, 200));
    EXPECT_EQ(outline->rotation(), 30);
    EXPECT_EQ(outline->bounds(), a->bounds());
    EXPECT_EQ(outline->graphicAlpha(), 0.5);
    ASSERT_TRUE(outline->path());
    EXPECT_TRUE(canvas->selectedGraphics(true).contains(outline));
    EXPECT_FALSE(canvas->selectedGraphics(true).contains(a));
    EXPECT_EQ(undoName(), undoStrings("Convert Text to Outlines"));
    undo()->undo();
    EXPECT_EQ(document->indexOfGraphic(a, 1), index);
    EXPECT_EQ(document->numGraphicsOnLayer(1), 3);
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(
        QStringLiteral("DisableConvertTextToOutlinesAlert"));
}

TEST_F(TextPaneTest, AStepMadeInAStandalonePaletteUndoesAfterItClosed)
{
    const QFont font = fontOf(firstFamily(), 12);
    auto a = box(runs({{QStringLiteral("red"), font, Qt::red}}));
    {
        HUDWindowController standalone(HUDWindowController::Standalone);
        standalone.setStandaloneToolTag(HUDWindowController::FontTools, QPointF(0, 0));
        canvas->selectGraphic(a);
        standalone.updateFromGraphicView(canvas);
        auto* pane = standalone.window()->findChild<HUDFontTools*>();
        ASSERT_TRUE(pane);
        Q_EMIT pane->_textColorButton->colorChanged(Qt::blue);
        typeInto(pane->_textSizeBox, QStringLiteral("18"));
        closeStep();
    }
    undo()->undo();
    EXPECT_EQ(fontAt(*a, 0).pointSizeF(), 12);
    undo()->undo();
    EXPECT_EQ(a->contents()
                  ->attributedString()
                  .attribute(platform::ForegroundColorAttributeName, 0)
                  .value<QColor>(),
              QColor(Qt::red));
}

TEST_F(TextPaneTest, FontPreviewTakesTheTextAndAppliesTheChosenFont)
{
    auto a = box(runs({{QStringLiteral("Sample words"), fontOf(firstFamily(), 12)}}));
    auto* pane = show<HUDFontPreviewTools>({a}, HUDWindowController::FontPreviewTools);
    ASSERT_TRUE(pane);
    KXFontPreviewViewController* preview = pane->fontPreviewController();
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->previewString(), "Sample words");
    ASSERT_TRUE(preview->selectedFont());
    EXPECT_EQ(familyOfFont(*preview->selectedFont()), firstFamily());
    EXPECT_EQ(fontAt(*a, 0), fontOf(firstFamily(), 12)); // the palette's own push changed nothing

    const int row = int(preview->families().indexOf(secondFamily()));
    preview->selectFamilyAtRow(row);
    EXPECT_EQ(familyOfFont(fontAt(*a, 0)), secondFamily());
    EXPECT_EQ(undoName(), undoStrings("Set Font"));
    preview->sizeSlider()->setValue(30);
    EXPECT_EQ(fontAt(*a, 0).pointSizeF(), 30);

    // The grip resizes the window; the pane and the preview follow.
    palette->window()->show();
    palette->window()->resize(600, 400);
    EXPECT_EQ(pane->size(), QSize(600, 380));
    EXPECT_EQ(preview->view()->geometry(), QRect(12, 11, 600 - 22, 380 - 11));

    // The Font pane's button switches to this pane.
    auto* font = show<HUDFontTools>({a}, HUDWindowController::FontTools);
    QTest::mouseClick(font->_fontPreviewButton, Qt::LeftButton);
    EXPECT_EQ(palette->toolTag(), HUDWindowController::FontPreviewTools);
}
