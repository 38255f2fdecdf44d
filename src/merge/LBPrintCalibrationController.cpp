#include "merge/LBPrintCalibrationController.h"

#include "merge/LBSheet.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Printers.h"
#include "window/MergeServices.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kPrinterName = QStringLiteral("printerName");
const QString kPrinterAdjustment = QStringLiteral("printerAdjustment");

QDoubleSpinBox* offsetField()
{
    auto* field = new QDoubleSpinBox;
    field->setRange(-144.0, 144.0);
    field->setDecimals(1);
    field->setSingleStep(0.5);
    field->setSuffix(QStringLiteral(" pt"));
    return field;
}

} // namespace

LBPrintCalibrationController::LBPrintCalibrationController(QObject* parent) : QObject(parent)
{
    _calibrationWindow = new QDialog;
    _calibrationWindow->setWindowTitle(tr("Printer Calibration"));
    _printerPopup = new QComboBox;
    _horizontalField = offsetField();
    _verticalField = offsetField();
    auto* form = new QFormLayout;
    form->addRow(tr("Printer:"), _printerPopup);
    form->addRow(tr("Horizontal:"), _horizontalField);
    form->addRow(tr("Vertical:"), _verticalField);
    _noPrinterNote = new QLabel(tr("No printer is set up. Add one in the system's printer "
                                   "settings to calibrate it."));
    _noPrinterNote->setWordWrap(true);
    auto* buttons = new QDialogButtonBox;
    _printButton = buttons->addButton(tr("Print Test Page"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    _saveButton = buttons->addButton(QDialogButtonBox::Save);
    auto* layout = new QVBoxLayout(_calibrationWindow);
    layout->addWidget(_noPrinterNote);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(_printerPopup, &QComboBox::activated, this, [this] { printerPopupAction(); });
    connect(_printButton, &QPushButton::clicked, this, [this] { printAction(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { saveAction(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { cancelAction(); });
    awakeFromNib();
}

LBPrintCalibrationController::~LBPrintCalibrationController()
{
    delete _calibrationWindow;
}

void LBPrintCalibrationController::awakeFromNib()
{
    _calibrationArray =
        platform::UserDefaults::standardUserDefaults().arrayForKey(CalibrationArrayKey);
    for (const platform::Printers::Printer& printer : platform::Printers::printers())
        _printerPopup->addItem(printer.name);
    // Offsets belong to a printer: with none, values typed would be stored for no one.
    const bool anyPrinter = _printerPopup->count() > 0;
    for (QWidget* control : std::initializer_list<QWidget*>{
             _printerPopup, _horizontalField, _verticalField, _saveButton, _printButton})
        control->setEnabled(anyPrinter);
    _noPrinterNote->setVisible(!anyPrinter);
}

void LBPrintCalibrationController::beginSheetForWindowController(MergeServices* services,
                                                                 QWidget* window)
{
    _windowController = services;
    LBBeginSheet(_calibrationWindow, window);
}

void LBPrintCalibrationController::selectPrinterAtIndex(qint64 index)
{
    if (index < 0 || index >= _printerPopup->count())
        index = 0;
    _printerPopup->setCurrentIndex(int(index));
    printerPopupAction();
}

qint64 LBPrintCalibrationController::indexOfSelectedPrinter() const
{
    return _printerPopup->currentIndex();
}

void LBPrintCalibrationController::printerPopupAction()
{
    saveCurrentAdjustments();
    _printerName = _printerPopup->currentText();
    QPointF offset;
    for (const QVariant& entry : std::as_const(_calibrationArray)) {
        const QVariantMap map = entry.toMap();
        if (map.value(kPrinterName).toString() == _printerName) {
            offset = platform::pointFromString(map.value(kPrinterAdjustment).toString());
            break;
        }
    }
    _horizontalField->setValue(-offset.x() + 0.0);
    _verticalField->setValue(-offset.y() + 0.0);
}

void LBPrintCalibrationController::saveCurrentAdjustments()
{
    if (_printerName.isEmpty())
        return;
    const double h = _horizontalField->value();
    const double v = _verticalField->value();
    const QVariantMap entry{
        {kPrinterName, _printerName},
        {kPrinterAdjustment, platform::stringFromPoint(QPointF(-h + 0.0, -v + 0.0))}};
    for (QVariant& existing : _calibrationArray) {
        if (existing.toMap().value(kPrinterName).toString() == _printerName) {
            existing = entry;
            return;
        }
    }
    if (h != 0.0 || v != 0.0)
        _calibrationArray.append(entry);
}

void LBPrintCalibrationController::writeArray()
{
    platform::UserDefaults::standardUserDefaults().setObject(_calibrationArray,
                                                             CalibrationArrayKey);
}

void LBPrintCalibrationController::close()
{
    if (_calibrationWindow)
        _calibrationWindow->hide();
}

void LBPrintCalibrationController::saveAction()
{
    saveCurrentAdjustments();
    writeArray();
    close();
    if (_windowController)
        _windowController->savePrinterCalibration();
}

void LBPrintCalibrationController::cancelAction()
{
    close();
    if (_windowController)
        _windowController->cancelPrinterCalibration();
}

void LBPrintCalibrationController::printAction()
{
    saveCurrentAdjustments();
    writeArray();
    close();
    if (_windowController)
        _windowController->printCalibrationSheet(indexOfSelectedPrinter());
}
