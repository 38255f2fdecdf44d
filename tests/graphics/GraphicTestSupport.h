#pragma once

// Shared pieces of the graphic tests: a document that counts redraw requests, a graphic
// subclass that lets the tests see and preset internal state, and a counter of posted
// notifications.

#include "graphics/GraphicDocument.h"
#include "graphics/LBGraphic.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/Image.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <ostream>

// Readable texts in test failure messages.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

// Counts the redraw requests graphics send their document.
class RecordingDocument : public QObject, public GraphicDocument
{
public:
    RecordingDocument() { undoManager()->setGroupsByEvent(false); }

    QObject* documentObject() override { return this; }
    platform::UndoManager* undoManager() const override { return _undoManager; }

    void invalidateGraphic(LBGraphic* graphic) override
    {
        ++invalidations;
        lastInvalidated = graphic;
    }

    // Runs `change` as one undo step.
    void step(const std::function<void()>& change)
    {
        undoManager()->beginUndoGrouping();
        change();
        undoManager()->endUndoGrouping();
    }

    // Runs `setUp` without recording anything.
    void quietly(const std::function<void()>& setUp)
    {
        undoManager()->disableUndoRegistration();
        setUp();
        undoManager()->enableUndoRegistration();
    }

    void undo() { undoManager()->undo(); }
    void redo() { undoManager()->redo(); }
    bool canUndo() const { return undoManager()->canUndo(); }

    int invalidations = 0;
    LBGraphic* lastInvalidated = nullptr;

private:
    platform::UndoManager* _undoManager = new platform::UndoManager(this);
};

// A graphic whose internal fields the tests can read and preset.
class ProbeGraphic : public LBGraphic
{
public:
    using LBGraphic::_blurFilter;
    using LBGraphic::_cachedCIImage;
    using LBGraphic::_cachedFillImage;
    using LBGraphic::_cachedImage;
    using LBGraphic::_colorControlsFilter;
    using LBGraphic::_colorMaskImage;
    using LBGraphic::_colorMaskSize;
    using LBGraphic::_colorMaskSoftness;
    using LBGraphic::_effectFilters;
    using LBGraphic::_effects;
    using LBGraphic::_exposureFilter;
    using LBGraphic::_fillColor;
    using LBGraphic::_fillImageFlippedHorizontally;
    using LBGraphic::_fillImageFlippedVertically;
    using LBGraphic::_hueFilter;
    using LBGraphic::_imageFilePath;
    using LBGraphic::_maskImage;
    using LBGraphic::_origCropGraphicBounds;
    using LBGraphic::_origCropImageBounds;
    using LBGraphic::_origEffectLocation0;
    using LBGraphic::_origEffectLocation1;
    using LBGraphic::_origImage;
    using LBGraphic::_perspectiveDrawingOffset;
    using LBGraphic::_placeholderImage;
    using LBGraphic::_sharpnessFilter;
    using LBGraphic::_skipImageEffects;
};

// Counts the notifications of one name posted by one sender.
class NotificationCounter
{
public:
    NotificationCounter(const QString& name, const void* sender)
        : _token(platform::NotificationCenter::defaultCenter().addObserver(
            name, sender, [this](const platform::Notification&) { ++count; }))
    {}

    int count = 0;

private:
    platform::ObserverToken _token;
};

// A small picture for tests that only compare identities.
inline LBGraphic::ImagePtr fakeImage()
{
    return platform::Image::withSize(QSizeF(4, 4));
}
