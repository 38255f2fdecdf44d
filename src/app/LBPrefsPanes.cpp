#include "app/LBPrefsPanes.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

void post(const QString& name, const QVariantMap& userInfo = {})
{
    platform::NotificationCenter::defaultCenter().post(name, nullptr, userInfo);
}

QString prefsString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("Preferences"));
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

QComboBox* popUp(QWidget* parent, std::initializer_list<const char*> titles)
{
    auto* box = new QComboBox(parent);
    for (const char* title : titles)
        box->addItem(prefsString(QString::fromUtf8(title)));
    return box;
}

// The whole number a text starts with ("300 dpi" is 300); none for a text without.
std::optional<qint64> typedInteger(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*([-+]?\d+))"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? std::optional(match.captured(1).toLongLong()) : std::nullopt;
}

// The same, 0 for none.
qint64 leadingInteger(const QString& text)
{
    return typedInteger(text).value_or(0);
}

// Points per unit of "Units Type": inches, centimetres, points.
double pointsPerUnit(qint64 units)
{
    return units == 0 ? 72.0 : units == 1 ? 28.3464567 : 1.0;
}

QWidget* paneView(QFormLayout*& form)
{
    auto* view = new QWidget;
    form = new QFormLayout(view);
    form->setLabelAlignment(Qt::AlignRight);
    form->setContentsMargins(20, 16, 20, 16);
    return view;
}

QString dpiText(qint64 dpi)
{
    return QStringLiteral("%1 dpi").arg(dpi);
}

QComboBox* dpiBox(QWidget* parent, std::initializer_list<int> values)
{
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int value : values)
        box->addItem(dpiText(value));
    return box;
}

} // namespace

// ==== General ==============================================================================

qint64 LBGeneralPrefsPane::autoRecoverMinutesForItem(int item)
{
    switch (item) {
    case 7: return 10;
    case 8: return 15;
    case 9: return 30;
    default: return item >= 2 && item <= 6 ? item - 1 : 0;
    }
}

int LBGeneralPrefsPane::autoRecoverItemForMinutes(qint64 minutes)
{
    if (minutes == 0)
        return 0;
    if (minutes >= 1 && minutes <= 9)
        return int(minutes) + 1 <= 6 ? int(minutes) + 1 : 6;
    if (minutes == 10)
        return 7;
    if (minutes == 15)
        return 8;
    if (minutes == 30)
        return 9;
    return 6;
}

QVariantMap LBGeneralPrefsPane::resetDialogsValues()
{
    return {{QStringLiteral("Confirm Delete Text Object"), true},
            {QStringLiteral("Show Group HUD Window"), true},
            {QStringLiteral("Confirm Delete Favorite Collection"), true},
            {QStringLiteral("Confirm Delete Favorite"), true},
            {QStringLiteral("Show Lock Info Sheet"), true},
            {QStringLiteral("LBDisableUnlockInfoSheetKey"), false},
            {QStringLiteral("DisableImportCorbeilConfirmation"), false},
            {QStringLiteral("DisableInsertMenuAlert"), false},
            {QStringLiteral("SkipWelcomeWindow"), false},
            {QStringLiteral("DisableImageResolutionChangeAlert"), false},
            // The other alerts that can be turned off come back too.
            {QStringLiteral("DisableConvertTextToOutlinesAlert"), false},
            {QStringLiteral("DisableSmartTemplateHelp"), false},
            {QStringLiteral("DisableDeleteConfirmation"), false}};
}

QWidget* LBGeneralPrefsPane::loadMainView()
{
    QFormLayout* form = nullptr;
    QWidget* view = paneView(form);
    _unitsPopup = popUp(view, {"Inches", "Centimeters", "Points"});
    form->addRow(prefsString(QStringLiteral("Units:")), _unitsPopup);
    _autoRecoverPopup = popUp(view, {"Off"});
    _autoRecoverPopup->insertSeparator(1);
    for (const char* title : {"1 minute", "2 minutes", "3 minutes", "4 minutes", "5 minutes",
                              "10 minutes", "15 minutes", "30 minutes"})
        _autoRecoverPopup->addItem(prefsString(QString::fromUtf8(title)));
    form->addRow(prefsString(QStringLiteral("Save AutoRecover info every:")), _autoRecoverPopup);
    _deleteBlankLines =
        new QCheckBox(prefsString(QStringLiteral("Remove blank lines from merged text")), view);
    // Across the whole row: in the field column its text was cut at the window's width.
    form->addRow(_deleteBlankLines);
    auto* reset = new QPushButton(prefsString(QStringLiteral("Reset Dialogs")), view);
    form->addRow(prefsString(QStringLiteral("Warnings:")), reset);

    QObject::connect(_unitsPopup, &QComboBox::activated, view,
                     [this](int item) { unitsAction(item); });
    QObject::connect(_autoRecoverPopup, &QComboBox::activated, view,
                     [this](int item) { autoRecoverAction(item); });
    QObject::connect(_deleteBlankLines, &QCheckBox::clicked, view,
                     [this](bool on) { deleteBlankLinesAction(on); });
    QObject::connect(reset, &QPushButton::clicked, view, [this] { resetDialogsAction(); });
    return view;
}

