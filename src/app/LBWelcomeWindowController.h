#pragma once

// The welcome window shown at launch: two pages above a button bar. The first says what
// the program does and how to start a design; Continue slides the second in from the
// right, which says where kits come from and where they go. The check box (shown from
// the second showing on) decides whether the window comes at the next launch.
//
// Closing the window, by its button or its title bar, stores the check box's state and
// posts "WelcomeWindowDidClose" (object: the controller) once.

#include "platform/ui/WindowController.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class DSClickableURLTextField;
class QCheckBox;
class QLabel;
class QParallelAnimationGroup;
class QPushButton;
class QUrl;

inline const QString LBWelcomeWindowDidCloseNotification = QStringLiteral("WelcomeWindowDidClose");

class LBWelcomeWindowController : public platform::WindowController
{
    Q_OBJECT
public:
    // atAppLaunch: shown by the launch rather than by the user's command.
    explicit LBWelcomeWindowController(bool atAppLaunch, QObject* parent = nullptr);
    ~LBWelcomeWindowController() override;

    bool atAppLaunch() const { return _atAppLaunch; }

    // Page 1: to page 2; page 2: closes the window.
    void continueAction();
    // The page that slid out leaves the window.
    void animationDidEnd();
    // Asks the application to open the user guide.
    void userGuideAction();
    void videoTutorialsAction();
    void gotoDownloadPageAction();
    void closeWelcomeWindowAction();

    // The web pages of the window's buttons and link, empty when the build has none (their
    // buttons are then hidden and the link text stays plain).
    static QString videoTutorialsURL();
    static QString kitDownloadURL();
    static void setPageURLsForTesting(const QString& video, const QString& download);
    // How web pages are opened; the system's browser when none is set.
    using URLOpener = std::function<void(const QUrl&)>;
    static void setURLOpener(URLOpener opener);

    // The window's parts, for the application and tests.
    QWidget* page1() const { return _page1; }
    QWidget* page2() const { return _page2; }
    QPushButton* continueButton() const { return _continueButton; }
    QCheckBox* showAtLaunchCheckBox() const { return _showAtLaunchCheckBox; }
    DSClickableURLTextField* downloadLinkField() const { return _downloadLink; }
    QPushButton* videoTutorialsButton() const { return _videoButton; }
    QPushButton* downloadButton() const { return _downloadButton; }
    bool showsSecondPage() const { return _onSecondPage; }

protected:
    void windowDidLoad() override;
    void windowWillClose() override;

private:
    QWidget* makeFirstPage();
    QWidget* makeSecondPage();
    void didClose();
    static void openPage(const QString& url);

    bool _atAppLaunch = false;
    bool _onSecondPage = false;
    bool _closed = false;
    QWidget* _buttonBar = nullptr; // the continue button's superview
    QPointer<QWidget> _page1;
    QPointer<QWidget> _page2;
    QPushButton* _continueButton = nullptr;
    QCheckBox* _showAtLaunchCheckBox = nullptr;
    DSClickableURLTextField* _downloadLink = nullptr;
    QPushButton* _videoButton = nullptr;
    QPushButton* _downloadButton = nullptr;
    QParallelAnimationGroup* _animation = nullptr;
};
