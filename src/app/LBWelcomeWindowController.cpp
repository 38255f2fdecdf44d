#include "app/LBWelcomeWindowController.h"

#include "app/LBAppController.h"
#include "controls/DSClickableURLTextField.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/OpenUrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QParallelAnimationGroup>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QUrl>
#include <QVBoxLayout>

#ifndef VELTRIN_VIDEO_TUTORIALS_URL
#define VELTRIN_VIDEO_TUTORIALS_URL ""
#endif
#ifndef VELTRIN_KIT_DOWNLOAD_URL
#define VELTRIN_KIT_DOWNLOAD_URL ""
#endif

namespace {

constexpr int pageWidth = 560;
constexpr int pageHeight = 340;
constexpr int barHeight = 50; // the button bar under the divider line
constexpr int slideMilliseconds = 500;

QString videoURL = QStringLiteral(VELTRIN_VIDEO_TUTORIALS_URL);
QString downloadURL = QStringLiteral(VELTRIN_KIT_DOWNLOAD_URL);
LBWelcomeWindowController::URLOpener urlOpener;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString welcomeString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Welcome Window"));
}

QLabel* heading(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    label->setFont(font);
    return label;
}

QLabel* paragraph(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A page of the window: its heading over its paragraphs; the caller adds the rest to the
// returned layout.
QVBoxLayout* newPage(QWidget* page, const QString& title, const QStringList& paragraphs)
{
    page->resize(pageWidth, pageHeight);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(30, 24, 30, 12);
    layout->addWidget(heading(title, page));
    for (const QString& text : paragraphs)
        layout->addWidget(paragraph(text, page));
    return layout;
}

} // namespace

LBWelcomeWindowController::LBWelcomeWindowController(bool atAppLaunch, QObject* parent)
    : platform::WindowController(QStringLiteral("WelcomeWindowL"), parent),
      _atAppLaunch(atAppLaunch)
{}

LBWelcomeWindowController::~LBWelcomeWindowController()
{
    // Pages taken out of the window are no longer its children.
    for (QWidget* page : {_page1.data(), _page2.data()})
        if (page && !page->parentWidget())
            delete page;
}

QString LBWelcomeWindowController::videoTutorialsURL()
{
    return videoURL;
}

QString LBWelcomeWindowController::kitDownloadURL()
{
    return downloadURL;
}

void LBWelcomeWindowController::setPageURLsForTesting(const QString& video, const QString& download)
{
    videoURL = video;
    downloadURL = download;
}

void LBWelcomeWindowController::setURLOpener(URLOpener opener)
{
    urlOpener = std::move(opener);
}

void LBWelcomeWindowController::openPage(const QString& url)
{
    if (url.isEmpty())
        return;
    if (urlOpener)
        urlOpener(QUrl(url));
    else
        platform::openUrl(QUrl(url), QApplication::activeWindow());
}

// ==== The window ========================================================================

