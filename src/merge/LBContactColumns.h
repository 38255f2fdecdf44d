#pragma once

// The two contact columns of a document window in preview: the groups ("All" first) and
// the people of the chosen group, as tables over the merge services' model, with a row
// icon for each kind of row. Selecting rows tells the model; the model's changes reload
// the tables. Lives in the window's column panes, made by the merge services.

#include <QObject>

class LBMergeServices;
class QAbstractItemModel;
class QPushButton;
class QTableView;
class QWidget;

class LBContactColumns : public QObject
{
    Q_OBJECT
public:
    LBContactColumns(LBMergeServices& services, QWidget* groupPane, QWidget* peoplePane);
    ~LBContactColumns() override;

    QTableView* groupTable() const { return _groupTable; }
    QTableView* personTable() const { return _personTable; }
    QPushButton* addressBookButton() const { return _addressBookButton; }

    // Reloads both tables and shows the model's selection.
    void reload();
    // Reloads the people table only (the display order changed).
    void reloadPeople();
    // 0: 11 points on rows of 15; 1: 13 on 17; any other: 14 on 18.
    void setTableFontSize(qint64 size);
    // Whether the tables are telling the model of a selection made in them.
    bool isUpdating() const { return _updating; }

private:
    void showModelSelection();
    void groupSelectionChanged();
    void peopleSelectionChanged();

    LBMergeServices& _services;
    // Children of the panes, as this is.
    QTableView* _groupTable = nullptr;
    QTableView* _personTable = nullptr;
    QPushButton* _addressBookButton = nullptr;
    QAbstractItemModel* _groupModel = nullptr;
    QAbstractItemModel* _peopleModel = nullptr;
    bool _updating = false;
};
