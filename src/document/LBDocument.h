#pragma once

// One open design: the pages of layers of graphics, their undo history and the window
// controllers that show them.

#include <QObject>

class LBGraphic;

namespace platform {
class UndoManager;
}

class LBDocument : public QObject
{
    Q_OBJECT
public:
    explicit LBDocument(QObject* parent = nullptr);
    ~LBDocument() override;

    // The document's undo manager; the graphics record the inverses of their changes on it.
    platform::UndoManager* undoManager() const;

    // Asks each of the document's window controllers to redraw the graphic's area; with no
    // window controllers it does nothing.
    virtual void invalidateGraphic(LBGraphic* graphic);

    // Program-wide: on while a document prints or exports. While it is on, pictures keep
    // their full resolution and are not downsampled.
    static bool isPrinting();
    static void setPrinting(bool printing);

    // Program-wide: on while a print operation runs (not during export). While it is on,
    // high-resolution renderings use the "Print Quality" resolution.
    static bool isPrintJobRunning();
    static void setPrintJobRunning(bool running);

private:
    platform::UndoManager* _undoManager = nullptr;
};