void LBGeneralPrefsPane::mainViewDidLoad()
{
    readDefaults();
}

void LBGeneralPrefsPane::willSelect()
{
    readDefaults();
}

void LBGeneralPrefsPane::readDefaults()
{
    _unitsPopup->setCurrentIndex(int(defaults().integerForKey(QStringLiteral("Units Type"))));
    _autoRecoverPopup->setCurrentIndex(autoRecoverItemForMinutes(
        defaults().integerForKey(QStringLiteral("AutoRecover Save Interval"))));
    _deleteBlankLines->setChecked(defaults().boolForKey(QStringLiteral("Auto Delete Blank Lines")));
}

void LBGeneralPrefsPane::unitsAction(int item)
{
    _unitsPopup->setCurrentIndex(item);
    defaults().setInteger(item, QStringLiteral("Units Type"));
    post(LBUnitsTypeChanged, {{QStringLiteral("unitsType"), item}});
}

void LBGeneralPrefsPane::autoRecoverAction(int item)
{
    _autoRecoverPopup->setCurrentIndex(item);
    defaults().setInteger(autoRecoverMinutesForItem(item),
                          QStringLiteral("AutoRecover Save Interval"));
    post(LBAutoRecoverIntervalChanged);
}

void LBGeneralPrefsPane::deleteBlankLinesAction(bool on)
{
    _deleteBlankLines->setChecked(on);
    defaults().setBool(on, QStringLiteral("Auto Delete Blank Lines"));
}

void LBGeneralPrefsPane::resetDialogsAction()
{
    const QVariantMap values = resetDialogsValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        defaults().setBool(it.value().toBool(), it.key());
    platform::Alert alert;
    alert.style = platform::Alert::Informational;
    alert.messageText = dialogString(
        QStringLiteral("All informational dialogs and warnings have been re-enabled."));
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.beginSheetModalForWindow(mainView() ? mainView()->window() : nullptr);
}

// ==== Appearance ===========================================================================

qint64 LBDisplayPrefsPane::sortFieldForItem(int item)
{
    return item == 0 ? 1 : item == 1 ? 0 : item;
}

int LBDisplayPrefsPane::itemForSortField(qint64 field)
{
    return field == 0 ? 1 : field == 1 ? 0 : int(field);
}

