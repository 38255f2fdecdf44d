// The window stand-ins the application shell and the kit libraries use: preferences
// window, image buttons, the image-text cell, truncation, moving list elements, opening
// addresses.
#include "platform/core/Collections.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CompImageButton.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageTextCell.h"
#include "platform/ui/OpenUrl.h"
#include "platform/ui/PreferencesWindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QStandardItemModel>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct PaneLog
{
    QStringList calls;
};

class CountingPane : public platform::PreferencePane
{
public:
    CountingPane(PaneLog& log, QString name) : _log(log), _name(std::move(name)) {}
    QWidget* loadMainView() override
    {
        _log.calls << _name + QStringLiteral(" load");
        auto* view = new QLabel(_name);
        view->setMinimumHeight(120);
        return view;
    }
    void mainViewDidLoad() override { _log.calls << _name + QStringLiteral(" didLoad"); }
    void willSelect() override { _log.calls << _name + QStringLiteral(" willSelect"); }

private:
    PaneLog& _log;
    QString _name;
};

QImage filled(QColor color, QSize size = QSize(20, 10))
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QImage render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

} // namespace

TEST(PreferencesWindow, ShowsPanesInDisplayOrderAndLoadsEachOnce)
{
    PaneLog log;
    platform::PreferencesWindow window(420);
    const auto add = [&](const char* identifier, const char* label) {
        window.addPreferencePaneNamed(
            QLatin1String(identifier),
            [&log, identifier] {
                return std::make_unique<CountingPane>(log, QLatin1String(identifier));
            },
            QStringLiteral("NoSuchIcon"), QLatin1String(label), QLatin1String(label));
    };
    add("GeneralPrefs", "General");
    add("MePrefs", "Me");
    add("DisplayPrefs", "Appearance");
    window.setDisplayOrder({QStringLiteral("GeneralPrefs"), QStringLiteral("DisplayPrefs"),
                            QStringLiteral("Unknown")});
    window.setWindowTitleFormat(QStringLiteral("%@ Preferences"));
    EXPECT_EQ(window.displayOrder(),
              QStringList({QStringLiteral("GeneralPrefs"), QStringLiteral("DisplayPrefs"),
                           QStringLiteral("MePrefs")}));
    QStringList buttons;
    for (QAction* action : window.toolbar()->actions())
        buttons << action->text();
    EXPECT_EQ(buttons, QStringList({QStringLiteral("General"), QStringLiteral("Appearance"),
                                    QStringLiteral("Me")}));
    EXPECT_TRUE(log.calls.isEmpty()); // nothing made before it is shown

    window.showWindow();
    EXPECT_EQ(window.selectedPaneName(), QStringLiteral("GeneralPrefs"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("General Preferences"));
    EXPECT_EQ(window.width(), 420);
    ASSERT_TRUE(window.selectPaneNamed(QStringLiteral("MePrefs")));
    ASSERT_TRUE(window.selectPaneNamed(QStringLiteral("GeneralPrefs")));
    window.toolbar()->actions().at(2)->trigger();
    EXPECT_EQ(window.selectedPaneName(), QStringLiteral("MePrefs"));
    EXPECT_FALSE(window.selectPaneNamed(QStringLiteral("Unknown")));
    EXPECT_EQ(window.selectedPaneName(), QStringLiteral("MePrefs"));
    EXPECT_EQ(log.calls,
              QStringList({"GeneralPrefs load", "GeneralPrefs didLoad", "GeneralPrefs willSelect",
                           "MePrefs load", "MePrefs didLoad", "MePrefs willSelect",
                           "GeneralPrefs willSelect", "MePrefs willSelect"}));
    EXPECT_EQ(window.pane(QStringLiteral("DisplayPrefs")), nullptr);
    EXPECT_NE(window.pane(QStringLiteral("MePrefs"))->mainView(), nullptr);
    EXPECT_EQ(window.width(), 420);
}

TEST(ImageButtons, DrawThePressedPictureWhileDownAndHalfOpaqueWhenDisabled)
{
    platform::ImageButton button;
    button.setNormalImage(filled(Qt::red), filled(Qt::blue));
    EXPECT_EQ(button.sizeHint(), QSize(20, 10));
    button.resize(20, 10);
    EXPECT_EQ(render(button).pixelColor(5, 5), QColor(Qt::red));
    button.setDown(true);
    EXPECT_EQ(render(button).pixelColor(5, 5), QColor(Qt::blue));
    button.setDown(false);
    button.setEnabled(false);
    EXPECT_NEAR(render(button).pixelColor(5, 5).alphaF(), 0.5, 0.01);

    // Without a pressed picture the normal one stays while down.
    button.setNormalImage(filled(Qt::green), QImage());
    button.setDown(true);
    EXPECT_EQ(button.currentImage().pixelColor(0, 0), QColor(Qt::green));
}

TEST(ImageButtons, CompositeButtonDrawsItsTitleInItsColour)
{
    platform::CompImageButton button;
    button.setNormalImage(filled(Qt::white, QSize(80, 30)), QImage());
    button.setText(QStringLiteral("██"));
    button.setTitleColor(Qt::red);
    button.resize(80, 30);
    const QImage image = render(button);
    int red = 0;
    for (int x = 0; x < image.width(); ++x)
        red += image.pixelColor(x, 15) == QColor(Qt::red);
    EXPECT_GT(red, 4);
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white));
}

