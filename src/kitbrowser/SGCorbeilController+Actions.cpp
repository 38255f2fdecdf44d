// The host's side of the browser and the kit actions: double-click to the builder, the
// pasteboard for copy and drag, the import panel, deleting kits, the kit information sheet,
// the cover flow and the previews on right click.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "kitbrowser/SGCorbeilGraphicBuilderDelegate.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/CoverFlowView.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/ProgressWindow.h"
#include "platform/ui/UtilityWindow.h"

#include <QBuffer>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QUrl>

using namespace sgbrowser;

namespace {

// The open panel for kits: packages (folders ending in ".icorbeil") are chosen like files,
// several at once.
class KitOpenPanel : public QFileDialog
{
public:
    explicit KitOpenPanel(QWidget* parent) : QFileDialog(parent)
    {
        setOption(QFileDialog::DontUseNativeDialog);
        setFileMode(QFileDialog::ExistingFiles);
        setNameFilter(QStringLiteral("iCorbeil (*.icorbeil)"));
        // Opening a package chooses it.
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (!folder.endsWith(QLatin1String(".icorbeil")))
                return;
            _chosen = {QDir::cleanPath(folder)};
            QDialog::accept();
        });
    }

    QStringList chosen() const { return _chosen; }

    void accept() override
    {
        QStringList kits;
        for (const QString& file : selectedFiles()) {
            if (file.endsWith(QLatin1String(".icorbeil")) && QFileInfo::exists(file))
                kits.append(QDir::cleanPath(file));
        }
        if (!kits.isEmpty() && kits.size() == selectedFiles().size()) {
            _chosen = kits;
            QDialog::accept();
            return;
        }
        QFileDialog::accept();
        _chosen = selectedFiles();
    }

private:
    QStringList _chosen;
};

// The file data as TIFF (a picture in another format is converted).
QByteArray tiffData(const QByteArray& data, const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        return data;
    const QImage picture = QImage::fromData(data);
    if (picture.isNull())
        return data;
    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    return writer.write(picture) ? tiff : data;
}

// A sheet on the window when there is one.
void runAsSheet(QDialog* sheet, QWidget* window)
{
    if (window && sheet->parentWidget() != window)
        sheet->setParent(window, Qt::Sheet);
    sheet->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    sheet->open();
}

} // namespace

QString SGCorbeilController::imagePathForObject(const SGObjectRecord& object) const
{
    return QStringLiteral("%1/Kits/%2/Images").arg(d->libraryPath, object.kit.filename) + u'/'
           + object.filename;
}

QStringList SGCorbeilController::selectedImageFilePaths() const
{
    QStringList paths;
    if (!isGraphicMode(d->mode) || !d->graphicBrowser)
        return paths;
    for (int index : d->graphicBrowser->selectionIndexes()) {
        if (index < d->graphicsArray.size())
            paths.append(imagePathForObject(d->graphicsArray[index]));
    }
    return paths;
}

namespace {

struct Chosen
{
    QStringList paths;
    QStringList sizes;
    bool isPaper = false;
    bool isQuickPage = false;
};

} // namespace

static Chosen chosenGraphics(const SGCorbeilController& controller,
                             const QList<SGObjectRecord>& graphics, const QList<int>& indexes,
                             bool withSizes)
{
    Chosen chosen;
    QList<const SGObjectRecord*> objects;
    for (int index : indexes) {
        if (index >= 0 && index < graphics.size())
            objects.append(&graphics[index]);
    }
    for (const SGObjectRecord* object : objects) {
        const QString path = controller.imagePathForObject(*object);
        chosen.paths.append(path);
        if (withSizes) {
            const QSize size = QImageReader(path).size();
            chosen.sizes.append(
                platform::stringFromSize(size.isValid() ? QSizeF(size) : QSizeF(0, 0)));
        }
    }
    if (objects.size() == 1) {
        chosen.isPaper = objects.first()->type == QLatin1String("Paper");
        chosen.isQuickPage = objects.first()->type == QLatin1String("Quick Page");
    }
    return chosen;
}

void SGCorbeilController::imageBrowserCellWasDoubleClickedAtIndex(
    platform::ImageBrowserView* browser, int index)
{
    if (browser != d->graphicBrowser || index < 0)
        return;
    if (SGCorbeilGraphicBuilderDelegate* builder = graphicBuilder()) {
        const Chosen chosen =
            chosenGraphics(*this, d->graphicsArray, browser->selectionIndexes(), true);
        if (!chosen.paths.isEmpty())
            builder->insertCorbeilFiles(chosen.paths, chosen.sizes, chosen.isPaper,
                                        chosen.isQuickPage);
    }
    platform::NotificationCenter::defaultCenter().post(SGGraphicsWereDoubleClickedNotification,
                                                       this);
}

