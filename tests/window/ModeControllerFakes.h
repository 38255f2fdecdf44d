#pragma once

// Mode controllers and a layers pane that log every call the window makes of them into
// one shared list, in order ("P ..." preview, "D ..." design, "L ..." layers). Each shows
// a page view of the document's size in its own scroll area, painted in its mode's
// colour, so that screenshots show which mode the window is in.

#include "document/LBDocument.h"
#include "layouts/LBPageView.h"
#include "layouts/PagePreviewController.h"
#include "platform/drawing/GraphicsContext.h"
#include "window/DesignModeController.h"
#include "window/LBWindowController.h"
#include "window/LayersPane.h"
#include "window/PreviewModeController.h"

#include <QEvent>
#include <QLabel>
#include <QMargins>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>

#include <memory>

inline QString yesNo(bool flag)
{
    return flag ? QStringLiteral("YES") : QStringLiteral("NO");
}

// Draws the label cells of the document's layout on the pages, in the mode's colour.
class CellPainter : public PagePreviewController
{
public:
    CellPainter(LBPageView* view, const QColor& color) : _view(view), _color(color) {}
    void setController(LBWindowController* controller) { _controller = controller; }

    void drawGraphicsInRect(const QRectF&) override
    {
        const platform::GraphicsContext* context = platform::GraphicsContext::current();
        if (!context || !_controller || !_controller->document())
            return;
        const QVariantMap& layout = _controller->document()->dimensionInfo();
        const auto number = [&](const char* key) { return layout.value(key).toDouble(); };
        const double zoom = _controller->zoomFactor();
        QPainter* painter = context->painter();
        painter->save();
        painter->setPen(QPen(_color.darker(140), 1));
        QColor fill = _color;
        fill.setAlpha(90);
        painter->setBrush(fill);
        for (qint64 n = 0; n < _view->numPages(); ++n) {
            const QPointF page = _view->pageRectForPageNum(n, LBPageView::PageGap).topLeft();
            for (int row = 0; row < int(number("numRows")); ++row) {
                for (int column = 0; column < int(number("numColumns")); ++column) {
                    const QRectF cell(number("leftMargin")
                                          + column * (number("labelWidth") + number("hLabelSpace")),
                                      number("topMargin")
                                          + row * (number("labelHeight") + number("vLabelSpace")),
                                      number("labelWidth"), number("labelHeight"));
                    painter->drawRoundedRect(
                        QRectF(page + cell.topLeft() * zoom, cell.size() * zoom)
                            .adjusted(3, 3, -3, -3),
                        6, 6);
                }
            }
        }
        painter->restore();
    }

private:
    LBPageView* _view;
    QColor _color;
    LBWindowController* _controller = nullptr;
};

// The view a mode shows: a scroll area over a page view, which keeps its distances from
// the edges of the view it is shown in.
class FakeModeView : public QObject
{
public:
    FakeModeView(const QColor& desk, const QColor& cells)
    {
        _scroll = new QScrollArea;
        _scroll->setFrameShape(QFrame::NoFrame);
        _scroll->setWidgetResizable(true);
        _pageView = new LBPageView;
        QPalette palette = _scroll->palette();
        palette.setColor(QPalette::Window, desk);
        _scroll->setPalette(palette);
        _scroll->setAutoFillBackground(true);
        _scroll->setWidget(_pageView);
        _cells = std::make_unique<CellPainter>(_pageView, cells);
        _pageView->setCreateController(_cells.get());
    }
    ~FakeModeView() override { delete _scroll.data(); }

    void setController(LBWindowController* controller) { _cells->setController(controller); }
    void show(QWidget* container, const QRectF& frame)
    {
        _container = container;
        _scroll->setParent(container);
        _scroll->setGeometry(frame.toRect());
        _margins = QMargins(frame.x(), frame.y(), container->width() - frame.right(),
                            container->height() - frame.bottom());
        container->installEventFilter(this);
        _scroll->show();
    }
    void hide()
    {
        if (_container)
            _container->removeEventFilter(this);
        if (_scroll)
            _scroll->setParent(nullptr);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == _container && event->type() == QEvent::Resize && _scroll)
            _scroll->setGeometry(_container->rect().marginsRemoved(_margins));
        return false;
    }
    void setPage(const QSizeF& size, double zoom) { _pageView->setPageSize(size * zoom, 1, 1); }
    LBPageView* pageView() const { return _pageView; }
    QRectF frame() const { return _scroll ? QRectF(_scroll->geometry()) : QRectF(); }

