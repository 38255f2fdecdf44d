#pragma once

// The in-place editor of text boxes: a text view that keeps merge fields whole. A merge
// field is a run of the text carrying LBQFieldAttributeName (its value is the field's
// option dictionary); to the user it behaves as one character.
// - A selection never cuts a field: a caret placed inside one selects it, and a selection
//   reaching into one takes it in, except that a selection the keys shrink stops just
//   before the field.
// - Deleting one character of a field selects the field first; the next delete removes it.
// - Text typed next to a field never becomes part of it.
// - Copy, paste and drags carry the fields beside the rich text (LBFieldRanges.h).
//
// The view posts LBDragStartedInTextViewNotification and LBDragEndedInTextViewNotification
// (object: the view) when a drag of its text starts and ends.

#include "graphics/LBTextArea.h" // LBQFieldAttributeName, the merge-field attribute
#include "platform/core/NotificationCenter.h"
#include "platform/ui/TextView.h"

#include <QList>

inline const QString LBDragStartedInTextViewNotification =
    QStringLiteral("LBDragStartedInTextViewNotification");
inline const QString LBDragEndedInTextViewNotification =
    QStringLiteral("LBDragEndedInTextViewNotification");

class LBTextView : public platform::TextView
{
    Q_OBJECT
public:
    LBTextView(const QRectF& frame, platform::TextContainer* container, QWidget* parent = nullptr);
    LBTextView(const QRectF& frame, std::unique_ptr<platform::LayoutManager> layoutManager,
               QWidget* parent = nullptr);
    explicit LBTextView(const QRectF& frame, QWidget* parent = nullptr);

    // The whole field that holds the character at index, or an empty range when none does.
    platform::Range fieldRangeAtIndex(qsizetype index) const;
    // The fields range shares a character with; a caret strictly inside a field gives it.
    QList<platform::Range> fieldsOverlappingRange(const platform::Range& range) const;
    // newRange widened or narrowed so that it cuts no field, oldRange being the selection
    // it replaces.
    platform::Range adjustRangeToFieldBoundaries(const platform::Range& newRange,
                                                 const platform::Range& oldRange) const;
    // The field list of the selection (LBFieldRangeData); null when it holds no field.
    QByteArray fieldRangeDataForPasteboard() const;

    bool keyWasPressed() const { return _keyWasPressed; }
    bool doingDrop() const { return _doingDrop; }

    QVariantMap typingAttributes() const override;
    platform::Range selectionRangeForProposedRange(const platform::Range& proposedRange,
                                                   SelectionGranularity granularity) const override;
    // The selection, taking in any field it cuts (a selection the delegate narrowed).
    platform::Range rangeForUserTextChange() const override;
    bool shouldChangeTextInRange(const platform::Range& range,
                                 const QString& replacementString) override;
    void paste() override;
    bool writeSelectionToPasteboard(platform::Pasteboard& pasteboard) const override;
    void draggedImageBeganAt(const QPointF& viewPoint) override;
    void draggedImageEndedAt(const QPointF& viewPoint, Qt::DropAction operation) override;
    bool concludeDragOperation(platform::DraggingInfo& info) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void initCommon();
    // The selection observer: corrects a selection the view did not make itself.
    void updateSelection(const platform::Notification& notification);
    // Selects range without the field check.
    void selectUnchecked(const platform::Range& range);

    bool _checkSelection = true;
    bool _keyWasPressed = false;
    bool _doingDrop = false;
    platform::ObserverToken _selectionObserver;
};