void SGCorbeilController::placeSelectedGraphicsOnPasteboard(platform::Pasteboard& pasteboard)
{
    if (!d->graphicBrowser)
        return;
    const QList<int> selected = d->graphicBrowser->selectionIndexes();
    SGCorbeilGraphicBuilderDelegate* builder = graphicBuilder();
    const Chosen chosen = chosenGraphics(*this, d->graphicsArray, selected, builder != nullptr);
    if (chosen.paths.isEmpty())
        return;
    QString type;
    QByteArray data;
    if (builder) {
        data = builder->pasteboardDataForFiles(chosen.paths, chosen.sizes, &type, chosen.isPaper,
                                               chosen.isQuickPage);
    } else {
        const QString first = chosen.paths.first();
        const QString suffix = QFileInfo(first).suffix();
        data = imageDataForObjectAtIndex(selected.first());
        if (suffix == QLatin1String("eps") || suffix == QLatin1String("EPS")) {
            type = platform::PostScriptPboardType;
        } else if (suffix == QLatin1String("pdf") || suffix == QLatin1String("PDF")) {
            type = platform::PDFPboardType;
        } else if (suffix == QLatin1String("png") || suffix == QLatin1String("PNG")) {
            type = platform::PNGPboardType;
        } else {
            type = platform::TIFFPboardType;
            data = tiffData(data, first);
        }
    }
    if (type.isEmpty())
        return;
    pasteboard.declareTypes({type, platform::FilenamesPboardType});
    pasteboard.setData(data, type);
    pasteboard.setPropertyList(chosen.paths, platform::FilenamesPboardType);
}

void SGCorbeilController::plusMinusAction(int segment)
{
    switch (segment) {
    case 0: importPanelAction(); break;
    case 1: deleteKitsAction(); break;
    case 2: corbeilInfoAction(); break;
    default: break;
    }
}

void SGCorbeilController::importPanelAction()
{
    auto* panel = new KitOpenPanel(d->window());
    platform::openInUsersFolder(panel);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setWindowModality(d->window() ? Qt::WindowModal : Qt::ApplicationModal);
    connect(panel, &QDialog::accepted, this, [this, panel] {
        const QStringList paths = panel->chosen();
        QTimer::singleShot(0, this, [this, paths] { importCorbeils(paths); });
    });
    panel->open();
}

void SGCorbeilController::deleteKitsAction()
{
    d->loadInterface();
    d->deleteKits = allKits();
    d->deleteFlags = QList<bool>(d->deleteKits.size(), false);
    d->reloadTable(d->deleteTable);
    d->deleteButton->setEnabled(false);
    runAsSheet(d->deleteSheet, d->window());
}

void SGCorbeilController::deleteCheckedKits()
{
    const QList<SGKitRecord> kits = d->deleteKits;
    const QList<bool> flags = d->deleteFlags;
    d->deleteKits.clear();
    d->deleteFlags.clear();
    SGCorbeilStore& store = d->openStore();
    if (!store.isOpen())
        return;

    platform::ProgressWindow* progress = platform::ProgressWindow::startProgressWindowWithTitle(
        QString(), double(kits.size()), d->window());
    if (progress)
        progress->setMessage(d->localized(QStringLiteral("Deleting the selected kits\\U2026")));
    // A kit loses its record only once its package is in the Trash; a kit whose package
    // stays keeps its record (the check would record it again anyway).
    int deleted = 0;
    QStringList kept;
    for (qsizetype i = 0; i < kits.size(); ++i) {
        if (progress)
            progress->setValue(double(i + 1));
        if (i >= flags.size() || !flags[i])
            continue;
        const SGKitRecord& kit = kits[i];
        platform::Error problem;
        const QString package = d->kitFolder(kit.filename);
        const bool gone = kit.filename.isEmpty() || !QFileInfo::exists(package)
                          || platform::moveItemToTrash(package, &problem);
        if (gone && store.deleteKit(kit.id, nullptr))
            ++deleted;
        else
            kept.append(kit.name.isEmpty() ? kit.filename : kit.name);
    }
    d->kitsArray = allKits();
    d->reloadKitBrowser();
    if (progress)
        progress->endProgressWindow();

    const bool confirm =
        !platform::UserDefaults::standardUserDefaults().boolForKey(DisableDeleteConfirmationKey);
    if (!kept.isEmpty() || (confirm && deleted > 0)) {
        platform::Alert alert;
        alert.buttons = {d->dialogString(QStringLiteral("OK"))};
        if (deleted > 0) {
            alert.messageText =
                d->dialogString(deleted == 1 ? QStringLiteral("The selected kit was deleted.")
                                             : QStringLiteral("The selected kits were deleted."));
            alert.informativeText = d->dialogString(
                deleted == 1 ? QStringLiteral("The kit file has been moved to the Trash.")
                             : QStringLiteral("The kit files have been moved to the Trash."));
            alert.showsSuppressionButton = kept.isEmpty();
        }
        if (!kept.isEmpty()) {
            alert.style = platform::Alert::Critical;
            const QString message = d->dialogString(QStringLiteral(
                "These kits could not be moved to the Trash and are still in the library:"));
            if (deleted == 0)
                alert.messageText = message;
            else
                alert.informativeText += QStringLiteral("\r\r") + message;
            alert.informativeText +=
                (deleted == 0 ? QString() : QStringLiteral("\r")) + kept.join(QStringLiteral("\r"));
        }
        alert.beginSheetModalForWindow(d->window(), [](const platform::Alert::Response& response) {
            if (response.suppressed)
                platform::UserDefaults::standardUserDefaults().setBool(
                    true, DisableDeleteConfirmationKey);
        });
    }
    switchToMode(0, d->mode, true);
}

