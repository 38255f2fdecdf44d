#pragma once

// The favourites in a folder of their own: a support folder and a working folder under a
// temporary folder, alerts answered and recorded, progress windows watched, the library's
// settings as registered. Pictures are written as files on demand; mouse events and drops are
// sent to a widget as the window system would deliver them.

#include "app/LBAppController.h"
#include "app/LBLibraryController.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ProgressWindow.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QDragEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A mouse event of the left button sent to the widget at the point.
inline void send(QWidget* widget, QEvent::Type type, const QPointF& at, Qt::KeyboardModifiers keys,
                 Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, buttons, keys);
    QApplication::sendEvent(widget, &event);
}

// A drop of the data onto the matrix at the point; the action the matrix took.
inline Qt::DropAction drop(LBLibraryMatrix* matrix, QMimeData* data, const QPointF& at,
                           Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction)
{
    QDragEnterEvent enter(at.toPoint(), offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(matrix, &enter);
    if (!enter.isAccepted())
        return Qt::IgnoreAction;
    QDragMoveEvent move(at.toPoint(), offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(matrix, &move);
    QDropEvent dropped(at, offered, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(matrix, &dropped);
    return dropped.isAccepted() ? dropped.dropAction() : Qt::IgnoreAction;
}

inline LBGraphicPtr rectangle(const QRectF& bounds)
{
    auto shape = std::make_shared<LBRectangle>();
    shape->setBoundsNoOtherChanges(bounds);
    return shape;
}

// The data of graphics dragged out of a canvas: graphics-list data under "Quarn Print Line".
inline void setDraggedGraphics(QMimeData& data, const LBDocument::Layer& graphics)
{
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({QStringLiteral("Quarn Print Line")});
    pasteboard.setData(LBDocument::dataForGraphics(graphics), QStringLiteral("Quarn Print Line"));
}

struct SeenAlert
{
    QString message;
    QString informative;
    QStringList buttons;
};

// A library whose design page and zoom a test chooses.
class TestLibraryController : public LBLibraryController
{
public:
    QRectF topPageRect() const override { return page; }
    double documentZoomFactor() const override { return zoom; }
    void processDoubleClickAtRow(qint64 row, qint64 column) override
    {
        doubleClicks.append({row, column});
        LBLibraryController::processDoubleClickAtRow(row, column);
    }
    QRectF page;
    double zoom = 1.0;
    QList<QPair<qint64, qint64>> doubleClicks;
};

class FavoritesFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        for (const char* key :
             {"Favorites Collection Index", "Confirm Delete Favorite Collection",
              "Confirm Delete Favorite", "Favorites Outline Height", "Scrapbook Cell Size"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
        _oldSupport = LBProcessState::applicationSupportPath();
        _oldTemporary = LBProcessState::temporaryFolderPath();
        LBProcessState::setApplicationSupportPath(_folder.path() + QStringLiteral("/Support/"));
        LBProcessState::setTemporaryFolderPath(_folder.path()
                                               + QStringLiteral("/Temporary Files/"));
        QDir().mkpath(_folder.path() + QStringLiteral("/Support"));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append({alert.messageText, alert.informativeText, alert.buttons});
            return platform::Alert::Response{answer, false};
        });
        platform::ProgressWindow::setMonitor([this](const platform::ProgressWindow& window,
                                                    platform::ProgressWindow::Change change) {
            if (change == platform::ProgressWindow::Change::Message)
                progressMessages.append(window.message());
            if (change == platform::ProgressWindow::Change::Value)
                progressValues.append(window.value());
        });
    }

    void TearDown() override
    {
        if (_drawerMode >= 0) {
            DrawerBrowser::setFactory(_drawerMode, nullptr);
            DesignDrawer::setFactory(nullptr);
            DesignModeController::setFactory(nullptr);
        }
        library.reset();
        forgetSettings();
        platform::Alert::setResponder(nullptr);
        platform::ProgressWindow::setMonitor(nullptr);
        LBLibraryController::setOpenPanelAnswer(nullptr);
        LBProcessState::setApplicationSupportPath(_oldSupport);
        LBProcessState::setTemporaryFolderPath(_oldTemporary);
    }

    // The library's settings back to their registered values.
    static void forgetSettings()
    {
        for (const char* key :
             {"Favorites Collection Index", "Confirm Delete Favorite Collection",
              "Confirm Delete Favorite", "Favorites Outline Height", "Scrapbook Cell Size"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
    }

    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }

    // The favourites' pane, shown at the drawer's size.
    TestLibraryController& open()
    {
        library = std::make_unique<TestLibraryController>();
        library->initWithNibNamed(QStringLiteral("Favorites"));
        library->mainView()->resize(250, 500);
        library->mainView()->show();
        library->drawerResized();
        return *library;
    }

    struct DesignDrawerShown
    {
        LBEditController* edit = nullptr;
        LBDrawerController* drawer = nullptr;
    };
    // The document's design window, shown with its drawer open at the mode whose browser
    // the factory makes (the factories stay installed until the test ends); no design
    // controller or drawer when the window did not make them.
    DesignDrawerShown showDesignDrawer(LBDocument& document, qint64 mode,
                                       DrawerBrowser::Factory factory)
    {
        registerShapeClasses();
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
        DrawerBrowser::setFactory(mode, std::move(factory));
        _drawerMode = mode;
        document.setOpenedExistingFile(true);
        auto* window = new LBWindowController;
        document.addWindowController(window);
        window->window()->show();
        // Windows open in preview: the drawer is design mode's.
        window->switchToDesignMode(nullptr);
        QApplication::processEvents();
        DesignDrawerShown shown;
        shown.edit = static_cast<LBEditController*>(window->editController());
        if (!shown.edit)
            return shown;
        shown.edit->openDrawer(true, false, false);
        shown.edit->setDrawerMode(mode);
        shown.drawer = static_cast<LBDrawerController*>(shown.edit->drawerController());
        return shown;
    }

    QString storePath() const { return _folder.path() + QStringLiteral("/Support/Favorites"); }
    QString path(const QString& name) const { return _folder.filePath(name); }

    // A picture file of w × h pixels (72 dpi: as many points), filled with a colour.
    QString writeImage(const QString& name, int w, int h, const QColor& color = Qt::red) const
    {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(color);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        const QString file = path(name);
        image.save(file);
        return file;
    }
    QString writeText(const QString& name) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write("not a picture");
        return file.fileName();
    }

    // The indexes of the shown items, in display order.
    QList<qint64> indexes() const
    {
        QList<qint64> list;
        for (const LBLibraryStore::Object& object : library->objects())
            list.append(object.index);
        return list;
    }

    std::unique_ptr<TestLibraryController> library;
    QList<SeenAlert> alerts;
    int answer = platform::Alert::FirstButtonReturn;
    QStringList progressMessages;
    QList<double> progressValues;

private:
    QTemporaryDir _folder;
    QString _oldSupport;
    QString _oldTemporary;
    qint64 _drawerMode = -1;
};
