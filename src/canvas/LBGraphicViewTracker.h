#pragma once

// The base of the canvas's mouse trackers (see LBGraphicView): what one press started,
// fed the mouse moves and the release. With undo grouping, everything the tracker changes
// from its start to its end is one undo step of its own: the changes the press made
// before it (a selection) stay their own step.

#include "canvas/LBGraphicView.h"
#include "platform/core/UndoManager.h"

#include <QPointer>

class LBGraphicView::Tracker
{
public:
    Tracker(LBGraphicView& view, bool undoGrouping) : _view(view)
    {
        if (!undoGrouping)
            return;
        _undo = view.undoManager();
        if (_undo) {
            _undo->endAutomaticGroup();
            _undo->beginUndoGrouping();
        }
    }
    virtual ~Tracker() { endUndoGrouping(); }
    Tracker(const Tracker&) = delete;
    Tracker& operator=(const Tracker&) = delete;

    // One mouse move with the button down.
    virtual void step(const TrackingEvent& event) { (void)event; }
    // The release: handled like a move, then the after-work.
    virtual void finish(const TrackingEvent& event) { step(event); }

protected:
    // Closes the step; name it before.
    void endUndoGrouping()
    {
        if (_undo)
            _undo->endUndoGrouping();
        _undo = nullptr;
    }

    LBGraphicView& _view;

private:
    QPointer<platform::UndoManager> _undo;
};

// Takes the rest of a press and does nothing with it.
class LBGraphicView::SwallowTracker : public LBGraphicView::Tracker
{
public:
    explicit SwallowTracker(LBGraphicView& view) : Tracker(view, false) {}
    void finish(const TrackingEvent&) override {}
};
