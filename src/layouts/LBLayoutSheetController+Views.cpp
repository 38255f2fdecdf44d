// The chooser's widgets ("LayoutSheetL", built in code): one page a step, each showing the
// controller's state and passing the user's actions back. Nothing is decided here.

#include "layouts/LBLayoutSheetController.h"

#include "controls/LBImageButton.h"
#include "layouts/LBLayoutItem.h"
#include "layouts/LBPaperSizeController.h"
#include "layouts/LBTemplateObject.h"
#include "platform/drawing/Image.h"

#include <QAbstractTableModel>
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

using Controller = LBLayoutSheetController;

// The sheet table's rows.
class PaperStyleModel : public QAbstractTableModel
{
public:
    explicit PaperStyleModel(Controller& controller) : _controller(controller) {}
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(_controller.numberOfRows());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : 1;
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return _controller.rowText(index.row());
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (_controller.shouldSelectRow(index.row()))
            flags |= Qt::ItemIsSelectable;
        return flags;
    }
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    Controller& _controller;
};

// The template browser's items: each template's picture (made when its cell is first
// drawn) under its title, in cells of the chooser's template cell size.
class TemplateModel : public QAbstractListModel
{
public:
    explicit TemplateModel(Controller& controller) : _controller(controller) {}
    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(_shown.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= _shown.size())
            return {};
        LBTemplateObject& item = *_shown.at(index.row());
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return item.imageTitle();
        if (role == Qt::DecorationRole)
            return miniature(item);
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    // Shows the chooser's current templates, unless they are the ones shown.
    void reload()
    {
        if (_shown == _controller.templates())
            return;
        beginResetModel();
        _shown = _controller.templates();
        _pictures.clear();
        endResetModel();
    }

private:
    QPixmap miniature(LBTemplateObject& item) const
    {
        const auto cached = _pictures.constFind(&item);
        if (cached != _pictures.cend())
            return *cached;
        const int edge = int(Controller::templateCellSize());
        QPixmap picture(edge, edge);
        picture.fill(Qt::transparent);
        const QSizeF paper = item.blankPaperSize();
        if (paper.width() > 0) {
            QPainter painter(&picture);
            const QRectF page((edge - paper.width()) / 2, (edge - paper.height()) / 2,
                              paper.width(), paper.height());
            painter.fillRect(page.translated(2, 2), QColor(0, 0, 0, 90));
            painter.fillRect(page, Qt::white);
            painter.setPen(QColor(120, 120, 120));
            painter.drawRect(page);
        } else if (const std::shared_ptr<platform::Image> image = item.imageRepresentation()) {
            const QImage bitmap = image->forcedBitmapImageRep();
            if (bitmap.isNull())
                return picture; // not readable yet: tried again at the next paint
            QPainter painter(&picture);
            const QImage fitted =
                bitmap.scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            painter.drawImage(
                QPointF((edge - fitted.width()) / 2.0, (edge - fitted.height()) / 2.0), fitted);
        } else {
            return picture;
        }
        _pictures.insert(&item, picture);
        return picture;
    }

    Controller& _controller;
    QList<std::shared_ptr<LBTemplateObject>> _shown;
    mutable QHash<const LBTemplateObject*, QPixmap> _pictures;
};

// A project button: its picture under its title, a second picture while pressed, the
// title white while pressed.
LBImageButton* makeProjectButton(const QString& title, QWidget* parent)
{
    auto* button = new LBImageButton(parent);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    button->setTitle(title);
    button->setComponentImageString(QStringLiteral("Project0|Project1"));
    button->setAlternateTitleColor(Qt::white);
    button->setFixedSize(120, 120);
    return button;
}

void fillPopUp(QComboBox* box, const Controller::PopUp& popUp)
{
    box->clear();
    for (const QString& item : popUp.items) {
        if (item == QLatin1String("-"))
            box->insertSeparator(box->count());
        else
            box->addItem(item);
    }
    box->setCurrentIndex(int(popUp.selected));
}

QPushButton* button(const QString& title, QWidget* parent)
{
    return new QPushButton(title, parent);
}

} // namespace

