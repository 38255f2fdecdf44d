// The text library drawer on a library file in a temporary support folder: the first use,
// the rows and their heights, dragging rows out, drops between rows, deletion with its
// confirmation, a file that does not open and a record that does not read, and a
// double-click into a real design.

#include "../window/WindowTestSupport.h"
#include "FileTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "inspector/LBTextDrawerController.h"
#include "inspector/LBTextDrawerTableView.h"
#include "platform/core/SqlStore.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QColor>
#include <QDropEvent>
#include <QFile>
#include <QFont>
#include <QMimeData>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kPrintLine = QStringLiteral("Quarn Print Line");
const QString kConfirmKey = QStringLiteral("Confirm Delete Text Object");

QByteArray textBoxData(const platform::AttributedString& text)
{
    auto box = std::make_shared<LBTextArea>();
    box->setContents(text);
    box->setBoundsNoOtherChanges(QRectF(10, 20, 200, 40));
    return LBDocument::dataForGraphics(LBDocument::Layer{box});
}

QByteArray textBoxData(const QString& text, double pointSize = 12.0)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(pointSize);
    return textBoxData(platform::AttributedString(
        text, {{platform::FontAttributeName, QVariant::fromValue(font)}}));
}

QString textOf(const LBTextDrawerController::TextObject& object)
{
    const auto box =
        std::dynamic_pointer_cast<LBTextArea>(LBTextDrawerController::textObjectForObject(object));
    return box && box->contents() ? box->contents()->attributedString().string()
                                  : QStringLiteral("<none>");
}

double ascentPlusDescent(double pointSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(pointSize);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(pointSize);
    return raw.ascent() + raw.descent();
}

class TextDrawer : public ::testing::Test
{
protected:
    TextDrawer()
    {
        registerShapeClasses();
        LBProcessState::setApplicationSupportPath(support.path() + QStringLiteral("/"));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.messageText);
            return platform::Alert::Response{answer, false};
        });
        defaults().setBool(true, kConfirmKey);
    }
    ~TextDrawer() override
    {
        platform::Alert::setResponder(nullptr);
        defaults().removeObjectForKey(kConfirmKey);
        LBProcessState::setApplicationSupportPath(QString());
    }

    static platform::UserDefaults& defaults()
    {
        return platform::UserDefaults::standardUserDefaults();
    }

    // A library holding exactly these texts, in this order.
    std::unique_ptr<LBTextDrawerController> libraryOf(const QStringList& texts)
    {
        auto controller = std::make_unique<LBTextDrawerController>();
        platform::SqlStore* store = controller->store();
        EXPECT_NE(store, nullptr);
        store->execute(QStringLiteral("DELETE FROM TextObject"));
        qint64 index = 0;
        for (const QString& text : texts)
            store->execute(
                QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
                {index++, textBoxData(text)});
        controller->loadObjects();
        controller->reloadTable();
        alerts.clear();
        return controller;
    }

    static QStringList textsOf(const LBTextDrawerController& controller)
    {
        QStringList texts;
        for (const auto& object : controller.objects())
            texts.append(textOf(object));
        return texts;
    }

    // The stored indexes in list order: always 0 to n - 1.
    static QList<qint64> indexesOf(const LBTextDrawerController& controller)
    {
        QList<qint64> indexes;
        for (const auto& object : controller.objects())
            indexes.append(object.index);
        return indexes;
    }

    static QList<qint64> contiguous(qsizetype count)
    {
        QList<qint64> list;
        for (qint64 i = 0; i < count; ++i)
            list.append(i);
        return list;
    }

    QTemporaryDir support;
    QStringList alerts;
    int answer = platform::Alert::FirstButtonReturn;
};

} // namespace

