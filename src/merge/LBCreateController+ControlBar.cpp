// The label-sheet control bar at the foot of the preview (repeat count, start label,
// sheet options) and the live-address badges and menu.

#include "merge/LBCreateController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBRenderingView.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/ScrollView.h"
#include "window/LBWindowController.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

using Info = DimensionInfo;

const QString MiscellaneousTable = QStringLiteral("Miscellaneous");
const QString HideLabelGridlinesKey = QStringLiteral("HidePreviewGridlinesInLabels");
const QString HideDiscGridlinesKey = QStringLiteral("HidePreviewGridlinesInDiscLabels");
const QString DisableLiveAddressesKey = QStringLiteral("DisableLiveAddresses");

// Roll label printers, known by their maker rather than by a label type.
constexpr qint64 DymoType = 99;
constexpr qint64 SeikoType = 98;
constexpr qint64 BrotherType = 97;

// Tags of the repeat-count pop-up's items besides the counts 1-5.
constexpr qint64 FullSheetTag = 0;
constexpr qint64 OtherCountTag = 99999;
constexpr qint64 LargestListedCount = 5;

// Tags of the options pull-down's items.
enum OptionTag : qint64 {
    BarcodeAboveTag = 1,
    BarcodeBelowTag = 2,
    BarcodeEnvelopeTag = 3,
    PageNumbersTag = 4,
    TodaysDateTag = 5,
    LabelOutlinesTag = 7,
    DiscOutlinesTag = 8,
    LeftToRightTag = 15,
    TopToBottomTag = 16,
    FIMTagBase = 100, // 101-104: the marks A-D
};
// The document's auxiliary-information bits.
constexpr qint64 PageNumbersBit = 1;
constexpr qint64 TodaysDateBit = 2;

constexpr int SectionSpacing = 6;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString miscellaneous(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), MiscellaneousTable);
}

QString timesTitle(qint64 count)
{
    return miscellaneous("%d times").replace(QStringLiteral("%d"), QString::number(count));
}

// The full-sheet item and the separator after it, at the top.
void insertFullSheetItem(QComboBox* popup)
{
    popup->insertItem(0, LBCreateController::tr("Full Sheet"), FullSheetTag);
    popup->insertSeparator(1);
}

// The repeat-count items that separate groups have no tag.
bool isSeparator(const QComboBox* popup, int index)
{
    return !popup->itemData(index).isValid();
}

