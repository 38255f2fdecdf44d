#pragma once

// Registers every graphic class of this layer (LBShape and its family) with the graphic
// class registry, after the classes of the layers below (registerGraphicClasses()): once
// per process, however often it is called. Code that reads stored graphics (documents, the
// pasteboard, libraries) or makes shapes by name calls it before its first lookup; see
// graphics/GraphicClasses.h for why registration is explicit.

void registerShapeClasses();