void LBWelcomeWindowController::windowDidLoad()
{
    QMainWindow* window = mainWindow();
    window->setWindowTitle(tr("Welcome to Veltrin"));
    auto* content = new QWidget;
    content->setFixedSize(pageWidth, pageHeight + barHeight);
    window->setCentralWidget(content);
    _buttonBar = content;

    auto* divider = new QFrame(content);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setGeometry(0, pageHeight, pageWidth, 2);

    _showAtLaunchCheckBox = new QCheckBox(tr("Show this window when Veltrin starts"), content);
    _showAtLaunchCheckBox->adjustSize();
    _showAtLaunchCheckBox->move(20, pageHeight + (barHeight - _showAtLaunchCheckBox->height()) / 2);
    // Offered once the user has seen the window: the first launch always shows it.
    _showAtLaunchCheckBox->setVisible(
        defaults().boolForKey(QStringLiteral("WelcomeWindowAlreadyShown")));
    _showAtLaunchCheckBox->setChecked(!defaults().boolForKey(QStringLiteral("SkipWelcomeWindow")));

    _continueButton = new QPushButton(welcomeString("Continue"), content);
    _continueButton->setDefault(true);
    _continueButton->setMinimumWidth(100);
    _continueButton->adjustSize();
    _continueButton->move(pageWidth - 20 - _continueButton->width(),
                          pageHeight + (barHeight - _continueButton->height()) / 2);
    connect(_continueButton, &QPushButton::clicked, this,
            &LBWelcomeWindowController::continueAction);

    // Page 1 sits above the button bar (in bottom-up terms at (0, 50)), keeping its size,
    // behind the divider line.
    _page1 = makeFirstPage();
    _page1->setParent(content);
    _page1->setGeometry(0, 0, pageWidth, pageHeight);
    _page1->stackUnder(divider);
    _page1->show();

    window->adjustSize();
    window->setFixedSize(window->sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

QWidget* LBWelcomeWindowController::makeFirstPage()
{
    auto* page = new QWidget;
    QVBoxLayout* layout = newPage(
        page, tr("Welcome to Veltrin"),
        {tr("Veltrin designs and prints labels, envelopes, cards and other printed pages: "
            "address labels merged from your contacts, disc labels, name badges, letterheads "
            "and more."),
         tr("To start a design, choose File > New. Pick the label or paper you print on from "
            "the layout list (by maker and product number), or a ready-made design, then add "
            "text, pictures, shapes and barcodes on the page. Preview mode shows every sheet "
            "with your contacts merged before you print.")});
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    auto* guide = new QPushButton(tr("User Guide"), page);
    connect(guide, &QPushButton::clicked, this, &LBWelcomeWindowController::userGuideAction);
    buttons->addWidget(guide);
    _videoButton = new QPushButton(tr("Video Tutorials"), page);
    _videoButton->setVisible(!videoTutorialsURL().isEmpty());
    connect(_videoButton, &QPushButton::clicked, this,
            &LBWelcomeWindowController::videoTutorialsAction);
    buttons->addWidget(_videoButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    return page;
}

QWidget* LBWelcomeWindowController::makeSecondPage()
{
    auto* page = new QWidget;
    QVBoxLayout* layout = newPage(
        page, tr("Kits"),
        {tr("Kits are packages of graphics, backgrounds and designs made to go together. "
            "Open a kit package with Veltrin (or double-click it) to import it: it is copied "
            "into your kit library, and you may keep or delete the original."),
         tr("Imported kits appear in the design drawer: click Show Browsers in design mode "
            "and choose the kit browser to browse them by kit, artist, type or colour, and "
            "drag their graphics onto your design.")});
    _downloadLink = new DSClickableURLTextField(page);
    _downloadLink->setStringValue(tr("Download more kits from the kit page."));
    _downloadLink->setMinimumHeight(22);
    _downloadLink->setURLOpener([](const QUrl& url) { openPage(url.toString()); });
    layout->addWidget(_downloadLink);
    layout->addStretch();
    auto* buttons = new QHBoxLayout;
    _downloadButton = new QPushButton(tr("Download Kits"), page);
    _downloadButton->setVisible(!kitDownloadURL().isEmpty());
    connect(_downloadButton, &QPushButton::clicked, this,
            &LBWelcomeWindowController::gotoDownloadPageAction);
    buttons->addWidget(_downloadButton);
    buttons->addStretch();
    layout->addLayout(buttons);
    return page;
}

// ==== Actions ===========================================================================

void LBWelcomeWindowController::continueAction()
{
    if (_onSecondPage) {
        closeWelcomeWindowAction();
        return;
    }
    window();
    _onSecondPage = true;
    _page2 = makeSecondPage();
    // The link runs over the whole text, in the link colour.
    const QString url = kitDownloadURL();
    if (!url.isEmpty()) {
        platform::AttributedString text = _downloadLink->attributedStringValue();
        const platform::Range all(0, text.length());
        text.addAttribute(platform::LinkAttributeName, QUrl(url), all);
        text.addAttribute(platform::ForegroundColorAttributeName,
                          QColor::fromRgbF(0.098f, 0.384f, 0.6f, 1.0f), all);
        _downloadLink->setAttributedStringValue(text);
    }
    const QRect from = _page1->geometry();
    _page2->setParent(_buttonBar);
    _page2->setGeometry(from.translated(from.width(), 0));
    _page2->stackUnder(_continueButton);
    _page2->show();

    _animation = new QParallelAnimationGroup(this);
    const auto slide = [this](QWidget* page, const QPoint& to) {
        auto* animation = new QPropertyAnimation(page, "pos", _animation);
        animation->setDuration(slideMilliseconds);
        animation->setEndValue(to);
        _animation->addAnimation(animation);
    };
    slide(_page1, QPoint(from.x() - from.width(), from.y()));
    slide(_page2, QPoint(0, from.y()));
    connect(_animation, &QAbstractAnimation::finished, this,
            &LBWelcomeWindowController::animationDidEnd);
    _animation->start(QAbstractAnimation::DeleteWhenStopped);
    _continueButton->setText(welcomeString("Close"));
}

void LBWelcomeWindowController::animationDidEnd()
{
    _animation = nullptr;
    if (_page1 && _page1->parentWidget()) {
        _page1->hide();
        _page1->setParent(nullptr);
    } else if (_page2 && _page2->parentWidget()) {
        _page2->hide();
        _page2->setParent(nullptr);
    }
}

void LBWelcomeWindowController::userGuideAction()
{
    platform::NotificationCenter::defaultCenter().post(KXOpenUserGuide);
}

void LBWelcomeWindowController::videoTutorialsAction()
{
    openPage(videoTutorialsURL());
}

void LBWelcomeWindowController::gotoDownloadPageAction()
{
    openPage(kitDownloadURL());
}

void LBWelcomeWindowController::closeWelcomeWindowAction()
{
    if (_animation) {
        _animation->stop(); // (deletes it)
        _animation = nullptr;
    }
    if (_page2) {
        _page2->hide();
        _page2->setParent(nullptr);
    }
    close();
    didClose(); // (when the window was never shown, closing it ran nothing)
}

void LBWelcomeWindowController::windowWillClose()
{
    didClose();
}

void LBWelcomeWindowController::didClose()
{
    if (_closed)
        return;
    _closed = true;
    if (_showAtLaunchCheckBox)
        defaults().setBool(!_showAtLaunchCheckBox->isChecked(),
                           QStringLiteral("SkipWelcomeWindow"));
    defaults().setBool(true, QStringLiteral("WelcomeWindowAlreadyShown"));
    platform::NotificationCenter::defaultCenter().post(LBWelcomeWindowDidCloseNotification, this);
}
