#pragma once

// The text library of the design drawer: text boxes (and shapes carrying text) the user
// keeps for reuse, shown as a one-column list under the drawer's "Text" tab. A box dragged
// from a canvas into the list is added where it is let go; a row is placed into the design
// by a double-click or by dragging it onto a canvas; rows are reordered by dragging them
// within the list and removed with the Delete key after a confirmation ("Confirm Delete
// Text Object").
//
// The library is one SQLite file, "Text Library" in the user's support folder, shared by
// every document and kept between runs. Its table "TextObject" holds per row the position
// ("index") and the graphics-list data of the stored graphics ("textData", the same data
// as the pasteboard type "Quarn Print Line"; the first graphic is the item). On first use
// the file is made and filled with the program's sample text boxes. The list shows the
// rows in ascending "index" order (ties keep the order they were read in), and every
// change renumbers them 0 to n - 1 in the same transaction.
//
// A file that does not open (damaged, locked, of a newer schema) is reported once; the list
// then stays empty, drops are refused and the file is never written. A row whose data does
// not read shows empty and can still be deleted.
//
// Main thread only. The design drawer makes one controller (through the drawer factory of
// mode 4) and gives it the design controller and the zoom factor.

#include "window/DrawerBrowser.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class LBGraphic;
class LBTextDrawerTableView;
class QWidget;

namespace platform {
class AttributedString;
class Pasteboard;
class SqlStore;
struct Error;
} // namespace platform

// A row number of the text library, as decimal text, while it is dragged.
inline const QString LBTextTablePboardType = QStringLiteral("LBTextTablePboardType");

class LBTextDrawerController : public QObject, public DrawerBrowser
{
    Q_OBJECT
public:
    // One record of the table "TextObject".
    struct TextObject
    {
        qint64 rowId = 0;
        qint64 index = 0;
        QByteArray textData;
    };

    explicit LBTextDrawerController(QObject* parent = nullptr);
    ~LBTextDrawerController() override;

    // --- DrawerBrowser ---
    QWidget* mainView() override;
    // Keeps the design controller (not owned); a double-click inserts through it. It
    // also tells the list of its zoom changes.
    void setEditController(LBEditController* controller) override;
    void setZoomFactor(double zoomFactor) override;

    LBEditController* editController() const { return _editController; }
    double zoomFactor() const { return _zoomFactor; }
    LBTextDrawerTableView* tableView() const { return _tableView; }

    // --- The store ---
    // The support folder + "Text Library".
    static QString libraryPath();
    // The open store, opened (and on first use made and filled) once; nullptr when it
    // did not open, which was then reported.
    platform::SqlStore* store();
    // Whether opening the store was tried and failed.
    bool storeFailed() const { return _storeFailed; }
    // Refetches the records in list order.
    void loadObjects();
    // Shows the records in the list again.
    void reloadTable();
    const QList<TextObject>& objects() const { return _objects; }
    // The first graphic of a record's data; nullptr when it holds none or does not read.
    static std::shared_ptr<LBGraphic> textObjectForObject(const TextObject& object);

    // --- Actions ---
    // Inserts a copy of the selected row's graphic as a new text box.
    void doubleClickAction();
    // Deletes the row after the confirmation (unless switched off); not undoable.
    void deleteTextAtIndex(qint64 row);

    // --- The list's data ---
    qint64 numberOfRows() const { return _objects.size(); }
    // The row's text (none without text), its font capped at 72 points, cut with an
    // ellipsis to the width less 5 points.
    std::optional<platform::AttributedString> objectValueForRow(qint64 row,
                                                                double columnWidth) const;
    double heightOfRow(qint64 row) const;
    // The height the list gives a row now: its own once it was measured (the first
    // screen's rows always are), until then a provisional one. The other rows are
    // measured a batch at a time after the list was loaded.
    double shownHeightOfRow(qint64 row) const;
    static constexpr qint64 FirstScreenRows = 60;
    static constexpr double ProvisionalRowHeight = 24.0;
    static constexpr qint64 MeasuredRowsPerTurn = 100;
    // Puts the first row's graphic under "Quarn Print Line" and its number under
    // LBTextTablePboardType; false when the row holds no graphic.
    bool writeRowsWithIndexes(const QList<qint64>& rows, platform::Pasteboard& pasteboard);
    // Drops go between rows only: a row of the list moves, a text box or a shape with text
    // is copied in; anything else is refused.
    Qt::DropAction validateDrop(const platform::Pasteboard& pasteboard, qint64 proposedRow,
                                bool onRow) const;
    // Above row `row` (below the last for the row count).
    bool acceptDrop(const platform::Pasteboard& pasteboard, qint64 row);

    // The displayed text of one record and the row height it needs.
    struct RowDisplay
    {
        std::shared_ptr<platform::AttributedString> text; // none without text
        double height = 12.0;
    };

private:
    void buildView();
    bool openStore();
    bool seedStore(platform::SqlStore& store, platform::Error* error);
    // Writes the new order (rows by their record ids) as indexes 0 to n - 1, inside the
    // caller's transaction.
    bool renumber(const QList<qint64>& rowIds, platform::Error* error);
    // Commits, or rolls back and reports; reloads the list either way.
    bool finishChange(bool ok, const platform::Error& error);
    void presentError(const QString& message, const platform::Error& error) const;
    const RowDisplay& displayOfRow(qint64 row) const;
    void measureRows(qint64 from, qint64 generation);

    QWidget* _mainView = nullptr;
    LBTextDrawerTableView* _tableView = nullptr;
    QPointer<QObject> _editControllerObject;
    LBEditController* _editController = nullptr;
    double _zoomFactor = 1.0;
    std::unique_ptr<platform::SqlStore> _store;
    bool _storeTried = false;
    bool _storeFailed = false;
    QList<TextObject> _objects;
    // Parallel to _objects; each made when first asked for.
    mutable QList<std::optional<RowDisplay>> _display;
    qint64 _generation = 0;
};
