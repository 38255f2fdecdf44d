#pragma once

// Shared pieces of the canvas tests: a host that shows the canvas a document and draws
// the page decorations in colours of their own, a fixture with a shown canvas in a scroll
// view over a document of named rectangles, and mouse and drag events sent straight to
// the canvas.

#include "CanvasHostStub.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"

#include <QApplication>
#include <QDropEvent>
#include <QHash>
#include <QMimeData>
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

// The host of the tests' canvas, with the decorations in the colours above.
class TestHost : public CanvasHostStub
{
public:
    TestHost()
    {
        backgroundColor = decoration::background;
        underlayColor = decoration::underlay;
        pictureColor = decoration::picture;
        overlayColor = decoration::overlay;
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
    // A text box with the text put in front of the layer, without undo.
    std::shared_ptr<LBTextArea> addTextBox(const QRectF& bounds, const QString& text)
    {
        auto box = std::make_shared<LBTextArea>();
        box->setBounds(bounds);
        box->setContents(text);
        undo()->disableUndoRegistration();
        document->insertGraphic(box, 0, 1);
        undo()->enableUndoRegistration();
        return box;
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

    // Graphics dragged in from elsewhere (another program or window) and dropped at the
    // point: the operation the canvas took the drag with (none when it refused it).
    Qt::DropAction dropGraphics(const QList<LBGraphicPtr>& graphics, const QPointF& at)
    {
        QMimeData data;
        platform::Pasteboard pasteboard(&data);
        pasteboard.declareTypes({QStringLiteral("Quarn Print Line")});
        pasteboard.setData(LBDocument::dataForGraphics(graphics),
                           QStringLiteral("Quarn Print Line"));
        const QPointF position = canvas->convertToWidget(at);
        QDragEnterEvent enter(position.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDropEvent drop(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &drop);
        return enter.dropAction();
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
