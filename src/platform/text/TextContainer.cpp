#include "platform/text/TextContainer.h"

#include "platform/text/LayoutManager.h"
#include "platform/ui/TextView.h"

namespace platform {

TextContainer::TextContainer(const QSizeF& size) : _size(size)
{}

TextContainer::~TextContainer()
{
    if (_textView)
        _textView->textContainerDestroyed();
}

void TextContainer::setContainerSize(const QSizeF& size)
{
    if (size == _size)
        return;
    _size = size;
    if (_layoutManager)
        _layoutManager->invalidateLayout();
    if (_textView)
        _textView->textContainerChangedGeometry();
}

void TextContainer::setLineFragmentPadding(qreal padding)
{
    if (padding == _lineFragmentPadding)
        return;
    _lineFragmentPadding = padding;
    if (_layoutManager)
        _layoutManager->invalidateLayout();
}

} // namespace platform
