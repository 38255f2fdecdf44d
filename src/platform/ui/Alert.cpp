#include "platform/ui/Alert.h"

#include <QHash>
#include <QMessageBox>
#include <QPushButton>

#include <memory>
#include <utility>

namespace platform {

namespace {

Alert::Responder& responder()
{
    static Alert::Responder installed;
    return installed;
}

QMessageBox::Icon iconOf(Alert::Style style)
{
    switch (style) {
    case Alert::Informational: return QMessageBox::Information;
    case Alert::Critical: return QMessageBox::Critical;
    case Alert::Warning: break;
    }
    return QMessageBox::Warning;
}

} // namespace

void Alert::setResponder(Responder newResponder)
{
    responder() = std::move(newResponder);
}

void Alert::beginSheetModalForWindow(QWidget* window, std::function<void(int)> didEnd) const
{
    if (responder()) {
        const int code = responder()(*this);
        if (didEnd)
            didEnd(code);
        return;
    }

    auto* box =
        new QMessageBox(iconOf(style), QString(), messageText, QMessageBox::NoButton, window);
    box->setInformativeText(informativeText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    const QStringList titles = buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
    const qsizetype cancelIndex =
        cancelButton >= 0 && cancelButton < titles.size() ? cancelButton : titles.size() - 1;
    auto codes = std::make_shared<QHash<QAbstractButton*, int>>();
    for (qsizetype i = 0; i < titles.size(); ++i) {
        QPushButton* button = box->addButton(titles[i], QMessageBox::ActionRole);
        codes->insert(button, FirstButtonReturn + int(i));
        if (i == 0)
            box->setDefaultButton(button);
        if (i == cancelIndex)
            box->setEscapeButton(button);
    }
    const int cancelCode = FirstButtonReturn + int(cancelIndex);
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, codes, cancelCode, didEnd = std::move(didEnd)](int) {
                         const int code = codes->value(box->clickedButton(), cancelCode);
                         if (didEnd)
                             didEnd(code);
                     });
    box->open();
}

} // namespace platform
