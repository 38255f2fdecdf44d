#include "app/LBHelpWindowController.h"

#include "platform/core/UserDefaults.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

const QString autosaveName = QStringLiteral("SmartTemplateHelp");

} // namespace

LBHelpWindowController::LBHelpWindowController(QObject* parent)
    : platform::WindowController(QStringLiteral("SmartTemplateHelp"), parent)
{}

LBHelpWindowController::~LBHelpWindowController() = default;

void LBHelpWindowController::showViewIndex(qint64 index, const QString& title)
{
    _viewIndex = index;
    _title = title;
}

QWidget* LBHelpWindowController::makeHelpView(qint64 index)
{
    auto* view = new QWidget;
    auto* layout = new QVBoxLayout(view);
    layout->setContentsMargins(20, 18, 20, 14);
    auto* text = new QLabel(view);
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    if (index != 0) {
        view->setFixedSize(440, 300);
        text->setText(
            tr("<p><b>This layout is a smart template.</b></p>"
               "<p>Its design adapts to what you type: the text boxes are already placed and "
               "styled, and each label of the sheet repeats the first one.</p>"
               "<ul><li>Click a text box and type to replace its sample text.</li>"
               "<li>Drag a picture onto a picture placeholder to fill it.</li>"
               "<li>Switch to preview mode to merge your contacts into the labels.</li></ul>"
               "<p>Every part stays editable: move, restyle or delete anything you like.</p>"));
    } else {
        view->setFixedSize(440, 240);
        text->setText(
            tr("<p><b>Templates</b></p>"
               "<p>A template is a ready-made design for a label or paper. Choose one in the "
               "layout list to start from it; your design is untitled until you save it, so "
               "the template itself never changes.</p>"
               "<p>Change the text, pictures and colours to make it your own.</p>"));
    }
    layout->addWidget(text);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    _dontShowAgain = new QCheckBox(tr("Don't show this again"), view);
    _dontShowAgain->setChecked(platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("DisableSmartTemplateHelp")));
    connect(_dontShowAgain, &QCheckBox::clicked, this,
            &LBHelpWindowController::dontShowAgainAction);
    buttons->addWidget(_dontShowAgain);
    buttons->addStretch();
    _doneButton = new QPushButton(tr("Done"), view);
    _doneButton->setDefault(true);
    connect(_doneButton, &QPushButton::clicked, this, &LBHelpWindowController::doneAction);
    buttons->addWidget(_doneButton);
    layout->addLayout(buttons);
    return view;
}

void LBHelpWindowController::windowDidLoad()
{
    QMainWindow* window = mainWindow();
    _helpView = makeHelpView(_viewIndex);
    const QSize size = _helpView->size();
    window->setCentralWidget(_helpView);
    window->resize(size);
    window->setWindowTitle(_title);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
    // The frame the user left it at, when there is one, wins over the centred one.
    setWindowFrameAutosaveName(autosaveName);
}

void LBHelpWindowController::doneAction()
{
    close();
}

void LBHelpWindowController::dontShowAgainAction()
{
    platform::UserDefaults::standardUserDefaults().setBool(
        _dontShowAgain && _dontShowAgain->isChecked(), QStringLiteral("DisableSmartTemplateHelp"));
}