// The widgets of one chooser; owned by its dialog.
// The outline of design folders: the chooser's root rows ("All", "Blank" and the found
// folders), and below each folder its sub-folders, read when first shown.
class DesignFolderModel : public QAbstractItemModel
{
public:
    explicit DesignFolderModel(Controller& controller) : _controller(controller) {}

    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        if (column != 0 || row < 0)
            return QModelIndex();
        if (!parent.isValid()) {
            if (row >= _controller.outlineRootRowCount())
                return QModelIndex();
            return createIndex(row, 0, _controller.outlineRootItem(row));
        }
        auto* item = static_cast<LBLayoutItem*>(parent.internalPointer());
        if (!item || row >= item->numberOfChildren())
            return QModelIndex();
        return createIndex(row, 0, item->childAtIndex(row));
    }
    QModelIndex parent(const QModelIndex& child) const override
    {
        auto* item =
            child.isValid() ? static_cast<LBLayoutItem*>(child.internalPointer()) : nullptr;
        LBLayoutItem* parentItem = item ? item->parent() : nullptr;
        if (!parentItem)
            return QModelIndex();
        if (LBLayoutItem* grandparent = parentItem->parent())
            return createIndex(int(grandparent->children().indexOf(parentItem)), 0, parentItem);
        return createIndex(int(rootRowOf(parentItem)), 0, parentItem);
    }
    int rowCount(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return int(_controller.outlineRootRowCount());
        auto* item = static_cast<LBLayoutItem*>(parent.internalPointer());
        return item ? int(std::max<qint64>(item->numberOfChildren(), 0)) : 0;
    }
    int columnCount(const QModelIndex&) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || role != Qt::DisplayRole)
            return QVariant();
        auto* item = static_cast<LBLayoutItem*>(index.internalPointer());
        if (item)
            return Controller::outlineTitle(*item);
        return _controller.outlineRootTitle(index.row());
    }
    // The root row a folder lies under, -1 for none.
    qint64 rootRowOf(LBLayoutItem* item) const
    {
        while (item && item->parent())
            item = item->parent();
        for (qint64 row = 0; row < _controller.outlineRootRowCount(); ++row) {
            if (_controller.outlineRootItem(row) == item)
                return row;
        }
        return -1;
    }
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    Controller& _controller;
};

