#pragma once

// Shared pieces of the canvas tests: a host that shows the canvas a document and draws
// the page decorations in colours of their own, a fixture with a shown canvas in a scroll
// view over a document of named rectangles, and mouse and drag events sent straight to
// the canvas.

#include "canvas/CanvasHost.h"
#include "canvas/LBGraphicView.h"
#include "document/DocumentWindowController.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/Drag.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"

#include <QApplication>
#include <QDropEvent>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os)
{
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

inline void PrintTo(const QRectF& r, std::ostream* os)
{
    *os << '(' << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ')';
}

inline void PrintTo(const QPointF& p, std::ostream* os)
{
    *os << '(' << p.x() << ", " << p.y() << ')';
}

// The colours the host paints the decorations in, so a recording shows where they went.
namespace decoration {
inline const QColor background(0xaa, 0x00, 0x00);
inline const QColor underlay(0x00, 0xaa, 0x00);
inline const QColor picture(0x00, 0x00, 0xaa);
inline const QColor overlay(0xaa, 0x00, 0xaa);
} // namespace decoration

// The window controller as the canvas and the document see it.
class TestHost : public DocumentWindowController, public CanvasHost
{
public:
    // DocumentWindowController: redraws go to the canvas.
    void invalidateGraphic(LBGraphic* graphic) override
    {
        if (canvas)
            canvas->invalidateGraphic(graphic);
    }
    void setupForDocument() override {}
    void refreshWindow() override {}
    double zoomFactor() const override { return zoom; }
    bool bezierMode() const override { return bezier; }
    void setBezierMode(bool on) override { bezier = on; }
    qint64 mode() const override { return DesignMode; }
    void shouldAddQuarnLabelControls(bool) override {}

    // CanvasHost
    LBDocument* document() const override { return doc; }
    bool textMode() const override { return text; }
    bool isEnvelope() const override { return false; }
    QWidget* window() const override { return nullptr; }
    void backgroundImageSheetAction(QObject*) override { ++backgroundSheets; }
    void customizeCounterField(const QVariantMap&, LBTextArea*) override {}
    void drawBackgroundColorForPage(qint64, const QRectF& inRect, bool) override
    {
        fill(inRect, decoration::background);
    }
    void drawUnderlay(const QRectF& rect, const QRectF&, bool) override
    {
        fill(rect, decoration::underlay);
    }
    void drawBackgroundImageForPage(qint64, const QRectF& inRect, const QRectF&) override
    {
        fill(inRect, decoration::picture);
    }
    void drawOverlay(const QRectF& rect, const QRectF&, bool) override
    {
        fill(rect, decoration::overlay);
    }

    LBDocument* doc = nullptr;
    LBGraphicView* canvas = nullptr;
    double zoom = 1.0;
    bool bezier = false;
    bool text = false;
    int backgroundSheets = 0;

private:
    static void fill(const QRectF& rect, const QColor& color)
    {
        if (platform::GraphicsContext* context = platform::GraphicsContext::current())
            context->painter()->fillRect(rect, color);
    }
};

// A filled rectangle, so that clicks anywhere inside hit it.
inline std::shared_ptr<LBRectangle> filledRectangle(const QRectF& bounds)
{
    auto graphic = std::make_shared<LBRectangle>();
    graphic->setBounds(bounds);
    graphic->setFillType(1);
    graphic->setFillColor(QColor(Qt::white));
    return graphic;
}

class CanvasTest : public ::testing::Test
{
protected:
    CanvasTest()
    {
        registerShapeClasses();
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        defaults.registerDefaults({
            {QStringLiteral("Grid Spacing"), 9.0},
            {QStringLiteral("Grid Guide Spacing"), 8},
            {QStringLiteral("Draw Dynamic Guides"), true},
            {QStringLiteral("Show Group HUD Window"), true},
            {QStringLiteral("Image Quality"), 150},
            {QStringLiteral("Print Quality"), 300},
        });
        for (const char* key : {"Snap To Grid", "Show Grid", "Show Grid Below", "Trim To Page",
                                "DrawPostalGuidelines", "Draw Dynamic Guides"})
            defaults.removeObjectForKey(QLatin1String(key));
        LBProcessState::setTemporaryFolderPath(_folder.path() + QLatin1Char('/'));

        document = std::make_unique<LBDocument>();
        host = new TestHost;
        host->doc = document.get();
        document->addWindowController(host);
        scrollView = std::make_unique<platform::ScrollView>();
        scrollView->resize(700, 500);
        canvas = new LBGraphicView;
        canvas->setWindowController(host);
        host->canvas = canvas;
        canvas->setCanvasSize(QSizeF(1000.0, 1000.0));
        scrollView->setDocumentView(canvas);
        scrollView->show();
        canvas->setVisiblePageRect(QRectF(0.0, 0.0, 612.0, 792.0));
        undo()->removeAllActions();
    }

    ~CanvasTest() override
    {
        platform::Drag::setRunner({});
        scrollView.reset();
        document.reset();
        LBProcessState::setTemporaryFolderPath(QString());
    }

    platform::UndoManager* undo() const { return document->undoManager(); }
    // Closes the step the changes so far made, as returning to the event loop does.
    void closeStep() { undo()->endAutomaticGroup(); }
    QString undoName()
    {
        closeStep();
        return undo()->undoActionName();
    }
    static QString undoStrings(const char* key)
    {
        return platform::LocalizedString(QLatin1String(key), QStringLiteral("UndoStrings"));
    }

    // A named filled rectangle put at the back of the layer, without undo.
    std::shared_ptr<LBRectangle> add(const QString& name, const QRectF& bounds, qint64 layer = 1)
    {
        undo()->disableUndoRegistration();
        auto graphic = filledRectangle(bounds);
        graphic->setDocument(document.get());
        document->insertGraphic(graphic, document->numGraphicsOnLayer(layer), layer);
        undo()->enableUndoRegistration();
        _names.insert(graphic.get(), name);
        return graphic;
    }
    // Names a graphic made elsewhere.
    void name(const LBGraphicPtr& graphic, const QString& text)
    {
        _names.insert(graphic.get(), text);
    }
    QString nameOf(const LBGraphic* graphic) const
    {
        return _names.value(graphic, QStringLiteral("?"));
    }
    QStringList names(const QList<LBGraphicPtr>& graphics) const
    {
        QStringList list;
        for (const LBGraphicPtr& g : graphics)
            list.append(nameOf(g.get()));
        return list;
    }
    QStringList layer(qint64 index = 1) const { return names(document->pageGraphics().at(index)); }
    QStringList selection() const { return names(canvas->selectedGraphics(true)); }

    // --- Mouse events at canvas points ---
    void send(QEvent::Type type, const QPointF& at, Qt::MouseButton button,
              Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
    {
        const QPointF local = canvas->convertToWidget(at);
        QMouseEvent event(type, local, canvas->mapToGlobal(local), button, buttons, modifiers);
        QApplication::sendEvent(canvas, &event);
    }
    void press(const QPointF& at, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    }
    void doubleClick(const QPointF& at, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, modifiers);
    }
    void drag(const QPointF& to, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    void release(const QPointF& at, Qt::KeyboardModifiers modifiers = {})
    {
        send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void click(const QPointF& at, Qt::KeyboardModifiers modifiers = {})
    {
        press(at, modifiers);
        release(at, modifiers);
    }
    // Press, moves through the points, release at the last.
    void dragAlong(const QList<QPointF>& points, Qt::KeyboardModifiers modifiers = {})
    {
        press(points.first(), modifiers);
        for (qsizetype i = 1; i < points.size(); ++i)
            drag(points.at(i), modifiers);
        release(points.last(), modifiers);
    }

    // --- The canvas's own move drag, played by drag events ---
    // While the drag runs, the pointer goes through the points (drag moves), then the
    // drop lands at the last one.
    void playDrag(const QList<QPointF>& points, Qt::KeyboardModifiers modifiers = {})
    {
        platform::Drag::setRunner([this, points, modifiers](platform::Drag& drag) {
            const auto position = [this](const QPointF& p) { return canvas->convertToWidget(p); };
            QDragEnterEvent enter(position(points.first()).toPoint(),
                                  Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton,
                                  modifiers);
            QApplication::sendEvent(canvas, &enter);
            for (const QPointF& p : points) {
                QDragMoveEvent move(position(p).toPoint(), Qt::CopyAction | Qt::MoveAction,
                                    drag.mimeData(), Qt::LeftButton, modifiers);
                QApplication::sendEvent(canvas, &move);
            }
            QDropEvent drop(position(points.last()), Qt::CopyAction | Qt::MoveAction,
                            drag.mimeData(), Qt::LeftButton, modifiers);
            QApplication::sendEvent(canvas, &drop);
            return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        });
    }
    // Presses at `from` (with the press's modifiers), drags past the threshold (which
    // starts the drag that plays the points with the drag's modifiers) and releases.
    void moveSelection(const QPointF& from, const QList<QPointF>& points,
                       Qt::KeyboardModifiers dragModifiers = {},
                       Qt::KeyboardModifiers pressModifiers = {})
    {
        playDrag(points, dragModifiers);
        press(from, pressModifiers);
        drag(from + QPointF(10.0, 10.0), pressModifiers);
        release(points.last(), dragModifiers);
        platform::Drag::setRunner({});
    }

    std::unique_ptr<LBDocument> document;
    TestHost* host = nullptr; // owned by the document
    std::unique_ptr<platform::ScrollView> scrollView;
    LBGraphicView* canvas = nullptr; // owned by the scroll view

private:
    QTemporaryDir _folder;
    QHash<const LBGraphic*, QString> _names;
};

// Counts the notifications of one name while it lives.
class NotificationCount
{
public:
    explicit NotificationCount(const QString& name, const void* object = nullptr)
        : _token(platform::NotificationCenter::defaultCenter().addObserver(
            name, object, [this](const platform::Notification& n) {
                ++count;
                objects.append(n.object);
                userInfos.append(n.userInfo);
            }))
    {}

    int count = 0;
    QList<const void*> objects;
    QList<QVariantMap> userInfos;

private:
    platform::ObserverToken _token;
};
