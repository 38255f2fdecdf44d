#include "platform/text/ParagraphStyle.h"

namespace platform {

const ParagraphStyle& ParagraphStyle::defaultParagraphStyle()
{
    static const ParagraphStyle style;
    return style;
}

} // namespace platform