// A menu item's title as shown: an ampersand is text, not a keyboard mnemonic.
QString menuTitle(QString title)
{
    return title.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QAction* addOption(QMenu* menu, const QString& title, qint64 tag, bool marked)
{
    QAction* item = menu->addAction(menuTitle(title));
    item->setData(tag);
    item->setCheckable(true);
    item->setChecked(marked);
    return item;
}

QAction* optionWithTag(const QMenu* menu, qint64 tag)
{
    for (QAction* item : menu->actions()) {
        if (!item->isSeparator() && item->data().isValid() && item->data().toLongLong() == tag)
            return item;
    }
    return nullptr;
}

void markOptions(const QMenu* menu, std::initializer_list<qint64> tags, qint64 markedTag)
{
    for (qint64 tag : tags) {
        if (QAction* item = optionWithTag(menu, tag))
            item->setChecked(tag == markedTag);
    }
}

QString layoutTitle(bool outlinesShown)
{
    return miscellaneous(outlinesShown ? "Hide Layout" : "Show Layout");
}

// A section of the bar: its controls side by side, sized to them.
QWidget* makeSection(QWidget* parent, const QString& name, std::initializer_list<QWidget*> controls)
{
    auto* section = new QWidget(parent);
    section->setObjectName(name);
    auto* row = new QHBoxLayout(section);
    row->setContentsMargins(SectionSpacing, 2, SectionSpacing, 2);
    row->setSpacing(4);
    for (QWidget* control : controls) {
        control->setParent(section);
        row->addWidget(control);
    }
    section->adjustSize();
    section->hide();
    return section;
}

// Keeps the sections centred in the bar as the window resizes.
class CentringFilter : public QObject
{
public:
    CentringFilter(QWidget* bar, QWidget* centred) : QObject(bar), _centred(centred)
    {
        bar->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && _centred) {
            const int barWidth = static_cast<QWidget*>(watched)->width();
            _centred->move((barWidth - _centred->width()) / 2, _centred->y());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> _centred;
};

} // namespace

// ==== Controls type and flags ============================================================

qint64 LBCreateController::controlsType(const QVariantMap& layout)
{
    const QString maker = Info::text(layout, Info::paperManufacturer);
    if (maker == QLatin1String("DYMO"))
        return DymoType;
    if (maker == QLatin1String("Seiko"))
        return SeikoType;
    if (maker == QLatin1String("Brother"))
        return BrotherType;
    return Info::integer(layout, Info::labelType);
}

LBCreateController::ControlFlags LBCreateController::controlFlagsForType(qint64 controlsType,
                                                                         bool foundDeliveryAddress,
                                                                         bool foundReturnAddress)
{
    const qint64 t = controlsType;
    ControlFlags flags;
    flags.sheet = t < 5 || (t >= BrotherType && t <= DymoType);
    flags.envelope = t == 5 || t == 6;
    flags.page = t == 7 || t == 8;
    flags.disc = t == 17 || t == 18;
    flags.delivery = foundDeliveryAddress;
    flags.address = foundDeliveryAddress || foundReturnAddress;
    return flags;
}

LBCreateController::ControlFlags LBCreateController::controlFlags() const
{
    return controlFlagsForType(controlsType(layout()),
                               _windowController && _windowController->foundDeliveryAddress(),
                               _windowController && _windowController->foundReturnAddress());
}

qint64 LBCreateController::startLabelForCell(qint64 row, qint64 column, qint64 rows, qint64 columns,
                                             qint64 direction)
{
    if (direction == Info::ColumnByColumn)
        return (column - 1) * rows + row;
    return (row - 1) * columns + column;
}

// ==== Building the sections ==============================================================

void LBCreateController::buildControlBarSections()
{
    _controlsContainer = new QWidget(_buttonBar);
    _controlsContainer->setObjectName(QStringLiteral("ControlsContainer"));
    if (_buttonBar)
        new CentringFilter(_buttonBar, _controlsContainer);
    const int barHeight = _buttonBar ? _buttonBar->height() : 34;

    // Copies: the repeat-count pop-up.
    _repeatCountPopup = new QComboBox;
    _repeatCountPopup->setObjectName(QStringLiteral("RepeatCountPopup"));
    _repeatCountPopup->addItem(tr("1 time"), qint64(1));
    for (qint64 count = 2; count <= LargestListedCount; ++count)
        _repeatCountPopup->addItem(timesTitle(count), count);
    _repeatCountPopup->insertSeparator(_repeatCountPopup->count());
    _repeatCountPopup->addItem(tr("Other..."), OtherCountTag);
    insertFullSheetItem(_repeatCountPopup);
    connect(_repeatCountPopup, &QComboBox::activated, this,
            [this] { numLabelsAction(_repeatCountPopup); });
    _numCopiesView = makeSection(_controlsContainer, QStringLiteral("NumCopiesView"),
                                 {new QLabel(tr("Repeat each label:")), _repeatCountPopup});

    // Start: the row and column of the first label to fill.
    _startRowField = new QLineEdit;
    _startColumnField = new QLineEdit;
    _startRowField->setObjectName(QStringLiteral("StartRowField"));
    _startColumnField->setObjectName(QStringLiteral("StartColumnField"));
    for (QLineEdit* field : {_startRowField, _startColumnField}) {
        field->setValidator(new QIntValidator(0, 9999, field));
        field->setFixedWidth(36);
        field->setAlignment(Qt::AlignRight);
        // Typing applies half a second after the last key; Return at once.
        connect(field, &QLineEdit::textEdited, this,
                [this, field] { controlTextDidChange(field); });
        connect(field, &QLineEdit::returnPressed, this, [this, field] { startLabelAction(field); });
    }
    _startLabelView = makeSection(_controlsContainer, QStringLiteral("StartLabelView"),
                                  {new QLabel(tr("Start at row:")), _startRowField,
                                   new QLabel(tr("column:")), _startColumnField});

    // Options: a pull-down whose title stays; its items are built with the bar.
    _optionsPopup = new QToolButton;
    _optionsPopup->setObjectName(QStringLiteral("OptionsPopup"));
    _optionsPopup->setText(tr("Options"));
    _optionsPopup->setPopupMode(QToolButton::InstantPopup);
    auto* options = new QMenu(_optionsPopup);
    _optionsPopup->setMenu(options);
    connect(options, &QMenu::triggered, this, [this](QAction* item) { optionsAction(item); });
    _optionsView = makeSection(_controlsContainer, QStringLiteral("OptionsView"), {_optionsPopup});

    // Live addresses.
    _liveAddressCheckbox = new QCheckBox(tr("Live Addresses"));
    _liveAddressCheckbox->setObjectName(QStringLiteral("LiveAddressCheckbox"));
    connect(_liveAddressCheckbox, &QCheckBox::clicked, this,
            [this] { liveAddressAction(_liveAddressCheckbox); });
    _liveAddressView =
        makeSection(_controlsContainer, QStringLiteral("LiveAddressView"), {_liveAddressCheckbox});

    for (QWidget* section : {_numCopiesView, _startLabelView, _optionsView, _liveAddressView})
        section->resize(section->width(), barHeight);
    _controlsContainer->resize(0, barHeight);
    // (The other-count sheet is built when it is first shown.)
}

void LBCreateController::buildNumLabelsPanel()
{
    _numLabelsPanel = new QDialog;
    _numLabelsPanel->setObjectName(QStringLiteral("NumLabelsPanel"));
    _numLabelsPanel->setWindowTitle(tr("Repeat Count"));
    auto* column = new QVBoxLayout(_numLabelsPanel);
    column->addWidget(new QLabel(tr("How many times should each label be printed?")));
    _numLabelsPanelField = new QLineEdit;
    _numLabelsPanelField->setObjectName(QStringLiteral("NumLabelsPanelField"));
    _numLabelsPanelField->setValidator(new QIntValidator(0, 99998, _numLabelsPanelField));
    column->addWidget(_numLabelsPanelField);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* cancel = new QPushButton(tr("Cancel"));
    auto* ok = new QPushButton(tr("OK"));
    cancel->setObjectName(QStringLiteral("NumLabelsPanelCancel"));
    ok->setObjectName(QStringLiteral("NumLabelsPanelOK"));
    ok->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] { numLabelsPanelAction(1); });
    connect(cancel, &QPushButton::clicked, this, [this] { numLabelsPanelAction(0); });
    // Escape cancels.
    connect(_numLabelsPanel, &QDialog::rejected, this, [this] { numLabelsPanelAction(0); });
    _topLevelNibObjects.push_back(_numLabelsPanel);
}

