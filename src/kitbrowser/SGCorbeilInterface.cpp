// The interface "iCorbeil View" in code: the browser view with its five panels, the path
// bars, the plus/minus/info control, the search fields with their menus, the zoom sliders
// and item counts, the previews, the delete and kit information sheets and the cover-flow
// window. The outlets are kept by name.

#include "kitbrowser/SGCorbeilControllerPrivate.h"

#include "kitbrowser/SGAttachedWindow.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "kitbrowser/SGPathControl.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/CoverFlowView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/UtilityWindow.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSlider>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Tables over the controller's table callbacks: a table is named by its outlet and its
// columns by identifier.
class TableModel : public QAbstractTableModel
{
public:
    TableModel(SGCorbeilController::Private& d, const QString& table, const QStringList& columns,
               QObject* parent)
        : QAbstractTableModel(parent), _d(d), _table(table), _columns(columns)
    {}

    void reload()
    {
        beginResetModel();
        endResetModel();
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (parent.isValid())
            return 0;
        if (_table == QLatin1String("homeTable"))
            return 7;
        if (_table == QLatin1String("intermediateTable") || _table == QLatin1String("colorsTable"))
            return int(_d.namesArray.size());
        if (_table == QLatin1String("deleteTable"))
            return int(_d.deleteKits.size());
        if (_table == QLatin1String("infoKitTable"))
            return int(_d.infoKits.size());
        if (_table == QLatin1String("infoReleaseTable"))
            return int(_d.infoReleases.size());
        return 0;
    }

    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(_columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const QString column = _columns[index.column()];
        const QVariant value = _d.q->tableViewObjectValue(_table, column, index.row());
        if (column == QLatin1String("checkbox")) {
            if (role == Qt::CheckStateRole)
                return value.toBool() ? Qt::Checked : Qt::Unchecked;
            return QVariant();
        }
        if (role == Qt::DisplayRole)
            return value;
        if (role == Qt::DecorationRole && index.column() == 0) {
            // The row icons of the home and colour tables.
            if (_table == QLatin1String("homeTable")) {
                static const char* icons[] = {"HomeKits",       "HomeArtists", "HomeKitTypes",
                                              "HomeImageTypes", "HomeColors",  "HomeDivider",
                                              "HomeImport"};
                return _d.pixmap(QString::fromLatin1(icons[index.row()]));
            }
            if (_table == QLatin1String("colorsTable") && index.row() < 16) {
                static const QStringList english = {
                    "Black", "Blue",   "Bronze", "Brown",  "Clear", "Copper", "Gold",  "Gray",
                    "Green", "Orange", "Pink",   "Purple", "Red",   "Silver", "White", "Yellow"};
                return _d.pixmap(english[index.row()] + QStringLiteral("Swatch"));
            }
        }
        return QVariant();
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::CheckStateRole)
            return false;
        _d.q->tableViewSetObjectValue(_table, value.toInt() == Qt::Checked,
                                      _columns[index.column()], index.row());
        Q_EMIT dataChanged(index, index);
        return true;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        // The divider of the home list cannot be chosen.
        if (_table == QLatin1String("homeTable") && index.row() == 5)
            return Qt::ItemIsEnabled;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (_columns[index.column()] == QLatin1String("checkbox"))
            flags |= Qt::ItemIsUserCheckable;
        return flags;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < _headers.size())
            return _headers[section];
        return QVariant();
    }

    void setHeaders(const QStringList& headers) { _headers = headers; }

private:
    SGCorbeilController::Private& _d;
    QString _table;
    QStringList _columns;
    QStringList _headers;
};

// The browser view: relays the panels' layout when it changes size.
class RootView : public QWidget
{
public:
    explicit RootView(SGCorbeilController* controller) : _controller(controller) {}

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        for (QWidget* panel : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            panel->setGeometry(rect());
        _controller->mainViewResized();
    }

private:
    SGCorbeilController* _controller;
};

