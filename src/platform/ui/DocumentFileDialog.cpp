#include "platform/ui/DocumentFileDialog.h"

#include "platform/core/FileOperations.h"
#include "platform/core/Strings.h"
#include "platform/ui/DocumentController.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>

namespace platform {

namespace {

// Document folders show as documents. A child of the dialog made after its views' model,
// so it goes after the model that asks it.
class DocumentIconProvider : public QObject, public QFileIconProvider
{
public:
    DocumentIconProvider(const QStringList& extensions, QObject* parent)
        : QObject(parent), _extensions(extensions)
    {}

    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isDir() && _extensions.contains(info.suffix()))
            return QFileIconProvider::icon(QAbstractFileIconProvider::File);
        return QFileIconProvider::icon(info);
    }
    using QFileIconProvider::icon;
    // The list's Type column: a document, not the folder it is stored as.
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir() && _extensions.contains(info.suffix()))
            return LocalizedString(QStringLiteral("Document"), QStringLiteral("DialogStrings"));
        return QFileIconProvider::type(info);
    }

private:
    QStringList _extensions;
};

DocumentFileDialog::Responder& responder()
{
    static DocumentFileDialog::Responder instance;
    return instance;
}

} // namespace

void DocumentFileDialog::setResponder(Responder newResponder)
{
    responder() = std::move(newResponder);
}

void DocumentFileDialog::begin()
{
    if (responder()) {
        bool finished = false;
        const auto connection =
            connect(this, &QDialog::finished, this, [&finished] { finished = true; });
        responder()(*this);
        disconnect(connection);
        // A dialog the responder left open is cancelled, as closing it would.
        if (!finished)
            reject();
        return;
    }
    open();
}

namespace {

QString& lastChosenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString imagesNameFilter(const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns.append(QStringLiteral("*.") + extension);
    return LocalizedString(QStringLiteral("Images"), QStringLiteral("DialogStrings"))
           + QStringLiteral(" (%1)").arg(patterns.join(u' '));
}

void openInUsersFolder(QFileDialog* panel, const QString& folder)
{
    const QString& last = lastChosenFolder();
    panel->setDirectory(!folder.isEmpty()                            ? folder
                        : !last.isEmpty() && QFileInfo(last).isDir() ? last
                                                                     : documentsFolder());
    QObject::connect(panel, &QDialog::accepted, panel, [panel] {
        const QString chosen = panel->selectedFiles().value(0);
        if (chosen.isEmpty())
            return;
        const QFileInfo info(chosen);
        lastChosenFolder() = panel->fileMode() == QFileDialog::Directory && info.isDir()
                                 ? info.absoluteFilePath()
                                 : info.absolutePath();
    });
}

void keepOutOfDocuments(QFileDialog* panel, const QStringList& extensions)
{
    const QStringList documents =
        extensions.isEmpty()
            ? DocumentController::sharedDocumentController().documentTypes().extensions
            : extensions;
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setIconProvider(new DocumentIconProvider(documents, panel));
    // Whichever way the panel goes into a folder (a double-click, a typed name and Open,
    // the path typed), its file list's root changes: out of a document at once, once the
    // panel has finished going in.
    auto* files = panel->findChild<QFileSystemModel*>();
    if (!files)
        return;
    QObject::connect(
        files, &QFileSystemModel::rootPathChanged, panel, [panel, documents](const QString& path) {
            const QFileInfo info(path);
            if (!info.isDir() || !documents.contains(info.suffix()))
                return;
            const QString parent = info.absolutePath();
            QMetaObject::invokeMethod(
                panel, [panel, parent] { panel->setDirectory(parent); }, Qt::QueuedConnection);
        });
}

DocumentFileDialog::DocumentFileDialog(QWidget* parent, Mode mode, const QStringList& extensions)
    : QFileDialog(parent), _mode(mode), _extensions(extensions)
{
    setOption(QFileDialog::DontUseNativeDialog, true);
    setIconProvider(new DocumentIconProvider(extensions, this));
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns.append(QStringLiteral("*.") + extension);
    setNameFilter(LocalizedString(QStringLiteral("Documents"), QStringLiteral("DialogStrings"))
                  + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    if (mode == Open) {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFiles);
    } else {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        if (!extensions.isEmpty())
            setDefaultSuffix(extensions.first());
    }
    connect(this, &QFileDialog::directoryEntered, this, &DocumentFileDialog::directoryWasEntered);
}

DocumentFileDialog::~DocumentFileDialog() = default;

bool DocumentFileDialog::isDocumentPackage(const QString& path) const
{
    const QFileInfo info(path);
    return info.isDir() && _extensions.contains(info.suffix());
}

QStringList DocumentFileDialog::selectedDocumentPaths() const
{
    return _chosen;
}

void DocumentFileDialog::setReplaceQuestion(ReplaceQuestion question)
{
    _replaceQuestion = std::move(question);
}

QString DocumentFileDialog::withDocumentExtension(const QString& path) const
{
    if (_extensions.isEmpty())
        return path;
    const QFileInfo info(path);
    if (info.suffix() == _extensions.first())
        return path;
    const QString base = info.suffix().isEmpty() || !_extensions.contains(info.suffix())
                             ? info.fileName()
                             : info.completeBaseName();
    return info.dir().filePath(base + QLatin1Char('.') + _extensions.first());
}

void DocumentFileDialog::choose(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (_mode == Save && QFileInfo::exists(paths.first())) {
        const QString path = paths.first();
        const bool replace =
            _replaceQuestion
                ? _replaceQuestion(path)
                : QMessageBox::question(this, QString(),
                                        LocalizedString(QStringLiteral("\u201c%1\u201d already "
                                                                       "exists. Do you want to "
                                                                       "replace it?"),
                                                        QStringLiteral("DialogStrings"))
                                            .arg(QFileInfo(path).fileName()),
                                        QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                      == QMessageBox::Yes;
        if (!replace)
            return;
    }
    _chosen = paths;
    // Past QFileDialog's own acceptance, which would browse into a folder.
    QDialog::accept();
}

void DocumentFileDialog::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    if (_mode == Open) {
        const bool packages = std::any_of(
            files.begin(), files.end(), [this](const QString& f) { return isDocumentPackage(f); });
        if (packages) {
            choose(files);
            return;
        }
        // Chosen before Qt's acceptance, which announces it (accepted()) before returning.
        _chosen = files;
        QFileDialog::accept();
        if (result() != QDialog::Accepted)
            _chosen.clear(); // a folder browsed into, or a name of no file
        return;
    }

    const QFileInfo typed(files.first());
    // A plain folder typed by name is browsed into, as usual.
    if (typed.isDir() && !isDocumentPackage(files.first())) {
        QFileDialog::accept();
        return;
    }
    choose({withDocumentExtension(files.first())});
}

void DocumentFileDialog::directoryWasEntered(const QString& path)
{
    if (!isDocumentPackage(path))
        return;
    // Back out of the document folder; it is chosen, not browsed.
    setDirectory(QFileInfo(path).absolutePath());
    choose({QFileInfo(path).absoluteFilePath()});
}

} // namespace platform
