#pragma once

// One open design: pages of layers of graphics with the per-page layer lists (names,
// visibility, printing, selected layer), the two faces' backgrounds and placeholders, the
// layout dictionary and the page settings, the picture files it made, and the graphics
// list that carries graphics in and out of the program. Its graphics see it as their
// GraphicDocument.
//
// Undo: the model operations record their inverse on the document's undo manager, except
// showing a layer, inserting, deleting and moving layers and every page operation, which
// are not undoable. No operation names its step; the caller names it from the table
// "UndoStrings". A step named "Selection Change" leaves the document clean.
//
// Indices are 0-based. An index out of range (a page past the page count, a layer past
// the layers of the page named, a position past the layer) sounds the beep and changes
// nothing; that holds for undo steps replayed against a changed document too.
//
// Faces: a page has two faces; every per-face operation takes a face number, 0 for the
// first face and any other value for the second.
//
// Files: a design is saved as a package, a folder holding "Contents.quarnd" (the document
// dictionary: the graphics list and every setting, as old-style property-list text), the
// picture files of its graphics and faces (each source file once, "%f" names), previews
// and search metadata. A save builds the new package beside the old one and swaps them
// (platform::Document). While the document is open, a copy of it (without previews) is
// written to the temporary folder every "AutoRecover Save Interval" minutes when it has
// changed, and deleted with the document.
//
// The document owns its graphics; each holds a non-owning pointer back to it. Main
// thread only.

#include "graphics/GraphicDocument.h"
#include "graphics/LBGraphic.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Document.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/PrintOperation.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class DocumentWindowController;
class QTimer;
class SheetRenderer;

namespace platform {
struct Error;
class FileWrapper;
} // namespace platform

// The layers view rebuilds its list of layers (no object).
inline const QString LBUpdateLayersView = QStringLiteral("LBUpdateLayersView");
// The canvases of the document redraw (object: the document).
inline const QString LBRedrawGraphicViews = QStringLiteral("LBRedrawGraphicViews");
// In-place text editing ends before the selected layer changes (object: the document).
inline const QString LBStopEditingTextDuringDrag = QStringLiteral("LBStopEditingTextDuringDrag");
// The design view refreshes its grid and guides (object: the document).
inline const QString LBRefreshEditView = QStringLiteral("LBRefreshEditView");
// Failures to read graphics or documents (codes: LBDocument::ReadError).
inline const QString LBDocumentErrorDomain = QStringLiteral("LBDocumentErrorDomain");
// The image display resolution changed (posted by the preferences, the canvas and the edit
// controller; every open document brings its pictures to it).
inline const QString LBImageQualityChanged = QStringLiteral("LBImageQualityChanged");
// Before and after a document of several pages is written (no object).
inline const QString LBWritingToFile = QStringLiteral("LBWritingToFile");
inline const QString LBFinishedWritingToFile = QStringLiteral("LBFinishedWritingToFile");
// The canvases show another page (object: the document; userInfo "LBPageIndex": the page).
inline const QString LBSetPageIndex = QStringLiteral("LBSetPageIndex");
// "AutoRecover Save Interval" changed (no object); every open document follows it.
inline const QString LBAutoRecoverIntervalChanged = QStringLiteral("LBAutoRecoverIntervalChanged");
// Pasteboard types of graphics in the form of dataForGraphics(): graphics copied or dragged
// within the program, and graphics made from files (placed at their own size).
inline const QString LBPrintLinePboardType = QStringLiteral("Quarn Print Line");
inline const QString LBPrintLine1PboardType = QStringLiteral("Quarn Print Line 1");

class LBDocument : public platform::Document, public GraphicDocument
{
    Q_OBJECT
public:
    using Layer = QList<LBGraphicPtr>;
    using Page = QList<Layer>;
    using Pages = QList<Page>;
    using ImagePtr = std::shared_ptr<platform::Image>;

    // A new design in this order: one page of two empty layers, "Background" and
    // "Foreground", the foreground selected, both shown and printed; the default layout
    // dictionary on the paper of the shared print settings; both faces with a grey
    // background colour that prints, image scaling 1 and transparency 1.0, all else off;
    // POSTNET location 0; the auxiliary-information bits of "Draw Auxiliary Info"; label
    // repeat count 1; observing LBImageQualityChanged.
    // It also chooses the AutoRecover copy's path, starts the AutoRecover timer and
    // observes LBAutoRecoverIntervalChanged.
    explicit LBDocument(QObject* parent = nullptr);
    // Stops observing, lets the graphics go and deletes the AutoRecover copy.
    ~LBDocument() override;
    // A document read from the package at the path (opened from a file: it shows the
    // label controls); nullptr and the reason when it cannot be read.
    static std::unique_ptr<LBDocument> initWithContentsOfFile(const QString& path,
                                                              const QString& type,
                                                              platform::Error* error = nullptr);

    // --- GraphicDocument ---
    QObject* documentObject() override { return this; }
    platform::UndoManager* undoManager() const override;
    QString fileName() const override;
    QString temporaryFilePath() const override { return _temporaryFilePath; }
    bool temporaryFileExists() const override { return _temporaryFileExists; }
    // Writes the AutoRecover copy once the current event is done (requests of one turn of
    // the event loop make one write) and sets the exists flag; nothing while AutoRecover
    // is off.
    void forceSaveTemporaryFile() override;
    // Sends the redraw request to every window controller.
    void invalidateGraphic(LBGraphic* graphic) override;

