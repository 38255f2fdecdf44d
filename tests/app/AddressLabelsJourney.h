#pragma once

// A sheet of address labels made the way a new user makes one, through the program's own
// windows: File > New and the layout chooser (Labels, a 30-up address sheet), a design of a
// text box with the name and address fields, a rectangle, a picture from a file and a
// Code 128 barcode of the name field, records imported from a comma-separated file with a
// line of column titles, the preview, File > Export… as PDF, File > Save As…, closing and
// opening again. Each step says what went wrong in `failure`; the test checks what each
// step made, the screenshot tool shoots each step.

#include "ProgramSteps.h"

#include "app/LBAppController.h"
#include "app/LBLibraryMatrix.h"
#include "app/LBShapeController.h"
#include "canvas/LBGraphicView.h"
#include "controls/LBGradientButton.h"
#include "controls/LBImageButton.h"
#include "document/LBDocument.h"
#include "inspector/HUDWindowController.h"
#include "layouts/LBLayoutSheetController.h"
#include "merge/LBExportPanel.h"
#include "merge/LBFieldOutlineView.h"
#include "merge/LBFieldsController.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Drag.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/TextView.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/ShapeClasses.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <cmath>
#include <functional>

class AddressLabelsJourney
{
public:
    // The records' file: a line of column titles, then `records` people.
    static QByteArray recordsText(int records)
    {
        QByteArray text = "Name,Street,City\n";
        for (int i = 1; i <= records; ++i)
            text += "Person " + QByteArray::number(i) + "," + QByteArray::number(i)
                    + " Main Street,Springfield\n";
        return text;
    }