TEST_F(TextDrawer, FirstUseMakesTheLibraryFromTheSampleTextsOnce)
{
    const QString path = LBTextDrawerController::libraryPath();
    EXPECT_EQ(path, support.path() + QStringLiteral("/Text Library"));
    ASSERT_FALSE(QFile::exists(path));
    qsizetype seeded = 0;
    {
        LBTextDrawerController first;
        seeded = first.objects().size();
        EXPECT_GT(seeded, 3);
        EXPECT_EQ(indexesOf(first), contiguous(seeded));
        // Every sample reads back as a text box or a shape with text, and shows text.
        for (qint64 row = 0; row < seeded; ++row) {
            const auto graphic =
                LBTextDrawerController::textObjectForObject(first.objects().at(row));
            ASSERT_TRUE(graphic) << row;
            EXPECT_TRUE(graphic->isTextBox() || graphic->isShapeWithText()) << row;
            EXPECT_TRUE(first.objectValueForRow(row, 400).has_value()) << row;
        }
        EXPECT_EQ(first.tableView()->model()->rowCount(), seeded);
        first.deleteTextAtIndex(0);
    }
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(
        alerts.contains(QStringLiteral("Are you sure you want to delete the selected item?")));
    // The file is there now: nothing is added again.
    LBTextDrawerController second;
    EXPECT_EQ(second.objects().size(), seeded - 1);
}

TEST_F(TextDrawer, RowsShowTheirTextCappedAt72PointsAndAreAsHighAsItsFont)
{
    auto controller = libraryOf({});
    platform::SqlStore* store = controller->store();
    auto shape = std::make_shared<LBRectangle>();
    const QByteArray rectangle = LBDocument::dataForGraphics(LBDocument::Layer{shape});
    const struct
    {
        QByteArray data;
        bool hasText;
        double fontSize;
        double height;
    } rows[] = {
        {textBoxData(QStringLiteral("Small"), 12), true, 12, ascentPlusDescent(12) + 6},
        {textBoxData(QStringLiteral("Huge"), 100), true, 72, ascentPlusDescent(72) + 6},
        {textBoxData(QStringLiteral("Just"), 72), true, 72, ascentPlusDescent(72) + 6},
        {textBoxData(QString(), 30), false, 0, 12},
        {rectangle, false, 0, 12},
        {QByteArray("{ GraphicsList = ( { Class = "), false, 0, 12}, // does not read
    };
    qint64 index = 0;
    for (const auto& row : rows)
        store->execute(QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
                       {index++, row.data});
    controller->loadObjects();
    ASSERT_EQ(controller->numberOfRows(), qint64(std::size(rows)));
    for (qint64 i = 0; i < qint64(std::size(rows)); ++i) {
        const auto value = controller->objectValueForRow(i, 1000);
        EXPECT_EQ(value.has_value(), rows[i].hasText) << i;
        EXPECT_NEAR(controller->heightOfRow(i), rows[i].height, 0.01) << i;
        if (value && rows[i].hasText) {
            const QFont font = value->attribute(platform::FontAttributeName, 0).value<QFont>();
            EXPECT_DOUBLE_EQ(font.pointSizeF(), rows[i].fontSize) << i;
        }
    }
    // Cut with an ellipsis to the column less 5 points.
    const auto narrow = controller->objectValueForRow(1, 60);
    ASSERT_TRUE(narrow);
    EXPECT_TRUE(narrow->string().endsWith(QChar(0x2026))) << narrow->string().toStdString();
    EXPECT_LE(narrow->size().width(), 55.0);
}