class LayoutSheetViews : public QObject
{
public:
    LayoutSheetViews(Controller& controller, QDialog& dialog);
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The row of buttons under a step: a leading button on the left (none when its title
    // is empty), then Go Back (when asked for), Cancel and the default button.
    struct ButtonBar
    {
        QPushButton* back = nullptr;
        QPushButton* close = nullptr;
        QPushButton* next = nullptr;
    };
    ButtonBar addButtonBar(QWidget* page, QBoxLayout* layout, const QString& leadingTitle,
                           void (Controller::*leading)(), bool withBack, const QString& nextTitle,
                           void (Controller::*next)());
    QWidget* makeProjectTypePage();
    QWidget* makeFormatPage();
    QWidget* makeTemplatePage();
    QWidget* makeCustomSizePage();
    void runNameSheet();
    // Shows or hides the note over the template browser, as it has designs or none.
    void updateNoDesignNote();

    Controller& _controller;
    QDialog& _dialog;
    bool _refreshing = false;
    QStackedWidget* _stack = nullptr;
    struct ProjectButtonEntry
    {
        qint64 type;
        LBImageButton* button;
    };
    QList<ProjectButtonEntry> _projectButtons;
    QComboBox* _manufacturerPopup = nullptr;
    QComboBox* _labelTypePopup = nullptr;
    QWidget* _labelFormatControls = nullptr;
    QWidget* _formatUnits = nullptr;
    QRadioButton* _usUnits = nullptr;
    QRadioButton* _metricUnits = nullptr;
    QLineEdit* _search = nullptr;
    QTableView* _paperStyleTable = nullptr;
    PaperStyleModel* _paperStyleModel = nullptr;
    QLabel* _preview = nullptr;
    QRadioButton* _portraitButton = nullptr;
    QRadioButton* _landscapeButton = nullptr;
    QLabel* _modelsTitle = nullptr;
    QPlainTextEdit* _models = nullptr;
    QPushButton* _standardGoBackButton = nullptr;
    QPushButton* _standardCloseButton = nullptr;
    QPushButton* _standardContinueButton = nullptr;
    QSplitter* _splitView = nullptr;
    QTreeView* _folderList = nullptr;
    QLabel* _customPreview = nullptr;
    QLabel* _labelOverflowWarning = nullptr;
    DesignFolderModel* _folderModel = nullptr;
    QStringList _shownFolderRows;
    QLabel* _templatePrompt = nullptr;
    QLineEdit* _templateSearch = nullptr;
    QListView* _templateBrowser = nullptr;
    // Said over the browser while it shows no design: why Choose stays disabled.
    QLabel* _noDesignNote = nullptr;
    TemplateModel* _templateModel = nullptr;
    QPushButton* _chooseDesignButton = nullptr;
    QWidget* _templateUnits = nullptr;
    QRadioButton* _usPaper = nullptr;
    QRadioButton* _a4Paper = nullptr;
    QRadioButton* _pagePortrait = nullptr;
    QRadioButton* _pageLandscape = nullptr;
    QComboBox* _customLayoutPopup = nullptr;
    QWidget* _paneHolder = nullptr;
    QPushButton* _customGoBackButton = nullptr;
    QPushButton* _customCloseButton = nullptr;
    QPushButton* _chooseCustomDesignButton = nullptr;
};

LayoutSheetViews::LayoutSheetViews(Controller& controller, QDialog& dialog)
    : QObject(&dialog), _controller(controller), _dialog(dialog)
{
    _dialog.setWindowTitle(Controller::layoutSheetString(QStringLiteral("Choose a Layout")));
    auto* layout = new QVBoxLayout(&_dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    _stack = new QStackedWidget(&_dialog);
    layout->addWidget(_stack);
    _stack->addWidget(makeProjectTypePage());
    _stack->addWidget(makeFormatPage());
    _stack->addWidget(makeTemplatePage());
    _stack->addWidget(makeCustomSizePage());
    _dialog.installEventFilter(this);
    _splitView->installEventFilter(this);
    connect(&_controller, &Controller::changed, this, &LayoutSheetViews::refresh);
    // The controls' connections name these views as their context: the views go first when
    // the dialog goes, and a list whose current row changes while its widgets are taken
    // down must not reach them then.
    // Closing the sheet is the close button.
    connect(&_dialog, &QDialog::rejected, this, [this] {
        if (!_refreshing)
            _controller.closeDocumentAction();
    });
    refresh();
}

LayoutSheetViews::ButtonBar LayoutSheetViews::addButtonBar(QWidget* page, QBoxLayout* layout,
                                                           const QString& leadingTitle,
                                                           void (Controller::*leading)(),
                                                           bool withBack, const QString& nextTitle,
                                                           void (Controller::*next)())
{
    auto* bar = new QHBoxLayout;
    if (leading) {
        QPushButton* first = button(leadingTitle, page);
        connect(first, &QPushButton::clicked, &_controller, leading);
        bar->addWidget(first);
    }
    bar->addStretch();
    ButtonBar buttons;
    if (withBack) {
        buttons.back = button(Controller::dialogString(QStringLiteral("Go Back")), page);
        connect(buttons.back, &QPushButton::clicked, &_controller, &Controller::goBackAction);
        bar->addWidget(buttons.back);
    }
    buttons.close = button(Controller::dialogString(QStringLiteral("Cancel")), page);
    connect(buttons.close, &QPushButton::clicked, &_controller, &Controller::closeDocumentAction);
    bar->addWidget(buttons.close);
    buttons.next = button(nextTitle, page);
    buttons.next->setDefault(true);
    connect(buttons.next, &QPushButton::clicked, &_controller, next);
    bar->addWidget(buttons.next);
    layout->addLayout(bar);
    return buttons;
}

QWidget* LayoutSheetViews::makeProjectTypePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* title =
        new QLabel(Controller::layoutSheetString(QStringLiteral("Choose a project type:")));
    QFont font = title->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    title->setFont(font);
    layout->addWidget(title);
    auto* buttons = new QHBoxLayout;
    const std::pair<qint64, const char*> kinds[] = {
        {Controller::AddressLabelsProject, "Labels"},
        {Controller::EnvelopesProject, "Envelopes"},
        {Controller::LetterheadProject, "Letterhead"},
        {Controller::MatchedSetsProject, "Matched Sets"},
        {Controller::DiscLabelsProject, "Disc Labels"},
    };
    for (const auto& [type, name] : kinds) {
        LBImageButton* projectButton =
            makeProjectButton(Controller::layoutSheetString(QString::fromLatin1(name)), page);
        connect(projectButton, &QAbstractButton::clicked, this,
                [this, type = type] { _controller.projectTypeAction(type); });
        buttons->addWidget(projectButton);
        _projectButtons.append({type, projectButton});
    }
    layout->addStretch();
    layout->addLayout(buttons);
    layout->addStretch();
    addButtonBar(page, layout, Controller::layoutSheetString(QStringLiteral("Open Existing…")),
                 &Controller::openFileAction, false,
                 Controller::dialogString(QStringLiteral("Continue")), &Controller::continueAction);
    return page;
}

QWidget* LayoutSheetViews::makeFormatPage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* makers = new QHBoxLayout;
    makers->addWidget(new QLabel(Controller::layoutSheetString(QStringLiteral("Manufacturer:"))));
    _manufacturerPopup = new QComboBox(page);
    makers->addWidget(_manufacturerPopup, 1);
    left->addLayout(makers);
    _labelFormatControls = new QWidget(page);
    auto* types = new QHBoxLayout(_labelFormatControls);
    types->setContentsMargins(0, 0, 0, 0);
    types->addWidget(new QLabel(Controller::layoutSheetString(QStringLiteral("Label Type:"))));
    _labelTypePopup = new QComboBox(_labelFormatControls);
    types->addWidget(_labelTypePopup, 1);
    left->addWidget(_labelFormatControls);
    _formatUnits = new QWidget(page);
    auto* units = new QHBoxLayout(_formatUnits);
    units->setContentsMargins(0, 0, 0, 0);
    _usUnits = new QRadioButton(Controller::layoutSheetString(QStringLiteral("US")), _formatUnits);
    _metricUnits =
        new QRadioButton(Controller::layoutSheetString(QStringLiteral("Metric")), _formatUnits);
    units->addWidget(_usUnits);
    units->addWidget(_metricUnits);
    units->addStretch();
    left->addWidget(_formatUnits);
    _search = new QLineEdit(page);
    _search->setPlaceholderText(Controller::layoutSheetString(QStringLiteral("Search")));
    _search->setClearButtonEnabled(true);
    left->addWidget(_search);
    _paperStyleTable = new QTableView(page);
    _paperStyleModel = new PaperStyleModel(_controller);
    _paperStyleModel->setParent(_paperStyleTable);
    _paperStyleTable->setModel(_paperStyleModel);
    _paperStyleTable->horizontalHeader()->hide();
    _paperStyleTable->horizontalHeader()->setStretchLastSection(true);
    _paperStyleTable->verticalHeader()->hide();
    _paperStyleTable->verticalHeader()->setDefaultSectionSize(
        _paperStyleTable->fontMetrics().height() + 6);
    _paperStyleTable->setShowGrid(false);
    _paperStyleTable->setAlternatingRowColors(true);
    _paperStyleTable->setSelectionMode(QAbstractItemView::SingleSelection);
    _paperStyleTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    _paperStyleTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    left->addWidget(_paperStyleTable, 1);
    columns->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    _preview = new QLabel(page);
    _preview->setFixedSize(232, 232);
    _preview->setFrameShape(QFrame::StyledPanel);
    right->addWidget(_preview);
    auto* orientation = new QHBoxLayout;
    _portraitButton =
        new QRadioButton(Controller::layoutSheetString(QStringLiteral("Portrait")), page);
    _landscapeButton =
        new QRadioButton(Controller::layoutSheetString(QStringLiteral("Landscape")), page);
    orientation->addWidget(_portraitButton);
    orientation->addWidget(_landscapeButton);
    right->addLayout(orientation);
    _modelsTitle = new QLabel(Controller::layoutSheetString(QStringLiteral("Compatible with:")));
    right->addWidget(_modelsTitle);
    _models = new QPlainTextEdit(page);
    _models->setReadOnly(true);
    _models->setFixedWidth(232);
    right->addWidget(_models, 1);
    columns->addLayout(right);
    layout->addLayout(columns, 1);

