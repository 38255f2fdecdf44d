#pragma once

// One open design: the pages of layers of graphics, their undo history and the window
// controllers that show them.

#include <QObject>
#include <QSizeF>
#include <QString>

#include <memory>

class LBGraphic;

namespace platform {
class Image;
class UndoManager;
} // namespace platform

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

    // --- Picture files of the graphics ---
    // The folder of the document's temporary (autosaved) copy, where the picture files of
    // an unsaved or changed document lie under their own names; null when there is none.
    virtual QString temporaryFilePath() const;
    // Whether that folder exists.
    virtual bool temporaryFileExists() const;
    // The saved document package, which holds the pictures moved into it directly under
    // their own names; null for a document never saved.
    virtual QString fileName() const;
    // Writes the document's temporary copy now, so a newly loaded picture reaches it.
    virtual void forceSaveTemporaryFile();
    // The picture at the resolution the design needs when drawn at drawingSize (points):
    // a smaller copy, or the picture given when there is nothing to do. The base class
    // keeps every picture as it is.
    virtual std::shared_ptr<platform::Image>
    downsampleImage(const std::shared_ptr<platform::Image>& image, const QSizeF& drawingSize);

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