QDialog* LBCreateController::numLabelsPanel()
{
    if (!_numLabelsPanel)
        buildNumLabelsPanel();
    return _numLabelsPanel;
}

QLineEdit* LBCreateController::numLabelsPanelField()
{
    numLabelsPanel();
    return _numLabelsPanelField;
}

// ==== Building the bar ===================================================================

void LBCreateController::addQuarnLabelControls(QWidget* container)
{
    if (!container || !_buttonBar)
        return;
    // 1. The bar at the foot of the container, the warning bar under it when it shows.
    if (!_buttonBar->parentWidget())
        _buttonBar->setParent(container);
    _buttonBar->setGeometry(0, container->height() - _buttonBar->height(), container->width(),
                            _buttonBar->height());
    _buttonBar->show();
    showContactListWarningBarIfNecessary(container);

    // 2. No sections without a layout type.
    const qint64 type = controlsType(layout());
    for (QWidget* section : {_numCopiesView, _startLabelView, _optionsView, _liveAddressView})
        section->hide();
    if (type == 0) {
        _controlsContainer->hide();
        return;
    }
    const ControlFlags flags = controlFlags();

    // 3. Sections side by side from the left.
    int x = 0;
    auto place = [&x, this](QWidget* section) {
        section->move(x, 0);
        section->resize(section->sizeHint().width(), _controlsContainer->height());
        section->show();
        x += section->width();
    };
    if (flags.sheet) {
        place(_numCopiesView);
        place(_startLabelView);
    } else if (flags.envelope || flags.page || flags.disc) {
        place(_numCopiesView);
    }

    // 4. The options, built for the flags that hold.
    if (flags.delivery || flags.sheet || flags.disc) {
        place(_optionsView);
        rebuildOptionItems(flags);
    }

    // 5. Live addresses.
    if (flags.address) {
        place(_liveAddressView);
        const bool live = !defaults().boolForKey(DisableLiveAddressesKey);
        _liveAddressCheckbox->setChecked(live);
        if (live)
            showLiveAddressIcons(true);
    }

    // 6. Page numbers and dates print only on label sheets.
    LBDocument* doc = document();
    if (!flags.sheet && doc && doc->drawAuxiliaryInfo() != 0)
        doc->setDrawAuxiliaryInfo(0, false);

    // 7. The sections centred in the bar.
    _controlsContainer->setGeometry((_buttonBar->width() - x) / 2, 0, x,
                                    _controlsContainer->height());
    _controlsContainer->show();

    // 8.
    setupRepeatPopupButton();
}

