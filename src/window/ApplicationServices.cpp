#include "window/ApplicationServices.h"

namespace {
ApplicationServices* sharedServices = nullptr;
}

ApplicationServices* ApplicationServices::shared()
{
    return sharedServices;
}

void ApplicationServices::setShared(ApplicationServices* services)
{
    sharedServices = services;
}
