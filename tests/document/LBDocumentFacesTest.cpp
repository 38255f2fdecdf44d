// The faces' backgrounds and placeholders (every setter's undo, unchanged-value rule,
// edited marking and notifications), the pattern backgrounds, and the document-wide page
// settings.

#include "DocumentTestSupport.h"

#include "platform/drawing/Image.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>

namespace {

QString text(const QVariant& value)
{
    return value.typeId() == QMetaType::QColor ? value.value<QColor>().name() : value.toString();
}

} // namespace

TEST_F(DocumentTest, EveryFaceSetterRecordsMarksAndAnnouncesAsItsRowSays)
{
    struct Row
    {
        const char* property;
        std::function<void(LBDocument&, qint64)> setNew;
        std::function<void(LBDocument&, qint64)> setSame;
        std::function<QVariant(const LBDocument&, qint64)> get;
        bool skipsUnchanged;
        bool marksEdited;
        int redraws;
        int layersRefreshes;
    };
    const QList<Row> rows = {
        {"hasBackgroundColor", [](LBDocument& d, qint64 f) { d.setHasBackgroundColor(false, f); },
         [](LBDocument& d, qint64 f) { d.setHasBackgroundColor(true, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.hasBackgroundColor(f)); }, true,
         false, 0, 1},
        {"backgroundColor", [](LBDocument& d, qint64 f) { d.setBackgroundColor(Qt::red, f); },
         [](LBDocument& d, qint64 f) { d.setBackgroundColor(d.backgroundColor(f), f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.backgroundColor(f)); }, false, true,
         0, 0},
        {"drawBackgroundColor", [](LBDocument& d, qint64 f) { d.setDrawBackgroundColor(true, f); },
         [](LBDocument& d, qint64 f) { d.setDrawBackgroundColor(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.drawBackgroundColor(f)); }, false,
         true, 1, 1},
        {"backgroundImageScaling",
         [](LBDocument& d, qint64 f) { d.setBackgroundImageScaling(3, f); },
         [](LBDocument& d, qint64 f) { d.setBackgroundImageScaling(1, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.backgroundImageScaling(f)); }, false,
         true, 1, 0},
        {"backgroundImageTransparency",
         [](LBDocument& d, qint64 f) { d.setBackgroundImageTransparency(0.25, f); },
         [](LBDocument& d, qint64 f) { d.setBackgroundImageTransparency(1.0, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.backgroundImageTransparency(f)); },
         false, true, 1, 0},
        {"drawBackgroundImage", [](LBDocument& d, qint64 f) { d.setDrawBackgroundImage(true, f); },
         [](LBDocument& d, qint64 f) { d.setDrawBackgroundImage(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.drawBackgroundImage(f)); }, false,
         true, 1, 0},
        {"printBackgroundImage",
         [](LBDocument& d, qint64 f) { d.setPrintBackgroundImage(true, f); },
         [](LBDocument& d, qint64 f) { d.setPrintBackgroundImage(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.printBackgroundImage(f)); }, false,
         true, 1, 0},
        {"hasBackgroundPlaceholder",
         [](LBDocument& d, qint64 f) { d.setHasBackgroundPlaceholder(true, f); },
         [](LBDocument& d, qint64 f) { d.setHasBackgroundPlaceholder(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.hasBackgroundPlaceholder(f)); },
         true, false, 0, 0},
        {"placeholderLabel",
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabel(QStringLiteral("Your photo"), f); },
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabel(QString(), f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.placeholderLabel(f)); }, true, true,
         1, 0},
        {"placeholderLabelPosition",
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelPosition(3, f); },
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelPosition(0, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.placeholderLabelPosition(f)); },
         true, true, 1, 0},
        {"placeholderLabelIsVertical",
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelIsVertical(true, f); },
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelIsVertical(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.placeholderLabelIsVertical(f)); },
         true, true, 1, 0},
        {"placeholderColor", [](LBDocument& d, qint64 f) { d.setPlaceholderColor(Qt::blue, f); },
         [](LBDocument& d, qint64 f) { d.setPlaceholderColor(QColor(), f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.placeholderColor(f)); }, false,
         false, 0, 0},
        {"placeholderLabelColor",
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelColor(Qt::green, f); },
         [](LBDocument& d, qint64 f) { d.setPlaceholderLabelColor(QColor(), f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.placeholderLabelColor(f)); }, false,
         true, 1, 0},
        {"drawBackgroundPlaceholder",
         [](LBDocument& d, qint64 f) { d.setDrawBackgroundPlaceholder(true, f); },
         [](LBDocument& d, qint64 f) { d.setDrawBackgroundPlaceholder(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.drawBackgroundPlaceholder(f)); },
         false, true, 1, 0},
        {"printBackgroundPlaceholder",
         [](LBDocument& d, qint64 f) { d.setPrintBackgroundPlaceholder(true, f); },
         [](LBDocument& d, qint64 f) { d.setPrintBackgroundPlaceholder(false, f); },
         [](const LBDocument& d, qint64 f) { return QVariant(d.printBackgroundPlaceholder(f)); },
         false, true, 1, 0},
    };

    for (const Row& row : rows) {
        for (const qint64 face : {0, 7}) {
            const qint64 stored = face == 0 ? 0 : 1;
            const qint64 other = 1 - stored;
            const std::string what = std::string(row.property) + " face " + std::to_string(face);
            document = std::make_unique<LBDocument>();
            // Both faces have a colour, so its draw flag shows through the getter.
            document->setHasBackgroundColor(true, 0);
            document->setHasBackgroundColor(true, 1);
            document->resetChangeCount();

            const QVariant before = row.get(*document, stored);
            const QVariant otherBefore = row.get(*document, other);
            NotificationCounter redraws(LBRedrawGraphicViews, document.get());
            NotificationCounter layers(LBUpdateLayersView, nullptr);

            const qint64 changes = document->changeCount();
            step([&] { row.setNew(*document, face); });
            EXPECT_NE(text(row.get(*document, stored)), text(before)) << what;
            EXPECT_EQ(text(row.get(*document, other)), text(otherBefore)) << what;
            // The step's own count, and the setter's mark.
            EXPECT_EQ(document->changeCount() - changes, row.marksEdited ? 2 : 1) << what;
            EXPECT_EQ(redraws.count, row.redraws) << what;
            EXPECT_EQ(layers.count, row.layersRefreshes) << what;

            undo();
            EXPECT_EQ(text(row.get(*document, stored)), text(before)) << what;
            EXPECT_EQ(redraws.count, 2 * row.redraws) << what; // the undo runs the setter
            redo();
            EXPECT_NE(text(row.get(*document, stored)), text(before)) << what;
            undo();

            // The value it already has.
            document->resetChangeCount();
            const qint64 changesBefore = document->changeCount();
            const int redrawsBefore = redraws.count;
            const int layersBefore = layers.count;
            step([&] { row.setSame(*document, face); });
            EXPECT_EQ(document->undoManager()->canUndo(), !row.skipsUnchanged) << what;
            if (row.skipsUnchanged) {
                EXPECT_EQ(redraws.count, redrawsBefore) << what;
                EXPECT_EQ(layers.count, layersBefore) << what;
                EXPECT_EQ(document->changeCount(), changesBefore) << what;
            }
        }
    }
}

