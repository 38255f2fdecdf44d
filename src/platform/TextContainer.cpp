#include "platform/TextContainer.h"

#include "platform/LayoutManager.h"
#include "platform/TextView.h"

namespace platform {

TextContainer::TextContainer(const QSizeF& size) : m_size(size) {}

TextContainer::~TextContainer()
{
    if (m_textView)
        m_textView->textContainerDestroyed();
}

void TextContainer::setContainerSize(const QSizeF& size)
{
    if (size == m_size)
        return;
    m_size = size;
    if (m_layoutManager)
        m_layoutManager->invalidateLayout();
    if (m_textView)
        m_textView->textContainerChangedGeometry();
}

void TextContainer::setLineFragmentPadding(qreal padding)
{
    if (padding == m_lineFragmentPadding)
        return;
    m_lineFragmentPadding = padding;
    if (m_layoutManager)
        m_layoutManager->invalidateLayout();
}

} // namespace platform