TEST(ImageTextCell, PutsTheImageInASquareAtTheLeftAndTheTextAfterIt)
{
    const QRect cell(10, 20, 200, 30);
    EXPECT_EQ(platform::ImageTextCell::imageRect(cell), QRect(13, 23, 24, 24));
    EXPECT_EQ(platform::ImageTextCell::textRect(cell).left(), 13 + 24 + 3);

    QStandardItemModel model;
    auto* item = new QStandardItem(QStringLiteral("Kit"));
    item->setData(filled(Qt::blue, QSize(40, 40)), Qt::DecorationRole);
    model.appendRow(item);
    platform::ImageTextCell delegate;
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 120, 30);
    option.font = QFont();
    option.fontMetrics = QFontMetrics(option.font);
    option.palette.setColor(QPalette::Text, Qt::black);
    QImage image(120, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(0, 0));
    }
    EXPECT_EQ(image.pixelColor(15, 15), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(110, 2), QColor(Qt::white));
    EXPECT_GE(delegate.sizeHint(option, model.index(0, 0)).height(), 22);
}

TEST(TruncateWithEllipsis, ShortensAtTheEndToFitTheWidth)
{
    const platform::AttributedString text(QStringLiteral("A rather long title of a kit"));
    const qreal full = text.size().width();
    EXPECT_EQ(text.truncateWithEllipsisToWidth(full + 1), text);
    const platform::AttributedString half = text.truncateWithEllipsisToWidth(full / 2);
    EXPECT_TRUE(half.string().endsWith(QChar(0x2026)));
    EXPECT_LE(half.size().width(), full / 2);
    EXPECT_TRUE(text.string().startsWith(half.string().chopped(1)));
    // One more character would not fit.
    const QString kept = half.string().chopped(1);
    const platform::AttributedString longer(text.string().left(kept.size() + 1) + QChar(0x2026));
    EXPECT_GT(longer.size().width(), full / 2);
    EXPECT_EQ(text.truncateWithEllipsisToWidth(0).string(), QString(QChar(0x2026)));
}

TEST(MoveObjectAtIndex, MovesWithinTheListAndToItsEnd)
{
    struct Case
    {
        qsizetype from, to;
        QList<int> expected;
    };
    const QList<Case> cases = {
        {0, 2, {1, 2, 0, 3}}, {3, 0, {3, 0, 1, 2}}, {1, 4, {0, 2, 3, 1}},
        {1, 1, {0, 1, 2, 3}}, {4, 0, {0, 1, 2, 3}}, {0, 5, {0, 1, 2, 3}},
    };
    for (const Case& c : cases) {
        QList<int> list = {0, 1, 2, 3};
        platform::moveObjectAtIndex(list, c.from, c.to);
        EXPECT_EQ(list, c.expected) << c.from << " -> " << c.to;
    }
}

namespace {

class UrlTaker : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> taken;
public Q_SLOTS:
    void take(const QUrl& url) { taken << url; }
};

} // namespace

TEST(OpenUrl, SaysWhyNothingOpenedAndWhatToOpenByHand)
{
    // The test platform has no browser and no viewer, as a system without them.
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText << alert.informativeText;
        return platform::Alert::Response{platform::Alert::FirstButtonReturn, false};
    });
    struct Case
    {
        QUrl url;
        const char* message;
        QString shown;
    };
    const Case cases[] = {
        {QUrl(QStringLiteral("https://example.com/kits")), "The page could not be opened.",
         QStringLiteral("https://example.com/kits")},
        {QUrl::fromLocalFile(QStringLiteral("/tmp/guide.pdf")), "The file could not be opened.",
         QStringLiteral("\u201c/tmp/guide.pdf\u201d")},
    };
    for (const Case& c : cases) {
        said.clear();
        EXPECT_FALSE(platform::openUrl(c.url));
        ASSERT_EQ(said.size(), 2) << c.message;
        EXPECT_EQ(said[0], QString::fromLatin1(c.message));
        EXPECT_TRUE(said[1].contains(c.shown)) << said[1].toStdString();
    }
    // A program that takes the address: it opens, and nothing is said.
    UrlTaker taker;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &taker, "take");
    said.clear();
    EXPECT_TRUE(platform::openUrl(QUrl(QStringLiteral("https://example.com/kits"))));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    platform::Alert::setResponder({});
    EXPECT_TRUE(said.isEmpty());
    EXPECT_EQ(taker.taken.size(), 1);
}

#include "ShellStandInsTest.moc"
