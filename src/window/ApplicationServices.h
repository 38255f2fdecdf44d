#pragma once

// What a document window asks of the application shell. The shell (app/) implements it
// and installs its object at start-up with setShared(); a program or test without a shell
// has none, and the window then asks nothing.

#include <QString>

class ApplicationServices
{
public:
    virtual ~ApplicationServices() = default;

    // Records that a document window was opened, so that the application makes no
    // untitled document of its own.
    virtual void setDocumentWasOpened(bool opened) = 0;
    // Shows the preferences window at the named pane.
    virtual void selectPrefPaneNamed(const QString& name) { (void)name; }

    // Shows the help window of smart templates (one for the program, made on first use).
    virtual void showSmartTemplateHelp() {}

    // The web page where more kits can be downloaded; empty when the program offers none.
    virtual QString kitDownloadURL() const { return QString(); }

    // The shell's object; nullptr while none is installed. Not owned.
    static ApplicationServices* shared();
    static void setShared(ApplicationServices* services);
};