    const ButtonBar buttons = addButtonBar(
        page, layout, Controller::layoutSheetString(QStringLiteral("Custom Size…")),
        &Controller::customSizeAction, true, Controller::dialogString(QStringLiteral("Continue")),
        &Controller::continueAction);
    _standardGoBackButton = buttons.back;
    _standardCloseButton = buttons.close;
    _standardContinueButton = buttons.next;

    connect(_manufacturerPopup, &QComboBox::activated, this, [this](int index) {
        _controller.setManufacturerPopupSelection(index);
        _controller.setLabelTypePopupSelection(0);
        _controller.manufacturerAction();
    });
    connect(_labelTypePopup, &QComboBox::activated, this, [this](int index) {
        _controller.setLabelTypePopupSelection(index);
        _controller.labelTypeAction();
    });
    connect(_usUnits, &QRadioButton::clicked, this, [this] {
        _controller.setFormatUnitsColumn(0);
        _controller.formatUnitsTypeAction();
    });
    connect(_metricUnits, &QRadioButton::clicked, this, [this] {
        _controller.setFormatUnitsColumn(1);
        _controller.formatUnitsTypeAction();
    });
    connect(_portraitButton, &QRadioButton::clicked, this,
            [this] { _controller.orientationButtonAction(true); });
    connect(_landscapeButton, &QRadioButton::clicked, this,
            [this] { _controller.orientationButtonAction(false); });
    connect(_search, &QLineEdit::textEdited, &_controller, &Controller::searchPaperCode);
    connect(_paperStyleTable->selectionModel(), &QItemSelectionModel::currentRowChanged,
            this, [this](const QModelIndex& current) {
                if (!_refreshing)
                    _controller.selectRow(current.isValid() ? current.row() : -1);
            });
    connect(_paperStyleTable, &QTableView::doubleClicked, &_controller,
            &Controller::continueAction);
    return page;
}

