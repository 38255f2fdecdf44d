#pragma once

// The kit browser is a shared library whose symbols are hidden unless marked: the classes
// of its interface carry ICORBEILGUI_EXPORT. Its own sources are compiled with
// ICORBEILGUI_LIBRARY defined, so the mark exports there and imports everywhere else.

#include <QtGlobal>

#if defined(ICORBEILGUI_LIBRARY)
#define ICORBEILGUI_EXPORT Q_DECL_EXPORT
#else
#define ICORBEILGUI_EXPORT Q_DECL_IMPORT
#endif