TEST_F(DocumentTest, BackgroundColourShowsAndPrintsOnlyWhenDrawn)
{
    // The stored print flag is recorded and marks the document, but the colour prints
    // exactly when it is shown.
    step([&] { document->setPrintBackgroundColor(false, 0); });
    EXPECT_EQ(document->changeCount(), 2);
    EXPECT_TRUE(document->undoManager()->canUndo());
    document->setHasBackgroundColor(true, 0);
    document->setDrawBackgroundColor(false, 0);
    document->setPrintBackgroundColor(true, 0);
    EXPECT_FALSE(document->drawBackgroundColor(0));
    EXPECT_FALSE(document->printBackgroundColor(0));
    document->setDrawBackgroundColor(true, 0);
    EXPECT_TRUE(document->printBackgroundColor(0));
    document->setHasBackgroundColor(false, 0);
    EXPECT_FALSE(document->drawBackgroundColor(0));

    // Face 7 is the second face, but only the numbers 0 and 1 redraw.
    document->setHasBackgroundColor(true, 1);
    document->setDrawBackgroundColor(true, 1);
    NotificationCounter redraws(LBRedrawGraphicViews, document.get());
    document->setBackgroundColor(Qt::yellow, 7);
    EXPECT_EQ(document->backgroundColor(1), QColor(Qt::yellow));
    EXPECT_EQ(redraws.count, 0);
    document->setBackgroundColor(Qt::cyan, 1);
    EXPECT_EQ(redraws.count, 1);
}