// Zoom sliders run from 1 to 2 in thousandths.
constexpr int SliderScale = 1000;

QTableView* makeTable(QWidget* parent, QAbstractTableModel* model, bool header)
{
    auto* table = new QTableView(parent);
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setVisible(header);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setShowGrid(false);
    table->setIconSize(QSize(24, 24));
    table->verticalHeader()->setDefaultSectionSize(28);
    return table;
}

QLabel* label(QWidget* parent, const QFont& font)
{
    auto* field = new QLabel(parent);
    field->setFont(font);
    field->setWordWrap(true);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return field;
}

QFont helvetica(bool bold, bool italic = false)
{
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSizeF(12);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

} // namespace

QPixmap SGCorbeilController::Private::pixmap(const QString& name) const
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    return bundle.pixmapNamed(name, ratio);
}

QTableView* SGCorbeilController::Private::tableNamed(const QString& name) const
{
    return qobject_cast<QTableView*>(outlets.value(name).data());
}

QString SGCorbeilController::Private::tableName(const QTableView* table) const
{
    for (auto it = outlets.cbegin(); it != outlets.cend(); ++it) {
        if (it.value() == table)
            return it.key();
    }
    return QString();
}

void SGCorbeilController::Private::reloadTable(QTableView* table)
{
    if (!table)
        return;
    if (auto* model = dynamic_cast<TableModel*>(table->model()))
        model->reload();
}

