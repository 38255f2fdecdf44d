#pragma once

// A photo browser over a folder of pictures: the pictures of the folder and its subfolders
// as thumbnails in an icon view. The folder is the user's Pictures folder until the user
// chooses another (openPhotoLibraryChooser()); the choice is kept under "Photo Library
// Folder".
//
// The folder is read on loadClipArt() (the first display calls it through
// cleanupAfterLoading()); thumbnails are read lazily, for the items that show, a few per
// turn of the event loop (ImageBrowserView). The pictures are sorted by name or by date of
// change, up or down.
//
// A double-click inserts the picture (insertImageAtPath()); dragging pictures offers their
// file names. What "inserting" means, and the zoom factor and page the dragged picture is
// sized for, are the subclass's (zoomFactor(), topPageRect()): the base has no host of its
// own.
//
// An empty folder shows a note and a button that posts KXChoosePhotoLibraryNotification
// (object: the controller), so whoever hosts the browser can run the chooser with its own
// command.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

class ImageBrowserView;

inline const QString KXChoosePhotoLibraryNotification =
    QStringLiteral("KXChoosePhotoLibraryNotification");

class KXClipArtController : public QObject
{
    Q_OBJECT
public:
    // Sort criteria of the folder (the tags of the sort menu items).
    enum FolderSortCriteria { SortByName = 0, SortByDate = 1 };

    // The type of browser; 2 is the photo browser. Reads nothing yet.
    explicit KXClipArtController(qint64 type, QObject* parent = nullptr);
    ~KXClipArtController() override;

    qint64 type() const { return _type; }
    // The browser's view (owned by the controller).
    QWidget* view() const;
    ImageBrowserView* browserView() const;

    // The folder shown; the chosen one, else the user's Pictures folder (else home).
    QString folder() const { return _folder; }
    // Shows another folder (remembered for later runs) and reads it.
    void setFolder(const QString& path);
    static QString defaultFolder();

    // Reads the folder again.
    void loadClipArt();
    // After the first display: reads the folder unless it was read.
    void cleanupAfterLoading();
    // Lays the view out again for a new size.
    void drawerResized();

    qint64 folderSortCriteria() const { return _sortCriteria; }
    void setFolderSortCriteria(qint64 criteria);
    bool folderSortUp() const { return _sortUp; }
    void setFolderSortUp(bool up);

    // Asks the user for a folder and shows it; a cancelled chooser changes nothing.
    void openPhotoLibraryChooser();
    // Tests answer the chooser (the parent window and the current folder in, the chosen
    // folder or a null string out); an empty chooser gives the platform's dialog back.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& current)>;
    static void setFolderChooser(FolderChooser chooser);

    // The pictures shown, in order (full paths).
    QStringList picturePaths() const;
    QStringList selectedPicturePaths() const;

    // Double-click: the picture goes into the host's design. The base does nothing.
    virtual void insertImageAtPath(const QString& path);
    // The host's zoom factor (0 when there is no host) and its first page's rectangle in
    // points (empty when none), for the size of dragged pictures.
    virtual double zoomFactor() const { return 0; }
    virtual QRectF topPageRect() const { return QRectF(); }
    // Whether the folder is a package the user sees as one file (a saved document, a kit),
    // whose pictures are its own and not listed: the base knows the registered document
    // extensions.
    virtual bool isPackageFolder(const QString& path) const;

    // The picture dragged for the items: the first one's thumbnail at the size it would
    // have on the host's page (its natural size at the zoom factor, within the page),
    // at most 256 pixels on a side; the thumbnail as it is without a host.
    QSize dragImageSize(const QSize& naturalSize) const;

    class BrowserView;
    struct Picture
    {
        QString path;
        QString name;
        QDateTime modified;
    };

private:
    void sortPictures();
    void updateEmptyNote();

    qint64 _type;
    QString _folder;
    qint64 _sortCriteria = SortByName;
    bool _sortUp = true;
    bool _loaded = false;
    QList<Picture> _pictures;
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
