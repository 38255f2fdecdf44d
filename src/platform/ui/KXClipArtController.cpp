#include "platform/ui/KXClipArtController.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Drag.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/Pasteboard.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

const QString FolderKey = QStringLiteral("Photo Library Folder");
// A drag starts once the pointer has moved more than this from where it went down.
constexpr qreal DragThreshold = 4;
constexpr int MaxDragImageSide = 256;

KXClipArtController::FolderChooser& folderChooser()
{
    static KXClipArtController::FolderChooser chooser;
    return chooser;
}

QString misc(const char* key)
{
    return LocalizedString(QString::fromUtf8(key), QStringLiteral("Miscellaneous"));
}

// The file extensions of the pictures shown: what Qt's image readers take.
const QSet<QString>& pictureSuffixes()
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> set;
        for (const QByteArray& format : QImageReader::supportedImageFormats())
            set.insert(QString::fromLatin1(format).toLower());
        return set;
    }();
    return suffixes;
}

} // namespace

struct KXClipArtController::Private
{
    QWidget* view = nullptr;
    BrowserView* browser = nullptr;
    QWidget* emptyNote = nullptr;
    QLabel* emptyLabel = nullptr;
};

// The icon view: the controller is its data source; it starts its own drags of file names.
class KXClipArtController::BrowserView : public ImageBrowserView, public ImageBrowserDataSource
{
public:
    BrowserView(KXClipArtController* controller, QWidget* parent)
        : ImageBrowserView(parent), _controller(controller)
    {
        setCellSize(QSize(88, 88));
        setCellsStyleMask(CellsStyleTitled);
        setDataSource(this);
    }

    int numberOfItemsInImageBrowser(ImageBrowserView*) override
    {
        return int(_controller->_pictures.size());
    }

    ImageBrowserItem imageBrowserItemAtIndex(ImageBrowserView*, int index) override
    {
        const Picture& picture = _controller->_pictures.at(index);
        ImageBrowserItem item;
        item.imageUID = picture.path;
        item.imageVersion = quint64(std::max<qint64>(0, picture.modified.toMSecsSinceEpoch()));
        item.imageTitle = picture.name;
        return item;
    }

