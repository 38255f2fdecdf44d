#pragma once

// The kit library is a shared library whose symbols are hidden unless marked: the classes
// and functions of its interface carry ICORBEIL_EXPORT. Its own sources are compiled with
// ICORBEIL_LIBRARY defined, so the mark exports there and imports everywhere else.

#include <QtGlobal>

#if defined(ICORBEIL_LIBRARY)
#define ICORBEIL_EXPORT Q_DECL_EXPORT
#else
#define ICORBEIL_EXPORT Q_DECL_IMPORT
#endif
