#pragma once

// A text field that shows attributed text whose link runs (LinkAttributeName: a URL or
// its text) can be clicked: the pointer over a link is the pointing hand, pressing and
// releasing on the same link opens it (the delegate first, else the desktop's handler),
// and, when allowed, a context menu copies it. Neither editable nor selectable.
//
// Hit testing runs on a private text system (storage, layout manager, container) built
// the first time the link areas are asked for.

#include "platform/text/AttributedString.h"

#include <QList>
#include <QRectF>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>

class QMenu;
class DSClickableURLTextField;

namespace platform {
class LayoutManager;
class TextContainer;
class TextStorage;
} // namespace platform

class DSClickableURLTextFieldDelegate
{
public:
    virtual ~DSClickableURLTextFieldDelegate();
    // True when the delegate opened the link itself.
    virtual bool textFieldOpenURL(DSClickableURLTextField* field, const QUrl& url) = 0;
};

class DSClickableURLTextField : public QWidget
{
    Q_OBJECT
public:
    explicit DSClickableURLTextField(QWidget* parent = nullptr);
    ~DSClickableURLTextField() override;

    platform::AttributedString attributedStringValue() const { return _value; }
    void setAttributedStringValue(const platform::AttributedString& value);
    QString stringValue() const { return _value.string(); }
    void setStringValue(const QString& value);

    bool canCopyURLs() const { return _canCopyURLs; }
    void setCanCopyURLs(bool canCopy) { _canCopyURLs = canCopy; }

    void setDelegate(DSClickableURLTextFieldDelegate* delegate) { _delegate = delegate; }
    // How links are opened when the delegate does not (the desktop's handler by default).
    using URLOpener = std::function<void(const QUrl&)>;
    void setURLOpener(URLOpener opener) { _opener = std::move(opener); }

    // Where the text is drawn in the field.
    QRectF textRect() const;
    // The areas with the pointing hand: the link runs' glyphs, clipped to the text
    // rectangle and the visible part of the field.
    QList<QRectF> cursorRects();
    // The link under a point of the field; empty when there is none.
    QUrl urlAtPoint(const QPointF& point);

    // Press and release at points of the field.
    void mouseDownAt(const QPointF& point);
    void mouseUpAt(const QPointF& point);
    // The context menu for a point: "Copy URL", or none (copying off, no link there).
    QMenu* menuForPoint(const QPointF& point);
    // Puts the URL on the clipboard, as a URL and as text.
    static void copyURL(const QUrl& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ensureTextSystem();
    static QUrl urlFromLink(const QVariant& link);
    // The rectangles of a character range's glyphs in the field, clipped to the text rect.
    QList<QRectF> rectsForRange(qsizetype location, qsizetype length);

    platform::AttributedString _value;
    // The layout manager (with its container) goes before the storage it lays out.
    std::unique_ptr<platform::TextStorage> _storage;
    std::unique_ptr<platform::LayoutManager> _layoutManager;
    QUrl _pressedURL;
    bool _canCopyURLs = false;
    DSClickableURLTextFieldDelegate* _delegate = nullptr;
    URLOpener _opener;
};
