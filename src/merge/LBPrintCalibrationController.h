#pragma once

// The printer calibration sheet: per printer, how far its print lands off (horizontal and
// vertical, points; positive moves the print right and down), stored in "Printer
// Calibration Array" as {"printerName", "printerAdjustment": the point string of the
// negated values}. A printer appears once, entries keep their order, an edited entry is
// replaced in place, and a printer with both values 0 and no entry gets none. With no
// printer set up, the sheet says so and takes no values.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QWidget;
class MergeServices;

class LBPrintCalibrationController : public QObject
{
    Q_OBJECT
public:
    // Builds the sheet (not shown) and fills it: the working copy of the array, the
    // system's printers.
    explicit LBPrintCalibrationController(QObject* parent = nullptr);
    ~LBPrintCalibrationController() override;

    // Opens the sheet, window-modal, over the window; its buttons call back `services`.
    void beginSheetForWindowController(MergeServices* services, QWidget* window);
    // The index when within the printers, else 0; then the printer's values are shown.
    void selectPrinterAtIndex(qint64 index);
    qint64 indexOfSelectedPrinter() const;
    // Keeps the shown values for the previous printer and shows the chosen one's.
    void printerPopupAction();
    // Stores the shown values for the selected printer in the working array.
    void saveCurrentAdjustments();
    // Store, write the array, close; then save, or print the test page.
    void saveAction();
    void cancelAction();
    void printAction();

    QDialog* calibrationWindow() const { return _calibrationWindow; }
    QComboBox* printerPopup() const { return _printerPopup; }
    QDoubleSpinBox* horizontalField() const { return _horizontalField; }
    QDoubleSpinBox* verticalField() const { return _verticalField; }
    QPushButton* saveButton() const { return _saveButton; }
    QPushButton* printButton() const { return _printButton; }
    QLabel* noPrinterNote() const { return _noPrinterNote; }
    const QVariantList& calibrationArray() const { return _calibrationArray; }

    static inline const QString CalibrationArrayKey = QStringLiteral("Printer Calibration Array");

private:
    void awakeFromNib();
    void writeArray();
    void close();

    QPointer<QDialog> _calibrationWindow;
    QComboBox* _printerPopup = nullptr;
    QDoubleSpinBox* _horizontalField = nullptr;
    QDoubleSpinBox* _verticalField = nullptr;
    QPushButton* _saveButton = nullptr;
    QPushButton* _printButton = nullptr;
    QLabel* _noPrinterNote = nullptr;
    MergeServices* _windowController = nullptr;
    QVariantList _calibrationArray;
    QString _printerName;
};
