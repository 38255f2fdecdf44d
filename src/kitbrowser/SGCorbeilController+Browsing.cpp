// Browsing: the modes and their panels, loading each mode's lists, item counts, zoom,
// layout, searching, the kit size menu, the path bar's targets and the browser items.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "kitbrowser/SGPathControl.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/CoverFlowView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/UtilityWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QSlider>
#include <QTableView>
#include <QToolButton>

#include <cmath>

using namespace sgbrowser;
using sgstore::Predicate;

namespace {

bool artistsFlag = false;

constexpr int SliderScale = 1000;

double sliderValue(const QSlider* slider)
{
    return double(slider->value()) / SliderScale;
}

void setSliderValue(QSlider* slider, double value)
{
    const QSignalBlocker quiet(slider);
    slider->setValue(int(std::lround(value * SliderScale)));
}

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

} // namespace

// ===== Browser items =====

quint64 SGCorbeilController::imageVersion()
{
    return shiftKeyDown() ? 2 : artistsFlag ? 3 : 1;
}

QString SGCorbeilController::imageTitle(const SGKitRecord& kit) const
{
    return artistsFlag ? kit.author : kit.name;
}

QString SGCorbeilController::imageSubtitle(const SGKitRecord& kit) const
{
    return kit.author;
}

QString SGCorbeilController::imageRepresentationPath(const SGKitRecord& kit) const
{
    if (kit.isAllKitsItem() || !kit.filename.endsWith(QLatin1String(".icorbeil")))
        return QString();
    const QString folder = d->kitFolder(kit.filename);
    if (shiftKeyDown() || artistsFlag)
        return folder + QStringLiteral("/Artist.jpg");
    return d->kitPreviewPath(kit);
}

QString SGCorbeilController::imageRepresentationPath(const SGObjectRecord& object) const
{
    if (shiftKeyDown()) {
        const QString detail = d->thumbnailPath(object, true);
        if (QFile::exists(detail))
            return detail;
    }
    return d->thumbnailPath(object, false);
}

QByteArray SGCorbeilController::imageRepresentation(const SGKitRecord& kit) const
{
    if (kit.isAllKitsItem())
        return d->allKitsPicture();
    const QString path = imageRepresentationPath(kit);
    return path.isEmpty() ? QByteArray() : Private::readFile(path);
}

QByteArray SGCorbeilController::imageRepresentation(const SGObjectRecord& object) const
{
    return Private::readFile(imageRepresentationPath(object));
}

