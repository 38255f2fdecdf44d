#pragma once

// The fields pane of the design drawer: an outline of merge-field definitions, grouped, that
// the user inserts into the text being edited in place or drags onto text or the canvas.
//
// Field definitions are dictionaries ("fieldName", "childArray" on groups, "propertyName",
// "propertyType", "isMultiple", "selectionType", "indexNum", "labelName", "arrayIndexNum",
// "propertyKey", "expanded", "fieldDesc") held in the four process-wide field lists
// (LBProcessState::fieldsList). The pane shows one of three sets, chosen with its
// segmented control and kept in "Fields Drawer Mode":
//   0  the my-fields list
//   1  the standard list, then the root of the address-book list ("All Fields")
//   2  the miscellaneous list
// Whether a group is shown expanded lives in its "expanded", in the shared lists, so it is
// the same in every window; the address-book list keeps it across runs ("CustomFields.plist",
// written by the application at quit).
//
// The address-book list is built from the contacts' properties the first time mode 1 is
// chosen while it is empty (its root then shows collapsed), and again by the options menu's
// "readAddressBookFields:" (the root then shows expanded).
//
// The design drawer makes one controller through the factory of drawer mode 6 and gives it
// the design controller. Main thread only.

#include "window/DrawerBrowser.h"

#include "platform/core/ContactStore.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Responder.h"

#include <QImage>
#include <QModelIndex>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <memory>

class LBBarcodeImage;
class LBFieldCell;
class LBFieldOutlineView;
class LBGraphic;
class LBTextArea;
class QAbstractItemModel;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace platform {
class Pasteboard;
class SegmentedControl;
} // namespace platform

class LBFieldsController : public QObject, public DrawerBrowser, public platform::Responder
{
    Q_OBJECT
public:
    // The drawer mode from "Fields Drawer Mode"; the pane is built and prepared for it.
    explicit LBFieldsController(QObject* parent = nullptr);
    ~LBFieldsController() override;

    // --- DrawerBrowser ---
    QWidget* mainView() override;
    // Keeps the design controller (not owned).
    void setEditController(LBEditController* controller) override;
    // Centres the segmented control and fits the outline between it and the controls below.
    void drawerResized() override;

    LBEditController* editController() const;
    qint64 mode() const { return _mode; }

    // --- The pane's controls ---
    platform::SegmentedControl* segmentedControl() const { return _segmentedControl; }
    LBFieldOutlineView* fieldTable() const { return _fieldTable; }
    QAbstractItemModel* fieldModel() const;
    QPushButton* insertFieldButton() const { return _insertFieldButton; }
    QToolButton* optionsButton() const { return _optionsButton; }
    QMenu* optionsMenu() const { return _optionsMenu; }
    QLabel* descriptionText() const { return _descriptionText; }

    // --- Actions ---
    // The outline's rows in the system font of 11 points, 15 high.
    void setTableFontSize();
    // The segmented control chose a mode: kept, the address-book list built when mode 1
    // finds it empty, the outline reloaded and its groups expanded as remembered.
    void fieldsButtonAction();
    // Opens the preferences at the "MePrefs" pane.
    void chooseMeAction(QObject* sender);
    // Rebuilds the address-book list from the contacts; its root shows expanded when a
    // sender (a menu item) asked, collapsed when called with none.
    void readAddressBookFields(QObject* sender);
    // "chooseMeAction:" while the application shell answers; "readAddressBookFields:" in
    // mode 1; nothing else.
    bool validateMenuItem(QAction* item) override;
    // Inserts the selected field into the text being edited in place or, while no text is
    // being edited, onto the page (insertFieldOnPage()); nothing when no field is selected.
    void insertFieldAction();
    // Expands the shown groups whose "expanded" is on (last to first).
    void expandList();
    // Writes each shown group's expansion into its "expanded".
    void saveExpandedList();
    // The window's address text box holding that pre-formatted block; nullptr without a
    // window or merge support.
    std::shared_ptr<LBTextArea> textObjForPreformattedFieldStr(const QString& fieldName) const;
    // Preview is not shown from the pane.
    void showPreview() {}

