#include "window/LBClipArtController.h"

#include "layouts/LBLayoutItem.h"
#include "window/LBEditController.h"

LBClipArtController::LBClipArtController(qint64 type, QObject* parent)
    : KXClipArtController(type, parent)
{}

LBClipArtController::~LBClipArtController() = default;

void LBClipArtController::setEditController(LBEditController* controller)
{
    _editController = controller;
}

LBEditController* LBClipArtController::editController() const
{
    return _editController;
}

double LBClipArtController::zoomFactor() const
{
    return _editController ? _editController->zoomFactor() : 0.0;
}

QRectF LBClipArtController::topPageRect() const
{
    return _editController ? _editController->topPageRect() : QRectF();
}

void LBClipArtController::insertImageAtPath(const QString& path)
{
    if (_editController)
        _editController->insertImageAtPath(path);
}

bool LBClipArtController::isPackageFolder(const QString& path) const
{
    return LBLayoutItem::isPackage(path);
}
