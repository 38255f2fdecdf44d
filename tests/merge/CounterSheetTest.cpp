// The counter sheet: what it shows for a counter field, and what saving writes back.

#include "MergeFieldsSupport.h"

#include "graphics/LBTextArea.h"
#include "merge/LBCounterController.h"
#include "platform/text/AttributedString.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class CounterSheetTest : public MergeFieldsTest
{
protected:
    CounterSheetTest()
    {
        platform::AttributedString text(QStringLiteral("No. "));
        text.appendAttributedString(platform::AttributedString(
            QStringLiteral("Serial Number"),
            {{LBQFieldAttributeName,
              LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Serial Number"))}}));
        text.appendAttributedString(platform::AttributedString(QStringLiteral(" of ")));
        text.appendAttributedString(platform::AttributedString(
            QStringLiteral("Total Count"),
            {{LBQFieldAttributeName,
              LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Total Count"))}}));
        box = std::make_shared<LBTextArea>();
        box->setBoundsNoOtherChanges(QRectF(0, 0, 300, 40));
        box->setContents(text);
        document->undoManager()->disableUndoRegistration();
        document->insertGraphic(box, 0, 0);
        document->undoManager()->enableUndoRegistration();
        document->updateChangeCount(platform::Document::ChangeCleared);
    }
    QVariantMap entry(qsizetype i) { return box->fieldRolloverArray()->at(i); }
    QVariantMap dictionaryAt(qsizetype index)
    {
        return box->contents()->attributedString().attribute(LBQFieldAttributeName, index).toMap();
    }

    std::shared_ptr<LBTextArea> box;
    LBCounterController sheet;
};

TEST_F(CounterSheetTest, ShowsTheFieldAndSavesItsSettings)
{
    sheet.customizeCounterField(entry(0), box.get(), nullptr);
    EXPECT_TRUE(sheet.counterWindow()->isVisible());
    EXPECT_EQ(sheet.startNumberField()->text(), QStringLiteral("1"));
    EXPECT_TRUE(sheet.leadingZerosButton()->isChecked()); // a serial number pads
    EXPECT_TRUE(sheet.numDigitsField()->isEnabled());
    sheet.startNumberField()->setText(QStringLiteral("100"));
    sheet.incrementField()->setText(QStringLiteral("5"));
    sheet.leadingZerosButton()->click();
    EXPECT_FALSE(sheet.numDigitsField()->isEnabled()); // at once, before saving
    sheet.numDigitsField()->setText(QStringLiteral("4"));
    sheet.saveCounterButton()->click();
    EXPECT_FALSE(sheet.counterWindow()->isVisible());
    const QVariantMap saved = dictionaryAt(5);
    EXPECT_EQ(saved.value(QStringLiteral("StartNumber")).toLongLong(), 100);
    EXPECT_EQ(saved.value(QStringLiteral("Increment")).toLongLong(), 5);
    EXPECT_FALSE(saved.value(QStringLiteral("IncludeZeros")).toBool());
    EXPECT_EQ(saved.value(QStringLiteral("NumDigits")).toLongLong(), 4); // kept though off
    EXPECT_EQ(saved.value(QStringLiteral("LBPropertyName")).toString(),
              QStringLiteral("kLBSerialNumberField"));
    EXPECT_EQ(box->contents()->string(), QStringLiteral("No. Serial Number of Total Count"));
    EXPECT_TRUE(document->isDocumentEdited());
}

TEST_F(CounterSheetTest, TheFieldsTakeWholeNumbersAsTheyAreTyped)
{
    sheet.customizeCounterField(entry(0), box.get(), nullptr);
    EXPECT_EQ(sheet.startNumberField()->selectedText(), QStringLiteral("1")); // to type over
    const auto type = [](QLineEdit* field, const char* text) {
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(text));
        return field->text();
    };
    // A letter is refused, not saved as 0; a sign and digits are taken.
    EXPECT_EQ(type(sheet.startNumberField(), "1a2b"), QStringLiteral("12"));
    EXPECT_EQ(type(sheet.incrementField(), "-3"), QStringLiteral("-3"));
    EXPECT_EQ(type(sheet.numDigitsField(), "9"), QStringLiteral("9"));
    EXPECT_TRUE(sheet.saveCounterButton()->isEnabled());
    // A field left with no number, or a digit count beyond 32, cannot be saved until
    // mended.
    EXPECT_EQ(type(sheet.numDigitsField(), "99"), QStringLiteral("99"));
    EXPECT_FALSE(sheet.saveCounterButton()->isEnabled());
    type(sheet.numDigitsField(), "9");
    for (QLineEdit* field : {sheet.startNumberField(), sheet.incrementField()}) {
        const QString before = field->text();
        EXPECT_EQ(type(field, "-"), QStringLiteral("-"));
        EXPECT_FALSE(sheet.saveCounterButton()->isEnabled());
        type(field, before.toLatin1().constData());
        EXPECT_TRUE(sheet.saveCounterButton()->isEnabled());
    }
    sheet.saveCounterButton()->click();
    const QVariantMap saved = dictionaryAt(5);
    EXPECT_EQ(saved.value(QStringLiteral("StartNumber")).toLongLong(), 12);
    EXPECT_EQ(saved.value(QStringLiteral("Increment")).toLongLong(), -3);
    EXPECT_EQ(saved.value(QStringLiteral("NumDigits")).toLongLong(), 9);
}

TEST_F(CounterSheetTest, ATotalCountOnlyChangesItsZeros)
{
    sheet.customizeCounterField(entry(1), box.get(), nullptr);
    EXPECT_FALSE(sheet.startNumberField()->isEnabled());
    EXPECT_FALSE(sheet.startNumberText()->isEnabled());
    EXPECT_FALSE(sheet.leadingZerosButton()->isChecked());
    EXPECT_FALSE(sheet.numDigitsField()->isEnabled());
    sheet.leadingZerosButton()->click();
    sheet.saveCounterButton()->click();
    const QVariantMap saved = dictionaryAt(22);
    EXPECT_FALSE(saved.contains(QStringLiteral("StartNumber")));
    EXPECT_TRUE(saved.value(QStringLiteral("IncludeZeros")).toBool());
}

TEST_F(CounterSheetTest, CancelAndStaleRangesChangeNothing)
{
    const platform::AttributedString before = box->contents()->attributedString();
    sheet.customizeCounterField(entry(0), box.get(), nullptr);
    sheet.startNumberField()->setText(QStringLiteral("7"));
    sheet.cancelCounterButton()->click();
    EXPECT_EQ(box->contents()->attributedString(), before);
    // The text changed while the sheet was open: the range no longer holds the field.
    const QVariantMap stale = entry(0);
    sheet.customizeCounterField(stale, box.get(), nullptr);
    box->setContents(QStringLiteral("short"));
    sheet.saveCounterButton()->click();
    EXPECT_EQ(box->contents()->string(), QStringLiteral("short"));
    QVariantMap outside = stale;
    outside[QStringLiteral("LBFieldRange")] = QStringLiteral("{40, 3}");
    sheet.customizeCounterField(outside, box.get(), nullptr);
    sheet.saveCounterButton()->click();
    EXPECT_TRUE(dictionaryAt(0).isEmpty());
}
