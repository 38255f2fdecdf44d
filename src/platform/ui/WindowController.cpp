#include "platform/ui/WindowController.h"

#include <QWidget>

namespace platform {

WindowController::WindowController(QObject* parent) : QObject(parent)
{}

WindowController::~WindowController() = default;

void WindowController::setDocumentEdited(bool edited)
{
    if (QWidget* w = window())
        w->setWindowModified(edited);
}

void WindowController::close()
{
    if (QWidget* w = window())
        w->close();
}

} // namespace platform
