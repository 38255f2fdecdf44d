#pragma once

// Tests of this folder share one process when run together: the settings a document window
// stores of itself (drawer, columns, layers view) would carry over from one test to the next.

#include "platform/core/UserDefaults.h"

#include <QLatin1String>

inline void forgetWindowSettings()
{
    for (const char* key :
         {"Column 1 Width", "Column 2 Width", "Graphics Drawer Open", "Graphics Drawer Width",
          "LBDrawerIsClosed", "LayersViewIsClosed", "LayersViewHeight"})
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(QLatin1String(key));
}