    // ==== Pages =========================================================================
    qint64 numPages() const { return _documentGraphics.size(); }
    // The whole tree, live.
    Pages& documentGraphics() { return _documentGraphics; }
    const Pages& documentGraphics() const { return _documentGraphics; }
    // Page n's layers, live; nullptr past the last page.
    Page* graphicsOnPage(qint64 n);
    // The current page's layers, live.
    Page& pageGraphics();
    qint64 pageIndex() const { return _pageIndex; }
    // Stores the current page (a page past the end beeps); with refreshLayersView it
    // posts LBUpdateLayersView.
    void setPageIndex(qint64 index, bool refreshLayersView);
    qint64 multipageType() const { return _multipageType; }
    void setMultipageType(qint64 type) { _multipageType = type; }
    // Replaces page p's graphics by the given layers through the undoable removal and
    // insertion, adding empty layers while the page has fewer; the page never loses one.
    void setGraphics(const Page& layers, qint64 onPage);
    void addPageWithGraphics(const Page& layers, const QStringList& layerNames);
    // Inserts the layers as page i (0 ... page count) with the names, every layer shown
    // and printed, layer 0 selected.
    void insertPageWithGraphics(const Page& layers, const QStringList& layerNames, qint64 atIndex);
    // Removes page i with its list entries; the only page stays (beep).
    void removePageAtIndex(qint64 index);
    // Removes pages from the end, or appends pages with the current page's layer count,
    // layer names, flags and selected layer; fewer than one page beeps.
    void setPageCount(qint64 count);

    // ==== Graphics (the forms without onPage act on the current page) ===================
    void insertGraphic(const LBGraphicPtr& graphic, qint64 atIndex, qint64 onLayer, qint64 onPage);
    void insertGraphic(const LBGraphicPtr& graphic, qint64 atIndex, qint64 onLayer);
    // Also drops the picture-file bookkeeping entries no other graphic uses, and ends the
    // window's point-by-point curve drawing.
    void removeGraphicAtIndex(qint64 index, qint64 onLayer, qint64 onPage);
    void removeGraphicAtIndex(qint64 index, qint64 onLayer);
    // Removes the graphic (found by identity) from the layer; nothing when it is absent.
    void removeGraphic(const LBGraphicPtr& graphic, qint64 onLayer, qint64 onPage);
    void removeGraphic(const LBGraphicPtr& graphic, qint64 onLayer);
    // Moves the graphic so that it stands before the graphic at `toIndex` (0 ... count,
    // the count puts it last); nothing when it is absent or already there.
    void moveGraphic(const LBGraphicPtr& graphic, qint64 toIndex, qint64 onLayer, qint64 onPage);
    void moveGraphic(const LBGraphicPtr& graphic, qint64 toIndex, qint64 onLayer);
    // The graphic's position in the layer; -1 when absent or the layer does not exist.
    qint64 indexOfGraphic(const LBGraphicPtr& graphic, qint64 onLayer);
    qint64 numGraphicsOnLayer(qint64 layer);
    // Moves the graphics of layer a that `graphics` holds (all of them with nullptr) to
    // the front of layer b, in their order, through the undoable operations.
    void moveGraphics(const QList<LBGraphicPtr>* graphics, qint64 fromLayer, qint64 toLayer);
    // Removes every graphic of the layer through the undoable removal.
    void deleteGraphicsOnLayer(qint64 layer);

    // ==== Layers of the current page ====================================================
    qint64 layerCount() const;
    // An empty text past the names.
    QString layerNameAtIndex(qint64 index) const;
    void replaceLayerNameAtIndex(qint64 index, const QString& withName);
    // 0 (with the beep) when the page has no selected layer.
    qint64 selectedLayerIndex() const;
    // Posts LBStopEditingTextDuringDrag.
    void selectLayerAtIndex(qint64 index);
    // The flags; YES past the layers. Lists shorter than the page's layers are first
    // padded (a shown, printed "New Layer").
    bool layerAtIndexIsVisible(qint64 index);
    bool layerAtIndexWillPrint(qint64 index);
    // The same for a layer of page p (YES past its layers or past the pages).
    bool layerAtIndexIsVisible(qint64 index, qint64 onPage) const;
    bool layerAtIndexWillPrint(qint64 index, qint64 onPage) const;
    // Not undoable; posts LBRedrawGraphicViews.
    void showLayerAtIndex(qint64 index, bool show);
    void printLayerAtIndex(qint64 index, bool print);
    // Inserts an empty, shown, printed layer at i (0 ... layer count). Not undoable.
    void insertLayerWithName(const QString& name, qint64 atIndex);
    // Removes the layer with its graphics and entries. Not undoable.
    void deleteLayerAtIndex(qint64 index);
    // A layer of the same name at i + 1 holding copies of layer i's graphics (their
    // insertion undoable).
    void duplicateLayerAtIndex(qint64 index);
    // Moves layer a to index b with its name and flags. Not undoable.
    void moveLayerAtIndex(qint64 index, qint64 toIndex);
    // Brings the page's name, visibility and printing lists to its layer count, adding a
    // shown, printed "New Layer" entry for each missing one (and the page's lists when
    // there are none) and dropping entries past the layers.
    void matchLayerListsToLayers(qint64 page);