QWidget* LayoutSheetViews::makeTemplatePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    _templatePrompt = new QLabel(page);
    _templateSearch = new QLineEdit(page);
    _templateSearch->setPlaceholderText(Controller::layoutSheetString(QStringLiteral("Search")));
    _templateSearch->setClearButtonEnabled(true);
    _templateSearch->setMaximumWidth(200);
    top->addWidget(_templatePrompt, 1);
    top->addWidget(_templateSearch);
    layout->addLayout(top);
    connect(_templateSearch, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!_refreshing)
            _controller.searchTemplateName(text);
    });
    _splitView = new QSplitter(Qt::Horizontal, page);
    _folderList = new QTreeView(_splitView);
    _folderModel = new DesignFolderModel(_controller);
    _folderModel->setParent(_folderList);
    _folderList->setModel(_folderModel);
    _folderList->setHeaderHidden(true);
    _folderList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _templateBrowser = new QListView(_splitView);
    _templateModel = new TemplateModel(_controller);
    _templateModel->setParent(_templateBrowser);
    _templateBrowser->setModel(_templateModel);
    _templateBrowser->setViewMode(QListView::IconMode);
    _templateBrowser->setDragEnabled(false);
    _templateBrowser->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _templateBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    _templateBrowser->setUniformItemSizes(true);
    _templateBrowser->setIconSize(QSize(120, 120));
    _templateBrowser->setGridSize(QSize(150, 160));
    _templateBrowser->setMovement(QListView::Static);
    _templateBrowser->setResizeMode(QListView::Adjust);
    _templateBrowser->setStyleSheet(
        QStringLiteral("QListView { background: rgb(170, 178, 188); }"));
    _noDesignNote = new QLabel(_templateBrowser->viewport());
    _noDesignNote->setAlignment(Qt::AlignCenter);
    _noDesignNote->setWordWrap(true);
    _noDesignNote->setStyleSheet(QStringLiteral("color: white; margin: 24px;"));
    _noDesignNote->hide();
    _templateBrowser->viewport()->installEventFilter(this);
    _splitView->setChildrenCollapsible(true);
    layout->addWidget(_splitView, 1);
    _templateUnits = new QWidget(page);
    auto* units = new QHBoxLayout(_templateUnits);
    units->setContentsMargins(0, 0, 0, 0);
    auto* paper = new QButtonGroup(_templateUnits);
    _usPaper = new QRadioButton(Controller::layoutSheetString(QStringLiteral("US Letter")));
    _a4Paper = new QRadioButton(Controller::layoutSheetString(QStringLiteral("A4")));
    paper->addButton(_usPaper);
    paper->addButton(_a4Paper);
    auto* orientation = new QButtonGroup(_templateUnits);
    _pagePortrait = new QRadioButton(Controller::layoutSheetString(QStringLiteral("Portrait")));
    _pageLandscape = new QRadioButton(Controller::layoutSheetString(QStringLiteral("Landscape")));
    orientation->addButton(_pagePortrait);
    orientation->addButton(_pageLandscape);
    for (QRadioButton* radio : {_usPaper, _a4Paper})
        units->addWidget(radio);
    units->addSpacing(24);
    for (QRadioButton* radio : {_pagePortrait, _pageLandscape})
        units->addWidget(radio);
    units->addStretch();
    layout->addWidget(_templateUnits);
    connect(_usPaper, &QRadioButton::clicked, this, [this] {
        _controller.setTemplateUnitsColumn(0);
        _controller.templateUnitsTypeAction();
    });
    connect(_a4Paper, &QRadioButton::clicked, this, [this] {
        _controller.setTemplateUnitsColumn(1);
        _controller.templateUnitsTypeAction();
    });
    connect(_pagePortrait, &QRadioButton::clicked, this,
            [this] { _controller.pageOrientationAction(1); });
    connect(_pageLandscape, &QRadioButton::clicked, this,
            [this] { _controller.pageOrientationAction(0); });
    _chooseDesignButton =
        addButtonBar(page, layout, Controller::layoutSheetString(QStringLiteral("Custom Size…")),
                     &Controller::customSizeAction, true,
                     Controller::dialogString(QStringLiteral("Choose")),
                     &Controller::chooseDesignAction)
            .next;
    connect(_splitView, &QSplitter::splitterMoved, this,
            [this] { _controller.splitViewDidResizeSubviews(_splitView->sizes().value(0)); });
    connect(_folderList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (_refreshing)
                    return;
                if (!current.isValid()) {
                    _controller.selectOutlineRow(-1);
                    return;
                }
                auto* item = static_cast<LBLayoutItem*>(current.internalPointer());
                if (!current.parent().isValid())
                    _controller.selectOutlineRow(current.row());
                else
                    _controller.selectOutlineRow(_folderModel->rootRowOf(item), item);
            });
    connect(_templateBrowser->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!_refreshing)
                    _controller.setSelectedTemplate(current.isValid() ? current.row() : -1);
            });
    connect(_templateBrowser, &QListView::doubleClicked, this,
            [this] { _controller.chooseDesignAction(); });
    return page;
}