TEST_F(TextDrawer, LineBreaksShowAsSpacesInTheAttributesTheBreaksHad)
{
    // Pieces of text in turn in different fonts and colours.
    const auto styled = [](const QStringList& pieces) {
        platform::AttributedString text;
        for (qsizetype i = 0; i < pieces.size(); ++i) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(10 + i % 3 * 4);
            text.appendAttributedString(platform::AttributedString(
                pieces.at(i),
                {{platform::FontAttributeName, QVariant::fromValue(font)},
                 {platform::ForegroundColorAttributeName, QColor(i % 2 ? Qt::red : Qt::blue)}}));
        }
        return text;
    };
    QStringList many;
    const QString breaks = QStringLiteral("\n\r\n\u2028\u2029\r");
    for (int i = 0; i < 200; ++i)
        many << QStringLiteral("w%1").arg(i) << breaks.repeated(i % 3 + 1);
    const struct
    {
        platform::AttributedString text;
        qsizetype runs;
    } texts[] = {
        // Breaks of each kind: first, alone in their run, within a run, last.
        {styled({QStringLiteral("\n"), QStringLiteral("First"), QStringLiteral("\r\n"),
                 QStringLiteral("second\u2028third"), QStringLiteral("\u2029"),
                 QStringLiteral("end\r")}),
         6},
        {styled(many), many.size()},
        {styled({QStringLiteral("No"), QStringLiteral("breaks")}), 2},
    };
    auto controller = libraryOf({});
    for (qint64 i = 0; i < qint64(std::size(texts)); ++i)
        controller->store()->execute(
            QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
            {i, textBoxData(texts[i].text)});
    controller->loadObjects();
    for (qint64 row = 0; row < qint64(std::size(texts)); ++row) {
        const auto box = std::dynamic_pointer_cast<LBTextArea>(
            LBTextDrawerController::textObjectForObject(controller->objects().at(row)));
        ASSERT_TRUE(box && box->contents()) << row;
        const platform::AttributedString stored = box->contents()->attributedString();
        const auto shown = controller->objectValueForRow(row, 1e9);
        ASSERT_TRUE(shown) << row;
        QString oneLine = stored.string();
        for (const QChar c : breaks)
            oneLine.replace(c, u' ');
        EXPECT_EQ(shown->string(), oneLine) << row;
        // The same runs, each with the attributes it had.
        QList<platform::Range> runs;
        stored.enumerateAttributesInRange(
            platform::Range(0, stored.length()),
            [&](const QVariantMap& attributes, const platform::Range& range, bool&) {
                runs.append(range);
                platform::Range shownRun;
                EXPECT_EQ(shown->attributesAtIndex(range.location, &shownRun), attributes)
                    << row << " at " << range.location;
                EXPECT_TRUE(shownRun == range) << row << " at " << range.location;
            });
        EXPECT_EQ(runs.size(), texts[row].runs) << row; // as many as were written
    }
}

TEST_F(TextDrawer, RowsBelowTheFirstScreenAreMeasuredWhenTheListIsIdle)
{
    const qint64 count = LBTextDrawerController::FirstScreenRows + 150;
    auto controller = libraryOf({});
    platform::SqlStore* store = controller->store();
    platform::SqlStore::Transaction transaction(*store);
    for (qint64 i = 0; i < count; ++i)
        store->execute(QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
                       {i, textBoxData(QStringLiteral("Row %1").arg(i), 40)});
    transaction.commit();
    controller->loadObjects();
    controller->reloadTable();
    LBTextDrawerTableView* table = controller->tableView();
    const int measured = int(std::ceil(ascentPlusDescent(40) + 12));
    const int provisional = int(std::ceil(LBTextDrawerController::ProvisionalRowHeight + 6));
    ASSERT_NE(measured, provisional);
    EXPECT_EQ(table->rowHeight(0), measured);
    EXPECT_EQ(table->rowHeight(int(LBTextDrawerController::FirstScreenRows - 1)), measured);
    EXPECT_EQ(table->rowHeight(int(count - 1)), provisional);
    controller->loadObjects(); // a reload starts the measuring over
    controller->reloadTable();
    for (int turn = 0; turn < 10; ++turn)
        QApplication::processEvents();
    for (qint64 row = 0; row < count; ++row)
        ASSERT_EQ(table->rowHeight(int(row)), measured) << row;
}

TEST_F(TextDrawer, DraggingARowOutCarriesItsGraphicAndItsRowNumber)
{
    auto controller = libraryOf({QStringLiteral("One"), QStringLiteral("Two")});
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    ASSERT_TRUE(controller->writeRowsWithIndexes({1, 0}, pasteboard));
    EXPECT_EQ(pasteboard.types(), QStringList({kPrintLine, LBTextTablePboardType}));
    EXPECT_EQ(pasteboard.stringForType(LBTextTablePboardType), QStringLiteral("1"));
    const auto list = LBDocument::graphicsForData(pasteboard.dataForType(kPrintLine));
    ASSERT_TRUE(list);
    ASSERT_EQ(list->graphics.size(), 1);
    EXPECT_EQ(textOf({0, 0, pasteboard.dataForType(kPrintLine)}), QStringLiteral("Two"));
    // The table view holds the graphic for the drag image, drawn at the zoom.
    controller->setZoomFactor(2.0);
    ASSERT_TRUE(controller->writeRowsWithIndexes({0}, pasteboard));
    ASSERT_TRUE(controller->tableView()->draggedTextObject());
    EXPECT_DOUBLE_EQ(controller->tableView()->zoomFactor(), 2.0);
    QPoint hotSpot;
    const QImage image = controller->tableView()->dragImageForRows(0, QPoint(10, 4), &hotSpot);
    EXPECT_FALSE(image.isNull());
    EXPECT_EQ(hotSpot, QPoint(30, 8));
}