TEST_F(DocumentTest, PatternBackgroundIsAWorkingPngAndKeepsThePlaceholderFlag)
{
    document->setHasBackgroundPlaceholder(true, 0);
    step([&] { document->setPlaceholderPatternIndex(3, 0); });
    const QString path = document->backgroundImagePath(0);
    EXPECT_EQ(QFileInfo(path).suffix(), "png");
    EXPECT_TRUE(QFileInfo(path).path() + '/' == LBProcessState::temporaryFolderPath());
    EXPECT_TRUE(document->temporaryFileIsInUse(path));
    ASSERT_NE(document->backgroundImage(0), nullptr);
    EXPECT_FALSE(document->backgroundImage(0)->bitmapImageRep().isNull());
    EXPECT_EQ(document->backgroundImageScaling(0), 1);
    EXPECT_EQ(document->placeholderPatternIndex(0), 3);
    EXPECT_TRUE(document->hasBackgroundPlaceholder(0));
    EXPECT_TRUE(document->backgroundImagePath(1).isNull());

    // Each of the eight patterns has its picture.
    for (qint64 n = 1; n <= 8; ++n)
        EXPECT_NE(platform::Image::imageNamed(QStringLiteral("PlaceholderPattern%1").arg(n)),
                  nullptr)
            << n;

    step([&] { document->setPlaceholderPatternIndex(0, 0); });
    EXPECT_TRUE(document->backgroundImagePath(0).isNull());
    EXPECT_EQ(document->backgroundImage(0), nullptr);
    undo();
    EXPECT_EQ(document->backgroundImagePath(0), path);
    EXPECT_EQ(document->placeholderPatternIndex(0), 3);
}

TEST_F(DocumentTest, UndoingAPatternPutsTheFacesOwnBackgroundBack)
{
    QTemporaryDir folder;
    const QString photo = folder.filePath("photo.png");
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(photo));
    document->setBackgroundImageScaling(2, 0);
    document->setBackgroundImagePath(photo, true, 0);
    document->resetChangeCount();
    const platform::ImagePtr own = document->backgroundImage(0);
    ASSERT_NE(own, nullptr);

    step([&] { document->setPlaceholderPatternIndex(5, 0); }, "Placeholder");
    EXPECT_NE(document->backgroundImagePath(0), photo);
    undo();
    EXPECT_EQ(document->backgroundImagePath(0), photo);
    ASSERT_NE(document->backgroundImage(0), nullptr);
    EXPECT_EQ(document->backgroundImage(0)->bitmapImageRep().pixel(1, 1),
              QColor(Qt::darkGreen).rgb());
    EXPECT_EQ(document->placeholderPatternIndex(0), 0);
    EXPECT_EQ(document->backgroundImageScaling(0), 2);
    EXPECT_FALSE(document->isDocumentEdited());

    redo();
    EXPECT_EQ(document->placeholderPatternIndex(0), 5);
    EXPECT_EQ(QFileInfo(document->backgroundImagePath(0)).suffix(), "png");
    EXPECT_NE(document->backgroundImagePath(0), photo);
    EXPECT_EQ(document->backgroundImageScaling(0), 1);
}

