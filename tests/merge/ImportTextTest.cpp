// Importing text records into a document: the question, the stored records, the lock of
// per-label texts, and files that cannot be imported.

#include "FilePanelAnswer.h"
#include "MergeFieldsSupport.h"

#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Responder.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QFileDialog>
#include <QTemporaryDir>

class ImportTextTest : public MergeFieldsTest
{
protected:
    ImportTextTest()
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            asked.append(alert.messageText + QLatin1Char('|') + alert.informativeText);
            checkBoxes.append(alert.showsSuppressionButton ? alert.suppressionButtonTitle
                                                           : QString());
            platform::Alert::Response response;
            response.returnCode =
                answers.isEmpty() ? platform::Alert::FirstButtonReturn : answers.takeFirst();
            response.suppressed = alert.showsSuppressionButton && tickCheckBox;
            return response;
        });
    }
    ~ImportTextTest() override { platform::Alert::setResponder(nullptr); }

    QString file(const QByteArray& data)
    {
        const QString path = dir.filePath(QStringLiteral("records.csv"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        return path;
    }
    QStringList stored(qint64* columns) { return document->importTextArrayAndColumnCount(columns); }

    QTemporaryDir dir;
    QStringList asked;
    QStringList checkBoxes; // the title of each alert's check box, empty without one
    bool tickCheckBox = false;
    QList<int> answers;
};

TEST_F(ImportTextTest, ImportsAfterAskingAndMarksTheDocument)
{
    EXPECT_FALSE(document->isDocumentEdited());
    ASSERT_TRUE(services->importTextFile(file("\"Smith, Ann\",Springfield\nBo,Dover\n"), true));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().contains(QStringLiteral("2 record(s) and 2 field(s)")));
    qint64 columns = 0;
    EXPECT_EQ(stored(&columns), (QStringList{"Smith, Ann", "Springfield", "Bo", "Dover"}));
    EXPECT_EQ(columns, 2);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_EQ(services->numSelectedPeople(), 2);
    // The import fields read the columns.
    EXPECT_EQ(services->stringForImportField(field(QStringLiteral("Import 2")), 1),
              QStringLiteral("Dover"));
    services->clearImportText();
    EXPECT_TRUE(stored(&columns).isEmpty());
}

TEST_F(ImportTextTest, CancelAndBadFilesChangeNothing)
{
    answers = {platform::Alert::SecondButtonReturn};
    EXPECT_FALSE(services->importTextFile(file("a\tb\n"), false));
    qint64 columns = 0;
    EXPECT_TRUE(stored(&columns).isEmpty());
    struct Case
    {
        const char* name;
        QByteArray data;
        const char* reason;
    } cases[] = {{"empty", QByteArray(), "The file is empty."},
                 {"binary", QByteArray("\x89PNG\0\0\0", 7), "The file is not text."},
                 // One line of 200,000 commas would pad every short line to its width.
                 {"a record too wide", QByteArray(200000, ',') + QByteArray(5000, '\n'),
                  "A record has more than 16384 fields."}};
    for (const Case& c : cases) {
        asked.clear();
        EXPECT_FALSE(services->importTextFile(file(c.data), true)) << c.name;
        ASSERT_EQ(asked.size(), 1) << c.name;
        EXPECT_EQ(asked.first(), QStringLiteral("The file “records.csv” cannot be imported.|")
                                     + QLatin1String(c.reason));
    }
    asked.clear();
    EXPECT_FALSE(services->importTextFile(dir.filePath(QStringLiteral("missing.txt")), true));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(
        asked.first().startsWith(QStringLiteral("The file “missing.txt” cannot be imported.")));
    EXPECT_TRUE(stored(&columns).isEmpty());
    EXPECT_FALSE(document->isDocumentEdited());
}

TEST_F(ImportTextTest, AFileOfColumnTitlesAloneKeepsTheRecordsAndSaysWhy)
{
    ASSERT_TRUE(services->importTextFile(file("Ann,Dover\nBo,Hull\n"), true));
    qint64 columns = 0;
    const QStringList records = stored(&columns);
    asked.clear();
    tickCheckBox = true; // the first line holds the titles: no line is left
    EXPECT_FALSE(services->importTextFile(file("Name,City\n"), true));
    ASSERT_EQ(asked.size(), 2);
    EXPECT_EQ(asked.last(), QStringLiteral("The file “records.csv” cannot be imported.|"
                                           "The file holds no record below its column titles."));
    EXPECT_EQ(stored(&columns), records);
    EXPECT_EQ(columns, 2);
}