TEST_F(TextDrawer, DropsGoBetweenRowsAndRenumberTheList)
{
    const QStringList abc = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
    QMimeData newBox;
    platform::Pasteboard fromCanvas(&newBox);
    fromCanvas.declareTypes({kPrintLine});
    fromCanvas.setData(textBoxData(QStringLiteral("N")), kPrintLine);
    const auto row = [](QMimeData& data, qint64 number) {
        platform::Pasteboard pasteboard(&data);
        pasteboard.declareTypes({kPrintLine, LBTextTablePboardType});
        pasteboard.setData(textBoxData(QStringLiteral("ignored")), kPrintLine);
        pasteboard.setString(QString::number(number), LBTextTablePboardType);
    };

    {
        SCOPED_TRACE("a new text box above row 0 of three");
        auto controller = libraryOf(abc);
        EXPECT_EQ(controller->validateDrop(fromCanvas, 0, false), Qt::CopyAction);
        EXPECT_TRUE(controller->acceptDrop(fromCanvas, -1));
        EXPECT_EQ(textsOf(*controller), QStringList({"N", "A", "B", "C"}));
        EXPECT_EQ(indexesOf(*controller), contiguous(4));
        // Kept as dropped.
        EXPECT_EQ(controller->objects().first().textData,
                  newBox.data(platform::mimeTypeForPasteboardType(kPrintLine)));
    }
    {
        SCOPED_TRACE("the last row above row 1");
        auto controller = libraryOf(abc);
        QMimeData last;
        row(last, 2);
        platform::Pasteboard pasteboard(&last);
        EXPECT_EQ(controller->validateDrop(pasteboard, 1, false), Qt::MoveAction);
        EXPECT_TRUE(controller->acceptDrop(pasteboard, 1));
        EXPECT_EQ(textsOf(*controller), QStringList({"A", "C", "B"}));
        EXPECT_EQ(indexesOf(*controller), contiguous(3));
    }
    {
        SCOPED_TRACE("the first row below the last");
        auto controller = libraryOf(abc);
        QMimeData first;
        row(first, 0);
        EXPECT_TRUE(controller->acceptDrop(platform::Pasteboard(&first), 3));
        EXPECT_EQ(textsOf(*controller), QStringList({"B", "C", "A"}));
    }
    {
        SCOPED_TRACE("a row onto its own place, then a new one at the end");
        auto controller = libraryOf(abc);
        QMimeData middle;
        row(middle, 1);
        EXPECT_TRUE(controller->acceptDrop(platform::Pasteboard(&middle), 1));
        EXPECT_TRUE(controller->acceptDrop(platform::Pasteboard(&middle), 2));
        EXPECT_EQ(textsOf(*controller), abc);
        EXPECT_TRUE(controller->acceptDrop(fromCanvas, 3));
        EXPECT_EQ(textsOf(*controller), QStringList({"A", "B", "C", "N"}));
        EXPECT_EQ(indexesOf(*controller), contiguous(4));
        // And it stays so when the library is read again.
        LBTextDrawerController again;
        EXPECT_EQ(textsOf(again), QStringList({"A", "B", "C", "N"}));
    }
    {
        SCOPED_TRACE("refused: onto a row, a graphic without text, a row number out of range");
        auto controller = libraryOf(abc);
        EXPECT_EQ(controller->validateDrop(fromCanvas, 1, true), Qt::IgnoreAction);
        QMimeData shapeData;
        platform::Pasteboard shape(&shapeData);
        shape.declareTypes({kPrintLine});
        shape.setData(
            LBDocument::dataForGraphics(LBDocument::Layer{std::make_shared<LBRectangle>()}),
            kPrintLine);
        EXPECT_EQ(controller->validateDrop(shape, 1, false), Qt::IgnoreAction);
        EXPECT_FALSE(controller->acceptDrop(shape, 1));
        QMimeData outside;
        row(outside, 7);
        EXPECT_FALSE(controller->acceptDrop(platform::Pasteboard(&outside), 0));
        EXPECT_EQ(textsOf(*controller), abc);
        // A shape carrying text is welcome.
        auto label = std::make_shared<LBRoundedRect>();
        label->setContents(QStringLiteral("Label"));
        shape.declareTypes({kPrintLine});
        shape.setData(LBDocument::dataForGraphics(LBDocument::Layer{label}), kPrintLine);
        EXPECT_EQ(controller->validateDrop(shape, 1, false), Qt::CopyAction);
    }
}

