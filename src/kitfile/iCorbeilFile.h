#pragma once

// One kit package: a folder with the extension "icorbeil" holding
//
//     contents.xml              the manifest: an XML property list, top-level dictionary
//     Images/                   the graphics' image files, named by each VQFilename
//     Thumbnails/               one thumbnail per graphic (VQThumbnailFilename)
//     Thumbnails_Detailed/      optional detailed thumbnails (VQDetailThumbnailFilename)
//     Kit_Preview.png or .jpg   the kit preview
//     Artist.jpg                the designer's picture
//     Copyright.txt             the copyright line, UTF-8
//     License.pdf, License.png  the art licence, from the library's own resources
//
// The kit file holds the description (iCorbeilInfo) and the graphics (iCorbeilImage, in
// manifest order). Reading loads the thumbnails; full images come on demand
// (loadImageForObject). New and changed images are staged in a temporary package in the
// system's temporary folder, which writing merges into the kit and which goes away with the
// kit file.
//
// A kit never reads or writes outside its folder: every file name from a manifest or a
// caller must be one plain path component, and a file whose real path leads out of the
// package counts as missing. Where an exact name is missing, names match ignoring letter
// case (kits made on disks that ignore it); such files are read and never deleted as
// unreferenced.
//
// Errors are reported in iCorbeilErrorDomain (the codes below) or, for file operations,
// platform::FileErrorDomain. Failures are also logged.

#include "kitfile/iCorbeilExport.h"
#include "kitfile/iCorbeilImage.h"
#include "kitfile/iCorbeilInfo.h"
#include "kitfile/iCorbeilKeys.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>

class QByteArray;
class QUrl;

namespace platform {
class Image;
struct Error;
} // namespace platform

inline const QString iCorbeilErrorDomain = QStringLiteral("iCorbeilErrorDomain");

enum iCorbeilErrorCode {
    // contents.xml could not be written.
    iCorbeilSerializationError = 0,
    // contents.xml is missing or is not an XML property list.
    iCorbeilUnreadableContentsError = 1,
    // The manifest's top level is not a dictionary, or a value is of the wrong kind.
    iCorbeilMalformedContentsError = 2,
    // A file name is not one plain path component.
    iCorbeilUnsafeFilenameError = 3,
    // Writing refused: the description or a graphic lacks a value every manifest holds.
    iCorbeilIncompleteContentsError = 4,
};

class ICORBEIL_EXPORT iCorbeilFile
{
public:
    using ImageList = QList<std::shared_ptr<iCorbeilImage>>;

    iCorbeilFile();
    // Deletes the temporary package when there still is one.
    virtual ~iCorbeilFile();
    iCorbeilFile(const iCorbeilFile&) = delete;
    iCorbeilFile& operator=(const iCorbeilFile&) = delete;

    std::shared_ptr<iCorbeilInfo> info() const { return _info; }
    void setInfo(const std::shared_ptr<iCorbeilInfo>& info);
    const ImageList& objects() const { return _objects; }
    void setObjects(const ImageList& objects) { _objects = objects; }

    QString name() const;
    std::optional<QVariantList> releases() const;
    // Each graphic's file name that is set.
    QStringList filenames() const;
    // Every graphic's file name, then its thumbnail and detailed thumbnail names when a
    // name equal to them ignoring letter case is not listed yet.
    QStringList allImageFilenames() const;
    static bool array(const QStringList& array, const QString& containsCaseInsensitiveString);

    // A new release dictionary: now, version "1.0", summary "New Release". The caller adds
    // it to the description's releases.
    QVariantMap createNewRelease() const;
    void loadDefaults();
    void saveDefaults() const;

    // --- Reading ---
    // Reads the package at the file URL: the manifest (readContents), then each graphic's
    // thumbnail and detailed thumbnail, the preview ("Kit_Preview.png", else
    // "Kit_Preview.jpg") and the designer's picture ("Artist.jpg"). A kit that cannot be
    // read changes nothing here and fills *error (iCorbeilErrorDomain) saying what and
    // where.
    bool readFromURL(const QUrl& url, platform::Error* error = nullptr);
    // Reads a manifest's bytes into the description and the graphics (no files are
    // touched). Refused, changing nothing: bytes that are not an XML property list, a top
    // level that is not a dictionary, VQObjects or VQReleaseHistory not a list of
    // dictionaries, a value of the wrong kind (numbers may also come as numeric text), a
    // file name that is not a plain name.
    bool readContents(const QByteArray& data, platform::Error* error = nullptr);