void SGCorbeilController::Private::loadInterface()
{
    if (interfaceLoaded)
        return;
    interfaceLoaded = true;

    rootView = new RootView(q);
    rootView->resize(360, 520);
    const auto keep = [this](const QString& name, QObject* object) { keepOutlet(name, object); };
    const auto table = [this](QWidget* parent, const QString& name, const QStringList& columns) {
        return namedTable(parent, name, columns, {});
    };
    const auto pathControl = [&](QWidget* parent, const QString& name) {
        auto* control = new SGPathControl(parent);
        keep(name, control);
        QObject::connect(control, &platform::SegmentedControl::activated, q,
                         [this, control] { q->pathControlAction(control); });
        return control;
    };
    const auto zoom = [&](QWidget* parent, const QString& name, QSlider** slider) {
        auto* container = new QWidget(parent);
        keep(name + QStringLiteral("Container"), container);
        auto* layout = new QHBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        *slider = new QSlider(Qt::Horizontal, container);
        (*slider)->setRange(SliderScale, 2 * SliderScale);
        (*slider)->setFixedWidth(100);
        layout->addWidget(*slider);
        container->resize(110, 22);
        keep(name, *slider);
        QSlider* s = *slider;
        QObject::connect(s, &QSlider::valueChanged, q, [this, s] { q->zoomSliderAction(s); });
        return container;
    };
    const auto searchField = [&](QWidget* parent, const QString& name, QToolButton** menuButton) {
        auto* field = new QLineEdit(parent);
        field->setClearButtonEnabled(true);
        field->setPlaceholderText(localized(QStringLiteral("Search")));
        keep(name, field);
        QObject::connect(field, &QLineEdit::textEdited, q,
                         [this, field] { q->searchFieldAction(field); });
        QObject::connect(field, &QLineEdit::returnPressed, q,
                         [this, field] { q->searchFieldAction(field); });
        *menuButton = new QToolButton(parent);
        (*menuButton)->setPopupMode(QToolButton::InstantPopup);
        (*menuButton)->setAutoRaise(true);
        (*menuButton)->setText(QStringLiteral("\u25BE"));
        (*menuButton)->hide();
        keep(name + QStringLiteral("MenuButton"), *menuButton);
        return field;
    };

    // Home.
    homeView = new QWidget(rootView);
    keep(QStringLiteral("homeView"), homeView);
    homePathControl = pathControl(homeView, QStringLiteral("homePathControl"));
    homeTable = table(homeView, QStringLiteral("homeTable"), {QStringLiteral("name")});
    freeKitsButton = new QPushButton(localized(QStringLiteral("Get Free Kits")), homeView);
    keep(QStringLiteral("freeKitsButton"), freeKitsButton);
    QObject::connect(freeKitsButton, &QPushButton::clicked, q,
                     [this] { q->freeKitsButtonAction(); });

    // Kits.
    kitsView = new QWidget(rootView);
    keep(QStringLiteral("kitsView"), kitsView);
    kitsPathControl = pathControl(kitsView, QStringLiteral("kitsPathControl"));
    kitBrowser = new platform::ImageBrowserView(kitsView);
    keep(QStringLiteral("kitBrowser"), kitBrowser);
    kitSource = std::make_unique<sgbrowser::BrowserSource>(*this, false);
    kitBrowser->setDataSource(kitSource.get());
    kitBrowser->setSelectionMode(QAbstractItemView::SingleSelection);
    kitZoomContainer = zoom(kitsView, QStringLiteral("kitZoomSlider"), &kitZoomSlider);
    kitsCountField = new QLabel(kitsView);
    keep(QStringLiteral("kitsCountField"), kitsCountField);
    kitsSearchField =
        searchField(kitsView, QStringLiteral("kitsSearchField"), &kitsSearchMenuButton);
    coverFlowButton = new QToolButton(kitsView);
    coverFlowButton->setIcon(QIcon(pixmap(QStringLiteral("CoverFlowButton"))));
    coverFlowButton->setToolTip(localized(QStringLiteral("Preview")));
    coverFlowButton->resize(28, 22);
    keep(QStringLiteral("coverFlowButton"), coverFlowButton);
    QObject::connect(coverFlowButton, &QToolButton::clicked, q,
                     [this] { q->coverFlowButtonAction(); });

    // Intermediate list.
    intermediateView = new QWidget(rootView);
    keep(QStringLiteral("intermediateView"), intermediateView);
    intermediatePathControl =
        pathControl(intermediateView, QStringLiteral("intermediatePathControl"));
    intermediateTable =
        table(intermediateView, QStringLiteral("intermediateTable"), {QStringLiteral("name")});

    // Colours.
    colorsView = new QWidget(rootView);
    keep(QStringLiteral("colorsView"), colorsView);
    colorsPathControl = pathControl(colorsView, QStringLiteral("colorsPathControl"));
    colorsTable = table(colorsView, QStringLiteral("colorsTable"), {QStringLiteral("name")});
    primaryColorCheckBox =
        new QCheckBox(localized(QStringLiteral("Match primary color only")), colorsView);
    keep(QStringLiteral("primaryColorCheckBox"), primaryColorCheckBox);
    QObject::connect(primaryColorCheckBox, &QCheckBox::clicked, q,
                     [this] { q->primaryColorButtonAction(primaryColorCheckBox); });

    // Graphics.
    graphicsView = new QWidget(rootView);
    keep(QStringLiteral("graphicsView"), graphicsView);
    graphicsPathControl = pathControl(graphicsView, QStringLiteral("graphicsPathControl"));
    graphicBrowser = new SGImageBrowserView(graphicsView);
    keep(QStringLiteral("graphicBrowser"), graphicBrowser);
    graphicSource = std::make_unique<sgbrowser::BrowserSource>(*this, true);
    graphicBrowser->setDataSource(graphicSource.get());
    graphicZoomContainer =
        zoom(graphicsView, QStringLiteral("graphicZoomSlider"), &graphicZoomSlider);
    graphicsCountField = new QLabel(graphicsView);
    keep(QStringLiteral("graphicsCountField"), graphicsCountField);
    graphicsSearchField =
        searchField(graphicsView, QStringLiteral("graphicsSearchField"), &graphicsSearchMenuButton);

    for (platform::ImageBrowserView* browser :
         {kitBrowser, static_cast<platform::ImageBrowserView*>(graphicBrowser)}) {
        QObject::connect(browser, &platform::ImageBrowserView::selectionDidChange, q,
                         [this, browser] { q->imageBrowserSelectionDidChange(browser); });
        QObject::connect(browser, &platform::ImageBrowserView::cellWasDoubleClicked, q,
                         [this, browser](int index) {
                             q->imageBrowserCellWasDoubleClickedAtIndex(browser, index);
                         });
        QObject::connect(browser, &platform::ImageBrowserView::cellWasRightClicked, q,
                         [this, browser](int index) {
                             q->imageBrowserCellWasRightClickedAtIndex(browser, index);
                         });
    }

    // The kit size menu: all sizes, a separator, then the four sizes (tags 0 to 4).
    kitSizeMenu = new QMenu(rootView);
    keep(QStringLiteral("kitSizeMenu"), kitSizeMenu);
    const auto kitSizeItem = [&](const QString& title, int tag) {
        QAction* item = kitSizeMenu->addAction(localized(title));
        item->setData(tag);
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, q,
                         [this, item] { q->kitSizeMenuAction(item); });
    };
    kitSizeItem(QStringLiteral("All Sizes"), 0);
    kitSizeMenu->addSeparator();
    kitSizeItem(QStringLiteral("12x12 inches"), 1);
    kitSizeItem(QStringLiteral("8.5x11 inches"), 2);
    kitSizeItem(QStringLiteral("4x6 inches"), 3);
    kitSizeItem(QStringLiteral("Other"), 4);

    // The filter menus of the graphics search field: orientation (0-3), paper style (4-12),
    // number of pictures (13-19). Titles carry three characters of indentation.
    const auto filterMenu = [&](const QString& name, bool paper, bool quickPage) {
        auto* menu = new QMenu(rootView);
        keep(name, menu);
        const auto heading = [&](const QString& title) {
            QAction* item = menu->addAction(localized(title));
            item->setEnabled(false);
            item->setData(-1);
        };
        const auto item = [&](const QString& title, int tag) {
            QAction* action = menu->addAction(QStringLiteral("   ") + title);
            action->setData(tag);
            action->setCheckable(true);
            QObject::connect(action, &QAction::triggered, q,
                             [this, action] { q->actionMenuAction(action); });
        };
        heading(QStringLiteral("Orientation"));
        item(localized(QStringLiteral("All Orientations")), 0);
        item(localized(QStringLiteral("Portrait")), 1);
        item(localized(QStringLiteral("Landscape")), 2);
        item(localized(QStringLiteral("Square")), 3);
        if (paper) {
            menu->addSeparator();
            heading(QStringLiteral("Paper Style"));
            item(localized(QStringLiteral("All Styles")), 4);
            const QStringList styles = {"Artistic", "Solid", "Striped", "Overlay",
                                        "Pattern",  "Plaid", "Texture"};
            for (int i = 0; i < styles.size(); ++i)
                item(localized(styles[i]), 5 + i);
        }
        if (quickPage) {
            menu->addSeparator();
            heading(QStringLiteral("Number of Pictures"));
            item(localized(QStringLiteral("Any Number")), 13);
            for (int count = 1; count <= 6; ++count)
                item(QString::number(count), 13 + count);
        }
        return menu;
    };
    actionMenu = filterMenu(QStringLiteral("actionMenu"), false, false);
    paperMenu = filterMenu(QStringLiteral("paperMenu"), true, false);
    quickPageMenu = filterMenu(QStringLiteral("quickPageMenu"), false, true);

    // The plus/minus/info control at the top right of the home view.
    plusMinusControl = new platform::SegmentedControl(homeView);
    keep(QStringLiteral("plusMinusControl"), plusMinusControl);
    platform::SegmentedCell* cell = plusMinusControl->cell();
    cell->setSegmentCount(3);
    cell->setTrackingMode(platform::SegmentedCell::Tracking::Momentary);
    const qreal widths[] = {29, 28, 28};
    const char* images[] = {"KitPlus", "KitMinus", "KitInfo"};
    for (int i = 0; i < 3; ++i) {
        cell->setWidth(widths[i], i);
        cell->setImage(pixmap(QString::fromLatin1(images[i])), i);
    }
    plusMinusControl->setToolTip(localized(QStringLiteral("Add, delete or get info about a kit")));
    plusMinusControl->resize(89, 19);
    QObject::connect(plusMinusControl, &platform::SegmentedControl::activated, q,
                     [this](int segment) { q->plusMinusAction(segment); });

    buildPreviews();
    buildSheets();
    buildCoverFlowWindow();
    awakeFromNib();
}