void SGCorbeilController::corbeilInfoAction()
{
    d->loadInterface();
    d->infoKits = allKits();
    d->reloadTable(d->infoKitTable);
    if (!d->infoKits.isEmpty()) {
        d->infoKitTable->selectRow(0);
        loadKitInfoAtIndex(0);
    }
    runAsSheet(d->infoSheet, d->window());
}

void SGCorbeilController::coverFlowButtonAction()
{
    d->loadInterface();
    platform::UtilityWindow* window = d->coverFlowWindow;
    if (window->isVisible())
        return;
    QWidget* browserWindow = d->rootView->window();
    if (!d->coverFlowPlaced) {
        const QRect frame = browserWindow->frameGeometry();
        const int width = int(frame.width() * 0.9);
        const int height = int(frame.height() * 2.0 / 3.0);
        window->setFrame(QRect(frame.x() + (frame.width() - width) / 2,
                               frame.y() + (frame.height() - height) / 2, width, height));
        d->coverFlowPlaced = true;
    }
    qsizetype kits = d->kitsArray.size();
    if (!d->kitsArray.isEmpty() && d->kitsArray.first().isAllKitsItem())
        --kits;
    d->coverFlowCountField->setText(d->localized(QStringLiteral("%ld kit(s)"))
                                        .replace(QStringLiteral("%ld"), QString::number(kits)));
    d->coverFlowView->setTitleGradientHeight(24);
    d->coverFlowView->setTitleGradient(QColor::fromRgbF(0.25, 0.25, 0.25),
                                       QColor::fromRgbF(0.4, 0.4, 0.4));
    d->coverFlowView->setBottomGradient(QColor::fromRgbF(0.4, 0.4, 0.4),
                                        QColor::fromRgbF(0.25, 0.25, 0.25));
    d->coverFlowView->setHorizontalArrowColor(Qt::black);
    d->coverFlowView->setBottomHighlightLineColor(QColor::fromRgbF(0.45, 0.45, 0.45));
    d->coverFlowView->reloadData();
    window->attachToWindow(browserWindow);
}

void SGCorbeilController::coverFlowChooseAction()
{
    const int index = d->coverFlowView->selectedIndex();
    coverFlowCancelAction();
    if (index >= 0 && index < d->kitsArray.size())
        d->kitBrowser->setSelectionIndexes({index});
}

void SGCorbeilController::coverFlowCancelAction()
{
    d->coverFlowWindow->detachFromWindow();
}

void SGCorbeilController::imageBrowserCellWasRightClickedAtIndex(
    platform::ImageBrowserView* browser, int index)
{
    if (d->mode == 4 || index < 0 || !browser)
        return;
    QWidget* window = browser->window();
    const QRect item = browser->itemFrameAtIndex(index);
    const QRect frame(browser->viewport()->mapTo(window, item.topLeft()), item.size());
    if (isGraphicMode(d->mode) && browser == d->graphicBrowser) {
        showPreviewForGraphicAtIndex(index, frame);
    } else if (isKitMode(d->mode) && browser == d->kitBrowser && index < d->kitsArray.size()) {
        if (d->kitsArray[index].isAllKitsItem() && d->kitsArray.size() > 1)
            return;
        showPreviewForKitAtIndex(index, frame);
    }
}