void LBCreateController::rebuildOptionItems(const ControlFlags& flags)
{
    QMenu* menu = _optionsPopup->menu();
    menu->clear();
    auto& settings = defaults();

    if (flags.disc) {
        _drawLabelOutlinesInRenderingView = !settings.boolForKey(HideDiscGridlinesKey);
        addOption(menu, layoutTitle(_drawLabelOutlinesInRenderingView), DiscOutlinesTag, false)
            ->setCheckable(false);
    } else if (flags.sheet) {
        _drawLabelOutlinesInRenderingView = !settings.boolForKey(HideLabelGridlinesKey);
        addOption(menu, layoutTitle(_drawLabelOutlinesInRenderingView), LabelOutlinesTag, false)
            ->setCheckable(false);
        menu->addSeparator();
    }
    for (LBRenderingView* renderer : renderingViews())
        renderer->setDrawLabelOutlines(_drawLabelOutlinesInRenderingView);

    if (flags.sheet) {
        const bool byColumns =
            Info::integer(layout(), Info::labelDirection) == Info::ColumnByColumn;
        addOption(menu, miscellaneous("Draw Left to Right"), LeftToRightTag, !byColumns);
        addOption(menu, miscellaneous("Draw Top to Bottom"), TopToBottomTag, byColumns);
        menu->addSeparator();
    }

    const LBDocument* doc = document();
    if (flags.delivery) {
        const qint64 barcode = doc ? doc->postnetBarcodeLocation() : 0;
        addOption(menu, miscellaneous("Barcode Above Address"), BarcodeAboveTag,
                  barcode == BarcodeAboveTag);
        addOption(menu, miscellaneous("Barcode Below Address"), BarcodeBelowTag,
                  barcode == BarcodeBelowTag);
        if (flags.envelope)
            addOption(menu, miscellaneous("Barcode Envelope Lower Right"), BarcodeEnvelopeTag,
                      barcode == BarcodeEnvelopeTag);
        menu->addSeparator();
        QAction* heading = menu->addAction(menuTitle(QStringLiteral("ENVELOPES & POSTCARDS")));
        heading->setEnabled(false);
        const qint64 fim = doc ? doc->FIMType() : 0;
        const char* fimTitles[] = {"   FIM-A", "   FIM-B", "   FIM-C", "   FIM-D"};
        for (qint64 i = 1; i <= 4; ++i)
            addOption(menu, QString::fromLatin1(fimTitles[i - 1]), FIMTagBase + i, fim == i);
    }

    if (flags.sheet) {
        if (flags.delivery)
            menu->addSeparator();
        const qint64 bits = doc ? doc->drawAuxiliaryInfo() : 0;
        addOption(menu, miscellaneous("Print Page Numbers"), PageNumbersTag,
                  (bits & PageNumbersBit) != 0);
        addOption(menu, miscellaneous("Print Today's Date"), TodaysDateTag,
                  (bits & TodaysDateBit) != 0);
    }
}

