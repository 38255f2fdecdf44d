#pragma once

// What the kit browser asks of its host: turning chosen kit graphics into the host's own
// graphics, inserted into the current design (double-click) or as pasteboard data (copy
// and drag). The host owns what it builds.
//
// Both calls get the full paths of the image files ("<library>/Kits/<kit file name>/
// Images/<file name>"), one size string per path (the pixel size in the platform's text
// form of a size, "{600, 400}"), and the paper and quick-page flags, set only when exactly
// one graphic of that type is passed.

#include "kitbrowser/iCorbeilGUIExport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class ICORBEILGUI_EXPORT SGCorbeilGraphicBuilderDelegate
{
public:
    virtual ~SGCorbeilGraphicBuilderDelegate();

    // Inserts one image graphic per file into the current design.
    virtual void insertCorbeilFiles(const QStringList& files, const QStringList& imageSizes,
                                    bool isPaper, bool isQuickPage) = 0;
    // The same graphics as pasteboard data; the type of the data is written into
    // *pasteboardType (empty on entry), a pasteboard type name such as "Quarn Print Line 1".
    virtual QByteArray pasteboardDataForFiles(const QStringList& files,
                                              const QStringList& imageSizes,
                                              QString* pasteboardType, bool isPaper,
                                              bool isQuickPage) = 0;
};
