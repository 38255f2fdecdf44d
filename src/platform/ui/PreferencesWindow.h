#pragma once

// A toolbar-style preferences window: one toolbar button a pane, the selected pane's view
// below it. Panes are registered by identifier with a factory and made when first shown;
// the toolbar shows them in the display order. The window is as wide as it was made and as
// tall as the selected pane asks.
//
// A pane follows the preference-pane protocol: its main view is made once, and it hears
// mainViewDidLoad() once after that and willSelect() each time it is about to be shown.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QStackedWidget;
class QToolBar;

namespace platform {

class PreferencePane
{
public:
    virtual ~PreferencePane();
    // Makes the pane's view; called once. The window takes the view.
    virtual QWidget* loadMainView() = 0;
    virtual void mainViewDidLoad() {}
    virtual void willSelect() {}
    // The view once it is loaded, else nullptr.
    QWidget* mainView() const { return _mainView; }

private:
    friend class PreferencesWindow;
    QWidget* _mainView = nullptr;
};

class PreferencesWindow : public QWidget
{
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<PreferencePane>()>;

    // A window `width` points wide.
    explicit PreferencesWindow(int width, QWidget* parent = nullptr);
    ~PreferencesWindow() override;

    // Registers a pane: its toolbar button shows the named image (the program's, when it
    // has one) and the label, with the tool tip.
    void addPreferencePaneNamed(const QString& identifier, Factory factory,
                                const QString& imageName, const QString& label,
                                const QString& toolTip);
    // The panes' order in the toolbar; panes it does not name follow in the order they
    // were added.
    void setDisplayOrder(const QStringList& identifiers);
    QStringList displayOrder() const;
    // The window's title: "%@" in the format stands for the selected pane's label.
    void setWindowTitleFormat(const QString& format);

    // Shows the window, on the first pane in display order when none is selected yet; the
    // first time centred on the screen of the window in front, a little above the middle.
    void showWindow();
    // Shows the pane; false for an unknown identifier.
    bool selectPaneNamed(const QString& identifier);
    QString selectedPaneName() const { return _selected; }
    // The pane once it is made, else nullptr.
    PreferencePane* pane(const QString& identifier) const;
    QToolBar* toolbar() const { return _toolbar; }

private:
    struct Entry
    {
        Factory factory;
        QString label;
        QAction* action = nullptr;
        std::unique_ptr<PreferencePane> pane;
    };
    void rebuildToolbar();

    int _width;
    QToolBar* _toolbar;
    QActionGroup* _group;
    QStackedWidget* _stack;
    QStringList _added;
    QStringList _order;
    QHash<QString, std::shared_ptr<Entry>> _entries;
    QString _titleFormat = QStringLiteral("%@");
    QString _selected;
    bool _placed = false;
};

} // namespace platform
