#pragma once

// The small help window of design templates: one of two help views, a title, Done and a
// "Don't show again" check box that writes "DisableSmartTemplateHelp". Its frame is kept
// under "SmartTemplateHelp". The application makes one and keeps it for the run.

#include "platform/ui/WindowController.h"

#include <QString>

class QCheckBox;
class QPushButton;
class QWidget;

class LBHelpWindowController : public platform::WindowController
{
    Q_OBJECT
public:
    explicit LBHelpWindowController(QObject* parent = nullptr);
    ~LBHelpWindowController() override;

    // Which help view (0 the first, any other the second) and the title; kept for the
    // window's loading, so call it before the window is first shown.
    void showViewIndex(qint64 index, const QString& title);

    void doneAction();
    // "DisableSmartTemplateHelp" := the check box is ticked.
    void dontShowAgainAction();

    qint64 viewIndex() const { return _viewIndex; }
    QString title() const { return _title; }
    // The view shown as the window's content, and the check box.
    QWidget* helpView() const { return _helpView; }
    QCheckBox* dontShowAgainCheckBox() const { return _dontShowAgain; }
    QPushButton* doneButton() const { return _doneButton; }

protected:
    void windowDidLoad() override;

private:
    QWidget* makeHelpView(qint64 index);

    qint64 _viewIndex = 0;
    QString _title;
    QWidget* _helpView = nullptr;
    QCheckBox* _dontShowAgain = nullptr;
    QPushButton* _doneButton = nullptr;
};