    QByteArray imageRepresentationAtIndex(ImageBrowserView*, int index) override
    {
        QFile file(_controller->_pictures.value(index).path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Plays the drag of the items at and around `index`: their file names.
    void startDragAt(int index)
    {
        QList<int> rows = selectionIndexes();
        if (!rows.contains(index))
            rows = {index};
        QStringList paths;
        for (int row : rows)
            paths.append(_controller->_pictures.value(row).path);
        Drag drag(this);
        drag.pasteboard().declareTypes({FilenamesPboardType});
        drag.pasteboard().setFilenames(paths);
        QImageReader reader(paths.first());
        reader.setAutoTransform(true);
        const QImage image = readScaledImage(reader, _controller->dragImageSize(reader.size()));
        if (!image.isNull())
            drag.setImage(image, QPoint(image.width() / 2, image.height() / 2));
        drag.exec(Qt::CopyAction, Qt::CopyAction);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ImageBrowserView::mousePressEvent(event);
        _pressedRow = -1;
        if (event->button() == Qt::LeftButton
            && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
            _pressedRow = indexOfItemAtPoint(event->position().toPoint());
            _pressedAt = event->position();
        }
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (_pressedRow < 0)
            return ImageBrowserView::mouseMoveEvent(event);
        const QPointF delta = event->position() - _pressedAt;
        if (std::abs(delta.x()) > DragThreshold || std::abs(delta.y()) > DragThreshold) {
            const int row = _pressedRow;
            _pressedRow = -1;
            startDragAt(row);
        }
    }

    void resizeEvent(QResizeEvent* event) override
    {
        ImageBrowserView::resizeEvent(event);
        if (_controller->d && _controller->d->emptyNote)
            _controller->d->emptyNote->setGeometry(viewport()->rect());
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        _pressedRow = -1;
        ImageBrowserView::mouseReleaseEvent(event);
    }

private:
    KXClipArtController* _controller;
    int _pressedRow = -1;
    QPointF _pressedAt;
};

KXClipArtController::KXClipArtController(qint64 type, QObject* parent)
    : QObject(parent), _type(type), d(std::make_unique<Private>())
{
    const QString stored = UserDefaults::standardUserDefaults().stringForKey(FolderKey);
    _folder = !stored.isEmpty() && QFileInfo(stored).isDir() ? stored : defaultFolder();

    d->view = new QWidget;
    auto* layout = new QVBoxLayout(d->view);
    layout->setContentsMargins(0, 0, 0, 0);
    d->browser = new BrowserView(this, d->view);
    layout->addWidget(d->browser);
    QObject::connect(d->browser, &ImageBrowserView::cellWasDoubleClicked, this, [this](int index) {
        if (index >= 0 && index < _pictures.size())
            insertImageAtPath(_pictures.at(index).path);
    });

    // Over the empty view: what to do about it.
    d->emptyNote = new QWidget(d->browser->viewport());
    auto* noteLayout = new QVBoxLayout(d->emptyNote);
    d->emptyLabel = new QLabel(d->emptyNote);
    d->emptyLabel->setWordWrap(true);
    d->emptyLabel->setAlignment(Qt::AlignCenter);
    auto* choose = new QPushButton(misc("Choose Folder\u2026"), d->emptyNote);
    QObject::connect(choose, &QPushButton::clicked, this, [this] {
        NotificationCenter::defaultCenter().post(KXChoosePhotoLibraryNotification, this);
    });
    noteLayout->addStretch();
    noteLayout->addWidget(d->emptyLabel);
    noteLayout->addWidget(choose, 0, Qt::AlignHCenter);
    noteLayout->addStretch();
    d->emptyNote->hide();
}

KXClipArtController::~KXClipArtController()
{
    delete d->view;
}

QWidget* KXClipArtController::view() const
{
    return d->view;
}

ImageBrowserView* KXClipArtController::browserView() const
{
    return d->browser;
}

QString KXClipArtController::defaultFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void KXClipArtController::setFolder(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    _folder = QDir::cleanPath(path);
    UserDefaults::standardUserDefaults().setObject(_folder, FolderKey);
    loadClipArt();
}

void KXClipArtController::loadClipArt()
{
    _loaded = true;
    _pictures.clear();
    // Hidden files and folders (caches, thumbnails) stay out, and so do the insides of
    // packages and folders reached through links.
    QStringList folders = {_folder};
    while (!folders.isEmpty()) {
        const QFileInfoList entries =
            QDir(folders.takeLast())
                .entryInfoList(QDir::Files | QDir::Dirs | QDir::Readable | QDir::NoDotAndDotDot);
        for (const QFileInfo& info : entries) {
            if (info.isDir()) {
                if (!info.isSymLink() && !isPackageFolder(info.absoluteFilePath()))
                    folders.append(info.absoluteFilePath());
            } else if (pictureSuffixes().contains(info.suffix().toLower())) {
                _pictures.append({info.absoluteFilePath(), info.fileName(), info.lastModified()});
            }
        }
    }
    sortPictures();
}

bool KXClipArtController::isPackageFolder(const QString& path) const
{
    const QStringList& extensions =
        DocumentController::sharedDocumentController().documentTypes().extensions;
    return extensions.contains(QFileInfo(path).suffix());
}

void KXClipArtController::cleanupAfterLoading()
{
    if (!_loaded)
        loadClipArt();
}

void KXClipArtController::drawerResized()
{
    d->browser->doItemsLayout();
    d->emptyNote->setGeometry(d->browser->viewport()->rect());
}

void KXClipArtController::setFolderSortCriteria(qint64 criteria)
{
    if (criteria != SortByName && criteria != SortByDate)
        return;
    _sortCriteria = criteria;
    sortPictures();
}

void KXClipArtController::setFolderSortUp(bool up)
{
    _sortUp = up;
    sortPictures();
}

void KXClipArtController::sortPictures()
{
    QCollator collator;
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const auto byName = [&collator](const Picture& a, const Picture& b) {
        const int order = collator.compare(a.name, b.name);
        return order != 0 ? order < 0 : a.path < b.path;
    };
    std::stable_sort(_pictures.begin(), _pictures.end(),
                     [this, &byName](const Picture& a, const Picture& b) {
                         if (_sortCriteria == SortByDate && a.modified != b.modified)
                             return _sortUp ? a.modified < b.modified : b.modified < a.modified;
                         return _sortUp ? byName(a, b) : byName(b, a);
                     });
    d->browser->reloadData();
    updateEmptyNote();
}

void KXClipArtController::updateEmptyNote()
{
    d->emptyLabel->setText(misc("There are no pictures in the folder \u201c%@\u201d.")
                               .replace(QStringLiteral("%@"),
                                        QDir::toNativeSeparators(QFileInfo(_folder).fileName())));
    d->emptyNote->setGeometry(d->browser->viewport()->rect());
    d->emptyNote->setVisible(_loaded && _pictures.isEmpty());
}

void KXClipArtController::setFolderChooser(FolderChooser chooser)
{
    folderChooser() = std::move(chooser);
}

void KXClipArtController::openPhotoLibraryChooser()
{
    QWidget* parent = d->view->window();
    QString chosen;
    if (folderChooser()) {
        chosen = folderChooser()(parent, _folder);
    } else {
        chosen = QFileDialog::getExistingDirectory(parent, misc("Choose a Photo Folder"), _folder,
                                                   QFileDialog::ShowDirsOnly);
    }
    if (!chosen.isEmpty())
        setFolder(chosen);
}

QStringList KXClipArtController::picturePaths() const
{
    QStringList paths;
    for (const Picture& picture : _pictures)
        paths.append(picture.path);
    return paths;
}

QStringList KXClipArtController::selectedPicturePaths() const
{
    QStringList paths;
    for (int row : d->browser->selectionIndexes())
        paths.append(_pictures.value(row).path);
    return paths;
}

void KXClipArtController::insertImageAtPath(const QString& path)
{
    Q_UNUSED(path);
}

QSize KXClipArtController::dragImageSize(const QSize& naturalSize) const
{
    if (!naturalSize.isValid() || naturalSize.isEmpty())
        return QSize();
    QSizeF size(naturalSize);
    const double zoom = zoomFactor();
    if (zoom > 0) {
        size *= zoom;
        const QSizeF page = topPageRect().size() * zoom;
        if (!page.isEmpty() && (size.width() > page.width() || size.height() > page.height()))
            size.scale(page, Qt::KeepAspectRatio);
    } else {
        size.scale(QSizeF(d->browser->cellSize()), Qt::KeepAspectRatio);
    }
    if (size.width() > MaxDragImageSide || size.height() > MaxDragImageSide)
        size.scale(MaxDragImageSide, MaxDragImageSide, Qt::KeepAspectRatio);
    return QSize(std::max(1, int(std::lround(size.width()))),
                 std::max(1, int(std::lround(size.height()))));
}

} // namespace platform
