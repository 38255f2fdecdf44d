#include "TextPaneTestSupport.h"

#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextTools.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using platform::AttributedString;
using platform::ParagraphStyle;
using platform::Range;

namespace {

AttributedString withStyle(const QString& text, const ParagraphStyle& style)
{
    return AttributedString(text,
                            {{platform::ParagraphStyleAttributeName, QVariant::fromValue(style)}});
}

ParagraphStyle spacing(double lineSpacing)
{
    ParagraphStyle style;
    style.lineSpacing = lineSpacing;
    return style;
}

ParagraphStyle styleAt(const LBTextArea& box, qsizetype index)
{
    return box.contents()
        ->attributedString()
        .attribute(platform::ParagraphStyleAttributeName, index)
        .value<ParagraphStyle>();
}

double kernAt(const AttributedString& text, qsizetype index)
{
    return text.attribute(platform::KernAttributeName, index).toDouble();
}

} // namespace

TEST_F(TextPaneTest, DifferentLineSpacingsShowEmptyAndATypedValueSetsBoth)
{
    auto a = box(withStyle(QStringLiteral("one"), spacing(2)));
    auto b = box(withStyle(QStringLiteral("two"), spacing(4)), QRectF(100, 200, 200, 60));
    auto* pane = show<HUDTypographyTools>({a, b}, HUDWindowController::TypographyTools);
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_lineSpacingField->text(), QString());
    EXPECT_EQ(pane->_lineSpacingStepper->value(), 2);
    EXPECT_EQ(pane->_lineMultipleField->text(), "1");
    EXPECT_EQ(pane->_indent1Field->text(), "0");

    pane->_lineSpacingField->setFocus();
    QTest::keyClicks(pane->_lineSpacingField, QStringLiteral("3"));
    QTest::keyClick(pane->_lineSpacingField, Qt::Key_Return);
    EXPECT_EQ(styleAt(*a, 0).lineSpacing, 3);
    EXPECT_EQ(styleAt(*b, 0).lineSpacing, 3);
    EXPECT_EQ(pane->_lineSpacingStepper->value(), 3);
    EXPECT_EQ(undoName(), undoStrings("Paragraph Style"));

    // One undo restores both.
    undo()->undo();
    EXPECT_EQ(styleAt(*a, 0).lineSpacing, 2);
    EXPECT_EQ(styleAt(*b, 0).lineSpacing, 4);
}

TEST_F(TextPaneTest, ParagraphValuesReadPerRun)
{
    ParagraphStyle zero;
    zero.lineHeightMultiple = 0;
    zero.headIndent = 7;
    AttributedString text(QStringLiteral("plain\n"));
    text.appendAttributedString(withStyle(QStringLiteral("styled"), zero));
    const HUDTextTools::ParagraphValues first =
        HUDTextTools::getParagraphValuesForText(text, Range(0, 3));
    EXPECT_EQ(first.values, (std::array<double, 5>{1.0, 0, 0, 0, 0}));
    const HUDTextTools::ParagraphValues both =
        HUDTextTools::getParagraphValuesForText(text, Range(0, text.length()));
    EXPECT_EQ(both.mixed, (std::array<bool, 5>{false, false, false, false, true}));
    EXPECT_FALSE(HUDTextTools::getParagraphValuesForText(text, Range(2, 0)).mixed[4]);

    // Each paragraph keeps its other settings when one value changes over both.
    platform::TextStorage storage(text);
    HUDTextTools::typoFieldActionForText(storage, Range(2, 8), HUDTextTools::SpaceAfter, 5,
                                         nullptr);
    const auto style = [&](qsizetype i) {
        return storage.attributedString()
            .attribute(platform::ParagraphStyleAttributeName, i)
            .value<ParagraphStyle>();
    };
    EXPECT_EQ(style(0).paragraphSpacing, 5);
    EXPECT_EQ(style(0).headIndent, 0);
    EXPECT_EQ(style(8).paragraphSpacing, 5);
    EXPECT_EQ(style(8).headIndent, 7);
}

