#pragma once

// The kit browser's tests: a fresh kit library for each test (the library lives in the
// test's own data folder, chosen once per process), kits written by the kit library's own
// writer into a source folder, alerts answered and recorded instead of shown, progress
// recorded, and a graphic builder that records its calls.

#include "KitFixtures.h"
#include "kitbrowser/SGCorbeilController.h"
#include "kitbrowser/SGCorbeilGraphicBuilderDelegate.h"
#include "platform/core/FileOperations.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ProgressWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* out)
{
    *out << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

namespace kitbrowsertest {

// Where the first controller of the process puts the library.
inline QString libraryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Orvane/iCorbeil Library.icorbeillib");
}

inline QStringList kitNames(const QList<SGKitRecord>& kits)
{
    QStringList names;
    for (const SGKitRecord& kit : kits)
        names.append(kit.name);
    return names;
}

inline QStringList objectNames(const QList<SGObjectRecord>& objects)
{
    QStringList names;
    for (const SGObjectRecord& object : objects)
        names.append(object.name);
    return names;
}

inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

struct RecordedAlert
{
    QString messageText;
    QString informativeText;
    QStringList buttons;
    bool showsSuppressionButton = false;
};

// Records every call; answers the pasteboard with a fixed type.
class RecordingBuilder : public SGCorbeilGraphicBuilderDelegate
{
public:
    struct Call
    {
        QStringList files;
        QStringList sizes;
        bool isPaper = false;
        bool isQuickPage = false;
    };
    void insertCorbeilFiles(const QStringList& files, const QStringList& imageSizes, bool isPaper,
                            bool isQuickPage) override
    {
        inserted.append({files, imageSizes, isPaper, isQuickPage});
    }
    QByteArray pasteboardDataForFiles(const QStringList& files, const QStringList& imageSizes,
                                      QString* pasteboardType, bool isPaper,
                                      bool isQuickPage) override
    {
        pasted.append({files, imageSizes, isPaper, isQuickPage});
        typeOnEntry = *pasteboardType;
        *pasteboardType = QStringLiteral("Quarn Print Line 1");
        return QByteArrayLiteral("graphics list");
    }
    QList<Call> inserted;
    QList<Call> pasted;
    QString typeOnEntry = QStringLiteral("unset");
};

class KitBrowserTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(_sources.isValid());
        QDir(libraryPath()).removeRecursively();
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
             + QStringLiteral("/Trash"))
            .removeRecursively();
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        for (const char* key : {"LastImportString", "SGZoomSettingK", "SGZoomSettingG",
                                "MatchPrimaryColor", "DisableDeleteConfirmation"})
            defaults.removeObjectForKey(QString::fromLatin1(key));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            _alerts.append({alert.messageText, alert.informativeText, alert.buttons,
                            alert.showsSuppressionButton});
            platform::Alert::Response response;
            response.suppressed = _suppressAlerts;
            return response;
        });
        platform::ProgressWindow::setMonitor([this](const platform::ProgressWindow& window,
                                                    platform::ProgressWindow::Change change) {
            if (change == platform::ProgressWindow::Change::Message)
                _progressMessages.append(window.message());
            if (change == platform::ProgressWindow::Change::Started)
                _progressMaxima.append(window.maximum());
        });
    }

    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        platform::ProgressWindow::setMonitor(nullptr);
        platform::setFileOperationHooks({});
    }

    // A kit package in the source folder, written by the kit library's writer.
    QString writeKit(const kitfixtures::Kit& kit, const QString& packageName = QString())
    {
        const QString path = _sources.filePath(
            packageName.isEmpty() ? kit.name + QStringLiteral(".icorbeil") : packageName);
        QString error;
        EXPECT_TRUE(kitfixtures::writeKit(path, kit, &error)) << error.toStdString();
        return path;
    }

    QString kitsFolder() const { return libraryPath() + QStringLiteral("/Kits"); }

    QTemporaryDir _sources;
    QList<RecordedAlert> _alerts;
    QStringList _progressMessages;
    QList<double> _progressMaxima;
    bool _suppressAlerts = false;
};

// A controller whose view is installed in a shown host view.
class KitBrowserViewTest : public KitBrowserTest
{
public:
    void TearDown() override
    {
        if (_controller) {
            _controller->setShiftKeyDown(false);
            _controller->cleanup();
        }
        _controller.reset();
        KitBrowserTest::TearDown();
    }

    void startBrowser(const QString& nibName, const QSize& size)
    {
        _controller = std::make_unique<SGCorbeilController>(nibName);
        _host.resize(size);
        _host.show();
        _controller->setView(&_host);
    }

    template <typename T>
    T* outlet(const char* name)
    {
        return qobject_cast<T*>(_controller->outlet(QString::fromLatin1(name)));
    }

    QWidget _host;
    std::unique_ptr<SGCorbeilController> _controller;
};

} // namespace kitbrowsertest