    // ==== Change marking and life cycle =================================================
    // Cleared: empties the undo history and the really-changed flag. Done: the first
    // change whose step is not "Selection Change" sets the really-changed flag; every
    // done change counts.
    void updateChangeCount(ChangeType change) override;
    // Runs `change` as a passing look at the page (a layer shown alone while a button is
    // held): it records no undo step and does not mark the document edited.
    void makePassingChange(const std::function<void()>& change);
    // Edited only after a real change (not a selection step).
    bool isDocumentEdited() const override;
    qint64 changeCount() const { return _changeCount; }
    void setChangeCount(qint64 count) { _changeCount = count; }
    void resetChangeCount();
    void resetThenSetChangeCount();
    // Makes the document's one window controller (when the window layer installed its
    // factory), passing the label-controls flag on.
    void makeWindowControllers() override;
    // The first window controller; nullptr when there is none.
    DocumentWindowController* windowController() const;
    bool openedExistingFile() const { return _openedExistingFile; }
    void setOpenedExistingFile(bool opened) { _openedExistingFile = opened; }
    bool addsQuarnLabelControls() const { return _addQuarnLabelControls; }
    void setAddsQuarnLabelControls(bool add) { _addQuarnLabelControls = add; }
    // removeRetainers(), then the platform's close.
    void close() override;
    // Drops the document's undo actions, its observers and its deferred calls.
    void removeRetainers();
    bool envelopePrintLandscape() const { return _envelopePrintLandscape; }
    void setEnvelopePrintLandscape(bool landscape) { _envelopePrintLandscape = landscape; }
    // Before printing: label kinds from 5 up (other than 97-99) print no auxiliary
    // information; "DYMO" counts as 99, "Seiko" as 98, and "Brother" keeps the bits.
    void resetDrawAuxiliaryInfoFlagIfNecessary();

    // ==== Graphics list: graphics as property lists and text =============================
    // The graphics read from a graphics list: a flat list, or pages of layers.
    struct GraphicsList
    {
        bool isPages = false;
        Layer graphics; // flat
        Pages pages;
    };
    // {"GraphicsList": the graphics' property lists}, flat or as pages of layers.
    static QVariantMap dictionaryForGraphics(const Layer& graphics);
    static QVariantMap dictionaryForGraphics(const Pages& pages);
    // The same as old-style property-list text (7-bit); for pages, with otherEntries (the
    // rest of a document dictionary, whose own "GraphicsList" is passed over) beside the
    // list.
    static QByteArray dataForGraphics(const Layer& graphics);
    static QByteArray dataForGraphics(const Pages& pages, const QVariantMap& otherEntries = {});
    // Codes of LBDocumentErrorDomain.
    enum ReadError : int { NotAPropertyListError = 1, NotADictionaryError = 2 };
    // The dictionary the text holds; nullopt and the error for text that is not a
    // property list holding a dictionary.
    static std::optional<QVariantMap> dictionaryFromDocumentData(const QByteArray& data,
                                                                 platform::Error* error = nullptr);
    // The graphics of the dictionary's "GraphicsList": flat, pages of layers, or pages of
    // graphics (older files), read as pages of an empty layer and a layer of the graphics.
    // What is not a graphic (an unknown class, a page or layer that is not a list, an
    // entry that is not a dictionary) is left out and logged.
    static GraphicsList graphicsFromDocumentDictionary(const QVariantMap& dictionary);
    static std::optional<GraphicsList> graphicsForData(const QByteArray& data,
                                                       platform::Error* error = nullptr);

    // ==== Bounds and pictures of graphics (LBDocument+GraphicsImage.cpp) ================
    // The union of the graphics' rotated bounds, of their drawing extents with handles
    // (shadowDrawingBoundsWithHandles(true)), or of their drawing bounds; the zero
    // rectangle for no graphics.
    static QRectF boundsForGraphics(const Layer& graphics);
    static QRectF shadowBoundsForGraphics(const Layer& graphics);
    static QRectF drawingBoundsForGraphics(const Layer& graphics);
    // TIFF data of the graphics drawn alone, unselected, at one pixel a point, each clipped
    // to what it paints: a list of graphics, back to front from its end; the layers of a
    // page, layer 0 lowest; pages, their first page. Null for nothing to draw (no graphics,
    // empty bounds).
    static QByteArray TIFFRepresentationForGraphics(const Layer& graphics);
    static QByteArray TIFFRepresentationForGraphics(const Page& layers);
    static QByteArray TIFFRepresentationForGraphics(const Pages& pages);

