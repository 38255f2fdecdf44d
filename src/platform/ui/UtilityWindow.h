#pragma once

// A frameless tool window shown as the child of another window: it stays above its parent
// and goes with it. Its content view is where callers put their controls.

#include <QWidget>

namespace platform {

class UtilityWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UtilityWindow(QWidget* parent = nullptr);
    ~UtilityWindow() override;

    QWidget* contentView() const { return _contentView; }
    // The frame in screen coordinates.
    void setFrame(const QRect& frame);

    // Shows the window above `parent` (the window of that widget), as its child.
    void attachToWindow(QWidget* parent);
    // Takes the window from its parent and hides it.
    void detachFromWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    // The main window's menu keys work while the utility window has the keyboard.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* _contentView;
};

} // namespace platform