QWidget* LayoutSheetViews::makeCustomSizePage()
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    _customLayoutPopup = new QComboBox(page);
    layout->addWidget(_customLayoutPopup);
    auto* middle = new QHBoxLayout;
    _paneHolder = new QWidget(page);
    new QVBoxLayout(_paneHolder);
    middle->addWidget(_paneHolder, 1);
    _customPreview = new QLabel(page);
    _customPreview->setFixedSize(232, 232);
    _customPreview->setAlignment(Qt::AlignCenter);
    middle->addWidget(_customPreview, 0, Qt::AlignTop);
    layout->addLayout(middle, 1);
    _labelOverflowWarning = new QLabel(
        Controller::layoutSheetString(QStringLiteral("The labels do not fit on the page.")), page);
    _labelOverflowWarning->setStyleSheet(QStringLiteral("color: rgb(180, 0, 0);"));
    // The sheet's height is fixed on this step: the warning keeps its line while hidden, so
    // that showing it does not move the form the user is typing in.
    QSizePolicy warningPolicy = _labelOverflowWarning->sizePolicy();
    warningPolicy.setRetainSizeWhenHidden(true);
    _labelOverflowWarning->setSizePolicy(warningPolicy);
    layout->addWidget(_labelOverflowWarning);
    const ButtonBar buttons = addButtonBar(page, layout, QString(), nullptr, true,
                                           Controller::dialogString(QStringLiteral("Choose")),
                                           &Controller::chooseDesignAction);
    _customGoBackButton = buttons.back;
    _customCloseButton = buttons.close;
    _chooseCustomDesignButton = buttons.next;
    connect(_customLayoutPopup, &QComboBox::activated, this, [this](int index) {
        if (!_controller.validateMenuItem(index)) {
            refresh();
            return;
        }
        _controller.customLayoutAction(index);
        if (_controller.nameSheetOpen())
            runNameSheet();
    });
    return page;
}

