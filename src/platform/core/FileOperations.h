#pragma once

// File operations on the user's files that a whole folder tree may go through: copying a
// file or folder, moving one to the Trash, removing one, and finding a free name. Links
// are never followed: a copy leaves links and special files out, a removal removes the
// link itself. Failures are reported in FileErrorDomain, naming the files.
//
// Tests make these operations fail on purpose through hooks set for the process (a copy
// that fails at its third file, a Trash that refuses).

#include <QString>

#include <functional>

namespace platform {

struct Error;

// Copies a file, or a folder with everything in it, to `to` (which must not exist). A
// failed copy removes what it made.
bool copyItem(const QString& from, const QString& to, Error* error = nullptr);
// Moves the file or folder to the user's Trash.
bool moveItemToTrash(const QString& path, Error* error = nullptr);
// Removes the file or folder with everything in it; a missing item counts as removed.
bool removeItem(const QString& path, Error* error = nullptr);
// The path itself when nothing is there, else the first free "<base> <n>.<extension>" in
// the same folder, counting n from 2.
QString uniquePath(const QString& path);
// The folder the user's documents go to: the system's documents folder, or the home folder
// while that one does not exist (a file panel sent to a missing folder shows the program's
// working folder instead, which the user never chose).
QString documentsFolder();

// Puts each of the two items (both must exist, in one file system) at the other's path in
// one step, so that neither path is ever missing: Exchanged, Unsupported when the file
// system cannot (nothing moved), or Failed with the system's reason.
enum class ExchangeResult { Exchanged, Unsupported, Failed };
ExchangeResult exchangeItems(const QString& a, const QString& b, Error* error = nullptr);
// Moves the item to `to`, which must be free: whatever is there is never replaced.
bool moveItemToFreePath(const QString& from, const QString& to, Error* error = nullptr);
// Writes out to the disk what the system still holds in memory of the file, or of the
// folder with everything in it (links are not followed), so that a crash cannot lose it;
// false with the system's reason.
bool syncItem(const QString& path, Error* error = nullptr);
// The system's sentence for an errno value ("No space left on device").
QString systemErrorText(int code);

// Stand-ins for the single-file copy, the move to the Trash and the exchange (false: as a
// file system that cannot exchange); nullptr restores the real ones.
struct FileOperationHooks
{
    std::function<bool(const QString& from, const QString& to)> copyFile;
    std::function<bool(const QString& path)> moveToTrash;
    std::function<bool(const QString& a, const QString& b)> exchange;
};
void setFileOperationHooks(const FileOperationHooks& hooks);

} // namespace platform
