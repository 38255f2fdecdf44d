#pragma once

// The kit library's own resources: its string table "iCorbeil" and its licence files,
// kept under its bundle name so they never mix with the program's. Internal.

#include "platform/core/Strings.h"

#include <QString>

namespace kitfile {

inline const QString bundleName = QStringLiteral("iCorbeil");

// The text of the key in the library's table "iCorbeil".
inline QString localizedString(const QString& key)
{
    return platform::LocalizedString(key, bundleName, bundleName);
}

// A file of the library's resources (":/iCorbeil/License.pdf").
inline QString resourcePath(const QString& name)
{
    return QStringLiteral(":/") + bundleName + u'/' + name;
}

} // namespace kitfile
