#pragma once

// One open design: the pages of layers of graphics, their undo history and the window
// controllers that show them. Its graphics see it as their GraphicDocument.

#include "graphics/GraphicDocument.h"

#include <QObject>

class LBDocument : public QObject, public GraphicDocument
{
    Q_OBJECT
public:
    explicit LBDocument(QObject* parent = nullptr);
    ~LBDocument() override;

    QObject* documentObject() override { return this; }
    // The document's undo manager; the graphics record the inverses of their changes on it.
    platform::UndoManager* undoManager() const override;

    // Until the document has windows, a saved package and a temporary copy, it answers
    // the picture-file hooks and invalidateGraphic() as GraphicDocument does.

    // Program-wide: on while a document prints or exports. While it is on, pictures keep
    // their full resolution and are not downsampled. Kept in LBProcessState, where the
    // graphics read it.
    static bool isPrinting();
    static void setPrinting(bool printing);

    // Program-wide: on while a print operation runs (not during export). While it is on,
    // high-resolution renderings use the "Print Quality" resolution. Kept in
    // LBProcessState.
    static bool isPrintJobRunning();
    static void setPrintJobRunning(bool running);

private:
    platform::UndoManager* _undoManager = nullptr;
};
