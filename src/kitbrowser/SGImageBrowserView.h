#pragma once

// The graphics browser: an image browser that starts its own drags, with a half-transparent
// picture of the item under the pointer and a badge counting the dragged graphics, offers
// only copying, and serves the Copy command (Cut and Paste stay off). The controller fills
// the pasteboard for both.

#include "kitbrowser/iCorbeilGUIExport.h"
#include "platform/ui/ImageBrowserView.h"

#include <QImage>
#include <QMouseEvent>
#include <QPointer>

#include <memory>

class SGCorbeilController;

class ICORBEILGUI_EXPORT SGImageBrowserView : public platform::ImageBrowserView
{
    Q_OBJECT

public:
    enum class MenuAction { Cut, Copy, Paste, Other };

    explicit SGImageBrowserView(QWidget* parent = nullptr);
    ~SGImageBrowserView() override;

    void setController(SGCorbeilController* controller);
    // The kept mouse-down event (a copy); nullptr clears it.
    void setMouseDownEvent(const QMouseEvent* event);
    bool hasMouseDownEvent() const { return _mouseDownEvent != nullptr; }

    // Puts the selected graphics on the clipboard.
    void copy();
    // Cut and Paste are off; everything else is on.
    static bool validateMenuItem(MenuAction action);
    // Only copying.
    static Qt::DropActions draggingSourceOperationMask();

    // The badge picture's name for a count of dragged items.
    static QString dragBadgeNameForCount(quint64 count);
    // The badge with the count written on it.
    static QImage dragBadgeWithCount(quint64 count);
    // The picture dragged for the item at the index: its thumbnail at the item's width, the
    // badge at its lower right when more than one item is selected, all half transparent.
    QImage dragImageForIndex(int index) const;
    // Starts the drag of the selected graphics from the mouse-down event.
    virtual void startDrag(const QMouseEvent& mouseDown);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPointer<SGCorbeilController> _controller;
    std::unique_ptr<QMouseEvent> _mouseDownEvent;
};
