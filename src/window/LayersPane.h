#pragma once

// The layers view under the design drawer's browsers (the inspector layer implements it
// and installs its factory at start-up). The window makes one each time the view opens
// and destroys it when it closes; without a factory the layers view stays closed and its
// button hidden.

#include <QtGlobal>

#include <functional>
#include <memory>

class DesignModeController;
class LBDocument;
class QWidget;

class LayersPane
{
public:
    using Factory = std::function<std::unique_ptr<LayersPane>()>;

    virtual ~LayersPane() = default;

    // The view with the layers table and its size button. The pane owns it (and deletes
    // it when it goes); the window shows it inside its layers pane meanwhile.
    virtual QWidget* view() = 0;
    // The document and the design controller whose layers it shows; either may be nullptr.
    virtual void setDocument(LBDocument* document) = 0;
    virtual void setEditController(DesignModeController* controller) = 0;
    // The split view whose divider the size button drags (not kept beyond the pane's
    // life), and the two least extents it keeps for the panes on either side.
    virtual void setSplitter(QWidget* splitView) = 0;
    virtual void setViewMinWidth0(double minWidth0, double minWidth1) = 0;

    // The rows of the current page's background in the layers view, beside its layers.
    static constexpr qint64 BackgroundPlaceholderItem = 10000;
    static constexpr qint64 BackgroundImageItem = 10001;
    static constexpr qint64 BackgroundColorItem = 10002;
    // Removes the layer, or the background of that row, as one undoable step.
    virtual void deleteLayerAtIndex(qint64 index) = 0;
    // Asks for the current page's background placeholder in the placeholder sheet.
    virtual void defineBackgroundPlaceholderAction() = 0;

    static void setFactory(Factory factory);
    static bool hasFactory();
    // A new pane from the factory; nullptr without one.
    static std::unique_ptr<LayersPane> make();
};
