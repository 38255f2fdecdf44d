#include "merge/LBPrintOnlineController.h"

#include "merge/LBSheet.h"
#include "platform/core/Strings.h"
#include "platform/ui/OpenUrl.h"
#include "window/MergeServices.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kAddressKey = QStringLiteral("Online Print Address");

} // namespace

LBPrintOnlineController::LBPrintOnlineController(QObject* parent) : QObject(parent)
{
    _sheetWindow = new QDialog;
    _sheetWindow->setWindowTitle(tr("Print Online"));
    auto* layout = new QVBoxLayout(_sheetWindow);
    layout->addWidget(new QLabel(tr("Save your design as a PDF file and send it to an online "
                                    "printing service.")));
    auto* buttons = new QDialogButtonBox;
    QPushButton* save = buttons->addButton(tr("Save as PDF..."), QDialogButtonBox::ActionRole);
    _onlinePageButton =
        buttons->addButton(tr("Open Online Print Page"), QDialogButtonBox::ActionRole);
    QPushButton* done = buttons->addButton(QDialogButtonBox::Close);
    _onlinePageButton->setEnabled(!onlinePrintAddress().isEmpty());
    layout->addWidget(buttons);
    connect(save, &QPushButton::clicked, this, [this] { saveAsPDFAction(); });
    connect(_onlinePageButton, &QPushButton::clicked, this,
            [this] { openOnlinePrintPageAction(); });
    connect(done, &QPushButton::clicked, this, [this] { doneAction(); });
}

LBPrintOnlineController::~LBPrintOnlineController()
{
    delete _sheetWindow;
}

QString LBPrintOnlineController::onlinePrintAddress()
{
    const QString address = platform::LocalizedString(kAddressKey, QStringLiteral("Miscellaneous"));
    return address == kAddressKey ? QString() : address;
}

void LBPrintOnlineController::beginSheetForWindowController(MergeServices* services,
                                                            QWidget* window)
{
    _windowController = services;
    LBBeginSheet(_sheetWindow, window);
}

void LBPrintOnlineController::saveAsPDFAction()
{
    _sheetWindow->hide();
    MergeServices* services = _windowController;
    if (!services)
        return;
    services->doneOnlinePrinting();
    services->exportAction();
}

void LBPrintOnlineController::openOnlinePrintPageAction()
{
    const QString address = onlinePrintAddress();
    if (!address.isEmpty())
        platform::openUrl(QUrl(address), _sheetWindow);
}

void LBPrintOnlineController::doneAction()
{
    _sheetWindow->hide();
    if (_windowController)
        _windowController->doneOnlinePrinting();
}