void SGCorbeilController::Private::buildPreviews()
{
    const auto keep = [this](const QString& name, QObject* object) { keepOutlet(name, object); };
    // A preview: its close button at the top right, the picture, then the texts below.
    const auto preview = [&](const QString& name, QLabel** imageView) {
        auto* view = new QWidget;
        keep(name + QStringLiteral("View"), view);
        auto* layout = new QVBoxLayout(view);
        layout->setContentsMargins(20, 8, 20, 12);
        auto* top = new QHBoxLayout;
        top->addStretch();
        auto* close = new QToolButton(view);
        close->setAutoRaise(true);
        close->setIcon(QIcon(pixmap(QStringLiteral("PreviewCloseButton"))));
        close->setIconSize(QSize(16, 16));
        QObject::connect(close, &QToolButton::pressed, close, [this, close] {
            close->setIcon(QIcon(pixmap(QStringLiteral("PreviewCloseButton1"))));
        });
        QObject::connect(close, &QToolButton::clicked, q, [this] { q->closePreviewWindow(); });
        top->addWidget(close);
        layout->addLayout(top);
        *imageView = new QLabel(view);
        (*imageView)->setAlignment(Qt::AlignCenter);
        (*imageView)->setMinimumSize(40, 40);
        (*imageView)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
        keep(name + QStringLiteral("ImageView"), *imageView);
        layout->addWidget(*imageView, 1);
        return std::pair{view, layout};
    };
    const auto field = [&](QWidget* view, const QString& name, const QFont& font) {
        QLabel* text = label(view, font);
        keep(name, text);
        return text;
    };

    // The kit preview: picture, title, description, tags.
    auto [kitView, kitLayout] = preview(QStringLiteral("kitPreview"), &kitPreviewImageView);
    kitPreviewView = kitView;
    kitPreviewTitleField = field(kitView, QStringLiteral("kitPreviewTitleField"), helvetica(true));
    kitPreviewDescriptionField =
        field(kitView, QStringLiteral("kitPreviewDescriptionField"), helvetica(false, true));
    kitPreviewTagsField = field(kitView, QStringLiteral("kitPreviewTagsField"), helvetica(true));
    kitLayout->addWidget(kitPreviewTitleField);
    kitLayout->addWidget(kitPreviewDescriptionField);
    kitLayout->addWidget(kitPreviewTagsField);
    kitPreviewBaseSize = QSize(360, 560);
    kitView->resize(kitPreviewBaseSize);

    // The graphic preview: picture, title, the kit (with its link) and tags.
    auto [graphicView, graphicLayout] =
        preview(QStringLiteral("graphicPreview"), &graphicPreviewImageView);
    graphicPreviewView = graphicView;
    graphicPreviewTitleField =
        field(graphicView, QStringLiteral("graphicPreviewTitleField"), helvetica(true));
    graphicLayout->addWidget(graphicPreviewTitleField);
    auto* kitRow = new QHBoxLayout;
    graphicPreviewKitField =
        field(graphicView, QStringLiteral("graphicPreviewKitField"), helvetica(true));
    auto* kitLink = new QToolButton(graphicView);
    kitLink->setAutoRaise(true);
    kitLink->setIcon(QIcon(pixmap(QStringLiteral("KitLinkButton"))));
    kitLink->setToolTip(localized(QStringLiteral("Show this kit")));
    keep(QStringLiteral("kitLinkButton"), kitLink);
    QObject::connect(kitLink, &QToolButton::pressed, kitLink, [this, kitLink] {
        kitLink->setIcon(QIcon(pixmap(QStringLiteral("KitLinkButton!"))));
    });
    QObject::connect(kitLink, &QToolButton::clicked, q, [this] { q->kitLinkAction(); });
    kitRow->addWidget(graphicPreviewKitField, 1);
    kitRow->addWidget(kitLink);
    graphicLayout->addLayout(kitRow);
    graphicPreviewTagsField =
        field(graphicView, QStringLiteral("graphicPreviewTagsField"), helvetica(true));
    graphicLayout->addWidget(graphicPreviewTagsField);
    graphicPreviewBaseSize = QSize(360, 520);
    graphicView->resize(graphicPreviewBaseSize);
}

