#include "document/LBDocument.h"

#include "platform/core/UndoManager.h"

namespace {

bool printingFlag = false;
bool printJobFlag = false;

} // namespace

LBDocument::LBDocument(QObject* parent)
    : QObject(parent), _undoManager(new platform::UndoManager(this))
{}

LBDocument::~LBDocument() = default;

platform::UndoManager* LBDocument::undoManager() const
{
    return _undoManager;
}

void LBDocument::invalidateGraphic(LBGraphic* graphic)
{
    // Window controllers redraw the graphic's area; a document without windows has no
    // one to ask.
    Q_UNUSED(graphic);
}

QString LBDocument::temporaryFilePath() const
{
    return QString();
}

bool LBDocument::temporaryFileExists() const
{
    return false;
}

QString LBDocument::fileName() const
{
    return QString();
}

void LBDocument::forceSaveTemporaryFile()
{}

std::shared_ptr<platform::Image>
LBDocument::downsampleImage(const std::shared_ptr<platform::Image>& image,
                            const QSizeF& drawingSize)
{
    Q_UNUSED(drawingSize);
    return image;
}

bool LBDocument::isPrinting()
{
    return printingFlag;
}

void LBDocument::setPrinting(bool printing)
{
    printingFlag = printing;
}

bool LBDocument::isPrintJobRunning()
{
    return printJobFlag;
}

void LBDocument::setPrintJobRunning(bool running)
{
    printJobFlag = running;
}
