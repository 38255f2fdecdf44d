// Editing a text box in place in a zoomed design: the editor lies over the box and draws
// its text at the zoom, from the moment the box is made until the edit ends, and follows a
// change of zoom made while it is open.

#include "WindowTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"
#include "shapes/ShapeClasses.h"
#include "window/DesignModeController.h"
#include "window/LBEditController.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMainWindow>

#include <gtest/gtest.h>

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

// The rectangle of the pixels darker than mid-grey; empty when there are none.
QRect darkPixels(const QImage& image)
{
    QRect found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 128 && c.lightness() < 100)
                found |= QRect(x, y, 1, 1);
        }
    }
    return found;
}

} // namespace

class ZoomedTextEditing : public DocumentTest
{
protected:
    ZoomedTextEditing()
    {
        registerShapeClasses();
        settings().setBool(true, QStringLiteral("LayersViewIsClosed"));
        settings().setBool(true, QStringLiteral("LBDrawerIsClosed"));
        WindowMenus::table() = WindowMenus::defaultTable();
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        document->setOpenedExistingFile(true); // no layout chooser
        window = showWindowOnDocument(*document);
        edit = static_cast<LBEditController*>(window->editController());
    }
    ~ZoomedTextEditing() override
    {
        if (document)
            document->close();
        document.reset();
        DesignModeController::setFactory({});
        WindowMenus::table().clear();
        settings().removeObjectForKey(QStringLiteral("LayersViewIsClosed"));
        settings().removeObjectForKey(QStringLiteral("LBDrawerIsClosed"));
    }

    // The user picks the menu bar's item of the selector; it must be enabled.
    void choose(const char* selector, qint64 tag = 0)
    {
        window->validateMenus();
        QAction* item = window->menuItemWithSelector(QLatin1String(selector), tag);
        ASSERT_NE(item, nullptr) << selector;
        ASSERT_TRUE(item->isEnabled()) << selector;
        item->trigger();
        QApplication::processEvents();
    }
    // The user drags the zoom slider's knob to the value.
    void slideZoomTo(double value)
    {
        platform::Slider* slider = window->zoomSlider();
        const double fraction =
            (value - slider->minValue()) / (slider->maxValue() - slider->minValue());
        slider->setValue(qRound(fraction * slider->maximum()));
        QApplication::processEvents();
    }

    // The editor's frame as the canvas shows it, in the canvas's pixels.
    static QRectF shownFrame(const platform::TextView& editor) { return QRectF(editor.geometry()); }

    LBWindowController* window = nullptr; // owned by the document
    LBEditController* edit = nullptr;     // owned by the window controller
};

TEST_F(ZoomedTextEditing, TheEditorOfANewTextBoxLiesOverItAtTheZoom)
{
    ASSERT_EQ(window->mode(), LBWindowController::DesignMode);
    slideZoomTo(8.6);
    const double z = window->zoomFactor();
    ASSERT_NEAR(z, 4.95, 0.01);

    choose("createTextBoxAction:", 1);
    LBGraphicView* canvas = edit->selectedGraphicView();
    ASSERT_NE(canvas, nullptr);
    auto* box = dynamic_cast<LBTextArea*>(canvas->editingGraphic());
    ASSERT_NE(box, nullptr);
    platform::TextView* editor = canvas->editorView();
    ASSERT_NE(editor, nullptr);
    ASSERT_EQ(editor->parentWidget(), canvas);
    ASSERT_TRUE(editor->isVisible());

    // Over the box, as the canvas draws the box (its bounds in points times the zoom).
    const QRectF boxOnCanvas(box->bounds().topLeft() * z, box->bounds().size() * z);
    expectNear(QRectF(QPointF(editor->geometry().topLeft()), QSizeF(editor->width(), 0)),
               QRectF(boxOnCanvas.topLeft(), QSizeF(boxOnCanvas.width(), 0)), 1.5);
    EXPECT_GT(editor->height(), 10 * z);
    // Its text drawn at the zoom: the glyphs of a 12-point-ish font stand several points
    // tall times the zoom, inside the box.
    const QImage drawn = editor->grab().toImage();
    const QRect glyphs = darkPixels(drawn);
    ASSERT_FALSE(glyphs.isEmpty());
    EXPECT_GT(glyphs.height(), 5 * z);
    EXPECT_TRUE(boxOnCanvas.adjusted(-2, -2, 2, 2)
                    .contains(QRectF(glyphs.translated(editor->geometry().topLeft()))));

    // Zooming while the editor is open: it follows the box.
    slideZoomTo(6.0);
    const double z2 = window->zoomFactor();
    ASSERT_DOUBLE_EQ(z2, 1.0);
    EXPECT_NEAR(editor->geometry().left(), box->bounds().left() * z2, 1.5);
    EXPECT_NEAR(editor->width(), box->bounds().width() * z2, 1.5);
}