QWidget* LBDisplayPrefsPane::loadMainView()
{
    QFormLayout* form = nullptr;
    QWidget* view = paneView(form);

    auto* order = new QWidget(view);
    auto* orderColumn = new QVBoxLayout(order);
    orderColumn->setContentsMargins(0, 0, 0, 0);
    _firstLast = new QRadioButton(prefsString(QStringLiteral("First Last")), order);
    _lastFirst = new QRadioButton(prefsString(QStringLiteral("Last, First")), order);
    orderColumn->addWidget(_firstLast);
    orderColumn->addWidget(_lastFirst);
    auto* orderGroup = new QButtonGroup(order);
    orderGroup->addButton(_firstLast);
    orderGroup->addButton(_lastFirst);
    form->addRow(prefsString(QStringLiteral("Show contacts:")), order);

    _sortPopup = popUp(view, {"First Name", "Last Name", "Company", "ZIP Code"});
    form->addRow(prefsString(QStringLiteral("Sort contacts by:")), _sortPopup);
    _countryPopup = popUp(view, {"Never", "Always", "Other Countries Only"});
    form->addRow(prefsString(QStringLiteral("Print country:")), _countryPopup);

    auto* grid = new QWidget(view);
    auto* gridRow = new QHBoxLayout(grid);
    gridRow->setContentsMargins(0, 0, 0, 0);
    _gridSpacing = new QLineEdit(grid);
    _gridSpacing->setMaximumWidth(80);
    _gridUnits = new QLabel(grid);
    gridRow->addWidget(_gridSpacing);
    gridRow->addWidget(_gridUnits);
    gridRow->addStretch();
    form->addRow(prefsString(QStringLiteral("Grid spacing:")), grid);
    _guideSpacing = new QLineEdit(view);
    _guideSpacing->setMaximumWidth(80);
    form->addRow(prefsString(QStringLiteral("Grid lines between guides:")), _guideSpacing);

    _gapPopup = new QComboBox(view);
    for (int gap : {0, 5, 10, 20}) {
        _gapPopup->addItem(prefsString(QStringLiteral("%1 pt")).arg(gap));
        _gapPopup->setItemData(_gapPopup->count() - 1, gap); // the item's tag
    }
    form->addRow(prefsString(QStringLiteral("Inspector distance from page:")), _gapPopup);
    _imageQuality = dpiBox(view, {72, 150, 300});
    form->addRow(prefsString(QStringLiteral("Image display quality:")), _imageQuality);

    QObject::connect(_firstLast, &QRadioButton::clicked, view, [this] { nameOrderAction(true); });
    QObject::connect(_lastFirst, &QRadioButton::clicked, view, [this] { nameOrderAction(false); });
    QObject::connect(_sortPopup, &QComboBox::activated, view,
                     [this](int item) { sortFieldAction(item); });
    QObject::connect(_countryPopup, &QComboBox::activated, view,
                     [this](int item) { countryAction(item); });
    QObject::connect(_gridSpacing, &QLineEdit::editingFinished, view,
                     [this] { gridSpacingAction(); });
    QObject::connect(_guideSpacing, &QLineEdit::editingFinished, view,
                     [this] { guideSpacingAction(); });
    QObject::connect(_gapPopup, &QComboBox::activated, view,
                     [this](int item) { inspectorGapAction(item); });
    QObject::connect(_imageQuality, &QComboBox::activated, view, [this] { imageQualityAction(); });
    QObject::connect(_imageQuality->lineEdit(), &QLineEdit::editingFinished, view,
                     [this] { imageQualityAction(); });
    return view;
}

void LBDisplayPrefsPane::mainViewDidLoad()
{
    readDefaults();
}

void LBDisplayPrefsPane::willSelect()
{
    readDefaults();
    showImageQuality();
}

void LBDisplayPrefsPane::readDefaults()
{
    const bool firstNameFirst = defaults().boolForKey(QStringLiteral("Display First Name First"));
    _firstLast->setChecked(firstNameFirst);
    _lastFirst->setChecked(!firstNameFirst);
    _sortPopup->setCurrentIndex(
        itemForSortField(defaults().integerForKey(QStringLiteral("Contact Sort Field"))));
    _countryPopup->setCurrentIndex(int(defaults().integerForKey(QStringLiteral("Print Country"))));
    const qint64 units = defaults().integerForKey(QStringLiteral("Units Type"));
    _gridSpacing->setText(QString::number(
        defaults().doubleForKey(QStringLiteral("Grid Spacing")) / pointsPerUnit(units), 'g', 6));
    _gridUnits->setText(prefsString(units == 0   ? QStringLiteral("inches")
                                    : units == 1 ? QStringLiteral("centimeters")
                                                 : QStringLiteral("points")));
    _guideSpacing->setText(
        QString::number(defaults().integerForKey(QStringLiteral("Grid Guide Spacing"))));
    const int gap = _gapPopup->findData(
        int(defaults().integerForKey(QStringLiteral("Smart Inspector Window Gap"))));
    _gapPopup->setCurrentIndex(gap);
}

void LBDisplayPrefsPane::showImageQuality()
{
    _currentImageQuality = defaults().integerForKey(QStringLiteral("Image Quality"));
    _imageQuality->setEditText(dpiText(_currentImageQuality));
}

void LBDisplayPrefsPane::nameOrderAction(bool firstNameFirst)
{
    _firstLast->setChecked(firstNameFirst);
    _lastFirst->setChecked(!firstNameFirst);
    defaults().setBool(firstNameFirst, QStringLiteral("Display First Name First"));
    post(LBDisplayOrderChanged);
}

void LBDisplayPrefsPane::sortFieldAction(int item)
{
    _sortPopup->setCurrentIndex(item);
    defaults().setInteger(sortFieldForItem(item), QStringLiteral("Contact Sort Field"));
    post(LBSortOrderChanged);
}

void LBDisplayPrefsPane::countryAction(int item)
{
    _countryPopup->setCurrentIndex(item);
    defaults().setInteger(item, QStringLiteral("Print Country"));
    post(LBSortOrderChanged);
}