TEST_F(ImportTextTest, UnlockedTextWithLabelEditsAsksBeforeLocking)
{
    auto box = std::make_shared<LBTextArea>();
    box->setContents(QStringLiteral("text"));
    box->setEditedText(platform::AttributedString(QStringLiteral("edited")), QStringLiteral("uid"));
    document->documentGraphics()[0][0].append(box);
    controller->setMode(DocumentWindowController::PreviewMode, false);
    controller->lockInfoSheetDidEnd(LBWindowController::SheetDefaultReturn); // unlock
    ASSERT_FALSE(controller->textIsLocked());
    // Import, then Cancel at the lock question: nothing changes.
    answers = {platform::Alert::FirstButtonReturn, platform::Alert::ThirdButtonReturn};
    EXPECT_FALSE(services->importTextFile(file("a,b\n"), true));
    qint64 columns = 0;
    EXPECT_TRUE(stored(&columns).isEmpty());
    EXPECT_TRUE(box->editedTextArray().has_value());
    EXPECT_FALSE(controller->textIsLocked());
    // Lock: the labels' texts go and the records come.
    answers = {platform::Alert::FirstButtonReturn, platform::Alert::FirstButtonReturn};
    EXPECT_TRUE(services->importTextFile(file("a,b\n"), true));
    EXPECT_TRUE(controller->textIsLocked());
    EXPECT_FALSE(box->editedTextArray().has_value());
    EXPECT_EQ(stored(&columns).size(), 2);
}

TEST_F(ImportTextTest, TheFileMenuImportsEitherKindWithOrWithoutATitleLine)
{
    struct Case
    {
        const char* name;
        qint64 tag; // 0 tab-separated, 1 comma-separated
        QByteArray data;
        bool firstLineHoldsTitles;
        const char* title;
        QStringList stored;
    };
    const Case cases[] = {
        {"comma with titles",
         1,
         "Name,City\nAnn,Dover\nBo,Hull\n",
         true,
         "Import Comma Delimited File",
         {"Ann", "Dover", "Bo", "Hull"}},
        {"comma without",
         1,
         "Ann,Dover\nBo,Hull\n",
         false,
         "Import Comma Delimited File",
         {"Ann", "Dover", "Bo", "Hull"}},
        {"tab with titles",
         0,
         "Name\tCity\r\nAnn\tDover\r\n",
         true,
         "Import Tab Delimited File",
         {"Ann", "Dover"}},
    };
    WindowMenus::table() = WindowMenus::defaultTable();
    LBWindowController* window = showWindowOnDocument(*document);
    WindowMenus::table().clear();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document->setImportTextArray({}, 0);
        asked.clear();
        checkBoxes.clear();
        tickCheckBox = c.firstLineHoldsTitles;
        const QString path = file(c.data);

        // File > Import…: the panel opens on the window and the user picks the file.
        QAction* item = window->menuItemWithSelector(QStringLiteral("importText:"), c.tag);
        ASSERT_NE(item, nullptr);
        item->trigger();
        auto* panel = window->window()->findChild<QFileDialog*>();
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(typeIntoFilePanel(panel, path));
        static_cast<QDialog*>(panel)->accept(); // as the panel's Open button does
        EXPECT_FALSE(panel->isVisible());
        EXPECT_TRUE(asked.isEmpty()) << "asked over the panel";
        QApplication::processEvents();

        ASSERT_EQ(asked.size(), 1);
        EXPECT_TRUE(asked.first().startsWith(QLatin1String(c.title) + QLatin1Char('|')));
        EXPECT_EQ(checkBoxes.first(),
                  platform::LocalizedString(QStringLiteral("The first line holds column titles"),
                                            QStringLiteral("DialogStrings")));
        qint64 columns = 0;
        EXPECT_EQ(stored(&columns), c.stored);
        if (!c.stored.isEmpty()) {
            EXPECT_EQ(columns, 2);
        }
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The records, not the title line, are what the merge counts.
    tickCheckBox = true;
    ASSERT_TRUE(services->importTextFile(file("Name,City\nAnn,Dover\nBo,Hull\n"), true));
    EXPECT_EQ(services->numSelectedPeople(), 2);
}
