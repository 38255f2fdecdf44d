#pragma once

// The dark translucent panels of the inspector and the canvas's status window: the
// borderless floating window, the content view that paints the panel from named pictures
// (a nine-part frame, or the small collapsed button) and reports double clicks, the text
// pop-up of the title bar and the resize grip of the Font Preview pane.

#include <QPointF>
#include <QPushButton>
#include <QWidget>

#include <memory>
#include <optional>

class QMenu;

namespace platform {
class Image;
}

// A top-level tool window without a frame or shadow that shows without taking the focus
// and follows its transient parent (the canvas's window). A press on its background
// moves it.
class HUDWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HUDWindow(QWidget* parent = nullptr);
    // Keeps the window above `window` (the followed canvas's window); nullptr for none.
    void setTransientParentWidget(QWidget* window);
    // Whether the title row paints as key: the window is active.
    bool isKeyWindow() const;

protected:
    void changeEvent(QEvent* event) override;
    // The main window's menu keys (Save, Quit, Undo, …) work while the palette has the
    // keyboard.
    void keyPressEvent(QKeyEvent* event) override;
};

// Paints the panel: the collapsed button, or the nine-part frame (title row opaque, body
// slightly translucent; the title row's "2" pictures while the window is not key).
class HUDContentView : public QWidget
{
    Q_OBJECT
public:
    explicit HUDContentView(QWidget* parent = nullptr);
    bool isCollapsed() const { return _collapsed; }
    void setCollapsed(bool collapsed);
    // The key look of the title row; follows the window unless set (tests).
    void setKeyOverride(int key) { _keyOverride = key; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool _collapsed = true;
    int _keyOverride = -1;
    // Where the left button went down on the background, while it is down.
    std::optional<QPoint> _pressedAt;
};

// The pane pop-up of the title bar (white bold title and an arrow, sized to its title) or,
// as pull-down, only its arrow. Its items are the actions of its menu, tagged by their
// data; the pull-down's menu also serves as the canvas's contextual menu.
class HUDTextPopUpButton : public QPushButton
{
    Q_OBJECT
public:
    explicit HUDTextPopUpButton(bool pullsDown, QWidget* parent = nullptr);
    bool pullsDown() const { return _pullsDown; }
    QMenu* itemMenu() const { return _menu; }
    void removeAllItems();
    QAction* addItem(const QString& title, int tag);
    QList<QAction*> items() const;
    QAction* itemWithTag(int tag) const;
    // Selects the item of the tag (the title shown); false when there is none.
    bool selectItemWithTag(int tag);
    QAction* selectedItem() const { return _selected; }
    int selectedTag() const;
    // Title width + 7 + the arrow's width; 0 without a selected title.
    int neededWidth() const;
    // Moves the title right by this many points (the tag of the original).
    void setTitleOffset(int points) { _titleOffset = points; }

Q_SIGNALS:
    void itemChosen(QAction* item);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fitToTitle();
    QFont titleFont() const;

    bool _pullsDown = false;
    QMenu* _menu = nullptr;
    QAction* _selected = nullptr;
    int _titleOffset = 0;
    std::shared_ptr<platform::Image> _arrowImage;
};

// The resize grip of the Font Preview pane: drags the window's bottom-right corner with
// its top edge kept, at least 495 × 148; the size is stored when the drag ends.
class HUDResizeBox : public QWidget
{
    Q_OBJECT
public:
    static constexpr double minimumWidth = 495.0;
    static constexpr double minimumHeight = 148.0;
    explicit HUDResizeBox(QWidget* parent = nullptr);
    // The window frame for the mouse at `mouse` (screen) after a press at `pressOffset`
    // from the window's top-left with `xOffset` to its right edge (pure).
    static QRectF resizedFrame(const QRectF& frame, const QPointF& mouse,
                               const QPointF& pressOffset, double xOffset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool _shouldResize = false;
    QPointF _initialLocation;
    double _xOffset = 0.0;
};