    // The full image of the graphic, from the temporary package when it has the file,
    // else from the package at the URL; set as the graphic's image. Whether it has one.
    bool loadImageForObject(iCorbeilImage& object, const QUrl& fromURL);
    static std::shared_ptr<platform::Image> loadImageAtPath(const QString& path);
    // A thumbnail: a picture larger than any thumbnail is shown is read scaled down (its
    // size in points kept), so that a kit's thumbnails cannot take gigabytes between them.
    static std::shared_ptr<platform::Image> loadThumbnailAtPath(const QString& path);
    static constexpr int largestThumbnailPixels = 1024;

    // --- The temporary package and staging ---
    bool temporaryFileExists() const;
    // Makes the temporary package (the system's temporary folder, a unique name ending in
    // ".icorbeil") unless it exists. Whether it exists afterwards.
    bool createTemporaryFileIfNeeded();
    // A package folder with its three sub-folders. On failure whatever it made is removed.
    static bool createPackageAtPath(const QString& path, platform::Error* error = nullptr);
    // The name when no file of the kit uses it (ignoring letter case), else the first free
    // "<base>-<n>.<extension>" counting n from 1. A null QString for a name that is not a
    // plain file name.
    QString nameForImage(const QString& name) const;
    // Stages the graphic's files in the temporary package: when imageChanged, its image
    // (a copy of originalPath when set, else its picture as PNG) and its thumbnail (PNG);
    // when detailThumbnailChanged, its detailed thumbnail. A staged file of the same name
    // is replaced. Once staged, the in-memory image is dropped (it reloads on demand).
    // False, logged, when a file could not be staged. `objects` is left to the caller.
    bool addImage(iCorbeilImage& object);
    bool updateImage(iCorbeilImage& object);
    // Deletes the graphic's staged files; a missing file counts as deleted.
    bool removeImage(const iCorbeilImage& object);
    // Deletes the temporary package. Answers whether an error occurred (logged).
    bool removeTemporaryFile();

    // --- Writing ---
    // Every write first checks the description and the graphics (identifier, name and
    // release history; each graphic's values that every manifest holds, and plain file
    // names) and refuses, touching nothing, with an iCorbeilErrorDomain error naming what
    // is missing.
    //
    // "contents.xml" alone, written atomically.
    bool writeContentsToURL(const QUrl& url, platform::Error* error = nullptr);
    // A package that does not exist yet: the temporary package moved there (or an empty
    // package made), then the manifest, preview, designer's picture, licence, copyright.
    bool writeToURLForNewFile(const QUrl& url, platform::Error* error = nullptr);
    // An existing package: the staged files merged in, then the manifest, then files no
    // graphic names deleted and the side files written again; then the temporary package
    // goes. A failure never leaves a manifest naming files that are not there.
    bool writeToURLForExistingFile(const QUrl& url, platform::Error* error = nullptr);
    // Moves the temporary package's folder (its whole contents for an empty name) into the
    // package, merging sub-folders; each file replaces the one of the same name.
    bool moveImagesFromTempFileFolder(const QString& folder, const QUrl& toURL,
                                      platform::Error* error = nullptr);
    // Deletes, anywhere in the package, every file that no graphic names as its file,
    // thumbnail or detailed thumbnail, except "contents.xml", the previews and
    // "Artist.jpg". Links are deleted themselves, never what they point to.
    bool deleteUnreferencedImagesFromURL(const QUrl& url, platform::Error* error = nullptr);

    // The side files of the package at the URL.
    // "License.pdf" / "License.png": kept when present, else copied from the library.
    bool writeLicenseFile(const QUrl& url, platform::Error* error = nullptr);
    bool writeLicenseImageFile(const QUrl& url, platform::Error* error = nullptr);
    // "Copyright.txt": removed, then written when the copyright line is not empty.
    bool writeCopyrightFile(const QUrl& url, platform::Error* error = nullptr);
    // The preview: the file at previewPath copied as "Kit_Preview.png" or
    // "Kit_Preview.jpg" (other formats saved as PNG), the other one removed; else with a
    // preview picture, kept (written as PNG when the package has none); else removed.
    bool writePreviewImageFile(const QUrl& url, platform::Error* error = nullptr);
    // The designer's picture, the same way, always as "Artist.jpg".
    bool writeDesignerImageFile(const QUrl& url, platform::Error* error = nullptr);

private:
    bool checkBeforeWriting(platform::Error* error) const;
    bool saveImage(const std::shared_ptr<platform::Image>& image, const QString& name,
                   const QString& folder);
    bool writeLibraryFile(const QUrl& url, const QString& name, platform::Error* error);
    bool writeSidePicture(const QUrl& url, const QString& path,
                          const std::shared_ptr<platform::Image>& picture, const QStringList& names,
                          platform::Error* error);

    std::shared_ptr<iCorbeilInfo> _info;
    ImageList _objects;
    QString _temporaryPath;
};