void SGCorbeilController::Private::keepOutlet(const QString& name, QObject* object)
{
    object->setObjectName(name);
    outlets.insert(name, object);
}

QTableView* SGCorbeilController::Private::namedTable(QWidget* parent, const QString& name,
                                                     const QStringList& columns,
                                                     const QStringList& headers)
{
    auto* model = new TableModel(*this, name, columns, parent);
    model->setHeaders(headers);
    QTableView* view = makeTable(parent, model, !headers.isEmpty());
    keepOutlet(name, view);
    QObject::connect(
        view->selectionModel(), &QItemSelectionModel::selectionChanged, q, [this, name, view] {
            const QModelIndexList rows = view->selectionModel()->selectedRows();
            q->tableViewSelectionDidChange(name, rows.isEmpty() ? -1 : rows.first().row());
        });
    return view;
}

void SGCorbeilController::Private::buildSheets()
{
    const auto keep = [this](const QString& name, QObject* object) { keepOutlet(name, object); };
    const auto table = [this](QWidget* parent, const QString& name, const QStringList& columns,
                              const QStringList& headers) {
        return namedTable(parent, name, columns, headers);
    };

    // Delete sheet: every kit with a check box; the delete button waits for a check.
    deleteSheet = new QDialog;
    keep(QStringLiteral("deleteSheet"), deleteSheet);
    deleteSheet->setWindowTitle(localized(QStringLiteral("Delete Kits")));
    auto* deleteLayout = new QVBoxLayout(deleteSheet);
    deleteLayout->addWidget(
        new QLabel(localized(QStringLiteral("Choose the kits to delete:")), deleteSheet));
    deleteTable = table(deleteSheet, QStringLiteral("deleteTable"),
                        {QStringLiteral("checkbox"), QStringLiteral("name")}, {});
    deleteTable->setSelectionMode(QAbstractItemView::NoSelection);
    deleteTable->setColumnWidth(0, 28);
    deleteLayout->addWidget(deleteTable);
    auto* deleteButtons = new QDialogButtonBox(deleteSheet);
    deleteButton = deleteButtons->addButton(localized(QStringLiteral("Delete")),
                                            QDialogButtonBox::DestructiveRole);
    keep(QStringLiteral("deleteButton"), deleteButton);
    QPushButton* cancel = deleteButtons->addButton(QDialogButtonBox::Cancel);
    deleteLayout->addWidget(deleteButtons);
    QObject::connect(deleteButton, &QPushButton::clicked, q, [this] {
        deleteSheet->hide();
        QTimer::singleShot(0, q, [this] { q->deleteCheckedKits(); });
    });
    QObject::connect(cancel, &QPushButton::clicked, q, [this] {
        deleteSheet->hide();
        deleteKits.clear();
        deleteFlags.clear();
    });
    deleteSheet->resize(380, 360);

    // Kit information sheet.
    infoSheet = new QDialog;
    keep(QStringLiteral("infoSheet"), infoSheet);
    infoSheet->setWindowTitle(localized(QStringLiteral("Kit Information")));
    auto* infoLayout = new QHBoxLayout(infoSheet);
    infoKitTable = table(infoSheet, QStringLiteral("infoKitTable"), {QStringLiteral("name")}, {});
    infoKitTable->setMaximumWidth(220);
    infoLayout->addWidget(infoKitTable);
    auto* scroll = new QScrollArea(infoSheet);
    scroll->setWidgetResizable(true);
    auto* details = new QWidget;
    auto* form = new QFormLayout(details);
    const QFont small = [] {
        QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setPointSizeF(11);
        return font;
    }();
    const auto field = [&](const QString& name, const QString& title) {
        auto* value = new QLabel(details);
        value->setWordWrap(true);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        infoFields.insert(name, value);
        keep(name, value);
        form->addRow(localized(title), value);
    };
    const auto text = [&](const QString& name, const QString& title) {
        auto* value = new QTextEdit(details);
        value->setReadOnly(true);
        value->setFont(small);
        value->setMaximumHeight(80);
        infoFields.insert(name, value);
        keep(name, value);
        form->addRow(localized(title), value);
    };
    auto* artist = new QLabel(details);
    artist->setFixedSize(96, 96);
    artist->setScaledContents(false);
    artist->setAlignment(Qt::AlignCenter);
    infoFields.insert(QStringLiteral("infoArtistImageView"), artist);
    keep(QStringLiteral("infoArtistImageView"), artist);
    form->addRow(artist);
    field(QStringLiteral("infoTagsField"), QStringLiteral("Tags:"));
    field(QStringLiteral("infoDescriptionField"), QStringLiteral("Description:"));
    field(QStringLiteral("infoKitTypeField"), QStringLiteral("Kit Type:"));
    for (const QString& who : {QStringLiteral("Designer"), QStringLiteral("Owner")}) {
        const QString prefix = QStringLiteral("info") + who;
        field(prefix + QStringLiteral("NameField"), who + QStringLiteral(":"));
        field(prefix + QStringLiteral("ContactNameField"), QStringLiteral("Contact:"));
        auto* url = new QPushButton(details);
        url->setFlat(true);
        url->setStyleSheet(QStringLiteral("text-align: left; color: palette(link);"));
        infoFields.insert(prefix + QStringLiteral("URLField"), url);
        keep(prefix + QStringLiteral("URLField"), url);
        const int tag = who == QLatin1String("Designer") ? 1 : 2;
        QObject::connect(url, &QPushButton::clicked, q, [this, tag] { q->openURL(tag); });
        form->addRow(localized(QStringLiteral("Web:")), url);
        field(prefix + QStringLiteral("EmailField"), QStringLiteral("Email:"));
        field(prefix + QStringLiteral("PhoneField"), QStringLiteral("Phone:"));
        field(prefix + QStringLiteral("DescriptionField"), QStringLiteral("About:"));
        text(prefix + QStringLiteral("AddressView"), QStringLiteral("Address:"));
    }
    field(QStringLiteral("infoLicenseField"), QStringLiteral("License:"));
    field(QStringLiteral("infoPriceField"), QStringLiteral("Suggested Price:"));
    field(QStringLiteral("infoCurrencyField"), QStringLiteral("Currency:"));
    field(QStringLiteral("infoCopyrightField"), QStringLiteral("Copyright:"));
    text(QStringLiteral("infoLicenseAgreementView"), QStringLiteral("License Agreement:"));
    infoReleaseTable =
        table(details, QStringLiteral("infoReleaseTable"),
              {QStringLiteral("date"), QStringLiteral("version"), QStringLiteral("summary")},
              {localized(QStringLiteral("Date")), localized(QStringLiteral("Version")),
               localized(QStringLiteral("Summary"))});
    infoReleaseTable->setSelectionMode(QAbstractItemView::NoSelection);
    infoReleaseTable->setMinimumHeight(100);
    form->addRow(localized(QStringLiteral("Releases:")), infoReleaseTable);
    scroll->setWidget(details);
    auto* right = new QVBoxLayout;
    right->addWidget(scroll);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, infoSheet);
    QObject::connect(close, &QDialogButtonBox::rejected, q, [this] {
        infoSheet->hide();
        infoKits.clear();
        infoReleases.clear();
    });
    right->addWidget(close);
    infoLayout->addLayout(right, 1);
    infoSheet->resize(720, 520);
}

