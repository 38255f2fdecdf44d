#include "merge/LBExportPanel.h"

#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/DocumentFileDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>

#include <algorithm>

namespace {

constexpr qint64 kMinimumResolution = 10;
constexpr qint64 kMaximumResolution = 2400;

QString dpiText(qint64 dpi)
{
    return QStringLiteral("%1 dpi").arg(dpi);
}

QStringList typesForFormat(int format)
{
    switch (format) {
    case LBExportPanel::TIFF: return {QStringLiteral("tif"), QStringLiteral("tiff")};
    case LBExportPanel::JPEG: return {QStringLiteral("jpg"), QStringLiteral("jpeg")};
    case LBExportPanel::PNG: return {QStringLiteral("png")};
    default: return {QStringLiteral("pdf")};
    }
}

} // namespace

LBExportPanel::LBExportPanel(bool fullSheetOnly, QWidget* parent, const QString& folder)
    : QFileDialog(parent)
{
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // Named after the command that opened it, not the save panel it is made from.
    setWindowTitle(tr("Export"));
    setLabelText(QFileDialog::Accept, tr("Export"));

    auto* accessory = new QWidget;
    auto* grid = new QGridLayout(accessory);
    _sizeView = new QWidget;
    auto* sizeLayout = new QHBoxLayout(_sizeView);
    sizeLayout->setContentsMargins(0, 0, 0, 0);
    _sizeMatrix = new QButtonGroup(this);
    auto* oneLabel = new QRadioButton(tr("One Label"));
    auto* wholeSheet = new QRadioButton(tr("Full Sheet"));
    _sizeMatrix->addButton(oneLabel, 0);
    _sizeMatrix->addButton(wholeSheet, 1);
    sizeLayout->addWidget(oneLabel);
    sizeLayout->addWidget(wholeSheet);
    (fullSheetOnly ? wholeSheet : oneLabel)->setChecked(true);
    _sizeView->setVisible(!fullSheetOnly);

    _formatPopup = new QComboBox;
    _formatPopup->addItems({QStringLiteral("PDF"), QStringLiteral("TIFF"), QStringLiteral("JPEG"),
                            QStringLiteral("PNG")});
    _resolutionBox = new QComboBox;
    _resolutionBox->setEditable(true);
    for (qint64 dpi : {72, 150, 300, 600})
        _resolutionBox->addItem(dpiText(dpi));
    _shownResolution = std::clamp(platform::UserDefaults::standardUserDefaults().integerForKey(
                                      QStringLiteral("Print Quality")),
                                  kMinimumResolution, kMaximumResolution);
    _resolutionBox->setEditText(dpiText(_shownResolution));
    _compressionPopup = new QComboBox;
    _compressionPopup->addItems({QStringLiteral("LZW"), QStringLiteral("PackBits"), tr("None")});
    _qualitySlider = new QSlider(Qt::Horizontal);
    _qualitySlider->setRange(0, 100);
    _qualitySlider->setValue(80);
    _compressionLabel = new QLabel;
    _resolutionLabel = new QLabel(tr("Resolution:"));

    grid->addWidget(_sizeView, 0, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Format:")), 1, 0);
    grid->addWidget(_formatPopup, 1, 1);
    grid->addWidget(_resolutionLabel, 2, 0);
    grid->addWidget(_resolutionBox, 2, 1);
    grid->addWidget(_compressionLabel, 3, 0);
    grid->addWidget(_compressionPopup, 3, 1);
    grid->addWidget(_qualitySlider, 3, 2);
    accessory->setFixedHeight(fullSheetOnly ? 82 : 109);
    // The options go below the panel's own controls.
    if (auto* layout = qobject_cast<QGridLayout*>(this->layout()))
        layout->addWidget(accessory, layout->rowCount(), 0, 1, layout->columnCount());

    platform::openInUsersFolder(this, folder);
    platform::keepOutOfDocuments(this);
    selectFile(
        platform::LocalizedString(QStringLiteral("My Project"), QStringLiteral("Miscellaneous")));
    connect(_formatPopup, &QComboBox::activated, this,
            [this] { exportPanelAccessoryAction(_formatPopup); });
    connect(_resolutionBox, &QComboBox::activated, this,
            [this] { exportPanelAccessoryAction(_resolutionBox); });
    connect(_resolutionBox->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { exportPanelAccessoryAction(_resolutionBox); });
    connect(_resolutionBox, &QComboBox::editTextChanged, this, [this] { controlTextDidChange(); });
    exportPanelAccessoryAction(_formatPopup);
}

std::optional<qint64> LBExportPanel::resolutionFromText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? std::optional(match.captured(1).toLongLong()) : std::nullopt;
}