void LayoutSheetViews::runNameSheet()
{
    bool ok = false;
    const QString name = QInputDialog::getText(
        &_dialog, Controller::layoutSheetString(QStringLiteral("Custom Layout")),
        Controller::layoutSheetString(QStringLiteral("Name:")), QLineEdit::Normal,
        _controller.nameSheetText(), &ok);
    if (ok)
        _controller.saveCustomNameAction(name);
    else
        _controller.cancelCustomNameAction();
}

void LayoutSheetViews::updateNoDesignNote()
{
    const bool none = _templateModel->rowCount() == 0;
    if (none) {
        const QString search = _controller.templateSearchText().trimmed();
        _noDesignNote->setText(
            search.isEmpty()
                ? Controller::layoutSheetString(QStringLiteral("No designs of this kind are "
                                                               "installed."))
                : Controller::layoutSheetString(QStringLiteral("No design matches \u201c%1\u201d."))
                      .arg(search));
        _noDesignNote->setGeometry(_templateBrowser->viewport()->rect());
    }
    _noDesignNote->setVisible(none);
}

bool LayoutSheetViews::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == _templateBrowser->viewport())
        _noDesignNote->setGeometry(_templateBrowser->viewport()->rect());
    if (event->type() == QEvent::Resize && !_refreshing) {
        if (watched == &_dialog) {
            _controller.setSheetFrame(
                QRectF(_controller.sheetFrame().topLeft(), QSizeF(_dialog.size())));
        } else if (watched == _splitView) {
            const Controller::SplitWidths widths =
                _controller.splitViewResizeSubviews(_splitView->width(), _splitView->handleWidth());
            _splitView->setSizes({int(widths.left), int(widths.right)});
            _controller.splitViewDidResizeSubviews(widths.left);
        }
    }
    return QObject::eventFilter(watched, event);
}

