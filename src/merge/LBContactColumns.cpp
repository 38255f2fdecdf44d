#include "merge/LBContactColumns.h"

#include "merge/LBMergeServices.h"
#include "platform/core/Strings.h"
#include "platform/drawing/Bundle.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QIcon iconFor(LBMergeServices::RowIcon icon)
{
    static const char* const names[] = {"allGroup", "group", "person", "organization",
                                        "selfPerson"};
    static QIcon cache[5];
    const int i = int(icon);
    if (cache[i].isNull()) {
        const platform::Bundle bundle;
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = bundle.pixmapNamed(QLatin1String(names[i]), ratio);
            if (!pixmap.isNull())
                cache[i].addPixmap(pixmap);
        }
    }
    return cache[i];
}

// One column of rows read from the merge services.
class RowsModel : public QAbstractTableModel
{
public:
    RowsModel(LBMergeServices& services, bool groups, QObject* parent)
        : QAbstractTableModel(parent), _services(services), _groups(groups)
    {}
    int rowCount(const QModelIndex& parent) const override
    {
        if (parent.isValid())
            return 0;
        return int(_groups ? _services.numberOfGroupRows() : _services.numberOfPeopleRows());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DisplayRole)
            return _groups ? _services.groupRowText(index.row())
                           : _services.peopleRowText(index.row());
        if (role == Qt::DecorationRole)
            return iconFor(_groups ? _services.groupRowIcon(index.row())
                                   : _services.peopleRowIcon(index.row()));
        return {};
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    LBMergeServices& _services;
    bool _groups;
};

QTableView* makeTable(QWidget* pane, QAbstractItemModel* model, bool multiple)
{
    auto* table = new QTableView(pane);
    // Hidden before the model comes: a table measures only the headers it shows, and these
    // (in a bold font of their own) never show.
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->setModel(model);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setShowGrid(false);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setIconSize(QSize(14, 14));
    return table;
}

// Puts the table in the pane below its title, replacing the stand-in there.
void placeInPane(QWidget* pane, QWidget* table, QWidget* below = nullptr)
{
    for (QObject* child : pane->children())
        if (auto* w = qobject_cast<QWidget*>(child);
            w && !qobject_cast<QLabel*>(w) && w != table && w != below)
            w->hide();
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 22, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(table);
    if (below)
        layout->addWidget(below);
}

} // namespace

LBContactColumns::LBContactColumns(LBMergeServices& services, QWidget* groupPane,
                                   QWidget* peoplePane)
    : QObject(groupPane), _services(services)
{
    auto* groups = new RowsModel(services, true, this);
    auto* people = new RowsModel(services, false, this);
    _groupModel = groups;
    _peopleModel = people;
    _groupTable = makeTable(groupPane, groups, false);
    _personTable = makeTable(peoplePane, people, true);
    _addressBookButton =
        new QPushButton(platform::LocalizedString(QStringLiteral("Open Contacts Folder"),
                                                  QStringLiteral("DialogStrings")),
                        groupPane);
    _addressBookButton->setFlat(true);
    connect(_addressBookButton, &QPushButton::clicked, this,
            [this] { _services.launchAddressBookAction(); });
    placeInPane(groupPane, _groupTable, _addressBookButton);
    placeInPane(peoplePane, _personTable);
    connect(_groupTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { groupSelectionChanged(); });
    connect(_personTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { peopleSelectionChanged(); });
    reload();
}

LBContactColumns::~LBContactColumns() = default;

void LBContactColumns::reload()
{
    _updating = true;
    static_cast<RowsModel*>(_groupModel)->reset();
    static_cast<RowsModel*>(_peopleModel)->reset();
    showModelSelection();
    _updating = false;
}

void LBContactColumns::reloadPeople()
{
    _updating = true;
    static_cast<RowsModel*>(_peopleModel)->reset();
    showModelSelection();
    _updating = false;
}

void LBContactColumns::showModelSelection()
{
    const auto select = [](QTableView* table, const QList<qint64>& rows) {
        QItemSelection selection;
        for (const qint64 row : rows) {
            const QModelIndex index = table->model()->index(int(row), 0);
            selection.select(index, index);
        }
        table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect
                                                       | QItemSelectionModel::Rows);
    };
    const qint64 group = _services.selectedGroupRow();
    select(_groupTable, group >= 0 ? QList<qint64>{group} : QList<qint64>());
    select(_personTable, _services.selectedPeopleRows());
}

void LBContactColumns::groupSelectionChanged()
{
    if (_updating)
        return;
    const QModelIndexList rows = _groupTable->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        // The groups column never stands without a selection.
        reload();
        return;
    }
    _services.selectGroupRow(rows.first().row());
}

void LBContactColumns::peopleSelectionChanged()
{
    if (_updating)
        return;
    QList<qint64> rows;
    for (const QModelIndex& index : _personTable->selectionModel()->selectedRows())
        rows.append(index.row());
    _updating = true;
    _services.selectPeopleRows(rows);
    _updating = false;
}

void LBContactColumns::setTableFontSize(qint64 size)
{
    const int points = size == 0 ? 11 : size == 1 ? 13 : 14;
    const int rowHeight = size == 0 ? 15 : size == 1 ? 17 : 18;
    for (QTableView* table : {_groupTable, _personTable}) {
        QFont font = table->font();
        font.setPointSize(points);
        table->setFont(font);
        table->verticalHeader()->setDefaultSectionSize(rowHeight);
        table->verticalHeader()->setMinimumSectionSize(rowHeight);
    }
    reloadPeople();
}