TEST_F(TextPaneTest, KerningStepsByTheFontOfEachKernRun)
{
    const QFont twelve = fontOf(firstFamily(), 12);
    const QFont twentyFour = fontOf(firstFamily(), 24);
    struct Case
    {
        const char* name;
        std::optional<double> kern1, kern2; // the runs' kerns before
        QList<int> clicks;                  // directions
        double expected1, expected2;
    };
    const QList<Case> cases = {
        {"unkerned: one run, stepped by its first font", {}, {}, {1}, 1.0 / 6, 1.0 / 6},
        {"kerned runs step by their own fonts", 0.5, 1.0, {1}, 0.5 + 1.0 / 6, 1.0 + 1.0 / 3},
        {"two down after one up", {}, {}, {1, -1, -1}, -1.0 / 6, -1.0 / 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AttributedString text =
            runs({{QStringLiteral("small"), twelve}, {QStringLiteral("LARGE"), twentyFour}});
        if (c.kern1)
            text.addAttribute(platform::KernAttributeName, *c.kern1, Range(0, 5));
        if (c.kern2)
            text.addAttribute(platform::KernAttributeName, *c.kern2, Range(5, 5));
        canvas->clearSelection();
        auto a = box(text);
        auto* pane = show<HUDTypographyTools>({a}, HUDWindowController::TypographyTools);
        pane->_kernStepper->setValue(0);
        pane->_kernStepperValue = 0;
        double value = 0;
        for (int direction : c.clicks) {
            value += direction;
            pane->_kernStepper->setValue(value);
            pane->typographyToolsAction(pane->_kernStepper);
            EXPECT_EQ(pane->_kernStepperValue, value);
        }
        const AttributedString after = a->contents()->attributedString();
        EXPECT_NEAR(kernAt(after, 0), c.expected1, 1e-9);
        EXPECT_NEAR(kernAt(after, 7), c.expected2, 1e-9);
        EXPECT_EQ(undoName(), undoStrings("Kerning"));

        // The default button takes the kerning away and resets the stepper.
        QTest::mouseClick(pane->_defaultKernButton, Qt::LeftButton);
        EXPECT_FALSE(
            a->contents()->attributedString().attribute(platform::KernAttributeName, 0).isValid());
        EXPECT_EQ(pane->_kernStepper->value(), 0);
        EXPECT_EQ(pane->_kernStepperValue, 0);
        closeStep();
        undo()->undo();
        EXPECT_NEAR(kernAt(a->contents()->attributedString(), 0), c.expected1, 1e-9);
    }
}

TEST_F(TextPaneTest, AnInsertionPointReadsDefaultsAndTakesNoParagraphValue)
{
    ParagraphStyle style;
    style.lineHeightMultiple = 2;
    style.headIndent = 9;
    auto a = box(withStyle(QStringLiteral("Hello"), style));
    auto* pane = show<HUDTypographyTools>({a}, HUDWindowController::TypographyTools);
    EXPECT_EQ(pane->_lineMultipleField->text(), "2");
    canvas->startEditingGraphic(a, nullptr, false);
    platform::TextView* view = a->textEditor();
    ASSERT_TRUE(view);
    palette->addTextView(view);
    view->setSelectedRange(Range(2, 0));
    palette->updateTypographyTools();
    EXPECT_EQ(pane->_lineMultipleField->text(), "1");
    EXPECT_EQ(pane->_indent2Field->text(), "0");

    const AttributedString before = a->contents()->attributedString();
    pane->_indent2Field->setText(QStringLiteral("20"));
    pane->typographyToolsAction(pane->_indent2Field);
    EXPECT_EQ(a->contents()->attributedString(), before);
}

TEST_F(TextPaneTest, UpperCasingLettersWhileEditingKeepsThemSelected)
{
    const QFont font = fontOf(firstFamily(), 12);
    auto a = box(runs({{QStringLiteral("ab"), font}, {QStringLiteral("cde"), font, Qt::red}}));
    auto* pane = show<HUDTypographyTools>({a}, HUDWindowController::TypographyTools);
    canvas->startEditingGraphic(a, nullptr, false);
    platform::TextView* view = a->textEditor();
    ASSERT_TRUE(view);
    palette->addTextView(view);
    view->setSelectedRange(Range(1, 3));
    QTest::mouseClick(pane->_upperCaseButton, Qt::LeftButton);
    EXPECT_EQ(a->contents()->string(), "aBCDe");
    EXPECT_EQ(view->selectedRange(), Range(1, 3));
    EXPECT_EQ(a->contents()
                  ->attributedString()
                  .attribute(platform::ForegroundColorAttributeName, 3)
                  .value<QColor>(),
              QColor(Qt::red));
    EXPECT_EQ(undoName(), undoStrings("Change Case"));
    undo()->undo();
    EXPECT_EQ(a->contents()->string(), "abcde");
}

TEST_F(TextPaneTest, CapitalsStartWordsNotRuns)
{
    const QFont font = fontOf(firstFamily(), 12);
    auto a =
        box(runs({{QStringLiteral("heLLo wo"), font}, {QStringLiteral("RLD"), font, Qt::red}}));
    auto* pane = show<HUDTypographyTools>({a}, HUDWindowController::TypographyTools);
    QTest::mouseClick(pane->_normalCaseButton, Qt::LeftButton);
    EXPECT_EQ(a->contents()->string(), "Hello World");
    EXPECT_EQ(a->contents()
                  ->attributedString()
                  .attribute(platform::ForegroundColorAttributeName, 9)
                  .value<QColor>(),
              QColor(Qt::red));
    EXPECT_EQ(undoName(), undoStrings("Change Case"));
    undo()->undo();
    EXPECT_EQ(a->contents()->string(), "heLLo woRLD");
    EXPECT_EQ(HUDTextTools::convertCase(QStringLiteral("don't STOP"), 0), "Don't Stop");
    EXPECT_EQ(HUDTextTools::convertCase(QStringLiteral("Mixed"), -1), "mixed");
}

TEST_F(TextPaneTest, PerfectBalanceSetsEachBoxAndShowsTheCommonPlace)
{
    auto a = box(AttributedString(QStringLiteral("a")));
    auto b = box(AttributedString(QStringLiteral("b")), QRectF(100, 200, 200, 60));
    auto* pane = show<HUDTypographyTools>({a, b}, HUDWindowController::TypographyTools);
    QTest::mouseClick(pane->_balanceBottomButton, Qt::LeftButton);
    EXPECT_EQ(a->textBlockVerticalAlignment(), 2);
    EXPECT_EQ(b->textBlockVerticalAlignment(), 2);
    EXPECT_EQ(pane->_balanceBottomButton->property("componentImageString").toString(),
              "HUDDividerLeft1|HUDMiddle1|HUDCapRight1|HUDDividerLeftH|HUDMiddleH|HUDCapRightH");
    EXPECT_EQ(undoName(), undoStrings("Perfect Balance"));
    undo()->undo();
    EXPECT_EQ(a->textBlockVerticalAlignment(), 0);
}

TEST_F(TextPaneTest, ArrangeControlsFollowTheSelection)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    auto c = add(QStringLiteral("c"), QRectF(70, 10, 20, 20));
    const auto enabled = [](QWidget* container) {
        return container->findChildren<QAbstractButton*>().first()->isEnabled();
    };
    auto* pane = show<HUDArrangeTools>({a, b, c}, HUDWindowController::ArrangeTools);
    EXPECT_TRUE(enabled(pane->_alignControls));
    EXPECT_TRUE(enabled(pane->_sameSizeControls));
    EXPECT_TRUE(enabled(pane->_distributeControls));
    show<HUDArrangeTools>({a, b}, HUDWindowController::ArrangeTools);
    EXPECT_TRUE(enabled(pane->_alignControls));
    EXPECT_FALSE(enabled(pane->_distributeControls));
    auto barcode = place(std::make_shared<LBBarcodeImage>());
    show<HUDArrangeTools>({a, barcode}, HUDWindowController::ArrangeTools);
    EXPECT_TRUE(enabled(pane->_alignControls));
    EXPECT_FALSE(enabled(pane->_sameSizeControls));

    // One group of three: nothing to arrange against; with one more, alignment only.
    selectOnly({a, b, c});
    canvas->group(nullptr);
    auto d = add(QStringLiteral("d"), QRectF(10, 100, 20, 20));
    show<HUDArrangeTools>({a, b, c}, HUDWindowController::ArrangeTools);
    EXPECT_FALSE(enabled(pane->_alignControls));
    EXPECT_FALSE(enabled(pane->_sameSizeControls));
    EXPECT_FALSE(enabled(pane->_distributeControls));
    show<HUDArrangeTools>({a, b, c, d}, HUDWindowController::ArrangeTools);
    EXPECT_TRUE(enabled(pane->_alignControls));
    EXPECT_FALSE(enabled(pane->_sameSizeControls));
    EXPECT_FALSE(enabled(pane->_distributeControls));
}