void LBExportPanel::exportPanelAccessoryAction(QObject* sender)
{
    const int format = _formatPopup->currentIndex();
    const QStringList types = typesForFormat(format);
    setNameFilter(QStringLiteral("%1 (*.%2)")
                      .arg(_formatPopup->currentText(), types.join(QStringLiteral(" *."))));
    setDefaultSuffix(types.first());
    _qualitySlider->setVisible(format == JPEG);
    _compressionPopup->setVisible(format == TIFF);
    _compressionLabel->setVisible(format == TIFF || format == JPEG);
    _compressionLabel->setText(platform::LocalizedString(
        format == TIFF ? QStringLiteral("Compression:") : QStringLiteral("Quality:"),
        QStringLiteral("Export Panel")));
    _resolutionBox->setVisible(format != PDF);
    _resolutionLabel->setVisible(format != PDF);
    if (sender == _resolutionBox) {
        const qint64 clamped = resolution();
        if (clamped != resolutionFromText(_resolutionBox->currentText()))
            platform::beep(); // clamped, or no number at all
        _shownResolution = clamped;
        _rewriting = true;
        _resolutionBox->setEditText(dpiText(clamped));
        _rewriting = false;
    }
}

void LBExportPanel::controlTextDidChange()
{
    if (_rewriting)
        return;
    const qint64 value = resolutionFromText(_resolutionBox->currentText()).value_or(0);
    if (value > kMaximumResolution) {
        _rewriting = true;
        _resolutionBox->setEditText(dpiText(kMaximumResolution));
        _rewriting = false;
        return;
    }
    if (value > 300 && _warnsAboutResolution) {
        _warnsAboutResolution = false;
        platform::Alert alert;
        alert.messageText =
            platform::LocalizedString(QStringLiteral("The entered value (%d dpi) is higher than "
                                                     "the recommended maximum (300 dpi)."),
                                      QStringLiteral("DialogStrings"))
                .replace(QStringLiteral("%d"), QString::number(value));
        alert.informativeText = platform::LocalizedString(
            QStringLiteral("The resolution setting specifies the number of dots per inch (dpi) "
                           "in the exported image."),
            QStringLiteral("DialogStrings"));
        alert.buttons = {
            platform::LocalizedString(QStringLiteral("OK"), QStringLiteral("DialogStrings"))};
        alert.beginSheetModalForWindow(this);
    }
}

qint64 LBExportPanel::formatType() const
{
    return _formatPopup->currentIndex();
}

bool LBExportPanel::fullSheet() const
{
    return _sizeMatrix->checkedId() == 1;
}

qint64 LBExportPanel::resolution() const
{
    // A box emptied or mistyped stands for the resolution it showed, not for 10 dpi.
    const std::optional<qint64> typed = resolutionFromText(_resolutionBox->currentText());
    return typed ? std::clamp(*typed, kMinimumResolution, kMaximumResolution) : _shownResolution;
}

qint64 LBExportPanel::tiffCompression() const
{
    switch (_compressionPopup->currentIndex()) {
    case 1: return 32773;
    case 2: return 1;
    default: return 5;
    }
}

double LBExportPanel::jpgQuality() const
{
    return formatType() == JPEG ? _qualitySlider->value() / 100.0 : 1.0;
}
