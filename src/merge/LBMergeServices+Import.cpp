// Imported text records: reading a tab- or comma-separated file into the document.

#include "merge/LBMergeServices.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/DelimitedText.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentFileDialog.h"
#include "window/LBWindowController.h"
#include "window/PreviewModeController.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QString dialogText(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

// Whether any text box keeps text edited for single labels.
bool hasPerLabelEdits(const LBDocument& doc)
{
    for (const LBDocument::Page& page : doc.documentGraphics())
        for (const auto& layer : page)
            for (const LBGraphicPtr& g : layer)
                if (const auto* text = dynamic_cast<const LBTextArea*>(g.get()))
                    if (text->editedTextArray() && !text->editedTextArray()->isEmpty())
                        return true;
    return false;
}

} // namespace

bool LBMergeServices::lockTextForRecords()
{
    if (_window.textIsLocked())
        return true;
    const LBDocument* doc = document();
    if (doc && hasPerLabelEdits(*doc)) {
        // Locking drops the labels' own texts: the user says so first.
        platform::Alert alert;
        alert.style = platform::Alert::Informational;
        alert.messageText = dialogText(QStringLiteral("Are you sure you want to lock the text?"));
        alert.informativeText = dialogText(QStringLiteral(
            "Any changes you've made to the text will be discarded and your document will be "
            "locked in its original format.\r\rIf you're happy with the text as it now appears, "
            "you can leave the text unlocked. Your changes will be saved with the "
            "document.\r\rDo you want to discard your changes and lock the text?"));
        alert.buttons = {dialogText(QStringLiteral("Lock text")),
                         dialogText(QStringLiteral("Lock text without asking")),
                         dialogText(QStringLiteral("Cancel"))};
        alert.cancelButton = 2;
        const int answer = alert.runModal().returnCode;
        if (answer == platform::Alert::ThirdButtonReturn)
            return false;
        if (answer == platform::Alert::SecondButtonReturn)
            platform::UserDefaults::standardUserDefaults().setBool(
                false, QStringLiteral("Show Lock Info Sheet"));
    }
    _window.lockInfoSheetDidEnd(LBWindowController::SheetDefaultReturn);
    return true;
}

void LBMergeServices::refreshPreviewForRecords()
{
    if (_window.mode() != DocumentWindowController::PreviewMode)
        return;
    if (PreviewModeController* preview = _window.createController()) {
        preview->updateViewWithNewRenderingView(true);
        if (_window.pageCountText())
            preview->updatePageCountText(_window.pageCountText());
    }
}

void LBMergeServices::importText(bool commaSeparated)
{
    auto* panel = new QFileDialog(_window.window());
    platform::openInUsersFolder(panel);
    platform::keepOutOfDocuments(panel);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setWindowModality(_window.window() ? Qt::WindowModal : Qt::ApplicationModal);
    // Once the panel is gone: the question about the file is not asked over it.
    connect(
        panel, &QFileDialog::fileSelected, this,
        [this, commaSeparated](const QString& path) { importTextFile(path, commaSeparated); },
        Qt::QueuedConnection);
    panel->open();
}

bool LBMergeServices::importTextFile(const QString& path, bool commaSeparated)
{
    LBDocument* doc = document();
    if (!doc)
        return false;
    const auto fail = [&](const QString& reason) {
        platform::Alert alert;
        alert.messageText = dialogText(QStringLiteral("The file “%1” cannot be imported."))
                                .arg(QFileInfo(path).fileName());
        alert.informativeText = reason;
        alert.buttons = {dialogText(QStringLiteral("OK"))};
        alert.runModal();
        refreshPreviewForRecords();
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QString error;
    const std::optional<platform::DelimitedText> text = platform::DelimitedText::read(
        file.readAll(), commaSeparated ? QLatin1Char(',') : QLatin1Char('\t'), &error);
    if (!text)
        return fail(dialogText(error));
    platform::Alert ask;
    ask.messageText = dialogText(commaSeparated ? QStringLiteral("Import Comma Delimited File")
                                                : QStringLiteral("Import Tab Delimited File"));
    ask.informativeText =
        dialogText(QStringLiteral(
                       "The selected file appears to have %1$d record(s) and %2$d field(s) per "
                       "record. Your document should therefore have %2$d import field(s). To add "
                       "import fields, select 'Misc' in the Fields tab on the right side of the "
                       "main window.\r\rDo you want to import this file?"))
            .replace(QLatin1String("%1$d"), QString::number(text->recordCount()))
            .replace(QLatin1String("%2$d"), QString::number(text->columns()));
    ask.buttons = {dialogText(QStringLiteral("Import")), dialogText(QStringLiteral("Cancel"))};
    ask.cancelButton = 1;
    // Files often open with a line of column titles, which is no record to merge: the user
    // says whether this one does.
    ask.showsSuppressionButton = true;
    ask.suppressionButtonTitle = dialogText(QStringLiteral("The first line holds column titles"));
    const platform::Alert::Response answer = ask.runModal();
    if (answer.returnCode != platform::Alert::FirstButtonReturn) {
        refreshPreviewForRecords();
        return false;
    }
    QStringList fields = text->flattened();
    if (answer.suppressed && text->recordCount() > 0)
        fields.remove(0, text->columns());
    // A file of column titles alone would replace the records with none.
    if (fields.isEmpty())
        return fail(
            dialogText(QStringLiteral("The file holds no record below its column titles.")));
    if (!lockTextForRecords()) {
        refreshPreviewForRecords();
        return false;
    }
    doc->setImportTextArray(fields, text->columns());
    doc->updateChangeCount(platform::Document::ChangeDone);
    refreshPreviewForRecords();
    return true;
}

void LBMergeServices::clearImportText()
{
    LBDocument* doc = document();
    if (!doc || !lockTextForRecords())
        return;
    qint64 columns = 0;
    const bool had = !doc->importTextArrayAndColumnCount(&columns).isEmpty();
    doc->setImportTextArray({}, 0);
    if (had)
        doc->updateChangeCount(platform::Document::ChangeDone);
    refreshPreviewForRecords();
}
