#include "platform/ui/Alert.h"

#include <QCheckBox>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <algorithm>

namespace platform {

namespace {

Alert::Responder& responder()
{
    static Alert::Responder instance;
    return instance;
}

QString shown(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// The message box of the alert; the buttons are added in order, so the first is the
// default one.
QMessageBox* makeBox(const Alert& alert, QWidget* parent)
{
    auto* box = new QMessageBox(parent);
    box->setIcon(alert.style == Alert::Critical        ? QMessageBox::Critical
                 : alert.style == Alert::Informational ? QMessageBox::Information
                                                       : QMessageBox::Warning);
    box->setText(shown(alert.messageText));
    box->setInformativeText(shown(alert.informativeText));
    const QStringList titles =
        alert.buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : alert.buttons;
    for (int i = 0; i < titles.size() && i < 3; ++i) {
        QPushButton* button = box->addButton(titles[i], QMessageBox::AcceptRole);
        button->setProperty("returnCode", Alert::FirstButtonReturn + i);
        if (i == 0)
            box->setDefaultButton(button);
        if (i == alert.cancelButton)
            box->setEscapeButton(button);
    }
    if (alert.showsSuppressionButton)
        box->setCheckBox(new QCheckBox(alert.suppressionButtonTitle.isEmpty()
                                           ? QStringLiteral("Do not show this message again")
                                           : alert.suppressionButtonTitle));
    return box;
}

Alert::Response responseOf(const QMessageBox& box, int cancelButton)
{
    Alert::Response response;
    const QAbstractButton* clicked = box.clickedButton();
    const int dismissed = Alert::FirstButtonReturn + std::max(cancelButton, 0);
    response.returnCode = clicked ? clicked->property("returnCode").toInt() : dismissed;
    response.suppressed = box.checkBox() && box.checkBox()->isChecked();
    return response;
}

} // namespace

void Alert::setResponder(Responder newResponder)
{
    responder() = std::move(newResponder);
}

void Alert::beginSheetModalForWindow(QWidget* window, Handler handler) const
{
    if (responder()) {
        const Response response = responder()(*this, window);
        if (handler)
            handler(response);
        return;
    }
    if (!window) {
        const Response response = runModal();
        if (handler)
            handler(response);
        return;
    }
    QWidget* const sheetWindow = window->window();
    QMessageBox* box = makeBox(*this, sheetWindow);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box, [box, handler, cancel = cancelButton](int) {
        if (handler)
            handler(responseOf(*box, cancel));
    });
    // A window shows one sheet at a time: an alert begun while another is on the window (or
    // waiting for it) comes once that one has ended, rather than stacked over it, where it
    // would hide the first and take its keys.
    static QHash<QWidget*, QPointer<QMessageBox>> lastSheets;
    if (!lastSheets.contains(sheetWindow))
        QObject::connect(sheetWindow, &QObject::destroyed,
                         [sheetWindow] { lastSheets.remove(sheetWindow); });
    QPointer<QMessageBox>& last = lastSheets[sheetWindow];
    if (last)
        QObject::connect(
            last, &QMessageBox::finished, box, [box] { box->open(); }, Qt::QueuedConnection);
    else
        box->open();
    last = box;
}

Alert::Response Alert::runModal() const
{
    if (responder())
        return responder()(*this, nullptr);
    QMessageBox* box = makeBox(*this, nullptr);
    box->exec();
    const Response response = responseOf(*box, cancelButton);
    delete box;
    return response;
}

} // namespace platform