    // --- Barcode fields ---
    // The symbology of a barcode field's property name; 9 (POSTNET) for any other name.
    static qint32 barcodeTypeForPropertyName(const QString& propertyName);
    // A new barcode of that symbology at its own size; the postal ones read their text
    // from a contact field.
    static std::shared_ptr<LBBarcodeImage> barcodeImageForPropertyName(const QString& propertyName);

    // --- The outline's data ---
    // The top-level nodes shown in the mode.
    static QVariantList shownTopLevelNodes(qint64 mode);
    // Whether the address-book list holds a root to show (its first entry, a dictionary);
    // without one, mode 1 builds the list.
    static bool hasAddressBookRoot();
    // The definition a row shows (empty for an invalid index).
    QVariantMap nodeForIndex(const QModelIndex& index) const;
    // The selected row's definition (empty without a selection).
    QVariantMap selectedNode() const;
    // A node is a group (expandable, never inserted or dragged) when it has "childArray".
    static bool isGroup(const QVariantMap& node);
    // The dragged fields onto the pasteboard; false (nothing written) for a group or when
    // there is nothing to carry.
    bool writeItems(const QList<QVariantMap>& nodes, platform::Pasteboard& pasteboard);
    // The picture dragged with a field, already half transparent; null when there is none.
    QImage dragImageForNode(const QVariantMap& node) const;
    // Sets the cell's backgrounds for the row about to be drawn.
    void willDisplayCell(LBFieldCell* cell, const QModelIndex& index, bool selected);
    bool inhibitCellBackground() const { return _inhibitCellBackground; }
    // The selection changed: the description and the insert button follow it.
    void selectionDidChange();
    // A top-level row was expanded or collapsed by the user or the program.
    void itemDidExpand(const QModelIndex& index);
    void itemDidCollapse(const QModelIndex& index);

    // --- The address-book list ---
    using PropertyTypeOf = std::function<platform::ContactPropertyType(const QString&)>;
    // The field nodes of the properties over the people, sorted by "fieldName" without
    // regard to case. A value chosen by position has "indexNum" counted from 1, as the merge
    // reads it and as its name shows ("Phone.1"); an element of an array value has
    // "arrayIndexNum" counted from 0. A labelled value keeps the label as stored.
    static QVariantList addressBookFieldNodes(const QList<platform::ContactPersonPtr>& people,
                                              const QStringList& properties,
                                              const PropertyTypeOf& typeOf);
    // The store the people come from: the window's merge services', else the shared one.
    platform::ContactStore* contactStore() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The field's row put on the page as a drop of it would be, in the middle of the
    // visible page.
    void insertFieldOnPage(const QVariantMap& node);
    void buildInterface();
    void awakeFromNib();
    void buildOptionsMenu();
    void reloadOutline();
    void setNodeExpanded(const QModelIndex& index, bool expanded);
    // The picture graphic of a picture field; nullptr for any other property.
    std::shared_ptr<LBGraphic> pictureGraphicForProperty(const QString& propertyName) const;

    QPointer<QWidget> _mainView; // owned; the drawer only borrows it
    platform::SegmentedControl* _segmentedControl = nullptr;
    LBFieldOutlineView* _fieldTable = nullptr;
    class Model;
    Model* _model = nullptr;
    LBFieldCell* _cell = nullptr;
    QPushButton* _insertFieldButton = nullptr;
    QToolButton* _optionsButton = nullptr;
    QMenu* _optionsMenu = nullptr;
    QLabel* _descriptionText = nullptr;
    QPointer<QObject> _editControllerObject;
    LBEditController* _editController = nullptr;
    bool _inhibitCellBackground = false;
    qint64 _mode = 0;
    bool _expandingList = false;
    platform::ObserverToken _listsObserver;
};