// ==== The repeat count ===================================================================

void LBCreateController::setupRepeatPopupButton()
{
    if (!_repeatCountPopup || !_windowController)
        return;
    const QVariantMap info = layout();
    const qint64 type = controlsType(info);
    const qint64 cells = Info::integer(info, Info::numRows) * Info::integer(info, Info::numColumns);
    qint64 count = _windowController->labelRepeatCount();
    const LBDocument* doc = _windowController->currentDocument();

    const bool singleSheetKind = (type >= 5 && type <= 8) || type == 17 || type == 18
                                 || (type >= BrotherType && type <= DymoType);
    if (singleSheetKind && doc && doc->multipageType() == 0) {
        // No full sheet to fill: the item goes, and the least count is one label.
        const int fullSheet = _repeatCountPopup->findData(FullSheetTag);
        if (fullSheet >= 0) {
            _repeatCountPopup->removeItem(fullSheet);
            if (fullSheet < _repeatCountPopup->count())
                _repeatCountPopup->removeItem(fullSheet);
        }
        count = std::max<qint64>(count, 1);
    } else {
        // Back on a sheet after a single-sheet layout, the full sheet is offered again.
        if (_repeatCountPopup->findData(FullSheetTag) < 0)
            insertFullSheetItem(_repeatCountPopup);
        if (count <= 0 || count == cells) {
            _repeatCountPopup->setCurrentIndex(_repeatCountPopup->findData(FullSheetTag));
            numLabelsAction(_repeatCountPopup);
            return;
        }
    }
    if (count > LargestListedCount)
        insertNumLabelsInRepeatPopup(count);
    else
        _repeatCountPopup->setCurrentIndex(_repeatCountPopup->findData(count));
    numLabelsAction(_repeatCountPopup);
}

void LBCreateController::insertNumLabelsInRepeatPopup(qint64 n)
{
    const int after = _repeatCountPopup->findData(LargestListedCount);
    if (after < 0)
        return;
    const int position = after + 1;
    if (position < _repeatCountPopup->count() && !isSeparator(_repeatCountPopup, position))
        _repeatCountPopup->removeItem(position);
    _repeatCountPopup->insertItem(position, timesTitle(n), n);
    _repeatCountPopup->setCurrentIndex(position);
}

void LBCreateController::numLabelsAction(QComboBox* sender)
{
    if (!sender || !_windowController || sender->currentIndex() < 0)
        return;
    const qint64 tag = sender->currentData().toLongLong();
    qint64 count = tag;
    if (tag == FullSheetTag) {
        const QVariantMap info = layout();
        count = Info::integer(info, Info::numRows) * Info::integer(info, Info::numColumns);
    } else if (tag == OtherCountTag) {
        beginNumLabelsPanel();
        return;
    }
    if (count != _windowController->labelRepeatCount())
        _windowController->setLabelRepeatCount(count);
}

void LBCreateController::beginNumLabelsPanel()
{
    QWidget* window = _windowController ? _windowController->window() : nullptr;
    if (!window && _mainView && _mainView->parentWidget())
        window = _mainView->window();
    QDialog* panel = numLabelsPanel();
    if (window && panel->parentWidget() != window)
        panel->setParent(window, Qt::Sheet);
    panel->setWindowModality(Qt::WindowModal);
    _numLabelsPanelField->setText(QString::number(
        std::max<qint64>(_windowController ? _windowController->labelRepeatCount() : 1, 1)));
    _numLabelsPanelField->selectAll();
    panel->open();
    _numLabelsPanelField->setFocus();
}

void LBCreateController::numLabelsPanelAction(qint64 buttonTag)
{
    // A count past the most a document keeps is that most: its products with the records
    // must not overflow.
    const qint64 value = std::min(numLabelsPanelField()->text().toLongLong(), Info::MaxRepeatCount);
    // Out first: re-selecting the count must not find the sheet still open.
    _numLabelsPanel->hide();
    if (buttonTag != 1 || value < 1) {
        setupRepeatPopupButton();
        return;
    }
    if (value <= LargestListedCount)
        _repeatCountPopup->setCurrentIndex(_repeatCountPopup->findData(value));
    else
        insertNumLabelsInRepeatPopup(value);
    if (_windowController && value != _windowController->labelRepeatCount())
        _windowController->setLabelRepeatCount(value);
}

