#include "window/WindowMenus.h"

namespace WindowMenus {

namespace {
platform::MenuItemSpec item(const char* title, const char* selector, const char* shortcut = "",
                            qint64 tag = 0)
{
    platform::MenuItemSpec spec;
    spec.title = QString::fromUtf8(title);
    spec.selector = QString::fromLatin1(selector);
    spec.shortcut = QString::fromLatin1(shortcut);
    spec.tag = tag;
    return spec;
}

platform::MenuSpec menu(const QString& title, QList<platform::MenuItemSpec> items)
{
    platform::MenuSpec spec;
    spec.title = title;
    spec.items = std::move(items);
    return spec;
}

platform::MenuItemSpec separator()
{
    return {};
}
} // namespace

QList<platform::MenuSpec> defaultTable()
{
    return {
        menu(QStringLiteral("&File"),
             {item("Close", "performClose:", "Ctrl+W"), item("Save", "saveDocument:", "Ctrl+S"),
              item("Save As…", "saveDocumentAs:", "Ctrl+Shift+S"),
              item("Revert to Saved", "revertDocumentToSaved:"), separator(),
              item("Change Layout…", "openLayoutSheet:"), separator(),
              item("Import Text Records…", "importText:"),
              item("Import Comma-Separated Records…", "importText:", "", 1),
              item("Clear Imported Text", "clearImportText:"), separator(),
              item("Export…", "exportAction:", "Ctrl+E"),
              item("Printer Calibration…", "openPrinterCalibrationSheet:"),
              item("Print One Copy", "printOneCopy:"),
              item("Print…", "prePrintAction:", "Ctrl+P")}),
        menu(QStringLiteral("&Edit"),
             {item("Undo", "undo:", "Ctrl+Z"), item("Redo", "redo:", "Ctrl+Shift+Z"), separator(),
              item("Cut", "cut:", "Ctrl+X"), item("Copy", "copy:", "Ctrl+C"),
              item("Paste", "paste:", "Ctrl+V"), item("Delete", "delete:"),
              item("Duplicate", "duplicate:", "Ctrl+D"), separator(),
              item("Select All", "selectAll:", "Ctrl+A"),
              item("Deselect All", "deselectAll:", "Ctrl+Shift+A")}),
        menu(QStringLiteral("&Insert"),
             {item("Text Box", "createTextBoxAction:", "Ctrl+T", 1),
              item("Curved Text Box", "createTextBoxAction:", "", 2),
              item("Add Text to Shape", "shapeWithTextAction:"), separator(),
              item("Shape", "insertShapeAction:"), item("Photo", "insertPhotoAction:"),
              item("iCorbeil Image", "insertiCorbeilImageAction:"),
              item("Image File…", "importAction:", "Ctrl+Shift+I")}),
        menu(QStringLiteral("&Arrange"),
             {item("Bring to Front", "bringToFront:", "Ctrl+Shift+F"),
              item("Bring Forward", "bringForward:", "Ctrl+F"),
              item("Send Backward", "sendBackward:", "Ctrl+B"),
              item("Send to Back", "sendToBack:", "Ctrl+Shift+B"),
              separator(),
              item("Group", "group:", "Ctrl+G"),
              item("Ungroup", "ungroup:", "Ctrl+Shift+G"),
              item("Lock", "lock:", "Ctrl+L"),
              item("Unlock", "unlock:", "Ctrl+Shift+L"),
              separator(),
              item("Align Left Edges", "alignLeftEdges:"),
              item("Align Right Edges", "alignRightEdges:"),
              item("Align Top Edges", "alignTopEdges:"),
              item("Align Bottom Edges", "alignBottomEdges:"),
              item("Align Horizontal Centres", "alignHorizontalCenters:"),
              item("Align Vertical Centres", "alignVerticalCenters:"),
              item("Make Same Width", "makeSameWidth:"),
              item("Make Same Height", "makeSameHeight:"),
              item("Natural Size", "makeNaturalSize:"),
              separator(),
              item("Move…", "moveGraphicsAction:"),
              item("Crop", "cropUncrop:"),
              item("Crop with Shape", "cropWithShape:"),
              separator(),
              item("Define as Placeholder", "defineAsPlaceholder:"),
              item("Placeholder Settings…", "editPlaceholderSettings:")}),
        menu(QStringLiteral("&Page"),
             {item("Background Image…", "backgroundImageSheetAction:"),
              item("Use Selected Image as Background", "useSelectedImageAsBackgroundAction:"),
              item("Clear Background Image", "clearBackgroundImageAction:"),
              item("Define Background Placeholder", "defineBackgroundPlaceholderAction:"),
              item("Clear Background Placeholder", "clearBackgroundPlaceholderAction:"),
              separator(), item("Hide Folded Document Layout", "toggleFaceLayout:")}),
        menu(QStringLiteral("&View"), {item("Design", "switchToDesignMode:"),
                                       item("Preview", "switchToViewMode:"),
                                       separator(),
                                       item("Actual Size", "zoomToActualSize:"),
                                       item("Zoom In", "zoomIn:", "Ctrl++"),
                                       item("Zoom Out", "zoomOut:", "Ctrl+-"),
                                       separator(),
                                       item("Rulers", "toggleRulers:", "Ctrl+R"),
                                       item("Hide Grid", "hideGrid:"),
                                       item("Show Grid Above Artwork", "toggleGridAbove:"),
                                       item("Show Grid Below Artwork", "toggleGridBelow:"),
                                       item("Snap to Grid", "snapToGrid:"),
                                       item("Grid Settings…", "gridSettingsAction:"),
                                       item("Show Alignment Guides", "drawAlignmentGuides:"),
                                       item("Trim To Page", "trimToPageAction:"),
                                       item("Show Postal Guidelines", "postalGuidelinesAction:"),
                                       separator(),
                                       item("Text Library", "toggleTextPanel:"),
                                       separator(),
                                       item("Hide Toolbar", "toggleToolbar:"),
                                       item("Customise Toolbar…", "customizeToolbar:")}),
    };
}

QList<platform::MenuSpec>& table()
{
    static QList<platform::MenuSpec> theTable;
    return theTable;
}

} // namespace WindowMenus
