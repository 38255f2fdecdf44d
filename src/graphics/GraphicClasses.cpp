#include "graphics/GraphicClasses.h"

#include "graphics/LBGraphic.h"
#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"

void registerGraphicClasses()
{
    static const bool registered = [] {
        using Registry = platform::ClassRegistry<LBGraphic>;
        Registry::registerClass<LBGraphic>(QStringLiteral("LBGraphic"));
        Registry::registerClass<LBTextArea>(QStringLiteral("LBTextArea"));
        return true;
    }();
    Q_UNUSED(registered);
}
