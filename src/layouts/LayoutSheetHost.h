#pragma once

// What the layout chooser asks of the window it was opened on (the window layer's
// LBWindowController implements it): applying the chosen layout, dropping the chooser,
// showing the new description, and the document and window themselves.

#include <QPointF>
#include <QString>
#include <QVariantMap>

#include <optional>

class LBDocument;
class QWidget;

class LayoutSheetHost
{
public:
    virtual ~LayoutSheetHost() = default;

    // Opens the design template into the document with the layout merged in (none: the
    // template's own), moving its graphics by the offset when it is not zero; drops the
    // chooser. Returns the label kind now in the document (0 when nothing was merged).
    virtual qint64 chooseLayout(const QString& path, const std::optional<QVariantMap>& layoutDict,
                                bool createUntitledFile, const QPointF& offsetGraphicsByDelta,
                                qint64 projectType) = 0;
    // Applies the layout to a blank design, with the address boxes asked for; drops the
    // chooser.
    virtual void chooseBlankLayout(const QVariantMap& layoutDict, bool includesLabelType,
                                   qint64 projectType, bool isVertical, bool isNewDocument,
                                   bool addDeliveryAddress, bool addReturnAddress) = 0;
    // Takes the chooser out of the open choosers and lets it go once the current event is
    // handled.
    virtual void removeLayoutSheetController() = 0;
    // The document's project description changed.
    virtual void updateDescriptionText() = 0;
    // The document the chooser is for; nullptr for none.
    virtual LBDocument* document() const = 0;
    // The window the sheet belongs to; nullptr while there is none.
    virtual QWidget* window() const = 0;
};