    // ==== Per-face backgrounds and placeholders =========================================
    bool hasBackgroundColor(qint64 page) const { return face(page).hasBackgroundColor; }
    void setHasBackgroundColor(bool has, qint64 forPage);
    QColor backgroundColor(qint64 page) const { return face(page).backgroundColor; }
    void setBackgroundColor(const QColor& color, qint64 forPage);
    // Shown only when the face has a colour and its draw flag is set.
    bool drawBackgroundColor(qint64 page) const;
    void setDrawBackgroundColor(bool draw, qint64 forPage);
    // Printed exactly when shown.
    bool printBackgroundColor(qint64 page) const { return drawBackgroundColor(page); }
    void setPrintBackgroundColor(bool print, qint64 forPage);
    ImagePtr backgroundImage(qint64 page) const { return face(page).backgroundImage; }
    QString backgroundImagePath(qint64 page) const { return face(page).backgroundImagePath; }
    // Sets the face's background picture from a file (null clears it): a missing file is
    // looked for in the saved package, EPS becomes PDF and PSD PNG, and a picture finer
    // than the face needs is downsampled into a working file, which becomes the path.
    // With updateImage the picture is shown (and LBRedrawGraphicViews posted).
    void setBackgroundImagePath(const QString& path, bool updateImage, qint64 forPage);
    qint64 backgroundImageScaling(qint64 page) const { return face(page).backgroundImageScaling; }
    void setBackgroundImageScaling(qint64 scaling, qint64 forPage);
    double backgroundImageTransparency(qint64 page) const
    {
        return face(page).backgroundImageTransparency;
    }
    void setBackgroundImageTransparency(double transparency, qint64 forPage);
    bool drawBackgroundImage(qint64 page) const { return face(page).drawBackgroundImage; }
    void setDrawBackgroundImage(bool draw, qint64 forPage);
    bool printBackgroundImage(qint64 page) const { return face(page).printBackgroundImage; }
    void setPrintBackgroundImage(bool print, qint64 forPage);
    bool hasBackgroundPlaceholder(qint64 page) const { return face(page).hasBackgroundPlaceholder; }
    void setHasBackgroundPlaceholder(bool has, qint64 forPage);
    // The picture becomes the face's background, shown and printed, in place of a
    // background placeholder (a paper dropped, a file chosen, a selected picture).
    void makeBackgroundImage(const QString& path, qint64 forPage);
    QString placeholderLabel(qint64 page) const { return face(page).placeholderLabel; }
    void setPlaceholderLabel(const QString& label, qint64 forPage);
    qint64 placeholderLabelPosition(qint64 page) const
    {
        return face(page).placeholderLabelPosition;
    }
    void setPlaceholderLabelPosition(qint64 position, qint64 forPage);
    bool placeholderLabelIsVertical(qint64 page) const
    {
        return face(page).placeholderLabelIsVertical;
    }
    void setPlaceholderLabelIsVertical(bool vertical, qint64 forPage);
    QColor placeholderColor(qint64 page) const { return face(page).placeholderColor; }
    void setPlaceholderColor(const QColor& color, qint64 forPage);
    qint64 placeholderPatternIndex(qint64 page) const { return face(page).placeholderPatternIndex; }
    // 0 clears the face's background picture; n makes a working PNG of the pattern
    // picture "PlaceholderPattern<n>" the face's tiled background picture. Undoing puts the
    // face's previous background picture back.
    void setPlaceholderPatternIndex(qint64 index, qint64 forPage);
    QColor placeholderLabelColor(qint64 page) const { return face(page).placeholderLabelColor; }
    void setPlaceholderLabelColor(const QColor& color, qint64 forPage);
    bool drawBackgroundPlaceholder(qint64 page) const
    {
        return face(page).drawBackgroundPlaceholder;
    }
    void setDrawBackgroundPlaceholder(bool draw, qint64 forPage);
    bool printBackgroundPlaceholder(qint64 page) const
    {
        return face(page).printBackgroundPlaceholder;
    }
    void setPrintBackgroundPlaceholder(bool print, qint64 forPage);

    // ==== Document-wide page settings ===================================================
    // The document's spacing in points, or "Grid Spacing" while it has none (0).
    double gridSpacing() const;
    // Marks the document edited and posts LBRefreshEditView; with updatePrefs it also
    // becomes "Grid Spacing". Not undoable.
    void setGridSpacing(double spacing, bool updatePrefs);
    // Grid lines between guides: "Grid Guide Spacing" while the grid spacing is 0, the
    // document's own otherwise (the two are set as a pair).
    qint64 guideSpacing() const;
    void setGuideSpacing(qint64 spacing, bool updatePrefs);
    bool printGrid() const { return _printGrid; }
    void setPrintGrid(bool print);
    // "ProjectType", "ProjectTypeName", "ManufacturerName", "CardStockName",
    // "IsHorizontalDocType"; empty when none. Not undoable, not a change.
    QVariantMap projectDescription() const { return _projectDescription; }
    void setProjectDescription(const QVariantMap& description)
    {
        _projectDescription = description;
    }
    qint64 postnetBarcodeLocation() const { return _postnetBarcodeLocation; }
    void setPostnetBarcodeLocation(qint64 location) { _postnetBarcodeLocation = location; }
    // 1-4 the facing identification marks A-D; other values none.
    qint64 FIMType() const { return _FIMType; }
    void setFIMType(qint64 type) { _FIMType = type; }
    // Bits: 1 the sheet number, 2 today's date. Kept in one byte; with
    // updateUserDefaults also stored as "Draw Auxiliary Info". Not a change.
    qint64 drawAuxiliaryInfo() const { return _drawAuxiliaryInfo; }
    void setDrawAuxiliaryInfo(qint64 bits, bool updateUserDefaults);
    // How many consecutive labels show the same record; marks the document edited.
    qint64 labelRepeatCount() const { return _labelRepeatCount; }
    void setLabelRepeatCount(qint64 count);
    // Imported records, row after row, `columns` texts a row. Not undoable, not a change.
    void setImportTextArray(const QStringList& array, qint64 numImportColumns);
    QStringList importTextArrayAndColumnCount(qint64* columnCount) const;
    // Text r x columns + c; null without one.
    QString stringForImportColumn(qint64 column, qint64 recordIndex) const;

