#pragma once

// The file dialog documents are opened and saved with. Documents are folders (packages)
// with a document extension: the dialog shows them with a document's icon and takes them
// as one document, where a plain file dialog would browse into them. Entering such a
// folder (double-clicking it, or typing its name and choosing Open or Save) chooses it.
//
// Opening takes files with a document extension and such folders. Saving gives the name
// the document extension (replacing another one) and asks before replacing a document
// that exists; a question that tests can answer.
//
// Qt's own dialog, not the platform's: native dialogs browse into the folders.
//
// Tests answer the dialogs without showing them: a responder set for the process gets
// each dialog begun instead of the user, and chooses (selectFile() and accept()) or
// cancels (reject()) as the user would.

#include <QFileDialog>
#include <QStringList>

#include <functional>

namespace platform {

// Opens the panel in the folder given (a document's own folder, say), else in the folder
// of what the user last chose in a file panel of this run, else in the documents folder
// (documentsFolder()): never in the program's working folder, which the user did not
// choose. What the user chooses in the panel gives the next panels their folder.
void openInUsersFolder(QFileDialog* panel, const QString& folder = QString());

// In a panel for other files (pictures, records, exports), the documents' folders show as
// documents and are not browsed into: what they hold belongs to the document. The
// extensions are the documents' (without the dot); by default the registered document
// types'. Makes the panel Qt's own: native panels browse into the folders.
void keepOutOfDocuments(QFileDialog* panel, const QStringList& extensions = {});

// The name filter of a panel that opens pictures: "Images (*.png *.jpg ...)" for the
// extensions (without the dot).
QString imagesNameFilter(const QStringList& extensions);

class DocumentFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    enum Mode { Open, Save };

    // extensions: the document extensions, without the dot; saving uses the first.
    DocumentFileDialog(QWidget* parent, Mode mode, const QStringList& extensions);
    ~DocumentFileDialog() override;

    // Whether the path is a folder with one of the document extensions.
    bool isDocumentPackage(const QString& path) const;

    // What was chosen once the dialog is accepted: the documents to open, or the one
    // path to save to; empty before.
    QStringList selectedDocumentPaths() const;

    // Asked before replacing the document at the path; true replaces it. The default asks
    // the user in a message box.
    using ReplaceQuestion = std::function<bool(const QString& path)>;
    void setReplaceQuestion(ReplaceQuestion question);

    void accept() override;

    // Shows the dialog (QDialog::open()); with a responder set, the responder answers it
    // before this returns (one it leaves open is cancelled).
    void begin();
    using Responder = std::function<void(DocumentFileDialog& dialog)>;
    // Answers every dialog begun from now on (nullptr: the user answers again).
    static void setResponder(Responder responder);

private:
    void directoryWasEntered(const QString& path);
    // Accepts the dialog with the paths, when the save question allows.
    void choose(const QStringList& paths);
    QString withDocumentExtension(const QString& path) const;

    Mode _mode;
    QStringList _extensions;
    QStringList _chosen;
    ReplaceQuestion _replaceQuestion;
};

} // namespace platform
