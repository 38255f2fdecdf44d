#pragma once

// The document a graphic belongs to, as the graphic sees it (LBDocument implements it):
// where it records its undo, whom it asks to redraw it, and the picture-file hooks. A
// graphic holds it without owning it. The hooks' defaults are those of a document with
// no windows, never saved and without a temporary copy.

#include <QSizeF>
#include <QString>

#include <memory>

class LBGraphic;
class QObject;

namespace platform {
class Image;
class UndoManager;
} // namespace platform

class GraphicDocument
{
public:
    virtual ~GraphicDocument() = default;

    // An object that lives exactly as long as the document: work a graphic defers to a
    // later pass of the event loop is bound to it, so none reaches a document that is gone.
    virtual QObject* documentObject() = 0;

    // The document's undo manager; the graphics record the inverses of their changes on it.
    virtual platform::UndoManager* undoManager() const = 0;

    // Asks each of the document's window controllers to redraw the graphic's area; with no
    // window controllers it does nothing.
    virtual void invalidateGraphic(LBGraphic* graphic) { (void)graphic; }

    // --- Picture files of the graphics ---
    // The folder of the document's temporary (autosaved) copy, where the picture files of
    // an unsaved or changed document lie under their own names; null when there is none.
    virtual QString temporaryFilePath() const { return QString(); }
    // Whether that folder exists.
    virtual bool temporaryFileExists() const { return false; }
    // The saved document package, which holds the pictures moved into it directly under
    // their own names; null for a document never saved.
    virtual QString fileName() const { return QString(); }
    // Writes the document's temporary copy now, so a newly loaded picture reaches it.
    virtual void forceSaveTemporaryFile() {}
    // The picture at the resolution the design needs when drawn at drawingSize (points):
    // a smaller copy, or the picture given when there is nothing to do. The default keeps
    // every picture as it is.
    virtual std::shared_ptr<platform::Image>
    downsampleImage(const std::shared_ptr<platform::Image>& image, const QSizeF& drawingSize)
    {
        (void)drawingSize;
        return image;
    }
};
