#include "document/LBDocument.h"

#include "graphics/LBProcessState.h"
#include "platform/core/UndoManager.h"

LBDocument::LBDocument(QObject* parent)
    : QObject(parent), _undoManager(new platform::UndoManager(this))
{}

LBDocument::~LBDocument() = default;

platform::UndoManager* LBDocument::undoManager() const
{
    return _undoManager;
}

bool LBDocument::isPrinting()
{
    return LBProcessState::isPrinting();
}

void LBDocument::setPrinting(bool printing)
{
    LBProcessState::setPrinting(printing);
}

bool LBDocument::isPrintJobRunning()
{
    return LBProcessState::isPrintJobRunning();
}

void LBDocument::setPrintJobRunning(bool running)
{
    LBProcessState::setPrintJobRunning(running);
}