    // ==== Layout dictionary =============================================================
    // The live dictionary (see DimensionInfo); callers keep no reference across a print.
    QVariantMap& dimensionInfo() { return _dimensionInfo; }
    const QVariantMap& dimensionInfo() const { return _dimensionInfo; }
    // Replaces the contents in place as one undoable step named "Change Dimensions" and
    // has the window controllers rebuild their display.
    void setDimensionInfo(const QVariantMap& info);
    qint64 dimensionType() const;
    // The page size.
    QSizeF documentSize() const;
    // The label size on a label sheet (dimension type 1), else the page size.
    QSizeF editableDocumentSize() const;

    // ==== Document types ================================================================
    // The four types, one package format: labels (default), envelopes, pages, and the
    // older extension, read like the others and moved to the layout's on saving.
    static inline const QString LabelDocumentType = QStringLiteral("Veltrin Label");
    static inline const QString EnvelopeDocumentType = QStringLiteral("Veltrin Envelope");
    static inline const QString PageDocumentType = QStringLiteral("Veltrin Page");
    static inline const QString OldDocumentType = QStringLiteral("Quarn Label Format");
    static bool isDocumentType(const QString& type);
    // quarnl, quarnev and quarnpg give their types; any other text "Veltrin Label".
    static QString documentTypeStringForExtension(const QString& extension);
    static QString extensionForDocumentType(const QString& type);
    // A layout's extension: quarnev for envelopes, quarnpg for labelType 7 and 8 (after the
    // envelope rule), quarnlb for the rest.
    static QString docExtensionForLayout(const QVariantMap& layout);
    QString docExtensionForSelectedCardType() const;
    // Envelopes: labelType 5 or 6 and paperManufacturer none of "DYMO", "Seiko", "Brother".
    static bool isEnvelopeLayout(const QVariantMap& layout);
    bool isEnvelope() const { return isEnvelopeLayout(_dimensionInfo); }
    QString fileNameExtensionForType(const QString& type) const override;
    QString typeForFileName(const QString& path) const override;
    // The save panel offers no type: documents are saved as their layout's type.
    bool shouldRunSavePanelWithAccessoryView() const override { return false; }