void LayoutSheetViews::refresh()
{
    if (_refreshing)
        return;
    _refreshing = true;
    const qint64 step = _controller.shownStep();
    if (step >= 0)
        _stack->setCurrentIndex(int(step));
    const QSizeF minimum = _controller.minimumSize();
    const QSizeF maximum = _controller.maximumSize();
    _dialog.setMinimumSize(minimum.toSize());
    _dialog.setMaximumSize(maximum.isEmpty() ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX)
                                             : maximum.toSize());
    _dialog.resize(_controller.sheetFrame().size().toSize());

    for (const ProjectButtonEntry& entry : std::as_const(_projectButtons)) {
        entry.button->setComponentImageString(_controller.projectButtonImages(entry.type));
        entry.button->setTitleColor(
            _controller.projectButtonImages(entry.type).startsWith(QLatin1String("Project1"))
                ? Qt::white
                : Qt::black);
    }

    const qint64 type = _controller.selectedProjectType();
    fillPopUp(_manufacturerPopup, _controller.manufacturerPopup());
    fillPopUp(_labelTypePopup, _controller.labelTypePopup());
    _labelFormatControls->setVisible(type == Controller::DiscLabelsProject
                                     || type >= Controller::AddressLabelsProject);
    _formatUnits->setVisible(type == Controller::EnvelopesProject);
    _usUnits->setChecked(_controller.formatUnitsColumn() == 0);
    _metricUnits->setChecked(_controller.formatUnitsColumn() == 1);
    _search->setVisible(type != Controller::EnvelopesProject);
    if (_search->text() != _controller.searchText())
        _search->setText(_controller.searchText());
    _paperStyleModel->reload();
    if (_controller.selectedRow() >= 0) {
        _paperStyleTable->selectRow(int(_controller.selectedRow()));
        _paperStyleTable->scrollTo(_paperStyleModel->index(int(_controller.selectedRow()), 0));
    }
    const bool landscapeShown = type == Controller::EnvelopesProject
                                    ? !_controller.landscapeOrientationSelected()
                                    : _controller.landscapeOrientationSelected();
    _portraitButton->setChecked(!landscapeShown);
    _landscapeButton->setChecked(landscapeShown);
    QImage miniature = _controller.previewImage();
    // A landscape miniature is drawn upright with its shadow to the left: turned a quarter
    // to the left, the shadow falls below the page.
    if (_controller.previewTurned() && !miniature.isNull())
        miniature = miniature.transformed(QTransform().rotate(-90));
    if (!miniature.isNull() && (miniature.width() > 232 || miniature.height() > 232))
        miniature = miniature.scaled(232, 232, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    _preview->setAlignment(Qt::AlignCenter);
    _preview->setPixmap(QPixmap::fromImage(miniature));
    const QString models = _controller.selectedPrinterModels();
    _modelsTitle->setVisible(!models.isEmpty());
    _models->setVisible(!models.isEmpty());
    _models->setPlainText(models);
    _standardContinueButton->setEnabled(_controller.continueEnabled());
    const bool sheetMode = _controller.sheetMode();
    _standardGoBackButton->setVisible(!sheetMode);
    _customGoBackButton->setVisible(sheetMode || _controller.isNewDocumentLayout());
    if (sheetMode)
        _standardContinueButton->setText(Controller::dialogString(QStringLiteral("Choose")));

    _templatePrompt->setText(_controller.templatePrompt());
    if (_templateSearch->text() != _controller.templateSearchText())
        _templateSearch->setText(_controller.templateSearchText());
    // The outline is read again only when its folders changed, keeping what is open.
    QStringList folderRows = _controller.designFolderRows();
    for (qint64 row = 0; row < _controller.outlineRootRowCount(); ++row)
        folderRows << QString::number(quintptr(_controller.outlineRootItem(row)));
    if (folderRows != _shownFolderRows) {
        _shownFolderRows = folderRows;
        _folderModel->reload();
    }
    if (_controller.selectedOutlineItem()
        == _controller.outlineRootItem(_controller.selectedOutlineRow()))
        _folderList->setCurrentIndex(
            _folderModel->index(int(_controller.selectedOutlineRow()), 0, QModelIndex()));
    _templateModel->reload();
    updateNoDesignNote();
    _templateBrowser->setCurrentIndex(_templateModel->index(int(_controller.selectedTemplate())));
    _chooseDesignButton->setEnabled(_controller.chooseDesignEnabled());
    _templateUnits->setVisible(_controller.showsTemplateUnits());
    _usPaper->setChecked(_controller.templateUnitsColumn() == 0);
    _a4Paper->setChecked(_controller.templateUnitsColumn() == 1);
    _pagePortrait->setChecked(_controller.pageOrientationColumn() == 1);
    _pageLandscape->setChecked(_controller.pageOrientationColumn() == 0);

    fillPopUp(_customLayoutPopup, _controller.customLayoutPopup());
    if (auto* items = qobject_cast<QStandardItemModel*>(_customLayoutPopup->model())) {
        for (int i = 0; i < items->rowCount(); ++i) {
            if (!_controller.validateMenuItem(i))
                items->item(i)->setEnabled(false);
        }
    }
    _chooseCustomDesignButton->setEnabled(_controller.chooseCustomDesignEnabled());
    if (LBPaperSizeController* pane = _controller.paperSizeController())
        _labelOverflowWarning->setText(pane->overflowWarning());
    _labelOverflowWarning->setVisible(_controller.paperSizeController()
                                      && !_controller.chooseCustomDesignEnabled());
    QImage custom = _controller.customPreviewImage();
    if (_controller.customPreviewTurned() && !custom.isNull())
        custom = custom.transformed(QTransform().rotate(-90));
    if (!custom.isNull() && (custom.width() > 232 || custom.height() > 232))
        custom = custom.scaled(232, 232, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    _customPreview->setPixmap(QPixmap::fromImage(custom));
    if (LBPaperSizeController* pane = _controller.paperSizeController()) {
        QWidget* view = pane->mainView();
        if (view->parentWidget() != _paneHolder) {
            _paneHolder->layout()->addWidget(view);
            _controller.paperSizeNibLoaded(pane->mainViewHeight());
        }
    }
    _refreshing = false;
}

QDialog* LBLayoutSheetController::sheet()
{
    if (!_sheet) {
        _sheet = new QDialog;
        _views = new LayoutSheetViews(*this, *_sheet);
    }
    return _sheet.data();
}
