#pragma once

// A shown host widget with an editor over a text storage, and synthetic input for it. The
// editor is a platform::TextView here; the canvas's tests use the same fixture with its
// own text view.

#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TextViewDelegate.h"

#include "TestFont.h"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace platform {
inline void PrintTo(const Range& range, std::ostream* out)
{
    *out << "{" << range.location << ", " << range.length << "}";
}
} // namespace platform

// Records what the editor tells its delegate and can refuse changes.
struct RecordingDelegate : platform::TextViewDelegate
{
    int began = 0;
    int changed = 0;
    int ended = 0;
    int selectionChanges = 0;
    bool allowChanges = true;
    std::function<platform::Range(const platform::Range&, const platform::Range&)> selectionRule;
    std::function<void(platform::TextView*)> onChange;
    platform::UndoManager* undo = nullptr;

    platform::Range textViewWillChangeSelectionFromCharacterRangeToCharacterRange(
        platform::TextView*, const platform::Range& oldRange,
        const platform::Range& newRange) override
    {
        return selectionRule ? selectionRule(oldRange, newRange) : newRange;
    }
    bool textViewShouldChangeTextInRangeReplacementString(platform::TextView*,
                                                          const platform::Range&,
                                                          const QString&) override
    {
        return allowChanges;
    }
    void textViewDidChangeSelection(platform::TextView*) override { ++selectionChanges; }
    void textDidBeginEditing(platform::TextView*) override { ++began; }
    void textDidChange(platform::TextView* view) override
    {
        ++changed;
        if (onChange)
            onChange(view);
    }
    void textDidEndEditing(platform::TextView*) override { ++ended; }
    platform::UndoManager* undoManagerForTextView(platform::TextView*) override { return undo; }
};

template <typename View>
class EditorTestOf : public ::testing::Test
{
public:
    EditorTestOf()
    {
        host.resize(600, 400);
        view = new View(QRectF(20, 30, 200, 40), &host);
        view->textContainer()->setContainerSize(QSizeF(200, 1000000));
        view->setDelegate(&delegate);
        storage.addLayoutManager(view->layoutManager());
        host.show();
    }
    ~EditorTestOf() override { view->setDelegate(nullptr); }

    static QVariantMap plain() { return {{platform::FontAttributeName, testFont()}}; }

    void setText(const QString& text)
    {
        storage.setAttributedString(platform::AttributedString(text, plain()));
    }
    QString text() const { return storage.string(); }

    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(view, k, modifiers);
    }
    void type(const QString& text) { QTest::keyClicks(view, text); }

    // The middle of the insertion point at index, in the view's own coordinates.
    QPointF caretPoint(qsizetype index) const { return view->insertionPointRect(index).center(); }
    // A point in the view's coordinates as the host widget sees it.
    QPointF inHost(const QPointF& viewPoint) const
    {
        return view->convertPointToSuperview(viewPoint);
    }

    // Mouse events at a point of the view (its own coordinates), delivered to the widget.
    void mouse(QEvent::Type type, const QPointF& viewPoint,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF local = inHost(viewPoint) - QPointF(view->pos());
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent event(type, local, view->mapToGlobal(local), Qt::LeftButton, buttons,
                          modifiers);
        QCoreApplication::sendEvent(view, &event);
    }
    void click(const QPointF& viewPoint, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, viewPoint, modifiers);
        mouse(QEvent::MouseButtonRelease, viewPoint, modifiers);
    }

    // What the view paints, on white.
    QImage renderView() const
    {
        QImage image(view->size(), QImage::Format_ARGB32);
        image.fill(Qt::white);
        view->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }

    QWidget host;
    RecordingDelegate delegate;
    platform::TextStorage storage;
    View* view = nullptr;
};

using EditorTest = EditorTestOf<platform::TextView>;

// The smallest rectangle holding every pixel darker than mid grey; null when none.
inline QRect inkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}