    // ==== The package ===================================================================
    // Codes of LBDocumentErrorDomain beside the graphics list's (ReadError).
    enum PackageError : int {
        UnknownTypeError = 3,
        NotAPackageError = 4,
        NoContentsError = 5,
        NotAGraphicsListError = 6,
        WriteFailedError = 7,
        LayoutOutOfBoundsError = 8,
    };
    // Reads the package: the document dictionary, then the picture files. A package that
    // is not a folder, lacks a readable "Contents.quarnd" or holds no document dictionary
    // fails with the reason, and the document is left as it was: nothing is loaded,
    // queued or written.
    bool readFromFile(const QString& path, const QString& type, platform::Error* error) override;
    // Writes the package (with previews, "QuickLook" and "Spotlight" unless makesPreviews()
    // is off) at the path: LBWritingToFile and LBFinishedWritingToFile around it in
    // multi-page documents; the window at 100 % for the previews and the graphics at their
    // page positions meanwhile, put back on every path.
    bool writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                     platform::Error* error) override;
    // The platform's save; a failed one leaves the graphics' picture paths as they were,
    // and a package of the older extension moves to the layout's extension
    // ("<name>[<n>].<extension>" when that name is taken).
    bool saveToFile(const QString& path, const QString& type, SaveOperationType operation,
                    platform::Error* error) override;
    // Reads another package into the document (a template), which then names that file.
    bool revertToSavedFromFile(const QString& path, const QString& type,
                               platform::Error* error = nullptr);
    // Loads a document dictionary (the text of "Contents.quarnd"); false and the reason
    // for text that is no property list, no dictionary, whose "GraphicsList" is no list,
    // or whose layout or repeat count is past DimensionInfo's bounds, with the document
    // left as it was.
    bool loadDataRepresentation(const QByteArray& data, const QString& type,
                                platform::Error* error = nullptr);
    // The document dictionary's text for the four types; empty for any other (a TIFF of
    // the graphics comes with printing).
    QByteArray dataRepresentationOfType(const QString& type);
    QByteArray documentData();
    // Adds every setting of the document dictionary (all but "GraphicsList").
    void addAuxiliaryDocumentInfoToDict(QVariantMap& dictionary);
    // The search metadata: "kMDItemTextContent", the text of every text box and shape with
    // text, page by page, layer by layer, front to back, each followed by a blank; an
    // empty dictionary when there is none.
    QVariantMap metadataDictionary() const;
    // Page n drawn at 72 dpi, and when preview120 is given, the same within 120 x 120
    // points (240 x 120 for page spreads), never enlarged; a null image when there is no
    // such page.
    QImage previewImageRepForPage(qint64 page, QImage* preview120 = nullptr);
    // Page n as TIFF at 72 dpi, the editable size: drawn by the sheet renderer with its
    // decorations and merge values from the first label on, or, without a renderer or a
    // window controller, its printing layers back to front over white.
    virtual QByteArray TIFFRepresentationForPage(qint64 page);
    // The first member named as the path's last component in a, then b, then c (absent
    // folders skipped); nullptr when none.
    static const platform::FileWrapper*
    findWrapperForFile(const QString& path, const platform::FileWrapper* inFileWrappers,
                       const platform::FileWrapper* temporaryFileWrappers,
                       const platform::FileWrapper* oldTemporaryFileWrappers);
    // Whether a save writes previews, "QuickLook" and "Spotlight" (off while an AutoRecover
    // copy is written).
    bool makesPreviews() const { return _makesPreviews; }
    void setMakesPreviews(bool makes) { _makesPreviews = makes; }

    // ==== Saving documents of the older extension =======================================
    // A document of the older extension asks first (the older-format alert) instead of
    // saving; the question is asked for saves the program starts too, while
    // checkForOldFiles() is on, and then didSave is not called.
    void saveDocumentWithDelegate(std::function<void(bool)> didSave) override;
    // A document of the older extension proposes its name with the layout's extension.
    void saveDocumentAs(std::function<void(bool)> didSave = {}) override;
    using platform::Document::saveDocumentAs;
    void displayOldFileAlert();
    // FirstButtonReturn "New File...": Save As under the new name; SecondButtonReturn
    // "Cancel"; ThirdButtonReturn "Replace Old File": saved, then moved to the new name.
    void oldFileAlertDidEnd(int returnCode);
    bool checkForOldFiles() const { return _checkForOldFiles; }

    // ==== AutoRecover ===================================================================
    // "<temporary folder><seconds since 2001>.<layout's extension>", chosen once by the
    // constructor; later copies are written under a fresh name and moved to it.
    void setTemporaryFilePath(const QString& path);
    void createTemporaryFilePath();
    // Restarts the timer with "AutoRecover Save Interval" minutes; 0 stops it.
    void createTempFileTimer();
    void killTempFileTimer();
    bool tempFileTimerIsRunning() const;
    // The timer's action: writes a copy when the document has a path, is edited and
    // changed since the last copy; then sets the exists flag.
    void saveTemporaryFileIfDirty();
    // Writes a copy; the fresh copy replaces the previous one only once it is complete.
    bool saveTemporaryFile();
    void deleteTemporaryFile();
    // The length of an AutoRecover minute in milliseconds (60,000; tests shorten it).
    static void setAutoRecoverMinuteLength(int milliseconds);

    // ==== Print settings ================================================================
    // The document's own print settings: a copy of the shared settings, taken on first use.
    platform::PrintInfo printInfo();
    // Has the window controllers rebuild their display and stores the settings. While
    // updateDocumentForPrintInfoChanges() is on and a window controller shows the
    // document, a new orientation that the layout's label kind does not expect then
    // applies the layout again, turned where the kind turns with the paper: a plain sheet
    // of labels becomes its landscape kind and back, a landscape kind turns its labels a
    // quarter. The settings are stored before the layout is applied again, so the page
    // set-up made for the new layout stands.
    virtual void setPrintInfo(const platform::PrintInfo& printInfo);
    // setPrintInfo() with updateDocumentForPrintInfoChanges() off for the call: for
    // settings that come with the layout (a document read, a page set-up).
    void ourSetPrintInfo(const platform::PrintInfo& printInfo);
    // Whether a change of the print settings re-applies the layout (on by default).
    bool updateDocumentForPrintInfoChanges() const { return _updateDocumentForPrintInfoChanges; }
    void setUpdateDocumentForPrintInfoChanges(bool update)
    {
        _updateDocumentForPrintInfoChanges = update;
    }

    // ==== Picture files =================================================================
    // The picture, or a copy downsampled to the image display resolution when it is more
    // than 1.1 times finer at drawingSize (never with the full-resolution switch on or
    // without a bitmap); the copy is read back from a TIFF working file the document keeps.
    std::shared_ptr<platform::Image> downsampleImage(const std::shared_ptr<platform::Image>& image,
                                                     const QSizeF& drawingSize) override;
    // Brings every graphic's picture to the current resolution and refreshes the window;
    // marks the document edited when a notification asked for it.
    void imageQualityChanged(const platform::Notification* notification);
    // The working files that belong to the document and stay while it lives.
    void rememberTemporaryFileName(const QString& name);
    bool temporaryFileIsInUse(const QString& name) const;
    // Picture files copied for the document: each source path with the document's own path
    // of its copy (the same position in both lists).
    void rememberImageFile(const QString& originalPath, const QString& newPath);
    const QStringList& originalImageFilePaths() const { return _originalImageFilePaths; }
    const QStringList& newImageFilePaths() const { return _newImageFilePaths; }
    // A new, unused working file path "<temporary folder><seconds since 2001>.<extension>".
    static QString newTemporaryFilePath(const QString& extension);
    // "<seconds since 2001, %f>" with ".<extension>" unless that is empty: the first such
    // name from now on that `taken` does not refuse, a microsecond further each time.
    static QString timeStampedName(const QString& extension,
                                   const std::function<bool(const QString&)>& taken);
    // Where the graphic's fill image file is now: its path, else that name in the saved
    // package, the AutoRecover copy or the previous copy; null when none has it.
    QString imageFilePathForGraphic(const LBGraphic& graphic) const;
    // The resolution the document's pictures were downsampled at when they were loaded.
    qint64 downsampledImageDPI() const { return _downsampledImageDPI; }
    // Converts the PostScript and Photoshop fill images the last read met to PDF and PNG
    // working files; the graphics then name those. A file that cannot be converted keeps
    // its path.
    void convertNonStandardImages();
    // Drops every image graphic's lazy picture path.
    void clearLazyImagePaths();
    // Writes picture bytes of an older document to a new file of the system's temporary
    // folder and returns its path; null when it cannot be written.
    QString extractEmbeddedBackgroundImageWithData(const QByteArray& data);

    // ==== Printing (LBDocument+Printing.cpp) =============================================
    // Prints through the envelope feed sheet when the panels are shown for an envelope
    // (the sheet prints when it is saved), otherwise at once.
    void printShowingPrintPanel(bool showPanels);
    // Runs the print job over a sheet renderer of all the graphics: pictures at full
    // resolution and the graphics at zoom 1 and page positions meanwhile, an envelope's
    // layout fitted to the feed, the label printer or the preferred printer chosen, and
    // everything put back when the renderer goes (printingComplete), whether the job
    // printed, was cancelled or failed. Nothing without a sheet renderer. A failure's
    // reason in *error; without error, the failure is shown in an alert on the window.
    platform::PrintOperation::Result ourPrintShowingPrintPanel(bool showPanels,
                                                               QString* error = nullptr);
    // The same job with other settings (a PDF file, another printer); the document's own
    // print settings stay as they are.
    platform::PrintOperation::Result runPrintJob(const platform::PrintInfo& printInfo,
                                                 bool showPanels, QString* error = nullptr);
    // The job's preparation (undone by printingComplete()): pictures at full resolution,
    // print images at `resolution` dpi (0: "Print Quality"), the graphics unselected at
    // zoom 1 and at page positions, with envelopeFeed an envelope fitted to its feed.
    void prepareForPrinting(bool envelopeFeed, qint64 resolution);
    // A renderer of the frame over every graphic, printing for the document, set up from
    // its settings; turned a quarter when asked. nullptr without a sheet renderer. The
    // document's printingComplete() follows when it goes.
    std::unique_ptr<SheetRenderer> makePrintRenderer(const QRectF& frame, bool rotated);
    // The printer a job goes to: for a label printer's layout ("DYMO", "Seiko",
    // "Brother") the first printer of its type, else the "Preferred Printer" (1-based)
    // when there are that many, else `current`.
    QString printerNameForPrinting(const QString& current) const;
    // Moves an envelope within the paper the printer feeds, unless "Envelope Automatic
    // Alignment" is on; the layout before it comes back at printingComplete().
    void setupForEnvelopePrinting();
    // Sets the zoom of every graphic; the zoom the last one had (1.0 when none).
    double setZoomFactorForAllGraphics(double zoom);
    // The print renderer tells it when it goes: the layout, zoom, positions and
    // resolution before the print come back.
    void printingComplete();
    // The renderer of the job under way; nullptr between jobs.
    SheetRenderer* printRenderingView() const { return _printRenderingView.get(); }
    // The print settings kept while the envelope feed sheet is open.
    const std::optional<platform::PrintInfo>& origPrintInfo() const { return _origPrintInfo; }
    void setOrigPrintInfo(const std::optional<platform::PrintInfo>& info) { _origPrintInfo = info; }

    // ==== Process-wide states kept in LBProcessState ====================================
    // On while a document prints or exports.
    static bool isPrinting();
    static void setPrinting(bool printing);
    // On while a print operation runs (not during export).
    static bool isPrintJobRunning();
    static void setPrintJobRunning(bool running);