void LBDisplayPrefsPane::gridSpacingAction()
{
    bool ok = false;
    const double typed = _gridSpacing->text().trimmed().toDouble(&ok);
    if (!ok)
        return;
    const qint64 units = defaults().integerForKey(QStringLiteral("Units Type"));
    defaults().setDouble(typed * pointsPerUnit(units), QStringLiteral("Grid Spacing"));
    post(LBRefreshEditView);
}

void LBDisplayPrefsPane::guideSpacingAction()
{
    defaults().setInteger(leadingInteger(_guideSpacing->text()),
                          QStringLiteral("Grid Guide Spacing"));
    post(LBRefreshEditView);
}

void LBDisplayPrefsPane::inspectorGapAction(int item)
{
    _gapPopup->setCurrentIndex(item);
    defaults().setInteger(_gapPopup->itemData(item).toLongLong(),
                          QStringLiteral("Smart Inspector Window Gap"));
}

void LBDisplayPrefsPane::imageQualityAction()
{
    const qint64 dpi = leadingInteger(_imageQuality->currentText());
    if (dpi >= 10 && dpi <= 2400 && dpi != _currentImageQuality) {
        defaults().setInteger(dpi, QStringLiteral("Image Quality"));
        _currentImageQuality = dpi;
        LBProcessState::setImageDisplayResolution(dpi);
        post(LBImageQualityChanged);
        post(LBUpdateDpiPopup);
        const QString disableKey = QStringLiteral("DisableImageResolutionChangeAlert");
        if (!defaults().boolForKey(disableKey)) {
            platform::Alert alert;
            alert.messageText = dialogString(QStringLiteral("Image Display Quality changed."));
            alert.informativeText = dialogString(QStringLiteral(
                "This setting controls how detailed images appear when zoomed in and how quickly "
                "the software runs.\r\rThe recommended setting is 150 dpi.\r\rPROBLEM: the "
                "software runs slowly.\rSOLUTION: choose a LOWER dpi setting (72 dpi).\r\r"
                "PROBLEM: images appear blurry when zoomed in.\rSOLUTION: choose a HIGHER dpi "
                "setting (150 dpi or 300 dpi). The 300 dpi setting can slow the software "
                "significantly, so use it sparingly.\r\rNote: this setting only affects what you "
                "see on the screen. When you PRINT or EXPORT a page, the Print Quality setting in "
                "the Printing preferences is used. The default Print Quality is 300 dpi."));
            alert.showsSuppressionButton = true;
            alert.buttons = {dialogString(QStringLiteral("OK"))};
            alert.beginSheetModalForWindow(mainView() ? mainView()->window() : nullptr,
                                           [disableKey](const platform::Alert::Response& r) {
                                               if (r.suppressed)
                                                   defaults().setBool(true, disableKey);
                                           });
        }
    }
    _imageQuality->setEditText(dpiText(_currentImageQuality));
}

// ==== Printing =============================================================================

QWidget* LBPrintingPrefsPane::loadMainView()
{
    QFormLayout* form = nullptr;
    QWidget* view = paneView(form);
    _bleedPopup = popUp(view, {"None", "3 pt", "6 pt", "10 pt"});
    form->addRow(prefsString(QStringLiteral("Bleed:")), _bleedPopup);
    _printQuality = dpiBox(view, {150, 300, 600});
    form->addRow(prefsString(QStringLiteral("Print quality:")), _printQuality);
    _cropMarks = new QCheckBox(prefsString(QStringLiteral("Draw crop marks")), view);
    form->addRow(QString(), _cropMarks);
    _labelOutlines = new QCheckBox(prefsString(QStringLiteral("Draw label outlines")), view);
    form->addRow(QString(), _labelOutlines);
    _cropToLabels = new QCheckBox(prefsString(QStringLiteral("Crop to labels")), view);
    form->addRow(QString(), _cropToLabels);

    QObject::connect(_bleedPopup, &QComboBox::activated, view,
                     [this](int item) { bleedAction(item); });
    QObject::connect(_cropMarks, &QCheckBox::clicked, view,
                     [this](bool on) { cropMarksAction(on); });
    QObject::connect(_labelOutlines, &QCheckBox::clicked, view,
                     [this](bool on) { mediaLabelsCheckboxAction(1, on); });
    QObject::connect(_cropToLabels, &QCheckBox::clicked, view,
                     [this](bool on) { mediaLabelsCheckboxAction(2, on); });
    QObject::connect(_printQuality->lineEdit(), &QLineEdit::textEdited, view,
                     [this] { printQualityTextChanged(); });
    QObject::connect(_printQuality->lineEdit(), &QLineEdit::editingFinished, view,
                     [this] { printQualityAction(); });
    QObject::connect(_printQuality, &QComboBox::activated, view, [this] { printQualityAction(); });
    return view;
}