QByteArray SGCorbeilController::Private::readFile(const QString& path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString SGCorbeilController::Private::kitPreviewPath(const SGKitRecord& kit) const
{
    const QString folder = kitFolder(kit.filename);
    const QString jpeg = folder + QStringLiteral("/Kit_Preview.jpg");
    return QFile::exists(jpeg) ? jpeg : folder + QStringLiteral("/Kit_Preview.png");
}

QString SGCorbeilController::Private::thumbnailPath(const SGObjectRecord& object,
                                                    bool detailed) const
{
    // The manifest's own names first; kits that name none follow the usual pattern.
    const QString folder = kitFolder(object.kit.filename);
    const QString own = detailed ? object.detailThumbnailFilename : object.thumbnailFilename;
    const QString subfolder =
        detailed ? QStringLiteral("/Thumbnails_Detailed/") : QStringLiteral("/Thumbnails/");
    if (!own.isEmpty() && !own.contains(u'/') && own != QLatin1String("..")
        && QFile::exists(folder + subfolder + own))
        return folder + subfolder + own;
    const QString base = QFileInfo(object.filename).completeBaseName();
    return folder + subfolder + base
           + (detailed ? QStringLiteral("_detail.png") : QStringLiteral("_thumbnail.png"));
}

QByteArray SGCorbeilController::Private::allKitsPicture() const
{
    // The picture of the "All Kits" item, drawn once per process.
    static QByteArray picture;
    if (picture.isEmpty()) {
        const QImage image = pixmap(QStringLiteral("AllKits")).toImage();
        QBuffer buffer(&picture);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    }
    return picture;
}

int BrowserSource::numberOfItemsInImageBrowser(platform::ImageBrowserView*)
{
    return int(_graphics ? _d.graphicsArray.size() : _d.kitsArray.size());
}

platform::ImageBrowserItem BrowserSource::imageBrowserItemAtIndex(platform::ImageBrowserView*,
                                                                  int index)
{
    platform::ImageBrowserItem item;
    item.imageVersion = SGCorbeilController::imageVersion();
    if (_graphics) {
        if (index < 0 || index >= _d.graphicsArray.size())
            return item;
        const SGObjectRecord& object = _d.graphicsArray[index];
        item.imageUID = object.UID;
        item.imageTitle = object.name;
        item.imageSubtitle = object.kit.author;
    } else {
        if (index < 0 || index >= _d.kitsArray.size())
            return item;
        const SGKitRecord& kit = _d.kitsArray[index];
        item.imageUID = kit.UID + u'/' + kit.filename;
        item.imageTitle = _d.q->imageTitle(kit);
        item.imageSubtitle = _d.q->imageSubtitle(kit);
    }
    return item;
}

QByteArray BrowserSource::imageRepresentationAtIndex(platform::ImageBrowserView*, int index)
{
    if (_graphics)
        return index >= 0 && index < _d.graphicsArray.size()
                   ? _d.q->imageRepresentation(_d.graphicsArray[index])
                   : QByteArray();
    return index >= 0 && index < _d.kitsArray.size()
               ? _d.q->imageRepresentation(_d.kitsArray[index])
               : QByteArray();
}

int CoverFlowSource::numberOfItemsInCoverFlowView(platform::CoverFlowView*)
{
    return int(_d.kitsArray.size());
}

platform::CoverFlowItem CoverFlowSource::coverFlowViewItemAtIndex(platform::CoverFlowView*,
                                                                  int index)
{
    platform::CoverFlowItem item;
    if (index < 0 || index >= _d.kitsArray.size())
        return item;
    const SGKitRecord& kit = _d.kitsArray[index];
    item.title = _d.q->imageTitle(kit);
    item.image = platform::uprightPicture(_d.q->imageRepresentation(kit));
    return item;
}

// ===== Modes =====

int SGCorbeilController::mode() const
{
    return d->mode;
}

QList<SGKitRecord> SGCorbeilController::kitsArray() const
{
    return d->kitsArray;
}
QStringList SGCorbeilController::namesArray() const
{
    return d->namesArray;
}
QList<SGObjectRecord> SGCorbeilController::graphicsArray() const
{
    return d->graphicsArray;
}
std::optional<SGKitRecord> SGCorbeilController::selectedKit() const
{
    return d->selectedKit;
}
QString SGCorbeilController::selectedKitType() const
{
    return d->selectedKitType;
}
QString SGCorbeilController::selectedType() const
{
    return d->selectedType;
}
QString SGCorbeilController::selectedAuthor() const
{
    return d->selectedAuthor;
}
QString SGCorbeilController::selectedColor() const
{
    return d->selectedColor;
}
QStringList SGCorbeilController::secondaryColors() const
{
    return d->secondaryColors;
}
bool SGCorbeilController::showsLastImport() const
{
    return d->showLastImport;
}
int SGCorbeilController::kitSizeSelection() const
{
    return d->kitSizeSelection;
}

void SGCorbeilController::Private::clearBrowsingState()
{
    selectedKit.reset();
    kitsArray.clear();
    namesArray.clear();
    selectedType.clear();
    selectedKitType.clear();
    selectedAuthor.clear();
    selectedColor.clear();
    graphicsArray.clear();
}

QWidget* SGCorbeilController::Private::currentPanel() const
{
    if (mode == 0)
        return homeView;
    if (isKitMode(mode))
        return kitsView;
    if (isGraphicMode(mode))
        return graphicsView;
    if (mode == ColorMode)
        return colorsView;
    return intermediateView;
}

SGPathControl* SGCorbeilController::Private::currentPathControl() const
{
    if (mode == 0)
        return homePathControl;
    if (isKitMode(mode))
        return kitsPathControl;
    if (isGraphicMode(mode))
        return graphicsPathControl;
    if (mode == ColorMode)
        return colorsPathControl;
    return intermediatePathControl;
}

QLineEdit* SGCorbeilController::Private::searchField() const
{
    return externalSearchField ? externalSearchField.data() : kitsSearchField;
}

QList<SGKitRecord> SGCorbeilController::Private::withAllKitsItem(const QList<SGKitRecord>& kits)
{
    return kits.size() > 1 ? q->insertAllKitsItemInKitsArray(kits) : kits;
}

QStringList SGCorbeilController::Private::withAllTypes(const QStringList& names) const
{
    const QString embellishment = localized(QStringLiteral("Embellishment"));
    if (names.size() > 2 || (names.size() == 2 && names.first() != embellishment))
        return QStringList{localized(QStringLiteral("ALL TYPES"))} + names;
    return names;
}

QList<SGKitRecord> SGCorbeilController::Private::kitsOfSelectedType(const QList<SGKitRecord>& kits)
{
    if (selectedType.startsWith(QStringLiteral("   ")))
        return q->filterKitsArrayByTypeSubtype(kits, localized(QStringLiteral("Embellishment")),
                                               selectedType.mid(3));
    return q->filterKitsArrayByTypeSubtype(kits, selectedType, QString());
}

void SGCorbeilController::Private::reloadKitBrowser()
{
    if (kitBrowser)
        kitBrowser->reloadData();
    if (coverFlowView && coverFlowWindow && coverFlowWindow->isVisible())
        coverFlowView->reloadData();
}

void SGCorbeilController::Private::reloadGraphicBrowser()
{
    if (graphicBrowser)
        graphicBrowser->reloadData();
}

void SGCorbeilController::switchToMode(int newMode, int fromMode, bool loadDataForNewMode)
{
    d->loadInterface();
    closePreviewWindow();
    d->kitSizeSelection = 0;
    d->mode = newMode;
    if (loadDataForNewMode)
        loadDataForMode(newMode, fromMode);

    // An intermediate list with nothing to choose is passed by.
    const bool skippable =
        newMode == 2 || newMode == 6 || newMode == 10 || newMode == 12 || newMode == 17;
    if (skippable
        && (d->namesArray.size() == 1
            || (d->namesArray.size() == 2
                && d->namesArray.first() == d->localized(QStringLiteral("Embellishment"))))) {
        d->selectedType = d->namesArray.last();
        switchToMode(newMode + 1, newMode, true);
        return;
    }

    if (newMode == 0) {
        d->clearBrowsingState();
        d->reloadTable(d->homeTable);
    } else if (isIntermediateMode(newMode)) {
        d->reloadTable(d->intermediateTable);
    } else if (newMode == ColorMode) {
        d->reloadTable(d->colorsTable);
    } else if (isKitMode(newMode)) {
        artistsFlag = newMode == 4;
        d->kitBrowser->setCellsStyleMask(
            newMode == 4 ? platform::ImageBrowserView::CellsStyleTitled
                         : platform::ImageBrowserView::CellsStyleTitled
                               | platform::ImageBrowserView::CellsStyleSubtitled);
        d->reloadKitBrowser();
    }
    if (!isKitMode(newMode))
        artistsFlag = false;
    if (isGraphicMode(newMode))
        d->reloadGraphicBrowser();

    updateItemCount();
    QWidget* panel = d->currentPanel();
    for (QWidget* other :
         {d->homeView, d->kitsView, d->intermediateView, d->colorsView, d->graphicsView}) {
        if (other != panel)
            other->hide();
    }
    panel->setGeometry(d->rootView->rect());
    // Shown first, so its browser has its size when the zoom is worked out.
    panel->show();
    panel->raise();
    if (isKitMode(newMode) || isGraphicMode(newMode)) {
        QSlider* slider = isKitMode(newMode) ? d->kitZoomSlider : d->graphicZoomSlider;
        const double stored = defaults().doubleForKey(isKitMode(newMode) ? ZoomSettingKitsKey
                                                                         : ZoomSettingGraphicsKey);
        setSliderValue(slider, stored == 0 ? 1.5 : stored);
        zoomSliderAction(slider);
    }
    mainViewResized();
    if (isKitMode(newMode)) {
        d->kitBrowser->setToolTip(newMode == 4 ? QString()
                                               : d->localized(QStringLiteral(
                                                   "Control-click an icon to see a kit preview.\n"
                                                   "Hold down shift key to see author pictures.")));
    }
    d->freeKitsButton->setVisible(newMode == 0 && d->showFreeKitsButton);

    for (QLineEdit* field : {d->kitsSearchField, d->graphicsSearchField}) {
        const QSignalBlocker quiet(field);
        field->clear();
    }
    if (d->externalSearchField) {
        const QSignalBlocker quiet(d->externalSearchField.data());
        d->externalSearchField->clear();
    }
    platform::NotificationCenter::defaultCenter().post(SGModeChangedNotification, this);
}

void SGCorbeilController::loadDataForMode(int newMode, int prevMode)
{
    // What belongs to levels deeper than the new mode goes first.
    static const QSet<int> dropsKit = {1, 4, 5, 8, 9, 12, 13, 15, 16};
    static const QSet<int> dropsType = {1, 2, 4, 5, 6, 8, 9, 10, 12, 15, 16, 17};
    const bool goingUp = newMode < prevMode;
    if (dropsKit.contains(newMode))
        d->selectedKit.reset();
    if (isKitMode(prevMode) && goingUp)
        d->kitsArray.clear();
    if ((isIntermediateMode(prevMode) || prevMode == ColorMode) && goingUp)
        d->namesArray.clear();
    if (newMode == 8)
        d->selectedKitType.clear();
    if (dropsType.contains(newMode))
        d->selectedType.clear();
    if (newMode == 4)
        d->selectedAuthor.clear();
    if (newMode == ColorMode)
        d->selectedColor.clear();
    if (isGraphicMode(prevMode) && newMode != prevMode) {
        d->graphicsArray.clear();
        d->secondaryColors.clear();
        // The colour chosen on the colour path stays while going back along it.
        if (newMode != 16 && newMode != 17)
            d->selectedColor.clear();
        if (prevMode == 18 && d->graphicsSearchMenu)
            removeColorsFromMenu(d->graphicsSearchMenu);
    }

    const bool matchPrimary = defaults().boolForKey(MatchPrimaryColorKey);
    const QString none;
    switch (newMode) {
    case 1: {
        QList<SGKitRecord> kits = allKits();
        if (d->showLastImport)
            kits = lastImportKitsFromArray(kits);
        d->kitsArray = d->withAllKitsItem(kits);
        break;
    }
    case 2: d->namesArray = typesInKit(d->selectedKit, none, none, none, false); break;
    case 4: d->kitsArray = allAuthors(); break;
    case 5:
        d->kitsArray = d->withAllKitsItem(allKitsForAuthor(d->selectedAuthor, none, false));
        break;
    case 6: d->namesArray = typesInKit(d->selectedKit, d->selectedAuthor, none, none, false); break;
    case 8: d->namesArray = typesOfKits(); break;
    case 9:
        d->kitsArray = d->withAllKitsItem(filterKitsArrayByKitType(allKits(), d->selectedKitType));
        break;
    case 10:
        d->namesArray = typesInKit(d->selectedKit, none, d->selectedKitType, none, false);
        break;
    case 12: d->namesArray = typesInKit(std::nullopt, none, none, none, false); break;
    case 13: d->kitsArray = d->withAllKitsItem(d->kitsOfSelectedType(allKits())); break;
    case 15: d->namesArray = d->colorNames; break;
    case 16:
        d->kitsArray = d->withAllKitsItem(allKitsForAuthor(none, d->selectedColor, matchPrimary));
        break;
    case 17:
        d->namesArray = typesInKit(d->selectedKit, none, none, d->selectedColor, matchPrimary);
        break;
    default: break;
    }

    if (isGraphicMode(newMode)) {
        QMenu* menu = d->selectedType == d->localized(QStringLiteral("Paper")) ? d->paperMenu
                      : d->selectedType == d->localized(QStringLiteral("Quick Page"))
                          ? d->quickPageMenu
                          : d->actionMenu;
        d->resetFilterMenu(menu);
        if (newMode == 18) {
            d->secondaryColors.clear();
            addColorsToMenu(menu);
        }
        d->graphicsSearchMenu = menu;
        d->graphicsSearchMenuButton->setMenu(menu);
        d->graphicsSearchMenuButton->show();
        d->orientationFilter.clear();
        d->paperStyleFilter.clear();
        d->pictureCountFilter.clear();
        {
            const QSignalBlocker quiet(d->graphicsSearchField);
            d->graphicsSearchField->clear();
        }
        const auto nullIfEmpty = [](const QString& value) {
            return value.isEmpty() ? QString() : value;
        };
        d->graphicsArray = objectsMatchingWords(
            {}, d->selectedKit, nullIfEmpty(d->selectedKitType), d->selectedType,
            nullIfEmpty(d->selectedAuthor), nullIfEmpty(d->selectedColor), d->secondaryColors,
            newMode == 18 && matchPrimary, QString(), QString(), QString());
        d->reloadGraphicBrowser();
    }

    if (newMode == 2 || newMode == 6 || newMode == 10 || newMode == 17)
        d->namesArray = d->withAllTypes(d->namesArray);

    const bool sizeMenu =
        newMode == 1 || newMode == 5 || newMode == 9 || newMode == 13 || newMode == 16;
    d->setSearchMenu(sizeMenu ? d->kitSizeMenu : nullptr);
}

void SGCorbeilController::Private::setSearchMenu(QMenu* menu)
{
    if (menu) {
        for (QAction* item : menu->actions())
            item->setChecked(item->data().toInt() == 0 && !item->isSeparator());
    }
    if (externalSearchField) {
        static const char* property = "sgSearchMenuAction";
        auto* old = externalSearchField->property(property).value<QAction*>();
        if (old) {
            externalSearchField->removeAction(old);
            delete old;
        }
        externalSearchField->setProperty(property, QVariant());
        if (menu) {
            auto* action = new QAction(QStringLiteral("\u25BE"), externalSearchField);
            QLineEdit* field = externalSearchField;
            QObject::connect(action, &QAction::triggered, field, [field, menu] {
                menu->popup(field->mapToGlobal(QPoint(0, field->height())));
            });
            externalSearchField->addAction(action, QLineEdit::LeadingPosition);
            externalSearchField->setProperty(property, QVariant::fromValue(action));
        }
        return;
    }
    kitsSearchMenuButton->setMenu(menu);
    kitsSearchMenuButton->setVisible(menu != nullptr);
}

void SGCorbeilController::Private::resetFilterMenu(QMenu* menu)
{
    for (QAction* item : menu->actions()) {
        const int tag = item->data().toInt();
        item->setChecked(tag == 0 || tag == 4 || tag == 13);
    }
}

void SGCorbeilController::updateItemCount()
{
    if (!d->interfaceLoaded)
        return;
    qsizetype count = 0;
    QLabel* field = nullptr;
    if (isKitMode(d->mode)) {
        count = d->kitsArray.size();
        // The "All Kits" item heading the list is no kit.
        if (!d->kitsArray.isEmpty() && d->kitsArray.first().isAllKitsItem())
            --count;
        field = d->kitsCountField;
    } else if (isGraphicMode(d->mode)) {
        count = d->graphicsArray.size();
        field = d->graphicsCountField;
    } else {
        return;
    }
    field->setText(count == 1 ? d->localized(QStringLiteral("1 item"))
                              : d->localized(QStringLiteral("%d items"))
                                    .replace(QStringLiteral("%d"), QString::number(count)));
}

void SGCorbeilController::selectImageType(const QString& type)
{
    d->showLastImport = false;
    switchToMode(12, d->mode, true);
    QString found;
    for (const QString& name : d->namesArray) {
        if (name == type || name.endsWith(u' ' + type)) {
            found = name;
            break;
        }
    }
    if (found.isNull())
        return;
    d->selectedType = found;
    switchToMode(13, 12, true);
    switchToMode(14, 13, true);
}

// ===== Layout =====

void SGCorbeilController::Private::layoutPanels()
{
    if (!rootView)
        return;
    const int width = rootView->width();
    const int height = rootView->height();
    const int margin = controlMargin;
    const bool viewer = externalSearchField != nullptr;
    const int top = 30;
    const int bar = viewer ? 28 : 34;
    for (QWidget* panel : {homeView, kitsView, intermediateView, colorsView, graphicsView})
        panel->setGeometry(rootView->rect());

    homePathControl->move(margin, 4);
    plusMinusControl->setGeometry(width - 91, 4, 89, 19);
    const int homeBottom =
        height - (freeKitsButton->isVisibleTo(homeView) ? 44 : 8) - (viewer ? 25 : 0);
    homeTable->setGeometry(margin, top, width - 2 * margin, std::max(0, homeBottom - top));

    for (QWidget* panel : {kitsView, graphicsView}) {
        const bool kits = panel == kitsView;
        SGPathControl* path = kits ? kitsPathControl : graphicsPathControl;
        path->move(margin, 4);
        platform::ImageBrowserView* browser = kits ? kitBrowser : graphicBrowser;
        browser->setGeometry(0, top, width, std::max(0, height - top - bar));
        QLabel* count = kits ? kitsCountField : graphicsCountField;
        QLineEdit* search = kits ? kitsSearchField : graphicsSearchField;
        QToolButton* menu = kits ? kitsSearchMenuButton : graphicsSearchMenuButton;
        const int y = height - bar + (bar - 22) / 2;
        count->setGeometry(margin, y, 80, 22);
        const int searchWidth = std::max(60, std::min(180, width - 2 * margin - 80 - 120));
        menu->setGeometry(margin + 84, y, 18, 22);
        search->setGeometry(margin + 104, y, searchWidth, 22);
        QWidget* zoom = kits ? kitZoomContainer : graphicZoomContainer;
        zoom->move(zoom->x(), y);
    }
    coverFlowButton->move(width - margin - coverFlowButton->width(), 4);
    intermediatePathControl->move(margin, 4);
    intermediateTable->setGeometry(margin, top, width - 2 * margin,
                                   std::max(0, height - top - 8 - (viewer ? 25 : 0)));
    colorsPathControl->move(margin, 4);
    colorsTable->setGeometry(margin, top, width - 2 * margin, std::max(0, height - top - 34));
    primaryColorCheckBox->setGeometry(margin, height - 28, width - 2 * margin, 22);
}

void SGCorbeilController::mainViewResized()
{
    if (!d->interfaceLoaded)
        return;
    if (d->hostView && d->rootView->parentWidget() == d->hostView)
        d->rootView->setGeometry(d->hostView->rect());
    d->layoutPanels();
    configurePathControl();
    // The zoom sliders keep to the right, or to the middle for a viewer.
    for (QWidget* container : {d->kitZoomContainer, d->graphicZoomContainer}) {
        const int panelWidth = container->parentWidget()->width();
        const int x =
            std::max(0, int((panelWidth - container->width()) / (d->slidersCentred ? 2 : 1)));
        container->move(x, container->y());
    }
    // Cells never outgrow their browser.
    for (platform::ImageBrowserView* browser :
         {d->kitBrowser, static_cast<platform::ImageBrowserView*>(d->graphicBrowser)}) {
        QSlider* slider = browser == d->kitBrowser ? d->kitZoomSlider : d->graphicZoomSlider;
        const int w = browser->viewport()->width() - 6;
        if (w <= 0)
            continue;
        if (browser->cellSize().width() > w) {
            browser->setCellSize(QSize(w, w));
            setSliderValue(slider, 2);
        } else if (w < 512) {
            setSliderValue(slider, double(browser->cellSize().width()) / w + 1);
        }
    }
    if (d->mode == 0 && d->freeKitsButton->isVisibleTo(d->homeView)) {
        const QRect table = d->homeTable->geometry();
        const int width = d->freeKitsButton->sizeHint().width();
        const int x = std::max(table.x(), int(table.x() + table.width() / 2.0 - width / 2.0));
        d->freeKitsButton->setGeometry(x, table.bottom() + 8, width, 28);
    }
}

void SGCorbeilController::configureForViewerApp(QLineEdit* searchField)
{
    d->loadInterface();
    d->controlMargin = 12;
    d->plusMinusControl->hide();
    d->kitsSearchField->hide();
    d->graphicsSearchField->hide();
    d->kitsSearchMenuButton->hide();
    d->graphicsSearchMenuButton->hide();
    d->externalSearchField = searchField;
    d->slidersCentred = true;
    if (searchField) {
        connect(searchField, &QLineEdit::textEdited, this,
                [this, searchField] { searchFieldAction(searchField); });
        connect(searchField, &QLineEdit::returnPressed, this,
                [this, searchField] { searchFieldAction(searchField); });
    }
    mainViewResized();
}

void SGCorbeilController::zoomSliderAction(QSlider* sender)
{
    if (!sender)
        return;
    const double t = sliderValue(sender) - 1;
    double r = 0;
    const bool kits = sender == d->kitZoomSlider;
    if (kits) {
        const int w = d->kitBrowser->viewport()->width() - 6;
        r = w > 512 ? 472 : w - 40;
    } else {
        const int w = d->graphicBrowser->width() - 6;
        r = w > 256 ? 216 : w - 40;
    }
    const int side = int(std::lround(r * t + 40));
    (kits ? d->kitBrowser : static_cast<platform::ImageBrowserView*>(d->graphicBrowser))
        ->setCellSize(QSize(side, side));
    defaults().setDouble(sliderValue(sender), kits ? ZoomSettingKitsKey : ZoomSettingGraphicsKey);
}

void SGCorbeilController::pathControlAction(SGPathControl* sender)
{
    if (!sender)
        return;
    const int segment = sender->selectedSegment();
    const int count = sender->cell()->segmentCount();
    if (segment < 0 || segment >= count - 1)
        return;
    const int m = d->mode;
    int target = m;
    if (segment == 0) {
        target = 0;
    } else if (segment == 1) {
        target = m <= 3 ? 1 : m <= 7 ? 4 : m <= 11 ? 8 : m <= 14 ? 12 : 15;
    } else if (segment == 2) {
        target = m <= 3 ? 2 : m <= 7 ? 5 : m <= 11 ? 9 : m <= 14 ? 13 : 16;
    } else if (segment == 3) {
        if (m >= 4 && m <= 7)
            target = 6;
        else if (m >= 8 && m <= 11)
            target = 10;
        else if (m >= 15)
            target = 17;
    }
    if (target != m)
        switchToMode(target, m, true);
}

void SGCorbeilController::primaryColorButtonAction(QAbstractButton* sender)
{
    const bool match = !defaults().boolForKey(MatchPrimaryColorKey);
    defaults().setBool(match, MatchPrimaryColorKey);
    if (d->primaryColorCheckBox && d->primaryColorCheckBox->isChecked() != match)
        d->primaryColorCheckBox->setChecked(match);
    Q_UNUSED(sender);
}

// ===== Searching =====

QStringList SGCorbeilController::Private::parseWords(const QString& text, bool graphicMode)
{
    QStringList words;
    if (text.startsWith(u'"') && text.size() > 1) {
        QString phrase = text.mid(1);
        if (phrase.endsWith(u'"'))
            phrase.chop(1);
        words.append(phrase);
        return words;
    }
    bool colorTaken = false;
    static const QRegularExpression separators(QStringLiteral("[ ,]"));
    for (const QString& word : text.split(separators, Qt::SkipEmptyParts)) {
        if (graphicMode) {
            const QString capitalized = word.left(1).toUpper() + word.mid(1).toLower();
            if (colorNames.contains(capitalized)) {
                if (!colorTaken) {
                    selectedColor = capitalized;
                    colorTaken = true;
                }
                continue;
            }
        }
        words.append(word);
    }
    // "letter a" finds the letter of an alphabet kit.
    if (words.size() == 2 && words[0].compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0
        && words[1].size() == 1)
        words = QStringList{words[0] + u' ' + words[1]};
    return words;
}

void SGCorbeilController::searchFieldAction(QLineEdit* sender)
{
    d->runSearch(sender, sender ? sender->text() : QString());
}

void SGCorbeilController::Private::runSearch(QLineEdit*, const QString& text)
{
    if (mode != 16 && mode != 18)
        selectedColor.clear();
    const QStringList words = parseWords(text, isGraphicMode(mode));
    const bool matchPrimary = defaults().boolForKey(MatchPrimaryColorKey);

    if (mode == 4) {
        kitsArray = q->allAuthorsFilteredByWords(words);
        reloadKitBrowser();
    } else if (isGraphicMode(mode)) {
        const auto nullIfEmpty = [](const QString& value) {
            return value.isEmpty() ? QString() : value;
        };
        graphicsArray = q->objectsMatchingWords(
            words, selectedKit, nullIfEmpty(selectedKitType), selectedType,
            nullIfEmpty(selectedAuthor), nullIfEmpty(selectedColor), secondaryColors,
            mode == 18 && matchPrimary, nullIfEmpty(orientationFilter),
            nullIfEmpty(paperStyleFilter), nullIfEmpty(pictureCountFilter));
        reloadGraphicBrowser();
    } else if (isKitMode(mode)) {
        const auto textTest = [](const QString& word, bool withAuthor) {
            QList<Predicate> parts = {Predicate::containsFolded(QStringLiteral("name"), word)};
            if (withAuthor)
                parts.append(Predicate::containsFolded(QStringLiteral("author"), word));
            parts.append(Predicate::containsFolded(QStringLiteral("tagString"), word));
            parts.append(Predicate::containsFolded(QStringLiteral("kitDescription"), word));
            return Predicate::anyOf(parts);
        };
        QList<Predicate> parts;
        if (mode == 5)
            parts.append(Predicate::equals(QStringLiteral("author"), selectedAuthor));
        if (mode == 16) {
            const Predicate primary =
                Predicate::hasElement(QStringLiteral("primaryColorString"), selectedColor);
            parts.append(
                matchPrimary
                    ? primary
                    : Predicate::anyOf(
                        {primary, Predicate::hasElement(QStringLiteral("secondaryColorString"),
                                                        selectedColor)}));
        }
        for (const QString& word : words)
            parts.append(textTest(word, mode != 5));
        static const QStringList sizes = {QString(), QStringLiteral("12x12 inches"),
                                          QStringLiteral("8.5x11 inches"),
                                          QStringLiteral("4x6 inches"), QStringLiteral("Other")};
        if (kitSizeSelection >= 1 && kitSizeSelection <= 4)
            parts.append(Predicate::equals(QStringLiteral("kitSize"), sizes[kitSizeSelection]));
        QList<SGKitRecord> kits = openStore().kits(Predicate::allOf(parts), QStringLiteral("name"));
        if (mode == 1 && showLastImport)
            kits = q->lastImportKitsFromArray(kits);
        else if (mode == 13)
            kits = kitsOfSelectedType(kits);
        else if (mode == 9)
            kits = q->filterKitsArrayByKitType(kits, selectedKitType);
        kitsArray = withAllKitsItem(kits);
        reloadKitBrowser();
    }
    q->updateItemCount();
}

void SGCorbeilController::kitSizeMenuAction(QAction* sender)
{
    if (!sender)
        return;
    d->kitSizeSelection = sender->data().toInt();
    for (QAction* item : d->kitSizeMenu->actions()) {
        if (!item->isSeparator())
            item->setChecked(item->data().toInt() == d->kitSizeSelection);
    }
    QLineEdit* field = d->searchField();
    d->runSearch(field, field ? field->text() : QString());
}

void SGCorbeilController::imageBrowserSelectionDidChange(platform::ImageBrowserView* browser)
{
    closePreviewWindow();
    if (browser == d->graphicBrowser) {
        platform::NotificationCenter::defaultCenter().post(SGGraphicSelectionChangedNotification,
                                                           this);
        return;
    }
    if (browser != d->kitBrowser || !isKitMode(d->mode))
        return;
    const QList<int> selected = browser->selectionIndexes();
    if (selected.isEmpty() || selected.first() >= d->kitsArray.size())
        return;
    // With Control held, a click only selects (a right click shows the preview).
    if (QGuiApplication::keyboardModifiers() & Qt::ControlModifier)
        return;
    const SGKitRecord item = d->kitsArray[selected.first()];
    if (d->mode == 4) {
        d->selectedAuthor = item.author;
    } else if (item.isAllKitsItem() && d->kitsArray.size() >= 2) {
        d->selectedKit.reset();
    } else {
        d->selectedKit = item;
    }
    {
        const QSignalBlocker quiet(browser->selectionModel());
        browser->clearSelection();
    }
    switchToMode(d->mode + 1, d->mode, true);
}
