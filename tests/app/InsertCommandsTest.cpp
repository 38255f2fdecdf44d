// Putting things into a design the ways a user does: Insert > Image File… (and its keys)
// with the file panel answered, Insert > Photo opening the drawer at the photos, and a
// barcode field dragged from the fields drawer onto the label.

#include "ProgramFixture.h"

#include "controls/LBGradientButton.h"
#include "merge/LBFieldOutlineView.h"
#include "merge/LBFieldsController.h"
#include "platform/drawing/PDFReading.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBBarcodeImage.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTest>
#include <QTreeView>

namespace {

class InsertCommands : public ProgramFixture
{
protected:
    LBDrawerController* drawer() const
    {
        return dynamic_cast<LBDrawerController*>(window->designController()->drawerController());
    }
};

} // namespace

TEST_F(InsertCommands, ImageFileAsksForPicturesAndPlacesThemOnTheLabel)
{
    openDocument();
    enterDesign();
    const qsizetype before = layer().size();
    // Ctrl+Shift+I opens the panel on the window.
    QTest::keyClick(window->window(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
    settle();
    QFileDialog* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFiles);
    // Never in the program's working folder, which the user did not choose.
    EXPECT_NE(panel->directory(), QDir::current());
    const QString logo = pictureFile("Logo.png", QSize(40, 30));
    answerPanel(panel, logo);
    ASSERT_EQ(layer().size(), before + 1);
    const auto* image = dynamic_cast<const LBImage*>(layer().first().get());
    ASSERT_NE(image, nullptr);
    // At its natural size (its pixels at the file's resolution).
    EXPECT_EQ(image->bounds().size(), platform::Image::fromFile(logo)->size());
    EXPECT_TRUE(alerts.isEmpty());

    // A file that is no picture: the user is told which, and the design is unchanged.
    const QString notes = folder.filePath(QStringLiteral("Notes.png"));
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    ASSERT_TRUE(choose("importAction:"));
    panel = openPanel();
    ASSERT_NE(panel, nullptr);
    // Where the user chose the last file.
    EXPECT_EQ(panel->directory(), QDir(folder.path()));
    answerPanel(panel, notes);
    EXPECT_EQ(layer().size(), before + 1);
    EXPECT_EQ(alerts, QStringList{"The file “Notes.png” cannot be imported."});
}

TEST_F(InsertCommands, APdfThatKeepsItsReaderBusyIsRefusedAloudAfterItsTime)
{
    openDocument();
    enterDesign();
    const qsizetype before = layer().size();
    // A damaged PDF whose repair would take poppler seconds (minutes, grown larger).
    QByteArray busy = "%PDF-1.4\n";
    for (int i = 0; i < 600; ++i)
        busy += "trailer\n<< /Root 1 0 R 0 0 0 0 0 0 0 0 0 0\n";
    const QString path = folder.filePath(QStringLiteral("Damaged.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(busy);
    file.close();
    platform::setPDFReadingTimeLimit(100);
    ASSERT_TRUE(choose("importAction:"));
    QFileDialog* panel = openPanel();
    ASSERT_NE(panel, nullptr);
    answerPanel(panel, path);
    platform::setPDFReadingTimeLimit(5000);
    EXPECT_EQ(layer().size(), before);
    EXPECT_EQ(alerts, QStringList{"The file “Damaged.pdf” cannot be imported."});
}

TEST_F(InsertCommands, PhotoShapeAndTextLibraryOpenTheDrawerAtTheirBrowser)
{
    openDocument();
    enterDesign();
    ASSERT_NE(drawer(), nullptr);
    struct Row
    {
        const char* selector;
        qint64 mode;
    };
    for (const Row& row : {Row{"insertPhotoAction:", 2}, Row{"insertShapeAction:", 0},
                           Row{"insertiCorbeilImageAction:", 3}, Row{"toggleTextPanel:", 4}}) {
        window->designController()->openDrawer(false, true, true);
        ASSERT_TRUE(choose(row.selector)) << row.selector;
        EXPECT_TRUE(window->designController()->drawerIsOpen()) << row.selector;
        EXPECT_EQ(drawer()->mode(), row.mode) << row.selector;
    }
    // Without the suppression the hint explains how to insert.
    defaults().setBool(false, QStringLiteral("DisableInsertMenuAlert"));
    ASSERT_TRUE(choose("insertPhotoAction:"));
    EXPECT_EQ(alerts.last(), "Insert");
}

TEST_F(InsertCommands, ABarcodeFieldDraggedOntoTheLabelPlacesABarcode)
{
    openDocument();
    enterDesign();
    ASSERT_NE(drawer(), nullptr);
    // The fields tab, its miscellaneous list.
    drawer()->tabButton(6)->click();
    settle();
    auto* fields = dynamic_cast<LBFieldsController*>(drawer()->browser(6));
    ASSERT_NE(fields, nullptr);
    fields->segmentedControl()->setSelectedSegment(2);
    fields->fieldsButtonAction();
    LBFieldOutlineView* outline = fields->fieldTable();
    const QModelIndex code128 = steps::rowNamed(outline, QStringLiteral("Code128 Barcode"));
    ASSERT_TRUE(code128.isValid());
    outline->scrollTo(code128);
    settle();

    // The drag ends on the label: the drop events reach the canvas there.
    const QPoint onLabel = canvas()->convertToWidget(QPointF(72, 36)).toPoint();
    steps::dropNextDragOn(canvas(), onLabel, Qt::CopyAction);
    const qsizetype before = layer().size();
    steps::dragRow(outline, code128);

    ASSERT_EQ(layer().size(), before + 1);
    const auto* barcode = dynamic_cast<const LBBarcodeImage*>(layer().first().get());
    ASSERT_NE(barcode, nullptr);
    EXPECT_EQ(barcode->barcodeType(), 1);
    EXPECT_FALSE(barcode->bounds().isEmpty());
}