private:
    QPointer<QScrollArea> _scroll;
    QPointer<QWidget> _container;
    QMargins _margins;
    LBPageView* _pageView = nullptr;
    std::unique_ptr<CellPainter> _cells;
};

class RecordingPreviewController : public PreviewModeController
{
public:
    explicit RecordingPreviewController(QStringList* log)
        : _log(log), _view(QColor(186, 192, 199), QColor(70, 130, 210))
    {}

    void setWindowController(LBWindowController* controller) override
    {
        _controller = controller;
        _view.setController(controller);
        add(QStringLiteral("setWindowController"));
    }
    void showPageInView(QWidget* view, const QRectF& viewFrame) override
    {
        _view.show(view, viewFrame);
        _shownIn = view;
        add(QStringLiteral("showPage"));
    }
    QRectF hidePage() override
    {
        const QRectF frame = _view.frame();
        _view.hide();
        add(QStringLiteral("hidePage"));
        return frame;
    }
    void saveState(double zoomSliderValue) override
    {
        add(QStringLiteral("saveState %1").arg(zoomSliderValue));
        _saved = zoomSliderValue;
    }
    void restoreState() override
    {
        add(QStringLiteral("restoreState"));
        if (_controller)
            _controller->setZoomSliderValue(_saved);
    }
    void updateViewWithNewRenderingView(bool discard) override
    {
        add(QStringLiteral("updateView ") + yesNo(discard));
        updatePage();
    }
    void updatePageCountText(QLabel* field) override
    {
        field->setText(QStringLiteral("1 page"));
        add(QStringLiteral("pageCount"));
    }
    LBPageView* pageView() const override { return _view.pageView(); }
    void setZoomFactor(double zoomFactor) override
    {
        add(QStringLiteral("zoom %1").arg(zoomFactor));
        updatePage();
    }
    void scrollerFrameChanged() override { add(QStringLiteral("scrollerFrameChanged")); }
    void refreshRenderingView() override { add(QStringLiteral("refresh")); }
    void closeTextEditor() override { add(QStringLiteral("closeTextEditor")); }
    void showLiveAddressIcons(bool show) override
    {
        add(QStringLiteral("liveIcons ") + yesNo(show));
    }
    void setLiveAddressCheckboxEnabled(bool enabled) override
    {
        add(QStringLiteral("liveCheckbox ") + yesNo(enabled));
    }
    void addQuarnLabelControls(QWidget* container) override
    {
        add(container == _shownIn ? QStringLiteral("labelControls")
                                  : QStringLiteral("labelControls elsewhere"));
    }

private:
    void add(const QString& call) { _log->append(QStringLiteral("P ") + call); }
    void updatePage()
    {
        if (_controller && _controller->document())
            _view.setPage(_controller->documentSize(), _controller->zoomFactor());
    }

    QWidget* _shownIn = nullptr;
    QStringList* _log;
    FakeModeView _view;
    LBWindowController* _controller = nullptr;
    double _saved = 6.0;
};

class RecordingDesignController : public DesignModeController
{
public:
    explicit RecordingDesignController(QStringList* log)
        : _log(log), _view(QColor(214, 222, 232), QColor(235, 150, 60))
    {}

