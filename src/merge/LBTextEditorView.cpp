#include "merge/LBTextEditorView.h"

#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Pasteboard.h"

#include <QPainter>
#include <QPen>

namespace {

// What the clipboard offers for a paste that matches style, in order of preference.
const QStringList PlainPasteTypes = {platform::StringPboardType, platform::RTFDPboardType};

} // namespace

LBTextEditorView::LBTextEditorView(const QRectF& frame, QWidget* parent)
    : platform::TextView(frame, parent), _storage(std::make_unique<platform::TextStorage>())
{
    _storage->addLayoutManager(layoutManager());
    // Lines break at the label box's width, as they do on the sheet.
    textContainer()->setContainerSize(QSizeF(frame.width(), 10000000));
}

LBTextEditorView::~LBTextEditorView() = default;

void LBTextEditorView::pasteAndMatchStyle()
{
    const platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
    const QString type = pasteboard.availableTypeFromArray(PlainPasteTypes);
    if (type.isEmpty()) {
        paste();
        return;
    }
    QString plain;
    if (type == platform::StringPboardType) {
        plain = pasteboard.stringForType(type);
    } else if (const std::optional<platform::AttributedString> rich =
                   pasteboard.attributedString(nullptr)) {
        plain = rich->string();
    }
    if (replaceCharactersAsUser(rangeForUserTextChange(),
                                platform::AttributedString(plain, typingAttributes())))
        setUndoActionName(pasteActionName());
}

bool LBTextEditorView::validateMenuItem(MenuAction action) const
{
    if (action == MenuAction::PasteAndMatchStyle)
        return !platform::Pasteboard::generalPasteboard()
                    .availableTypeFromArray(PlainPasteTypes)
                    .isEmpty();
    return true;
}

void LBTextEditorView::paintEvent(QPaintEvent* event)
{
    {
        // Opaque over the label's text on the sheet below.
        QPainter background(this);
        background.fillRect(rect(), Qt::white);
    }
    platform::TextView::paintEvent(event);
    // The edge: the thinnest line the screen draws, at every zoom.
    QPainter painter(this);
    QPen pen(Qt::black, 0.0);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