TEST_F(TextDrawer, DropEventsLandInTheGapUnderThePointer)
{
    auto controller = libraryOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    LBTextDrawerTableView* table = controller->tableView();
    controller->mainView()->resize(250, 300);
    controller->mainView()->show();
    QApplication::processEvents();
    const int top = table->rowViewportPosition(0);
    const int h = table->rowHeight(0);
    EXPECT_EQ(table->dropRowAtPoint(QPoint(20, top + 1)), 0);
    EXPECT_EQ(table->dropRowAtPoint(QPoint(20, top + h - 1)), 1);
    EXPECT_EQ(table->dropRowAtPoint(QPoint(20, 290)), 3);

    auto* mime = new QMimeData;
    platform::Pasteboard pasteboard(mime);
    pasteboard.declareTypes({kPrintLine});
    pasteboard.setData(textBoxData(QStringLiteral("N")), kPrintLine);
    const QPointF at(20, top + 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(table->dropIndicatorRow(), 0);
    QDropEvent drop(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(table->dropIndicatorRow(), -1);
    EXPECT_EQ(textsOf(*controller), QStringList({"N", "A", "B", "C"}));
    EXPECT_EQ(table->model()->rowCount(), 4);
    delete mime;
}

TEST_F(TextDrawer, DeletingAsksUnlessToldNotToAndSelectsTheRowAbove)
{
    auto controller = libraryOf({"A", "B", "C", "D"});
    LBTextDrawerTableView* table = controller->tableView();

    answer = platform::Alert::ThirdButtonReturn; // Cancel
    table->selectRow(1);
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_EQ(textsOf(*controller), QStringList({"A", "B", "C", "D"}));

    answer = platform::Alert::FirstButtonReturn; // Delete
    QTest::keyClick(table, Qt::Key_Backspace);
    EXPECT_EQ(alerts.size(), 2);
    EXPECT_EQ(textsOf(*controller), QStringList({"A", "C", "D"}));
    EXPECT_EQ(table->selectedRow(), 0);
    EXPECT_TRUE(defaults().boolForKey(kConfirmKey));

    answer = platform::Alert::SecondButtonReturn; // Delete without asking
    table->selectRow(0);
    controller->deleteTextAtIndex(table->selectedRow());
    EXPECT_EQ(textsOf(*controller), QStringList({"C", "D"}));
    EXPECT_EQ(table->selectedRow(), 0); // row 0 went: the new row 0
    EXPECT_FALSE(defaults().boolForKey(kConfirmKey));
    EXPECT_EQ(indexesOf(*controller), contiguous(2));

    // No more questions until the key is set again.
    controller->deleteTextAtIndex(1);
    EXPECT_EQ(alerts.size(), 3);
    EXPECT_EQ(textsOf(*controller), QStringList({"C"}));
    EXPECT_EQ(table->selectedRow(), 0);

    // Nothing selected: nothing happens.
    table->clearSelection();
    QTest::keyClick(table, Qt::Key_Delete);
    EXPECT_EQ(textsOf(*controller), QStringList({"C"}));
}

TEST_F(TextDrawer, ARecordThatDoesNotReadShowsEmptyAndCanBeDeleted)
{
    auto controller = libraryOf({"A"});
    controller->store()->execute(
        QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (1, ?)"),
        {QByteArray("\x01\x02not a graphics list")});
    controller->loadObjects();
    ASSERT_EQ(controller->numberOfRows(), 2);
    EXPECT_FALSE(controller->objectValueForRow(1, 200).has_value());
    EXPECT_DOUBLE_EQ(controller->heightOfRow(1), 12.0);
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    EXPECT_FALSE(controller->writeRowsWithIndexes({1}, pasteboard)); // nothing to drag
    defaults().setBool(false, kConfirmKey);
    controller->deleteTextAtIndex(1);
    EXPECT_EQ(textsOf(*controller), QStringList({"A"}));
    EXPECT_TRUE(alerts.isEmpty());
}

TEST_F(TextDrawer, AFileThatDoesNotOpenIsReportedOnceAndNeverWritten)
{
    const QString path = LBTextDrawerController::libraryPath();
    const QByteArray damaged("This is no database, but the user's file all the same.\n");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    LBTextDrawerController controller;
    EXPECT_EQ(alerts, QStringList({QStringLiteral("The text library couldn't be opened.")}));
    EXPECT_TRUE(controller.storeFailed());
    EXPECT_EQ(controller.numberOfRows(), 0);

    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    pasteboard.declareTypes({kPrintLine});
    pasteboard.setData(textBoxData(QStringLiteral("N")), kPrintLine);
    EXPECT_EQ(controller.validateDrop(pasteboard, 0, false), Qt::IgnoreAction);
    EXPECT_FALSE(controller.acceptDrop(pasteboard, 0));
    controller.loadObjects();
    controller.deleteTextAtIndex(0);
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_EQ(bytesOf(path), damaged);
}

// ---- In a design ----

class TextDrawerInDesign : public DocumentTest
{
protected:
    TextDrawerInDesign()
    {
        registerShapeClasses();
        LBProcessState::setApplicationSupportPath(support.path() + QStringLiteral("/"));
        platform::UserDefaults::standardUserDefaults().setBool(
            true, QStringLiteral("LayersViewIsClosed"));
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        document->setOpenedExistingFile(true);
        window = showWindowOnDocument(*document);
        edit = static_cast<LBEditController*>(window->editController());
    }
    ~TextDrawerInDesign() override
    {
        if (document)
            document->close();
        document.reset();
        DesignModeController::setFactory({});
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(
            QStringLiteral("LayersViewIsClosed"));
        LBProcessState::setApplicationSupportPath(QString());
    }

    QTemporaryDir support;
    LBWindowController* window = nullptr;
    LBEditController* edit = nullptr;
};

TEST_F(TextDrawerInDesign, ADoubleClickInsertsACopyOfTheRowAndFollowsTheZoom)
{
    ASSERT_NE(edit, nullptr);
    LBTextDrawerController controller;
    controller.setEditController(edit);
    edit->setZoomFactor(1.5);
    EXPECT_DOUBLE_EQ(controller.zoomFactor(), 1.5);

    // Nothing selected: nothing inserted.
    const qsizetype before =
        document->graphicsOnPage(0)->value(document->selectedLayerIndex()).size();
    controller.tableView()->clearSelection();
    controller.doubleClickAction();
    EXPECT_EQ(document->graphicsOnPage(0)->value(document->selectedLayerIndex()).size(), before);

    controller.tableView()->selectRow(0);
    controller.doubleClickAction();
    const auto layer = document->graphicsOnPage(0)->value(document->selectedLayerIndex());
    ASSERT_EQ(layer.size(), before + 1);
    const auto inserted = std::dynamic_pointer_cast<LBTextArea>(layer.first());
    ASSERT_TRUE(inserted);
    const auto stored = std::dynamic_pointer_cast<LBTextArea>(
        LBTextDrawerController::textObjectForObject(controller.objects().first()));
    ASSERT_TRUE(stored);
    EXPECT_EQ(inserted->contents()->attributedString().string(),
              stored->contents()->attributedString().string());
    EXPECT_EQ(inserted->bounds().size(), stored->bounds().size());
    EXPECT_TRUE(edit->selectedGraphicView()->selectedGraphics(true).contains(inserted));
    // The library keeps its own.
    EXPECT_NE(inserted.get(), stored.get());
}
