#pragma once

// The favourites in a folder of their own: a support folder and a working folder under a
// temporary folder, alerts answered and recorded, progress windows watched, the library's
// settings as registered. Pictures are written as files on demand.

#include "app/LBAppController.h"
#include "app/LBLibraryController.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ProgressWindow.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

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
};
