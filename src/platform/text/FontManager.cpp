#include "platform/text/FontManager.h"

namespace platform {

FontManager& FontManager::sharedFontManager()
{
    // Never destroyed: a font may not outlive the application object.
    static FontManager* manager = new FontManager;
    return *manager;
}

} // namespace platform
