#pragma once

// Graphic classes by name. Loading a stored graphic (its "Class" text) and copying make
// graphics through platform::ClassRegistry<LBGraphic>, so every graphic class must be
// registered before the first such lookup.
//
// Classes are registered from one explicit function per layer, never from a static
// initialiser in the class's own file: the layers are static libraries, and the linker
// leaves out an object file that nothing references, registration line and all. Each
// layer's function registers its own classes and first calls the function of the layer
// below; it runs once per process, however often it is called. The lookups of a layer call
// their layer's function before their first use.
//
// This layer's function registers LBGraphic and LBTextArea. Code that reads stored
// graphics of higher layers' classes (documents, the pasteboard, libraries, the program's
// start-up) calls the highest layer's function first: registerShapeClasses().

void registerGraphicClasses();
