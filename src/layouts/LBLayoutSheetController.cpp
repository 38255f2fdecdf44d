// Making a chooser, the list of open choosers, showing the sheet and what a chooser writes
// when it goes.

#include "layouts/LBLayoutSheetController.h"

#include "layouts/LBPaperSizeController.h"
#include "layouts/LBTemplateObject.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>

namespace {

QList<LBLayoutSheetController*>& openList()
{
    static QList<LBLayoutSheetController*> list;
    return list;
}

const QString sheetSizeKey = QStringLiteral("Layout Sheet Size 2");
const QString listWidthKey = QStringLiteral("Layout Sheet Document List Width");

} // namespace

LBLayoutSheetController::LBLayoutSheetController(bool newDocument,
                                                 qint64 existingDocumentProjectType,
                                                 QObject* parent)
    : QObject(parent),
      _newDocumentLayout(newDocument),
      _selectedProjectType(existingDocumentProjectType)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    if (_newDocumentLayout) {
        _layoutSheetSize = platform::sizeFromString(defaults.stringForKey(sheetSizeKey));
        _documentListWidth = defaults.doubleForKey(listWidthKey);
    } else {
        _layoutSheetSize = QSizeF(630, 375);
    }
    _splitFirstPaneWidth = _documentListWidth;
    // The custom layouts menu before the layouts are read: the entry for none, a
    // separator, the separator before the commands, and the three commands.
    _customLayoutPopup.items = {layoutSheetString(QStringLiteral("No Custom Layout")),
                                QStringLiteral("-"),
                                QStringLiteral("-"),
                                layoutSheetString(QStringLiteral("New Custom Layout…")),
                                layoutSheetString(QStringLiteral("Rename Custom Layout…")),
                                layoutSheetString(QStringLiteral("Delete Custom Layout"))};

    _minimumSize = QSizeF(513, 500);
    _maximumSize = QSizeF();
    _sheetFrame = QRectF(QPointF(0, 0), _layoutSheetSize);
    if (_newDocumentLayout)
        goToStep(ProjectTypeStep);
    else
        _selectedProjectType = AddressLabelsProject;
    openList().append(this);
}

LBLayoutSheetController::~LBLayoutSheetController()
{
    removeFromOpenControllers(this);
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    if (_newDocumentLayout) {
        defaults.setObject(platform::stringFromSize(_layoutSheetSize), sheetSizeKey);
        defaults.setDouble(_documentListWidth, listWidthKey);
    }
    if (_customLayoutsLoaded) {
        saveSelectedLayoutWithName(std::nullopt);
        writeCustomLayouts();
    }
    delete _sheet.data();
}

QList<LBLayoutSheetController*> LBLayoutSheetController::openControllers()
{
    return openList();
}

void LBLayoutSheetController::removeFromOpenControllers(LBLayoutSheetController* controller)
{
    openList().removeAll(controller);
}

void LBLayoutSheetController::closeAllOpenControllers()
{
    const QList<LBLayoutSheetController*> open = openList();
    for (qsizetype i = open.size() - 1; i >= 0; --i) {
        if (openList().contains(open.at(i)))
            open.at(i)->closeDocumentAction();
    }
    openList().clear();
    // The event loop has ended: the choosers let go go now, writing what they keep.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void LBLayoutSheetController::beginSheetForController(LayoutSheetHost* host)
{
    _host = host;
    _ended = false;
    QDialog* dialog = sheet();
    if (QWidget* window = host ? host->window() : nullptr) {
        dialog->setParent(window, dialog->windowFlags() | Qt::Dialog);
        dialog->setWindowModality(Qt::WindowModal);
    } else {
        dialog->setWindowModality(Qt::ApplicationModal);
    }
    dialog->show();
}
