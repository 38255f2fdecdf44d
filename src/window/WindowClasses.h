#pragma once

// Installs the window layer's classes where the layers below make them by name or
// through a factory: the documents' window controller (LBWindowController). Called once
// at start-up, before the first document makes its window controllers; registering again
// changes nothing.

void registerWindowClasses();
