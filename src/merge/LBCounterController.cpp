#include "merge/LBCounterController.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "merge/LBMergeServices.h"
#include "platform/core/Range.h"
#include "platform/core/Strings.h"
#include "platform/text/AttributedString.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString counterString(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("DialogStrings"));
}

// "Non-numeric text reads as 0", as the platform's integer value of a text does.
qint64 integerValue(const QLineEdit* field)
{
    const QString text = field->text().trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text.at(0) == QLatin1Char('-') || text.at(0) == QLatin1Char('+')))
        ++end;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    return text.left(end).toLongLong();
}

} // namespace

LBCounterController::LBCounterController()
{
    // The interface "Counter".
    _counterWindow = new QDialog;
    _counterWindow->setObjectName(QStringLiteral("Counter"));
    _counterWindow->setWindowTitle(counterString("Counter"));
    auto* grid = new QGridLayout;
    _startNumberText = new QLabel(counterString("Start number:"));
    _startNumberField = new QLineEdit;
    _incrementText = new QLabel(counterString("Increment:"));
    _incrementField = new QLineEdit;
    _leadingZerosButton = new QCheckBox(counterString("Include leading zeros"));
    _numDigitsText = new QLabel(counterString("Number of digits:"));
    _numDigitsField = new QLineEdit;
    // The fields take whole numbers only, as they are typed: a letter would otherwise save
    // as 0. The digit count stays within what a counter's number can hold.
    _startNumberField->setValidator(new QIntValidator(_startNumberField));
    _incrementField->setValidator(new QIntValidator(_incrementField));
    _numDigitsField->setValidator(
        new QIntValidator(0, int(LBMergeServices::maximumCounterDigits), _numDigitsField));
    for (QLineEdit* field : {_startNumberField, _incrementField, _numDigitsField})
        connect(field, &QLineEdit::textChanged, this, [this] { updateSaveButton(); });
    grid->addWidget(_startNumberText, 0, 0);
    grid->addWidget(_startNumberField, 0, 1);
    grid->addWidget(_incrementText, 1, 0);
    grid->addWidget(_incrementField, 1, 1);
    grid->addWidget(_leadingZerosButton, 2, 0, 1, 2);
    grid->addWidget(_numDigitsText, 3, 0);
    grid->addWidget(_numDigitsField, 3, 1);
    _cancelCounterButton = new QPushButton(counterString("Cancel"));
    _saveCounterButton = new QPushButton(counterString("Save"));
    _saveCounterButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(_cancelCounterButton);
    buttons->addWidget(_saveCounterButton);
    auto* layout = new QVBoxLayout(_counterWindow);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    for (QObject* sender :
         {static_cast<QObject*>(_leadingZerosButton), static_cast<QObject*>(_cancelCounterButton),
          static_cast<QObject*>(_saveCounterButton)})
        connect(qobject_cast<QAbstractButton*>(sender), &QAbstractButton::clicked, this,
                [this, sender] { counterSheetAction(sender); });
    connect(_counterWindow, &QDialog::rejected, this, [this] {
        if (_counterTextObj)
            close();
    });
}

LBCounterController::~LBCounterController()
{
    delete _counterWindow;
}

void LBCounterController::setLabelEnabled(QLabel* label, bool enabled)
{
    label->setEnabled(enabled);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText,
                     enabled ? QColor(Qt::black)
                             : palette.color(QPalette::Disabled, QPalette::WindowText));
    label->setPalette(palette);
}

