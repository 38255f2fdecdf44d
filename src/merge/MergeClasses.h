#pragma once

// Installs the merge layer's classes where the layers below make them through a factory:
// the windows' merge services (LBMergeServices) and the documents' sheet renderer
// (LBRenderingView). Called once at start-up; registering again changes nothing.

void registerMergeClasses();