// ==== The start label ====================================================================

std::pair<qint64, qint64> LBCreateController::clampedStartCell() const
{
    const qint64 row = std::clamp<qint64>(_startRowField->text().toLongLong(), 1, _labelRows);
    const qint64 column =
        std::clamp<qint64>(_startColumnField->text().toLongLong(), 1, _labelColumns);
    return {row, column};
}

void LBCreateController::startLabelAction(QObject* sender)
{
    Q_UNUSED(sender);
    LBDocument* doc = document();
    if (!doc)
        return;
    const QVariantMap info = layout();
    const auto [row, column] = clampedStartCell();
    const qint64 start = startLabelForCell(row, column, _labelRows, _labelColumns,
                                           Info::integer(info, Info::labelDirection));
    if (start != _startLabel) {
        _startLabel = start;
        QVariantMap changed = info;
        changed.insert(Info::startLabel, start);
        doc->setDimensionInfo(changed);
    }
    _startRowField->setText(QString::number(row));
    _startColumnField->setText(QString::number(column));
}

// ==== Options ============================================================================

void LBCreateController::optionsAction(QAction* item)
{
    LBDocument* doc = document();
    if (!item || !doc)
        return;
    QMenu* menu = _optionsPopup->menu();
    const qint64 tag = item->data().toLongLong();
    const bool fim = tag > FIMTagBase && tag <= FIMTagBase + 4;

    if (tag >= BarcodeAboveTag && tag <= BarcodeEnvelopeTag) {
        // The marked position chosen again turns the barcode off.
        const qint64 location = doc->postnetBarcodeLocation() == tag ? 0 : tag;
        doc->setPostnetBarcodeLocation(location);
        doc->updateChangeCount(platform::Document::ChangeDone);
        markOptions(menu, {BarcodeAboveTag, BarcodeBelowTag, BarcodeEnvelopeTag}, location);
    } else if (fim) {
        const qint64 type = doc->FIMType() == tag - FIMTagBase ? 0 : tag - FIMTagBase;
        doc->setFIMType(type);
        doc->updateChangeCount(platform::Document::ChangeDone);
        markOptions(menu, {FIMTagBase + 1, FIMTagBase + 2, FIMTagBase + 3, FIMTagBase + 4},
                    FIMTagBase + type);
    } else if (tag == PageNumbersTag || tag == TodaysDateTag) {
        const qint64 bit = tag == PageNumbersTag ? PageNumbersBit : TodaysDateBit;
        item->setChecked((doc->drawAuxiliaryInfo() & bit) == 0);
    } else if (tag == LabelOutlinesTag || tag == DiscOutlinesTag) {
        const QString key = tag == LabelOutlinesTag ? HideLabelGridlinesKey : HideDiscGridlinesKey;
        const bool hidden = !defaults().boolForKey(key);
        defaults().setBool(hidden, key);
        _drawLabelOutlinesInRenderingView = !hidden;
        item->setText(menuTitle(layoutTitle(_drawLabelOutlinesInRenderingView)));
    } else if (tag == LeftToRightTag || tag == TopToBottomTag) {
        const qint64 direction = tag == TopToBottomTag ? Info::ColumnByColumn : 1;
        const QVariantMap info = layout();
        const qint64 current =
            Info::integer(info, Info::labelDirection) == Info::ColumnByColumn ? 2 : 1;
        if (direction != current) {
            // The same row and column, counted in the new order.
            const auto [row, column] = clampedStartCell();
            _startLabel = startLabelForCell(row, column, _labelRows, _labelColumns, direction);
            QVariantMap changed = info;
            changed.insert(Info::labelDirection, direction);
            changed.insert(Info::startLabel, _startLabel);
            doc->setDimensionInfo(changed);
            _startRowField->setText(QString::number(row));
            _startColumnField->setText(QString::number(column));
        }
        markOptions(menu, {LeftToRightTag, TopToBottomTag},
                    direction == Info::ColumnByColumn ? TopToBottomTag : LeftToRightTag);
    }

    if (tag > BarcodeEnvelopeTag && !fim) {
        const QAction* pageNumbers = optionWithTag(menu, PageNumbersTag);
        const QAction* date = optionWithTag(menu, TodaysDateTag);
        const qint64 bits = (pageNumbers && pageNumbers->isChecked() ? PageNumbersBit : 0)
                            + (date && date->isChecked() ? TodaysDateBit : 0);
        doc->setDrawAuxiliaryInfo(bits, true);
    }
    updateViewWithNewRenderingView(false);
}