    // Answers the program's questions as the user of the journey does: no pre-formatted
    // address, the import with its first line as column titles; records every alert.
    AddressLabelsJourney()
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts << alert.messageText;
            platform::Alert::Response response;
            if (alert.messageText.contains(QLatin1String("pre-formatted address")))
                response.returnCode = platform::Alert::ThirdButtonReturn; // Leave Blank
            else if (alert.messageText.startsWith(QLatin1String("Import ")))
                response.suppressed = true; // the first line holds column titles
            return response;
        });
    }

    ~AddressLabelsJourney() { platform::Alert::setResponder(nullptr); }

    QString failure;
    QStringList alerts;
    LBDocument* document = nullptr;
    LBWindowController* window = nullptr;

    QMainWindow* mainWindow() const { return window ? window->mainWindow() : nullptr; }
    LBGraphicView* canvas() const { return window ? window->commandCanvas() : nullptr; }
    LBEditController* edit() const { return window ? window->designController() : nullptr; }
    // The graphics of the label, front-most first.
    QList<LBGraphicPtr> layer() const
    {
        return document->graphicsOnPage(document->pageIndex())->value(1);
    }

    // The program starts as a user starts it: its untitled document, its window and its
    // layout chooser.
    bool newDocument(LBAppController& app)
    {
        registerShapeClasses(); // as the program's main does
        app.applicationDidFinishLaunching();
        settle();
        const auto open = platform::DocumentController::sharedDocumentController().documents();
        document = open.isEmpty() ? nullptr : dynamic_cast<LBDocument*>(open.last());
        if (!document)
            return fail("the start opened no label document");
        window = dynamic_cast<LBWindowController*>(document->windowControllers().value(0));
        if (!window)
            return fail("the new document has no window");
        // The chooser comes as a sheet a moment after the window loads.
        const QDeadlineTimer deadline(3000);
        while (!(chooser() && chooser()->sheet()->isVisible()) && !deadline.hasExpired())
            settle(20);
        if (!chooser() || !chooser()->sheet()->isVisible())
            return fail("the new window shows no layout chooser");
        return true;
    }

    LBLayoutSheetController* chooser() const
    {
        return window ? window->layoutSheetController() : nullptr;
    }

    // The chooser's steps: Labels, Continue, the sheet searched by its code, Continue, the
    // blank design, Choose. The window is in design then.
    bool chooseSheet(const QString& code)
    {
        QDialog* sheet = chooser()->sheet();
        LBImageButton* labels = nullptr;
        for (LBImageButton* button : sheet->findChildren<LBImageButton*>()) {
            if (button->title() == QLatin1String("Labels"))
                labels = button;
        }
        if (!labels)
            return fail("the chooser offers no Labels project");
        labels->click();
        if (!clickButton(sheet, QStringLiteral("Continue")))
            return fail("no Continue on the project types");
        settle();
        QLineEdit* search = visibleChild<QLineEdit>(sheet);
        if (!search)
            return fail("the sheet list has no search field");
        QTest::keyClicks(search, code);
        settle();
        if (chooser()->selectedRow() < 0)
            return fail("searching " + code + " selects no sheet");
        step(QStringLiteral("chooser-sheet"));
        if (!clickButton(sheet, QStringLiteral("Continue")))
            return fail("no Continue on the sheet list");
        settle();
        // The blank design of the sheet's size.
        auto* folders = visibleChild<QTreeView>(sheet);
        if (!folders)
            return fail("the designs step shows no folders");
        QModelIndex blank;
        for (int row = 0; row < folders->model()->rowCount(); ++row) {
            if (folders->model()->index(row, 0).data().toString() == QLatin1String("Blank"))
                blank = folders->model()->index(row, 0);
        }
        if (!blank.isValid())
            return fail("the designs step has no Blank folder");
        folders->setCurrentIndex(blank);
        settle();
        auto* designs = visibleChild<QListView>(sheet);
        if (!designs || designs->model()->rowCount() == 0)
            return fail("the Blank folder shows no design");
        designs->setCurrentIndex(designs->model()->index(0, 0));
        step(QStringLiteral("chooser-design"));
        if (!clickButton(sheet, QStringLiteral("Choose")))
            return fail("no Choose on the designs step");
        settle(300);
        if (window->mode() != LBWindowController::DesignMode || !canvas())
            return fail("after Choose the window is not in design");
        canvas()->setFocus();
        return true;
    }

    // Insert > Text Box by its keys, its text replaced by the name and address fields put in
    // from the fields drawer's Insert button, one a line; the edit ended by a click beside
    // the label.
    bool addAddressBox()
    {
        const qsizetype before = layer().size();
        type(Qt::Key_T, Qt::ControlModifier);
        settle();
        if (layer().size() != before + 1)
            return fail("Ctrl+T placed no text box");
        LBFieldsController* fields = fieldsPane(2);
        if (!fields)
            return fail("the fields drawer has no import fields");
        platform::TextView* editor = edit()->editorView();
        if (!editor)
            return fail("the new text box is not being edited");
        int line = 0;
        for (const char* name : {"Import 1", "Import 2", "Import 3"}) {
            if (line++ > 0)
                QTest::keyClick(editor, Qt::Key_Return);
            const QModelIndex row = steps::rowNamed(fields->fieldTable(), QLatin1String(name));
            if (!row.isValid())
                return fail(QStringLiteral("the fields drawer lists no %1").arg(name));
            fields->fieldTable()->setCurrentIndex(row);
            settle();
            if (!clickButton(fields->mainView(), QStringLiteral("Insert")))
                return fail("the fields drawer's Insert is missing or disabled");
            settle();
        }
        step(QStringLiteral("text-box-editing"));
        // A click beside the label ends the edit.
        const QPointF beside =
            canvas()->convertToWidget(canvas()->visiblePageRect().topLeft() - QPointF(12, 12));
        mouse(QEvent::MouseButtonPress, beside, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, beside, Qt::LeftButton, Qt::NoButton);
        settle();
        if (edit()->editorView())
            return fail("a click beside the label did not end the text edit");
        return place(layer().first(), addressCentre);
    }

    // Insert > Shape opens the shapes palette; a double-click on its first cell (the
    // rectangle) places one, which its corner handles stretch into a border of the label.
    bool addRectangle()
    {
        const qsizetype before = layer().size();
        if (!steps::choose(*window, "insertShapeAction:"))
            return fail("Insert > Shape is missing or disabled");
        auto* shapes = drawer() ? dynamic_cast<LBShapeController*>(drawer()->browser(0)) : nullptr;
        LBLibraryMatrix* matrix = shapes ? shapes->matrix() : nullptr;
        if (!matrix || !matrix->isVisible())
            return fail("Insert > Shape shows no shapes palette");
        settle();
        const QPoint cell = matrix->cellFrameAtRow(0, 0).center().toPoint();
        QTest::mousePress(matrix, Qt::LeftButton, {}, cell);
        QTest::mouseRelease(matrix, Qt::LeftButton, {}, cell);
        QTest::mouseDClick(matrix, Qt::LeftButton, {}, cell);
        settle();
        if (layer().size() != before + 1)
            return fail("a double-click on the rectangle cell placed nothing");
        const LBGraphicPtr frame = layer().first();
        const QPointF page = canvas()->visiblePageRect().topLeft();
        drag(frame->bounds().topLeft(), page + frameTopLeft);
        drag(frame->bounds().bottomRight(), page + frameBottomRight);
        const QRectF border = frame->bounds().translated(-page);
        if ((border.topLeft() - frameTopLeft).manhattanLength() > 2
            || (border.bottomRight() - frameBottomRight).manhattanLength() > 2)
            return fail(QStringLiteral("the border's handles left it at %1, %2, %3 x %4")
                            .arg(border.x())
                            .arg(border.y())
                            .arg(border.width())
                            .arg(border.height()));
        return true;
    }

    // Insert > Image File… by its keys, the panel answered with the picture.
    bool addPicture(const QString& path)
    {
        const qsizetype before = layer().size();
        type(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        settle();
        QFileDialog* panel = steps::openPanel(mainWindow());
        if (!panel)
            return fail("Ctrl+Shift+I opened no panel");
        if (!steps::answerPanel(panel, path))
            return fail("the image panel has no name field");
        if (layer().size() != before + 1)
            return fail("the picture was not placed");
        return place(layer().first(), pictureCentre);
    }

    // The fields drawer's Code128 Barcode dragged onto the label, then given the name field
    // in the inspector's Barcode pane.
    bool addBarcode(LBAppController& app)
    {
        LBFieldsController* fields = fieldsPane(2);
        if (!fields)
            return fail("the fields drawer has no miscellaneous fields");
        LBFieldOutlineView* outline = fields->fieldTable();
        const QModelIndex code128 = steps::rowNamed(outline, QStringLiteral("Code128 Barcode"));
        if (!code128.isValid())
            return fail("the fields drawer lists no Code128 Barcode");
        outline->scrollTo(code128);
        settle();
        const QPoint onLabel =
            canvas()
                ->convertToWidget(canvas()->visiblePageRect().topLeft() + barcodeCentre)
                .toPoint();
        steps::dropNextDragOn(canvas(), onLabel, Qt::CopyAction);
        const qsizetype before = layer().size();
        steps::dragRow(outline, code128);
        if (layer().size() != before + 1)
            return fail("the barcode field dropped on the label placed nothing");
        auto* barcode = dynamic_cast<LBBarcodeImage*>(layer().first().get());
        if (!barcode)
            return fail("the dropped field is no barcode");
        // The inspector's Barcode pane: the import field, its first column.
        HUDWindowController* inspector = app.smartInspector();
        if (!inspector)
            return fail("there is no inspector to give the barcode its field");
        inspector->toolsPopupAction(HUDWindowController::BarcodeTools);
        settle();
        QAbstractButton* importRadio = nullptr;
        for (QAbstractButton* button : inspector->window()->findChildren<QAbstractButton*>()) {
            if (button->text() == QLatin1String("Import Field") && button->isVisible())
                importRadio = button;
        }
        if (!importRadio)
            return fail("the Barcode pane shows no Import Field choice");
        importRadio->click();
        settle();
        if (barcode->barcodeDataSource() != LBBarcodeImage::ImportField)
            return fail("the barcode does not take the import field");
        return true;
    }

    // File > Import Comma-Separated Records…, its panel answered.
    bool importRecords(const QString& path)
    {
        if (!steps::choose(*window, "importText:", 1))
            return fail("File > Import Comma-Separated Records… is missing or disabled");
        QFileDialog* panel = steps::openPanel(mainWindow());
        if (!panel)
            return fail("the import opened no panel");
        if (!steps::answerPanel(panel, path))
            return fail("the import panel has no name field");
        return true;
    }

    // View > Preview.
    bool preview()
    {
        if (!steps::choose(*window, "switchToViewMode:"))
            return fail("View > Preview is missing or disabled");
        settle(200);
        if (window->mode() != LBWindowController::PreviewMode)
            return fail("View > Preview did not go to preview");
        return true;
    }

    // File > Export… by its keys: PDF, the full sheets, the panel answered.
    bool exportPdf(const QString& path)
    {
        type(Qt::Key_E, Qt::ControlModifier);
        settle();
        auto* panel = steps::openPanel<LBExportPanel>(mainWindow());
        if (!panel)
            return fail("Ctrl+E opened no export panel");
        panel->formatPopup()->setCurrentIndex(LBExportPanel::PDF);
        panel->sizeMatrix()->button(1)->click();
        step(QStringLiteral("export-panel"));
        if (!steps::answerPanel(panel, path))
            return fail("the export panel has no name field");
        if (!QFile::exists(path))
            return fail("no PDF was written");
        return true;
    }

    // File > Save As… by its keys, the panel answered.
    bool saveAs(const QString& path)
    {
        type(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        settle();
        QFileDialog* panel = steps::openPanel(mainWindow());
        if (!panel)
            return fail("Ctrl+Shift+S opened no panel");
        if (!steps::answerPanel(panel, path))
            return fail("the save panel has no name field");
        if (!QFile::exists(path))
            return fail("nothing was saved");
        return true;
    }

    // File > Close by its keys: the document goes.
    bool close()
    {
        type(Qt::Key_W, Qt::ControlModifier);
        settle(200);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!platform::DocumentController::sharedDocumentController().documents().isEmpty())
            return fail("Ctrl+W left the document open");
        document = nullptr;
        window = nullptr;
        return true;
    }

    // File > Open from the program's window, the panel answered: the window in preview.
    bool reopen(LBAppController& app, const QString& path)
    {
        platform::WindowController* own = app.applicationWindow();
        if (!own || !steps::choose(*own, "openDocument:"))
            return fail("File > Open is missing or disabled");
        QFileDialog* panel = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QFileDialog*>(top); found && found->isVisible())
                panel = found;
        }
        if (!panel && own->window())
            panel = steps::openPanel(own->window());
        if (!panel)
            return fail("File > Open showed no panel");
        if (!steps::answerPanel(panel, path))
            return fail("the open panel has no name field");
        settle(200);
        const auto open = platform::DocumentController::sharedDocumentController().documents();
        document = open.isEmpty() ? nullptr : dynamic_cast<LBDocument*>(open.last());
        if (!document)
            return fail("the saved file did not open");
        window = dynamic_cast<LBWindowController*>(document->windowControllers().value(0));
        if (!window)
            return fail("the opened document has no window");
        return true;
    }

    // Where the journey puts each graphic on the 189 x 72 point label (its centre, from the
    // label's top left): the address at the left, the barcode at the right over a frame,
    // the picture under the address, a border round them.
    static constexpr QPointF addressCentre{50, 26};
    static constexpr QPointF frameTopLeft{3, 3};
    static constexpr QPointF frameBottomRight{186, 69};
    static constexpr QPointF pictureCentre{20, 60};
    static constexpr QPointF barcodeCentre{134, 36};

    // Drags the graphic with the mouse on the canvas so that its centre lands there: the
    // canvas moves graphics by dragging them, the system's drag running through the
    // points to the drop.
    bool place(const LBGraphicPtr& graphic, QPointF labelCentre)
    {
        const QPointF page = canvas()->visiblePageRect().topLeft();
        const QPointF from = canvas()->convertToWidget(graphic->bounds().center());
        const QPointF to = canvas()->convertToWidget(page + labelCentre);
        steps::dropNextDragOn(canvas(), to.toPoint(), Qt::MoveAction);
        mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        mouse(QEvent::MouseMove, from + QPointF(10, 10), Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        platform::Drag::setRunner({});
        settle();
        const QPointF centre = graphic->bounds().center() - page;
        if (std::abs(centre.x() - labelCentre.x()) > 5
            || std::abs(centre.y() - labelCentre.y()) > 5)
            return fail(QStringLiteral("dragging the %1 left it at %2, %3")
                            .arg(graphic->graphicType())
                            .arg(centre.x())
                            .arg(centre.y()));
        return true;
    }

    // Called after each step with the step's name (the screenshot tool shoots there).
    std::function<void(const QString&)> step = [](const QString&) {};

private:
    // A press at the canvas point, the mouse moved with the button down to the other, and
    // released there: how a handle is dragged.
    void drag(QPointF from, QPointF to)
    {
        const QPointF start = canvas()->convertToWidget(from);
        const QPointF end = canvas()->convertToWidget(to);
        mouse(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 4; ++i)
            mouse(QEvent::MouseMove, start + (end - start) * i / 4, Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
        settle();
    }

    void mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, canvas()->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(canvas(), &event);
    }

    // The keys typed in the window, which the user has in front.
    void type(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        mainWindow()->activateWindow();
        settle();
        QWidget* focus = mainWindow()->focusWidget();
        QTest::keyClick(focus ? focus : mainWindow(), key, modifiers);
        settle();
    }

    bool fail(const QString& why)
    {
        failure = why;
        return false;
    }

    template <typename Widget>
    static Widget* visibleChild(QWidget* parent)
    {
        for (Widget* child : parent->findChildren<Widget*>()) {
            if (child->isVisible())
                return child;
        }
        return nullptr;
    }

    // Clicks the visible, enabled button of that title under the widget.
    static bool clickButton(QWidget* parent, const QString& title)
    {
        for (QPushButton* button : parent->findChildren<QPushButton*>()) {
            if (button->isVisible() && button->isEnabled() && button->text() == title) {
                button->click();
                return true;
            }
        }
        return false;
    }

    LBDrawerController* drawer() const
    {
        return edit() ? dynamic_cast<LBDrawerController*>(edit()->drawerController()) : nullptr;
    }

    // The drawer open at its fields tab, on the list of that segment (2: the miscellaneous
    // fields, the imported columns among them).
    LBFieldsController* fieldsPane(int segment) const
    {
        LBDrawerController* fieldsDrawer = drawer();
        if (!fieldsDrawer)
            return nullptr;
        if (!edit()->drawerIsOpen())
            edit()->openDrawer(true, true, false);
        fieldsDrawer->tabButton(6)->click();
        settle();
        auto* fields = dynamic_cast<LBFieldsController*>(fieldsDrawer->browser(6));
        if (!fields)
            return nullptr;
        fields->segmentedControl()->setSelectedSegment(segment);
        fields->fieldsButtonAction();
        settle();
        return fields;
    }
};
