#include "document/DocumentWindowController.h"

#include <utility>

namespace {

DocumentWindowController::Factory& factory()
{
    static DocumentWindowController::Factory installed;
    return installed;
}

} // namespace

DocumentWindowController::DocumentWindowController(QObject* parent) : WindowController(parent)
{}

DocumentWindowController::DocumentWindowController(const QString& windowName, QObject* parent)
    : WindowController(windowName, parent)
{}

DocumentWindowController::~DocumentWindowController() = default;

void DocumentWindowController::setFactory(Factory newFactory)
{
    factory() = std::move(newFactory);
}

DocumentWindowController* DocumentWindowController::make()
{
    return factory() ? factory()() : nullptr;
}
