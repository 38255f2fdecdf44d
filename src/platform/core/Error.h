#pragma once

// The error value that readers and writers hand back through an optional out-parameter:
// which component reports it (its domain), a code within that domain, and a sentence for
// the user. Functions that can fail return false and fill *error when the caller asked
// for one:
//
//     bool readFromURL(const QUrl& url, platform::Error* error = nullptr);
//     ...
//     return platform::Error::fail(error, iCorbeilErrorDomain, 2, message);

#include <QString>

namespace platform {

// Failures of the file system (create, copy, move, delete), with the file error codes of
// QFileDevice::FileError; the description names the files.
inline const QString FileErrorDomain = QStringLiteral("FileErrorDomain");

struct Error
{
    QString domain;
    int code = 0;
    QString description;

    bool operator==(const Error&) const = default;

    // Fills *out when it is given; always returns false, so a failing function can end
    // with `return Error::fail(error, ...)`.
    static bool fail(Error* out, const QString& domain, int code, const QString& description)
    {
        if (out)
            *out = Error{domain, code, description};
        return false;
    }
};

} // namespace platform