TEST_F(TextPaneTest, ArrangeTagsPickTheCanvasCommandByThousands)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(50, 60, 20, 20));
    auto c = add(QStringLiteral("c"), QRectF(200, 200, 20, 20));
    auto* pane = show<HUDArrangeTools>({a, b, c}, HUDWindowController::ArrangeTools);
    QObject control;
    const auto send = [&](qint64 tag) {
        control.setProperty("tag", tag);
        pane->arrangeToolsAction(&control);
        closeStep();
    };
    send(12000);
    EXPECT_EQ(undo()->undoActionName(), undoStrings("Distribute Horizontally"));
    EXPECT_EQ(b->bounds().x(), 105);
    EXPECT_EQ(b->bounds().y(), 60);
    send(13000);
    EXPECT_EQ(undo()->undoActionName(), undoStrings("Distribute Vertically"));
    EXPECT_EQ(b->bounds().y(), 105);
    const int steps = undo()->undoCount();
    send(14000);
    EXPECT_EQ(undo()->undoCount(), steps);
    send(4000);
    EXPECT_EQ(undo()->undoActionName(), undoStrings("Align Left Edges"));
    EXPECT_EQ(c->bounds().x(), 10);
    send(-5); // the first thousand either side of 0: forward
    EXPECT_EQ(undo()->undoActionName(), undoStrings("Bring Forward"));
}

TEST_F(TextPaneTest, MaskScalingShowsValuesAboveTwoAsTwo)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    a->setFillImageScaling(5);
    selectOnly({a});
    palette->selectToolsWithTag(HUDWindowController::ImageMaskTools);
    auto* pane = palette->window()->findChild<HUDImageMaskTools*>();
    ASSERT_TRUE(pane);
    EXPECT_EQ(pane->_maskScalingPopup->selectedItem()->data().toInt(), 2);
    QAction* tiled = pane->_maskScalingPopup->itemMenu()->actions().at(1);
    pane->_maskScalingPopup->itemMenu()->triggered(tiled);
    EXPECT_EQ(a->fillImageScaling(), 1);
}