private:
    // The page drawn without a renderer: its printing layers back to front over white.
    QByteArray plainTIFFRepresentationForPage(qint64 page);
    struct Face
    {
        bool hasBackgroundColor = false;
        QColor backgroundColor;
        bool drawBackgroundColor = false;
        bool printBackgroundColor = true;
        ImagePtr backgroundImage;
        QString backgroundImagePath;
        qint64 backgroundImageScaling = 1;
        double backgroundImageTransparency = 1.0;
        bool drawBackgroundImage = false;
        bool printBackgroundImage = false;
        bool hasBackgroundPlaceholder = false;
        QString placeholderLabel;
        qint64 placeholderLabelPosition = 0;
        bool placeholderLabelIsVertical = false;
        QColor placeholderColor;
        qint64 placeholderPatternIndex = 0;
        QColor placeholderLabelColor;
        bool drawBackgroundPlaceholder = false;
        bool printBackgroundPlaceholder = false;
    };
    // What a per-face setter does besides storing the value.
    struct FaceChange
    {
        bool skipUnchanged = false;
        bool marksEdited = true;
        bool redraw = false;            // LBRedrawGraphicViews
        bool refreshLayersView = false; // LBUpdateLayersView, after the redraw
    };

    Face& face(qint64 page) { return _faces[page == 0 ? 0 : 1]; }
    const Face& face(qint64 page) const { return _faces[page == 0 ? 0 : 1]; }
    template <typename T, typename Arg>
    void changeFaceValue(qint64 page, T Face::*field, const T& value,
                         void (LBDocument::*setter)(Arg, qint64), const FaceChange& change);
    void setPlaceholderPatternIndexOnly(qint64 index, qint64 forPage);

    // The layer, or nullptr (with the beep) when the page or the layer does not exist.
    Layer* layerOrBeep(qint64 layer, qint64 page);
    // Whether the current page has the layer.
    bool layerIndexIsValid(qint64 index) const;
    // The same check for the operations that store into the layer lists, which it first
    // brings to the layer count; beeps when the layer does not exist.
    bool storingLayerIndexIsValid(qint64 index);
    // Gives the per-page lists at least `count` entries.
    void padPageLists(qint64 count);
    // The window controllers that show the document's pages.
    QList<DocumentWindowController*> documentWindowControllers() const;
    // Registers `undo` with the document as target.
    void registerUndo(std::function<void()> undo);
    void markEdited()
    {
        if (!_passingChange)
            updateChangeCount(ChangeDone);
    }
    void postRedrawGraphicViews();
    // Forgets the copied picture files of the graphic at index of the layer, as it is
    // removed, that no other graphic of the document uses.
    void pruneImageFileBookkeeping(const LBGraphic& removed, qint64 page, qint64 layer,
                                   qint64 index);
    // --- The package ---
    struct PackageWrite;
    // Loads the settings of the dictionary after the graphics (every key but
    // "GraphicsList"), in the reading order.
    void loadDocumentSettings(const QVariantMap& dictionary);
    // Puts the pages in place of the graphics tree, with the init's layer lists.
    void replaceGraphicsTree(const Pages& pages);
    void loadLayerLists(const QVariantMap& dictionary);
    // The package's picture members into the graphics and faces; true when a PostScript
    // or Photoshop picture was met.
    bool loadImageFilesFromDocumentFileWrappers(const platform::FileWrapper& package,
                                                const QString& filePath);
    void loadBackgroundImageFromDocumentFileWrappers(const platform::FileWrapper& package,
                                                     const QString& filePath, qint64 face);
    // Notes the package's files that nothing just read names (_membersNotRead).
    void rememberMembersNotRead(const platform::FileWrapper& package);
    // A package folder holding the picture files of the graphics and faces, which then
    // name their members under finalPath, the package's path once it is saved.
    platform::FileWrapper packageWithMediaFiles(const QString& finalPath);
    void moveMediaFilesIntoDocumentPackage(PackageWrite& write);
    void moveBackgroundImageIntoDocumentPackage(PackageWrite& write);
    // Adds the downsampled copy "D<member>" of the graphic's fill image.
    void addDownsampledCopy(PackageWrite& write, LBGraphic& graphic, const QString& member);
    // The member for the file at path: a reusable member of that name holding the same
    // file, else a copy of the file under a new name (recorded in the picture-file lists
    // when `record`); null (logged) when the file cannot be read.
    QString storeFile(PackageWrite& write, const QString& path, bool record);
    void writeQuickLookAndSpotlight(const QString& path);
    // The copy downsampled to drawingSize at the display resolution, not written to a
    // file; nullptr when the picture needs none.
    std::shared_ptr<platform::Image> downsampledCopy(const std::shared_ptr<platform::Image>& image,
                                                     const QSizeF& drawingSize) const;
    // After reading: the change count cleared, then the save that conversions asked for.
    void finishReading();
    void moveOldFormatPackage();

    // The picture at path, in a form the document keeps: EPS converted to PDF and PSD to
    // PNG, each into a working file that path then names. nullptr, with the reason, for a
    // file that cannot be read, drawn or converted (path unchanged).
    std::shared_ptr<platform::Image> readKeepablePicture(QString& path, QString* error);

    Pages _documentGraphics;
    QList<QStringList> _layerNames;
    QList<QList<bool>> _layerVisibility;
    QList<QList<bool>> _layerPrinting;
    QList<qint64> _selectedLayers;
    qint64 _pageIndex = 0;
    qint64 _multipageType = 0;
    qint64 _changeCount = 0;
    bool _reallyChanged = false;
    bool _passingChange = false; // makePassingChange() runs
    bool _openedExistingFile = false;
    bool _addQuarnLabelControls = false;
    bool _envelopePrintLandscape = false;
    QStringList _originalImageFilePaths;
    QStringList _newImageFilePaths;
    QStringList _temporaryFileNames;

    QVariantMap _dimensionInfo;
    std::optional<platform::PrintInfo> _printInfo;
    // Printing: the settings before the envelope sheet, the layout before envelope
    // set-up, the graphics' zoom before the job, the job's renderer.
    std::optional<platform::PrintInfo> _origPrintInfo;
    std::optional<QVariantMap> _origDimensionInfo;
    double _prePrintZoomFactor = 1.0;
    std::unique_ptr<SheetRenderer> _printRenderingView;
    bool _updateDocumentForPrintInfoChanges = true;
    std::array<Face, 2> _faces;
    double _gridSpacing = 0.0;
    qint64 _guideSpacing = 0;
    bool _printGrid = false;
    QVariantMap _projectDescription;
    qint64 _postnetBarcodeLocation = 0;
    qint64 _FIMType = 0;
    quint8 _drawAuxiliaryInfo = 0;
    qint64 _labelRepeatCount = 1;
    QStringList _importTextArray;
    qint64 _numImportColumns = 0;

    platform::ObserverToken _imageQualityObserver;

    // Package
    bool _makesPreviews = true;
    bool _checkForOldFiles = true;
    qint64 _downsampledImageDPI = 0;
    // A read met pictures to convert or embedded bytes: the document is to be saved.
    bool _saveAfterReading = false;
    // Members of the faces' background pictures named by the dictionary being read.
    std::array<QString, 2> _backgroundMembersToLoad;
    // Files of the package last read that nothing the document read names (the package's
    // own files aside): the document never had them to remove, so its saves keep them.
    QStringList _membersNotRead;

    // AutoRecover
    QString _temporaryFilePath;
    QString _previousTemporaryFilePath;
    QTimer* _tempFileTimer = nullptr;
    bool _temporaryFileExists = false;
    bool _temporaryFileDirty = false;
    bool _writingTemporaryCopy = false;
    bool _forcedTemporarySavePending = false;
    platform::ObserverToken _autoRecoverIntervalObserver;
};
