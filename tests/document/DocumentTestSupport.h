#pragma once

// Shared pieces of the document tests: a fixture with the settings the document reads
// pinned (paper, user defaults, temporary folder), named graphics, a snapshot of the whole
// page structure and a window controller that records what the document asks of it; the
// notification counter is the graphic tests'.

#include "../graphics/GraphicTestSupport.h"

#include "document/DocumentWindowController.h"
#include "document/LBDocument.h"
#include "graphics/LBGraphic.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Records what the document asks of its window controller.
class FakeWindowController : public DocumentWindowController
{
public:
    void invalidateGraphic(LBGraphic* graphic) override { invalidated.append(graphic); }
    void setupForDocument() override { ++setups; }
    void refreshWindow() override { ++refreshes; }
    double zoomFactor() const override { return 1.0; }
    double zoomSliderValue() const override { return zoomSlider; }
    void setZoomSliderValue(double value) override
    {
        zoomSlider = value;
        calls.append(QStringLiteral("zoom %1").arg(value));
    }
    void saveState() override { calls.append(QStringLiteral("saveState")); }
    void restoreState() override { calls.append(QStringLiteral("restoreState")); }
    void moveGraphicsToActualPosition() override { calls.append(QStringLiteral("actual")); }
    void moveGraphicsToDisplayPosition() override { calls.append(QStringLiteral("display")); }
    bool bezierMode() const override { return bezier; }
    void setBezierMode(bool on) override { bezier = on; }
    qint64 mode() const override { return DesignMode; }
    void shouldAddQuarnLabelControls(bool add) override { labelControls = add; }
    void swapDimensionsInDict(QVariantMap& dict, bool toLandscape) override
    {
        layoutCalls.append(toLandscape ? QStringLiteral("turn to landscape")
                                       : QStringLiteral("turn to portrait"));
        dict.insert(QStringLiteral("turned"), toLandscape);
    }
    void chooseBlankLayout(const QVariantMap& layout, bool includesLabelType, qint64 projectType,
                           bool isVertical, bool isNewDocument, bool addDeliveryAddress,
                           bool addReturnAddress) override
    {
        auto* shown = qobject_cast<LBDocument*>(document());
        const bool landscape =
            shown && shown->printInfo().orientation() == platform::PrintInfo::Landscape;
        layoutCalls.append(QStringLiteral("blank layout%1%2%3%4%5%6 project %7 on %8")
                               .arg(includesLabelType ? " with its type" : "")
                               .arg(isVertical ? " vertical" : "")
                               .arg(isNewDocument ? " new" : "")
                               .arg(addDeliveryAddress ? " delivery" : "")
                               .arg(addReturnAddress ? " return" : "")
                               .arg(layout.contains(QStringLiteral("turned")) ? " turned" : "")
                               .arg(projectType)
                               .arg(landscape ? "landscape" : "portrait"));
    }

    QList<LBGraphic*> invalidated;
    QStringList layoutCalls;
    double zoomSlider = ActualSizeZoomSliderValue;
    // The writing calls in order.
    QStringList calls;
    int setups = 0;
    int refreshes = 0;
    bool bezier = false;
    bool labelControls = false;
};

class DocumentTest : public ::testing::Test
{
protected:
    DocumentTest()
    {
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        platform::UserDefaults::standardUserDefaults().registerDefaults({
            {QStringLiteral("Grid Spacing"), 9.0},
            {QStringLiteral("Grid Guide Spacing"), 8},
            {QStringLiteral("Draw Auxiliary Info"), 3},
            {QStringLiteral("Image Quality"), 150},
            {QStringLiteral("Print Quality"), 300},
        });
        LBProcessState::setTemporaryFolderPath(_folder.path() + QLatin1Char('/'));
        LBProcessState::setImageDisplayResolution(150);
        LBProcessState::setUseFullResolutionImages(false);
        document = std::make_unique<LBDocument>();
    }

    ~DocumentTest() override
    {
        document.reset();
        LBProcessState::setTemporaryFolderPath(QString());
    }

    // Runs `change` as one undo step with that name (a null name leaves the change's own),
    // after closing the step of the changes made outside steps so far (as the event loop
    // would).
    void step(const std::function<void()>& change, const QString& name = QStringLiteral("Change"))
    {
        QCoreApplication::processEvents();
        platform::UndoManager* undo = document->undoManager();
        undo->beginUndoGrouping();
        change();
        if (!name.isNull())
            undo->setActionName(name);
        undo->endUndoGrouping();
    }
    void undo() { document->undoManager()->undo(); }
    void redo() { document->undoManager()->redo(); }

    // A new graphic known by its name in names() and snapshot().
    LBGraphicPtr graphic(const QString& name)
    {
        auto g = std::make_shared<LBGraphic>();
        _names.insert(g.get(), name);
        return g;
    }
    QString nameOf(const LBGraphic* g) const { return _names.value(g, QStringLiteral("?")); }
    QStringList names(const LBDocument::Layer& layer) const
    {
        QStringList list;
        for (const LBGraphicPtr& g : layer)
            list.append(nameOf(g.get()));
        return list;
    }
    // Puts the graphics into the layer of the current page, without undo.
    void fill(qint64 layer, const QStringList& graphicNames)
    {
        document->undoManager()->disableUndoRegistration();
        for (const QString& name : graphicNames)
            document->insertGraphic(graphic(name), document->numGraphicsOnLayer(layer), layer);
        document->undoManager()->enableUndoRegistration();
    }

    // The whole structure of every page, as text: graphics by name per layer, the layer
    // lists and the selected layer.
    QString snapshot()
    {
        QStringList pages;
        const qint64 current = document->pageIndex();
        for (qint64 p = 0; p < document->numPages(); ++p) {
            document->setPageIndex(p, false);
            QStringList layers;
            for (qint64 l = 0; l < document->layerCount(); ++l) {
                layers.append(QStringLiteral("%1%2%3[%4]")
                                  .arg(document->layerNameAtIndex(l))
                                  .arg(document->layerAtIndexIsVisible(l) ? "" : " hidden")
                                  .arg(document->layerAtIndexWillPrint(l) ? "" : " no-print")
                                  .arg(names(document->pageGraphics()[l]).join(' ')));
            }
            pages.append(QStringLiteral("selected %1: %2")
                             .arg(document->selectedLayerIndex())
                             .arg(layers.join(QStringLiteral(" | "))));
        }
        document->setPageIndex(current, false);
        return pages.join(QStringLiteral(" / "));
    }

    std::unique_ptr<LBDocument> document;

private:
    QTemporaryDir _folder;
    QHash<const LBGraphic*, QString> _names;
};