void SGCorbeilController::Private::buildCoverFlowWindow()
{
    coverFlowWindow = new platform::UtilityWindow;
    coverFlowWindow->setObjectName(QStringLiteral("coverFlowWindow"));
    outlets.insert(QStringLiteral("coverFlowWindow"), coverFlowWindow.data());
    auto* layout = new QVBoxLayout(coverFlowWindow->contentView());
    layout->setContentsMargins(0, 0, 0, 0);
    coverFlowView = new platform::CoverFlowView(coverFlowWindow->contentView());
    coverFlowView->setObjectName(QStringLiteral("coverFlowView"));
    outlets.insert(QStringLiteral("coverFlowView"), coverFlowView);
    coverFlowSource = std::make_unique<sgbrowser::CoverFlowSource>(*this);
    coverFlowView->setDataSource(coverFlowSource.get());
    layout->addWidget(coverFlowView, 1);
    auto* bar = new QWidget(coverFlowWindow->contentView());
    bar->setAutoFillBackground(true);
    QPalette dark = bar->palette();
    dark.setColor(QPalette::Window, QColor::fromRgbF(0.25, 0.25, 0.25));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::ButtonText, Qt::white);
    bar->setPalette(dark);
    auto* row = new QHBoxLayout(bar);
    coverFlowCountField = new QLabel(bar);
    coverFlowCountField->setObjectName(QStringLiteral("coverFlowCountField"));
    outlets.insert(QStringLiteral("coverFlowCountField"), coverFlowCountField);
    auto* cancel = new QPushButton(localized(QStringLiteral("Cancel")), bar);
    auto* choose = new QPushButton(localized(QStringLiteral("Choose")), bar);
    for (QPushButton* button : {cancel, choose}) {
        QPalette white = button->palette();
        white.setColor(QPalette::ButtonText, Qt::white);
        button->setPalette(white);
    }
    outlets.insert(QStringLiteral("coverFlowChooseButton"), choose);
    outlets.insert(QStringLiteral("coverFlowCancelButton"), cancel);
    row->addWidget(coverFlowCountField);
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(choose);
    layout->addWidget(bar);
    QObject::connect(choose, &QPushButton::clicked, q, [this] { q->coverFlowChooseAction(); });
    QObject::connect(cancel, &QPushButton::clicked, q, [this] { q->coverFlowCancelAction(); });
    QObject::connect(coverFlowView, &platform::CoverFlowView::itemActivated, q,
                     [this] { q->coverFlowChooseAction(); });
}

void SGCorbeilController::Private::awakeFromNib()
{
    mode = 0;
    graphicBrowser->setController(q);
    graphicBrowser->setBackgroundColor(QColor(212, 221, 230));
    primaryColorCheckBox->setChecked(
        platform::UserDefaults::standardUserDefaults().boolForKey(sgbrowser::MatchPrimaryColorKey));
    freeKitsButton->setVisible(showFreeKitsButton);
    coverFlowButton->setVisible(showCoverFlowButton);
    for (QWidget* panel : {kitsView, intermediateView, colorsView, graphicsView})
        panel->hide();
    homeView->show();
    openStore();
}