    void setWindowController(LBWindowController* controller) override
    {
        _controller = controller;
        _view.setController(controller);
        add(controller ? QStringLiteral("setWindowController")
                       : QStringLiteral("setWindowController null"));
    }
    void showPageInView(QWidget* view, const QRectF& viewFrame) override
    {
        _view.show(view, viewFrame);
        add(QStringLiteral("showPage"));
    }
    void hidePage(bool closing) override
    {
        _view.hide();
        add(QStringLiteral("hidePage ") + yesNo(closing));
    }
    void saveState(double zoomSliderValue) override
    {
        add(QStringLiteral("saveState %1").arg(zoomSliderValue));
        _saved = zoomSliderValue;
    }
    void restoreState() override
    {
        add(QStringLiteral("restoreState"));
        if (_controller)
            _controller->setZoomSliderValue(_saved);
    }
    void updateView() override
    {
        add(QStringLiteral("updateView"));
        updatePage();
    }
    LBPageView* pageView() const override { return _view.pageView(); }
    QList<LBGraphicView*> graphicViews() const override { return {}; }
    void deselectAll() override { add(QStringLiteral("deselectAll")); }
    bool textMode() const override { return false; }
    void setZoomFactor(double zoomFactor) override
    {
        add(QStringLiteral("zoom %1").arg(zoomFactor));
        updatePage();
    }
    void scrollerFrameChanged() override { add(QStringLiteral("scrollerFrameChanged")); }
    void invalidateGraphic(LBGraphic*) override {}
    QImage previewImageFromGraphicView() override { return {}; }
    void customizeCounterField(const QVariantMap&, LBTextArea*) override {}
    void importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles) override
    {
        add(QStringLiteral("importCorbeil %1 %2 of %3").arg(path).arg(currentIndex).arg(numFiles));
    }
    void setShiftKeyDown(bool down) override { add(QStringLiteral("shift ") + yesNo(down)); }
    void openDrawer(bool open, bool updatePrefs, bool toggleLayersView) override
    {
        add(QStringLiteral("openDrawer %1 %2 %3")
                .arg(yesNo(open), yesNo(updatePrefs), yesNo(toggleLayersView)));
        _drawerIsOpen = open;
        if (_controller) {
            _controller->openDesignDrawer(open);
            if (open)
                _controller->updateDrawerWidth();
        }
    }
    bool drawerIsOpen() const override { return _drawerIsOpen; }
    void setDrawerMode(qint64 mode) override { add(QStringLiteral("drawerMode %1").arg(mode)); }
    QString documentDescriptionStr() const override { return description; }
    void centerInspectorWindow() override {}

    QString description = QStringLiteral("Address labels, 2 across, 5 down");

private:
    void add(const QString& call) { _log->append(QStringLiteral("D ") + call); }
    void updatePage()
    {
        if (_controller && _controller->document())
            _view.setPage(_controller->documentSize(), _controller->zoomFactor());
    }

    QStringList* _log;
    FakeModeView _view;
    LBWindowController* _controller = nullptr;
    bool _drawerIsOpen = false;
    double _saved = 6.0;
};

class RecordingLayersPane : public LayersPane
{
public:
    explicit RecordingLayersPane(QStringList* log) : _log(log), _view(new QLabel)
    {
        _view->setText(QStringLiteral("Layers"));
        _view->setAlignment(Qt::AlignCenter);
        _view->setAutoFillBackground(true);
    }
    ~RecordingLayersPane() override { delete _view.data(); }

    QWidget* view() override { return _view; }
    void setDocument(LBDocument* document) override
    {
        _log->append(document ? QStringLiteral("L setDocument")
                              : QStringLiteral("L setDocument null"));
    }
    void setEditController(DesignModeController* controller) override
    {
        _log->append(controller ? QStringLiteral("L setEditController")
                                : QStringLiteral("L setEditController null"));
    }
    void setSplitter(QWidget*) override { _log->append(QStringLiteral("L setSplitter")); }
    void setViewMinWidth0(double a, double b) override
    {
        _log->append(QStringLiteral("L minWidths %1 %2").arg(a).arg(b));
    }
    void deleteLayerAtIndex(qint64 index) override
    {
        _log->append(QStringLiteral("L delete %1").arg(index));
    }
    void defineBackgroundPlaceholderAction() override
    {
        _log->append(QStringLiteral("L define background placeholder"));
    }

private:
    QStringList* _log;
    QPointer<QLabel> _view;
};

// Installs the recording factories for the life of the object (those not asked for are
// removed), all logging into `log`.
class RecordingFactories
{
public:
    RecordingFactories(QStringList* log, bool preview, bool design, bool layers)
    {
        PreviewModeController::setFactory(preview ? PreviewModeController::Factory([log] {
            return std::make_unique<RecordingPreviewController>(log);
        })
                                                  : PreviewModeController::Factory());
        DesignModeController::setFactory(design ? DesignModeController::Factory([log] {
            return std::make_unique<RecordingDesignController>(log);
        })
                                                : DesignModeController::Factory());
        LayersPane::setFactory(layers ? LayersPane::Factory(
                                   [log] { return std::make_unique<RecordingLayersPane>(log); })
                                      : LayersPane::Factory());
    }
    ~RecordingFactories()
    {
        PreviewModeController::setFactory({});
        DesignModeController::setFactory({});
        LayersPane::setFactory({});
    }
};