TEST_F(DocumentTest, GridAndGuideSpacingComeAsAPairFromTheDocumentOrTheDefaults)
{
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    NotificationCounter refreshes(LBRefreshEditView, document.get());
    document->setGuideSpacing(5, false);
    EXPECT_EQ(document->guideSpacing(), 8); // no grid spacing of its own: the defaults' pair
    EXPECT_EQ(document->gridSpacing(), 9.0);
    document->setGridSpacing(12.5, false);
    EXPECT_EQ(document->gridSpacing(), 12.5);
    EXPECT_EQ(document->guideSpacing(), 5);
    EXPECT_EQ(refreshes.count, 2);
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    EXPECT_EQ(defaults.floatForKey("Grid Spacing"), 9.0);

    document->setGridSpacing(18, true);
    document->setGuideSpacing(4, true);
    EXPECT_EQ(defaults.floatForKey("Grid Spacing"), 18.0);
    EXPECT_EQ(defaults.integerForKey("Grid Guide Spacing"), 4);
    defaults.removeObjectForKey("Grid Spacing");
    defaults.removeObjectForKey("Grid Guide Spacing");
}

TEST_F(DocumentTest, PageSettingsMarkTheDocumentAsTheirRowsSay)
{
    struct Case
    {
        const char* what;
        std::function<void()> change;
        bool marks;
    };
    const QList<Case> cases = {
        {"print grid", [&] { document->setPrintGrid(true); }, true},
        {"repeat count", [&] { document->setLabelRepeatCount(4); }, true},
        {"project",
         [&] {
             document->setProjectDescription({{"ProjectType", "500"}});
         },
         false},
        {"postnet", [&] { document->setPostnetBarcodeLocation(2); }, false},
        {"FIM", [&] { document->setFIMType(3); }, false},
        {"auxiliary", [&] { document->setDrawAuxiliaryInfo(0x101, false); }, false},
        {"import",
         [&] {
             document->setImportTextArray({"a", "b"}, 2);
         },
         false},
    };
    for (const Case& c : cases) {
        document->resetChangeCount();
        c.change();
        EXPECT_EQ(document->isDocumentEdited(), c.marks) << c.what;
        EXPECT_FALSE(document->undoManager()->canUndo()) << c.what;
    }
    EXPECT_TRUE(document->printGrid());
    EXPECT_EQ(document->labelRepeatCount(), 4);
    EXPECT_EQ(document->projectDescription().value("ProjectType"), "500");
    EXPECT_EQ(document->postnetBarcodeLocation(), 2);
    EXPECT_EQ(document->FIMType(), 3);
    EXPECT_EQ(document->drawAuxiliaryInfo(), 1); // one byte

    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    document->setDrawAuxiliaryInfo(2, true);
    EXPECT_EQ(defaults.integerForKey("Draw Auxiliary Info"), 2);
    defaults.removeObjectForKey("Draw Auxiliary Info");
}

TEST_F(DocumentTest, ImportedRecordsAreLookedUpByColumnAndRecord)
{
    EXPECT_TRUE(document->stringForImportColumn(0, 0).isNull()); // no import
    document->setImportTextArray({"1", "2", "3", "4", "5", "6", "7"}, 3);
    qint64 columns = 0;
    EXPECT_EQ(document->importTextArrayAndColumnCount(&columns).size(), 7);
    EXPECT_EQ(columns, 3);
    EXPECT_EQ(document->importTextArrayAndColumnCount(nullptr).size(), 7);
    EXPECT_EQ(document->stringForImportColumn(0, 2), "7");
    EXPECT_TRUE(document->stringForImportColumn(1, 2).isNull()); // past the end
    EXPECT_TRUE(document->stringForImportColumn(3, 0).isNull()); // not a column
    EXPECT_TRUE(document->stringForImportColumn(-1, 1).isNull());
    EXPECT_TRUE(document->stringForImportColumn(0, -1).isNull());
    EXPECT_EQ(document->stringForImportColumn(2, 1), "6");
}