void LBPrintingPrefsPane::mainViewDidLoad()
{
    _bleedPopup->setCurrentIndex(int(defaults().integerForKey(QStringLiteral("Bleed Size"))));
    showPrintQuality(defaults().integerForKey(QStringLiteral("Print Quality")));
}

void LBPrintingPrefsPane::willSelect()
{
    _cropMarks->setChecked(defaults().boolForKey(QStringLiteral("Draw Crop Marks")));
    _labelOutlines->setChecked(defaults().boolForKey(QStringLiteral("Draw Label Outlines")));
    _cropToLabels->setChecked(defaults().boolForKey(QStringLiteral("Crop To Labels")));
    _highResolutionWarningArmed = true;
}

void LBPrintingPrefsPane::showPrintQuality(qint64 dpi)
{
    _shownPrintQuality = dpi;
    _printQuality->setEditText(dpiText(dpi));
}

void LBPrintingPrefsPane::bleedAction(int item)
{
    _bleedPopup->setCurrentIndex(item);
    defaults().setInteger(item, QStringLiteral("Bleed Size"));
    post(LBRefreshRenderingViewNotification);
}

void LBPrintingPrefsPane::cropMarksAction(bool on)
{
    _cropMarks->setChecked(on);
    defaults().setBool(on, QStringLiteral("Draw Crop Marks"));
    post(LBRefreshRenderingViewNotification);
}

void LBPrintingPrefsPane::mediaLabelsCheckboxAction(int tag, bool on)
{
    (tag == 1 ? _labelOutlines : _cropToLabels)->setChecked(on);
    defaults().setBool(on, tag == 1 ? QStringLiteral("Draw Label Outlines")
                                    : QStringLiteral("Crop To Labels"));
}

void LBPrintingPrefsPane::printQualityTextChanged()
{
    qint64 dpi = leadingInteger(_printQuality->currentText());
    if (dpi >= 2401) {
        showPrintQuality(2400);
        platform::beep();
        dpi = 2400;
    }
    // The warning waits for the edit to end: a modal alert coming up on the keystroke that
    // reached 301 would swallow the keys typed after it ("5000" would end as "500").
    _typedSinceEditEnded = true;
    // A value on its way to being typed ("3" of "300") is not stored.
    if (dpi >= 10 && dpi <= 2400)
        defaults().setInteger(dpi, QStringLiteral("Print Quality"));
}

void LBPrintingPrefsPane::printQualityAction()
{
    // A box emptied or mistyped keeps the quality it showed, rather than printing at 10 dpi.
    const std::optional<qint64> typed = typedInteger(_printQuality->currentText());
    const qint64 dpi = typed ? std::clamp<qint64>(*typed, 10, 2400) : _shownPrintQuality;
    if (dpi != typed)
        platform::beep();
    defaults().setInteger(dpi, QStringLiteral("Print Quality"));
    showPrintQuality(dpi);
    const bool typedHere = std::exchange(_typedSinceEditEnded, false);
    if (typedHere && dpi >= 301 && _highResolutionWarningArmed)
        warnOfHighResolution(dpi);
}

void LBPrintingPrefsPane::warnOfHighResolution(qint64 dpi)
{
    _highResolutionWarningArmed = false;
    platform::Alert alert;
    alert.messageText = dialogString(QStringLiteral("The entered value (%d dpi) is higher than the "
                                                    "recommended maximum (300 dpi)."))
                            .replace(QStringLiteral("%d"), QString::number(dpi));
    alert.informativeText = dialogString(QStringLiteral(
        "The Print Quality setting controls the number of dots per inch (dpi) for a printed "
        "page. If the print quality is too LOW, photos will appear blurry. If the print "
        "quality is too HIGH, your computer may run out of memory or disk space when "
        "printing. When this happens, parts of your page may not be printed.\r\rThe "
        "recommended setting for high quality printouts is 300 dpi. Most printing services "
        "do NOT print higher than 300 dpi, so choosing a higher setting generally isn't "
        "useful and can actually cause problems if your computer runs out of memory. Plus, "
        "choosing a setting higher than 300 dpi can DRAMATICALLY increase the time it takes "
        "to print a page."));
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.runModal();
}
