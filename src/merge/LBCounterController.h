#pragma once

// The counter sheet: set up a counter field of a text box (start number, increment,
// leading zeros and digit count), window-modal on the document window. Saving rewrites
// the field's dictionary over its run and marks the document changed; a run that is no
// longer that field (the text changed meanwhile) is left alone. Made through the design
// mode's counter-sheet factory.

#include "window/LBEditController.h"

#include <QObject>
#include <QVariantMap>

class LBTextArea;
class QCheckBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;

class LBCounterController : public QObject, public CounterSheet
{
    Q_OBJECT
public:
    LBCounterController();
    ~LBCounterController() override;

    void customizeCounterField(const QVariantMap& rolloverEntry, LBTextArea* inTextObject,
                               QWidget* parentWindow) override;
    // The checkbox's and both buttons' action; any other sender does nothing.
    void counterSheetAction(QObject* sender);

    QDialog* counterWindow() const { return _counterWindow; }
    QLineEdit* startNumberField() const { return _startNumberField; }
    QLineEdit* incrementField() const { return _incrementField; }
    QCheckBox* leadingZerosButton() const { return _leadingZerosButton; }
    QLineEdit* numDigitsField() const { return _numDigitsField; }
    QLabel* numDigitsText() const { return _numDigitsText; }
    QLabel* startNumberText() const { return _startNumberText; }
    QPushButton* cancelCounterButton() const { return _cancelCounterButton; }
    QPushButton* saveCounterButton() const { return _saveCounterButton; }

private:
    void setLabelEnabled(QLabel* label, bool enabled);
    // Enables Save while every field it writes holds a whole number.
    void updateSaveButton();
    void save();
    void close();

    QDialog* _counterWindow = nullptr;
    QLineEdit* _startNumberField = nullptr;
    QLabel* _startNumberText = nullptr;
    QLineEdit* _incrementField = nullptr;
    QLabel* _incrementText = nullptr;
    QCheckBox* _leadingZerosButton = nullptr;
    QLineEdit* _numDigitsField = nullptr;
    QLabel* _numDigitsText = nullptr;
    QPushButton* _cancelCounterButton = nullptr;
    QPushButton* _saveCounterButton = nullptr;
    QVariantMap _counterRolloverDict;
    // The box whose field is set up, while the sheet is open (the sheet is modal on its
    // window, so the box stays).
    LBTextArea* _counterTextObj = nullptr;
};
