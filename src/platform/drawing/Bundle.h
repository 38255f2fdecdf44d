#pragma once

// The resources a library ships apart from the program's: its string tables and its
// pictures, kept in the resource tree under the bundle's name so they never mix with the
// program's of the same name:
//
//     :/<bundle>/strings/<table>.strings     (see Strings.h)
//     :/<bundle>/images/<picture>.svg        (else .png; see Image::imageNamed)
//     :/<bundle>/<file>                      other files
//
// Files too large or too many for the resource tree (folders of designs, the user guide)
// are file resources: files in the installation's share folder, "<prefix>/share/veltrin/"
// ("<prefix>/share/veltrin/<bundle>/" for a library's), found from the program's folder
// ("<prefix>/bin"); a program run from the build tree finds them in the build tree's own
// share folder.
//
// A bundle with an empty name is the program's own. A Bundle is a small value: copy it
// freely.

#include "platform/drawing/Image.h"

#include <QPixmap>
#include <QString>
#include <QStringList>

namespace platform {

class Bundle
{
public:
    explicit Bundle(const QString& name = QString()) : _name(name) {}

    QString name() const { return _name; }

    // The text of the key in the bundle's table; the key itself when there is none.
    QString localizedString(const QString& key, const QString& table) const;
    // The bundle's picture of that name (a picture extension in the name is optional);
    // nullptr when there is none.
    ImagePtr imageNamed(const QString& name) const;
    // The picture drawn for the screen at its size in points times the pixel ratio, so
    // vector pictures stay crisp on dense displays; a null pixmap when there is none.
    QPixmap pixmapNamed(const QString& name, qreal devicePixelRatio = 1.0) const;
    // The path of a file of the bundle (":/<bundle>/<file>").
    QString pathForResource(const QString& file) const;
    // The path of a file resource of the bundle (a file or a folder): in the installation
    // when it is there, else in the build tree; null when neither has it.
    QString pathForFileResource(const QString& file) const;
    // The folders file resources are looked for in, in order.
    QStringList fileResourceFolders() const;

private:
    QString _name;
};

} // namespace platform