void LBCounterController::customizeCounterField(const QVariantMap& rolloverEntry,
                                                LBTextArea* inTextObject, QWidget* parentWindow)
{
    if (!inTextObject)
        return;
    _counterRolloverDict = rolloverEntry;
    _counterTextObj = inTextObject;
    const QVariantMap d = rolloverEntry.value(QStringLiteral("LBFieldDictionary")).toMap();
    const bool zeros = d.value(QStringLiteral("IncludeZeros")).toLongLong() != 0
                       || d.value(QStringLiteral("IncludeZeros")).toBool();
    _leadingZerosButton->setChecked(zeros);
    _numDigitsField->setText(QString::number(d.value(QStringLiteral("NumDigits")).toLongLong()));
    _numDigitsField->setEnabled(zeros);
    setLabelEnabled(_numDigitsText, zeros);
    const bool hasStart = d.contains(QStringLiteral("StartNumber"));
    _startNumberField->setEnabled(hasStart);
    _incrementField->setEnabled(hasStart);
    setLabelEnabled(_startNumberText, hasStart);
    setLabelEnabled(_incrementText, hasStart);
    _startNumberField->setText(
        hasStart ? QString::number(d.value(QStringLiteral("StartNumber")).toLongLong())
                 : QString());
    _incrementField->setText(
        hasStart ? QString::number(d.value(QStringLiteral("Increment")).toLongLong()) : QString());
    updateSaveButton();
    _counterWindow->setParent(parentWindow, Qt::Sheet | Qt::Dialog);
    _counterWindow->setWindowModality(parentWindow ? Qt::WindowModal : Qt::ApplicationModal);
    _counterWindow->open();
    // The first field the sheet can edit takes the keys, ready to type over.
    QLineEdit* first = hasStart ? _startNumberField : zeros ? _numDigitsField : nullptr;
    if (first) {
        first->setFocus();
        first->selectAll();
    }
}

void LBCounterController::counterSheetAction(QObject* sender)
{
    if (sender == _leadingZerosButton) {
        const bool on = _leadingZerosButton->isChecked();
        _numDigitsField->setEnabled(on);
        setLabelEnabled(_numDigitsText, on);
        updateSaveButton();
    } else if (sender == _saveCounterButton && !_saveCounterButton->isEnabled()) {
        return;
    } else if (sender == _saveCounterButton) {
        save();
        close();
    } else if (sender == _cancelCounterButton) {
        close();
    }
}

void LBCounterController::updateSaveButton()
{
    // Save waits for a number in each field it writes (an emptied field, or a lone sign).
    bool complete = true;
    for (const QLineEdit* field : {_startNumberField, _incrementField, _numDigitsField})
        complete = complete && (!field->isEnabled() || field->hasAcceptableInput());
    _saveCounterButton->setEnabled(complete);
}

void LBCounterController::save()
{
    if (!_counterTextObj || !_counterTextObj->contents())
        return;
    const QVariantMap d = _counterRolloverDict.value(QStringLiteral("LBFieldDictionary")).toMap();
    const platform::Range r = platform::rangeFromString(
        _counterRolloverDict.value(QStringLiteral("LBFieldRange")).toString());
    platform::TextStorage& storage = *_counterTextObj->contents();
    // The run must still be that field: inside the text and carrying the same dictionary.
    if (r.length <= 0 || r.location < 0 || r.location + r.length > storage.length())
        return;
    platform::Range run;
    const QVariant current =
        storage.attributedString().attribute(LBQFieldAttributeName, r.location, &run);
    if (current.toMap() != d || run.location > r.location
        || run.location + run.length < r.location + r.length)
        return;
    QVariantMap n = d;
    if (_startNumberField->isEnabled()) {
        n.insert(QStringLiteral("StartNumber"), integerValue(_startNumberField));
        n.insert(QStringLiteral("Increment"), integerValue(_incrementField));
    }
    n.insert(QStringLiteral("IncludeZeros"), _leadingZerosButton->isChecked());
    n.insert(QStringLiteral("NumDigits"), integerValue(_numDigitsField));
    storage.removeAttribute(LBQFieldAttributeName, r);
    storage.addAttribute(LBQFieldAttributeName, n, r);
    _counterTextObj->resetFieldRolloverArray();
    if (auto* doc = dynamic_cast<LBDocument*>(_counterTextObj->document()))
        doc->updateChangeCount(platform::Document::ChangeDone);
}

void LBCounterController::close()
{
    _counterRolloverDict.clear();
    _counterTextObj = nullptr;
    _counterWindow->hide();
}