// ==== Live addresses =====================================================================

void LBCreateController::liveAddressAction(QCheckBox* checkbox)
{
    const bool live = checkbox && checkbox->isChecked();
    showLiveAddressIcons(live);
    defaults().setBool(!live, DisableLiveAddressesKey);
}

void LBCreateController::showLiveAddressIcons(bool show)
{
    LBDocument* doc = document();
    if (!doc)
        return;
    for (qint64 page = 0; page < doc->numPages(); ++page) {
        const LBDocument::Page* layers = doc->graphicsOnPage(page);
        if (!layers)
            continue;
        for (const LBDocument::Layer& layer : *layers) {
            for (const std::shared_ptr<LBGraphic>& graphic : layer) {
                auto* box = dynamic_cast<LBTextArea*>(graphic.get());
                if (box && box->isTextBox() && box->textBoxType() > LBTextArea::OrdinaryTextBox)
                    box->setDrawAddressPopup(show);
            }
        }
    }
    if (_scrollView && _pageView)
        _pageView->update(_scrollView->documentVisibleRect());
}

void LBCreateController::setLiveAddressCheckboxEnabled(bool enabled)
{
    if (_liveAddressCheckbox)
        _liveAddressCheckbox->setEnabled(enabled);
}

// ==== The address menu ===================================================================

void LBCreateController::displayAddressMenuAtPoint(const QPointF& point)
{
    if (!_pageView)
        return;
    // One menu at a time: a button still waiting to go goes now.
    if (_addressMenuButton) {
        _addressMenuButton->deleteLater();
        _addressMenuButton = nullptr;
    }
    auto* button = new QPushButton(_pageView);
    button->setObjectName(QStringLiteral("AddressMenuButton"));
    button->setFlat(true);
    button->setGeometry(QRectF(point, QSizeF(20, 20)).toRect());
    auto* menu = new QMenu(button);
    const QString table = QStringLiteral("FieldNameStrings");
    qint64 index = 0;
    for (const char* title :
         {"Primary Address", "1st Address", "2nd Address", "Home Address", "Work Address"})
        menu->addAction(menuTitle(platform::LocalizedString(QString::fromLatin1(title), table)))
            ->setData(index++);
    connect(menu, &QMenu::triggered, this,
            [this](QAction* item) { addressMenuAction(item->data().toLongLong()); });
    auto* cell = new LBBlankPopUpButtonCell(button);
    cell->setCreateController(this);
    cell->setMenu(menu);
    _addressMenuButton = button;
    button->show();
    cell->popUp(_pageView->mapToGlobal(point.toPoint()));
}

void LBCreateController::addressMenuAction(qint64 index)
{
    const std::shared_ptr<LBGraphic> graphic = _textBoxForAddressMenu.lock();
    if (auto* box = dynamic_cast<LBTextArea*>(graphic.get()); box && _contactUIDForAddressMenu) {
        box->setAddressIndex(index, *_contactUIDForAddressMenu);
        // Kept with the text box when the document is saved, so the choice is a change.
        if (LBDocument* doc = document())
            doc->updateChangeCount(platform::Document::ChangeDone);
    }
    _contactUIDForAddressMenu.reset();
    refreshRenderingView();
}

void LBCreateController::removeTextPopupButton()
{
    if (!_addressMenuButton)
        return;
    _addressMenuButton->deleteLater();
    _addressMenuButton = nullptr;
    _contactUIDForAddressMenu.reset();
}
