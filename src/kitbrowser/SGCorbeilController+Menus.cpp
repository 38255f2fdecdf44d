// The types lists, the path bar, the filter menus, the previews, the kit link, the kit
// information sheet, thumbnails and image data, and the tables' callbacks.

#include "kitbrowser/SGCorbeilController.h"

#include "kitbrowser/SGAttachedWindow.h"
#include "kitbrowser/SGCorbeilControllerPrivate.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "kitbrowser/SGPathControl.h"
#include "kitfile/iCorbeilFile.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/OpenUrl.h"

#include <QAction>
#include <QDateTime>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTextEdit>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <cmath>

using namespace sgbrowser;
using sgstore::Predicate;

namespace {

bool caseInsensitiveLess(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) < 0;
}

QString withoutIndent(const QString& type)
{
    return type.startsWith(QStringLiteral("   ")) ? type.mid(3) : type;
}

// "Name (Author)", or the name alone without an author.
QString nameWithAuthor(const QString& name, const QString& author)
{
    return author.isEmpty() ? name : name + QStringLiteral(" (%1)").arg(author);
}

QPixmap fitted(const QImage& picture, const QSize& size)
{
    if (picture.isNull() || size.isEmpty())
        return QPixmap();
    return QPixmap::fromImage(picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

// ===== Types =====

QStringList SGCorbeilController::typesInKit(const std::optional<SGKitRecord>& kit,
                                            const QString& matchingAuthor,
                                            const QString& matchingKitType,
                                            const QString& matchingColor, bool primaryColorOnly)
{
    const auto colorTest = [&] {
        const Predicate primary =
            Predicate::equals(QStringLiteral("o.primaryColorName"), matchingColor);
        return primaryColorOnly
                   ? primary
                   : Predicate::anyOf(
                       {primary, Predicate::hasElement(QStringLiteral("o.secondaryColorNames"),
                                                       matchingColor)});
    };
    Predicate where;
    if (kit && !kit->isAllKitsItem()) {
        const Predicate theKit{QStringLiteral("o.kit = ?"), {kit->id}};
        if (!matchingAuthor.isEmpty())
            where = theKit;
        else if (!matchingKitType.isEmpty())
            where = Predicate::allOf(
                {theKit, Predicate::equals(QStringLiteral("k.kitType"), matchingKitType)});
        else if (!matchingColor.isEmpty())
            where = Predicate::allOf({theKit, colorTest()});
        else
            where = theKit;
    } else if (d->showLastImport) {
        QList<Predicate> names;
        const QString stored =
            platform::UserDefaults::standardUserDefaults().stringForKey(LastImportStringKey);
        if (!stored.isEmpty()) {
            for (const QString& name : stored.split(LastImportSeparator))
                names.append(Predicate::equals(QStringLiteral("k.filename"), name));
        }
        where = Predicate::anyOf(names);
    } else if (!matchingAuthor.isEmpty()) {
        where = Predicate::equals(QStringLiteral("k.author"), matchingAuthor);
    } else if (!matchingKitType.isEmpty()) {
        where = Predicate::equals(QStringLiteral("k.kitType"), matchingKitType);
    } else if (!matchingColor.isEmpty()) {
        where = colorTest();
    }

    SGCorbeilStore& store = d->openStore();
    QStringList types = store.distinctObjectValues(QStringLiteral("type"), where);
    types.removeAll(QString(QLatin1String("")));
    const QString embellishment = d->localized(QStringLiteral("Embellishment"));
    QStringList subtypes;
    if (types.contains(embellishment)) {
        subtypes = store.distinctObjectValues(
            QStringLiteral("subtype"),
            Predicate::allOf({where, Predicate::equals(QStringLiteral("o.type"), embellishment)}));
        subtypes.removeAll(QString(QLatin1String("")));
        std::sort(subtypes.begin(), subtypes.end(), caseInsensitiveLess);
    }
    std::sort(types.begin(), types.end(), caseInsensitiveLess);
    if (types.removeAll(embellishment) > 0) {
        types.append(embellishment);
        for (const QString& subtype : subtypes)
            types.append(QStringLiteral("   ") + subtype);
    }
    return types;
}

// ===== Path bar =====

QStringList SGCorbeilController::pathLabels() const
{
    const int m = d->mode;
    const QString kitLabel = d->selectedKit && !d->selectedKit->isAllKitsItem()
                                 ? d->selectedKit->name
                                 : d->localized(QStringLiteral("All Kits"));
    const QString typeLabel = withoutIndent(d->selectedType);
    const QString kits =
        d->localized(d->showLastImport ? QStringLiteral("Last Import") : QStringLiteral("Kits"));
    const QString artists = d->localized(QStringLiteral("Artists"));
    const QString authorLabel = d->selectedKit && !d->selectedKit->isAllKitsItem()
                                    ? d->selectedKit->author
                                    : d->selectedAuthor;
    const QString kitTypes = d->localized(QStringLiteral("Kit Types"));
    const QString imageTypes = d->localized(QStringLiteral("Image Types"));
    const QString colors = d->localized(QStringLiteral("Colors"));
    QStringList labels = {QStringLiteral("W")};
    switch (m) {
    case 1: labels << kits; break;
    case 2: labels << kits << kitLabel; break;
    case 3: labels << kits << kitLabel << typeLabel; break;
    case 4: labels << artists; break;
    case 5: labels << artists << authorLabel; break;
    case 6: labels << artists << authorLabel << kitLabel; break;
    case 7: labels << artists << authorLabel << kitLabel << typeLabel; break;
    case 8: labels << kitTypes; break;
    case 9: labels << kitTypes << d->selectedKitType; break;
    case 10: labels << kitTypes << d->selectedKitType << kitLabel; break;
    case 11: labels << kitTypes << d->selectedKitType << kitLabel << typeLabel; break;
    case 12: labels << imageTypes; break;
    case 13: labels << imageTypes << typeLabel; break;
    case 14: labels << imageTypes << typeLabel << kitLabel; break;
    case 15: labels << colors; break;
    case 16: labels << colors << d->selectedColor; break;
    case 17: labels << colors << d->selectedColor << kitLabel; break;
    case 18: labels << colors << d->selectedColor << kitLabel << typeLabel; break;
    default: break;
    }
    return labels;
}

void SGCorbeilController::configurePathControl()
{
    if (!d->interfaceLoaded)
        return;
    SGPathControl* control = d->currentPathControl();
    const QStringList labels = pathLabels();
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(11);
    const QFontMetricsF metrics(font);
    QList<qreal> widths;
    for (const QString& label : labels)
        widths.append(std::trunc(metrics.horizontalAdvance(label) + 20));

    qreal room = d->rootView->width() - 2 * d->controlMargin;
    if (isKitMode(d->mode))
        room -= d->coverFlowButton->isVisibleTo(d->kitsView) ? d->coverFlowButton->width() + 5 : 5;
    qreal total = 0;
    for (qreal width : widths)
        total += width;
    const qreal excess = total - room;
    const qsizetype count = widths.size();
    // Too wide: the middle segments shrink first, then the first, then the last; none goes
    // below 15 points.
    if (excess > 0 && count > 0) {
        qreal middle = 0;
        for (qsizetype i = 1; i + 1 < count; ++i)
            middle += widths[i];
        const qsizetype middleCount = std::max<qsizetype>(0, count - 2);
        const qreal slack = middle - 15 * middleCount;
        const qreal firstSlack = widths.first() - 15;
        const qreal lastSlack = count > 1 ? widths.last() - 15 : 0;
        if (middle > 0 && slack >= excess) {
            for (qsizetype i = 1; i + 1 < count; ++i)
                widths[i] = std::trunc(widths[i] * (1 - excess / middle));
        } else if (slack + firstSlack >= excess) {
            for (qsizetype i = 1; i + 1 < count; ++i)
                widths[i] = 15;
            widths.first() -= excess - slack;
        } else if (count > 1 && slack + firstSlack + lastSlack >= excess) {
            for (qsizetype i = 0; i + 1 < count; ++i)
                widths[i] = 15;
            widths.last() -= excess - slack - firstSlack;
        } else {
            for (qreal& width : widths)
                width = 15;
        }
    }
    total = 0;
    for (qreal width : widths)
        total += width;
    control->setGeometry(control->x(), control->y(), int(total), control->height());
    platform::SegmentedCell* cell = control->cell();
    cell->setSegmentCount(int(count));
    for (int i = 0; i < count; ++i) {
        cell->setWidth(widths[i], i);
        cell->setLabel(labels[i], i);
    }
    control->update();

    // Tool tip: the kit (as the name where the path shows one) and its author.
    static const QSet<int> kitNamed = {2, 3, 6, 7, 11, 14, 17, 18};
    const QString name = kitNamed.contains(d->mode) && labels.size() > 2
                             ? (d->selectedKit && !d->selectedKit->isAllKitsItem()
                                    ? d->selectedKit->name
                                    : d->localized(QStringLiteral("All Kits")))
                             : QString();
    const QString author = d->selectedKit && !d->selectedKit->isAllKitsItem()
                               ? d->selectedKit->author
                               : d->selectedAuthor;
    control->setToolTip(!name.isEmpty() && !author.isEmpty()
                            ? QStringLiteral("%1 (%2)").arg(name, author)
                        : !name.isEmpty() ? name
                                          : author);
}

// ===== Filter menus =====

void SGCorbeilController::addColorsToMenu(QMenu* menu)
{
    if (!menu)
        return;
    menu->addSeparator();
    QAction* heading = menu->addAction(d->localized(QStringLiteral("Secondary Colors")));
    heading->setData(20);
    heading->setEnabled(false);
    for (int i = 0; i < d->colorNames.size(); ++i) {
        QAction* item = menu->addAction(QStringLiteral("   ") + d->colorNames[i]);
        item->setData(21 + i);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item] { actionMenuAction(item); });
    }
}

void SGCorbeilController::removeColorsFromMenu(QMenu* menu)
{
    if (!menu)
        return;
    const QList<QAction*> items = menu->actions();
    const qsizetype colors = d->colorNames.size() + 2;
    // Only when the colour items are there.
    if (items.size() < colors || items.last()->data().toInt() != 20 + d->colorNames.size())
        return;
    for (qsizetype i = items.size() - colors; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        delete items[i];
    }
}

void SGCorbeilController::actionMenuAction(QAction* sender)
{
    if (!sender)
        return;
    const int tag = sender->data().toInt();
    const QString title = sender->text().mid(3);
    if (tag >= 0 && tag <= 19) {
        const auto group = [](int t) { return t <= 3 ? 0 : t <= 12 ? 1 : 2; };
        if (QMenu* menu = qobject_cast<QMenu*>(sender->parent())) {
            for (QAction* item : menu->actions()) {
                const int other = item->data().toInt();
                if (other >= 0 && other <= 19 && group(other) == group(tag) && !item->isSeparator())
                    item->setChecked(false);
            }
        }
        sender->setChecked(true);
        const bool clears = tag == 0 || tag == 4 || tag == 13;
        switch (group(tag)) {
        case 0: d->orientationFilter = clears ? QString() : title; break;
        case 1: d->paperStyleFilter = clears ? QString() : title; break;
        default:
            d->pictureCountFilter =
                clears ? QString() : platform::formatLong(platform::integerValue(title));
            break;
        }
    } else if (tag >= 21 && tag <= 36) {
        // The item's check has already flipped.
        if (sender->isChecked()) {
            if (!d->secondaryColors.contains(title))
                d->secondaryColors.append(title);
        } else {
            d->secondaryColors.removeAll(title);
        }
    } else {
        return;
    }
    d->runSearch(d->graphicsSearchField,
                 d->graphicsSearchField ? d->graphicsSearchField->text() : QString());
}

// ===== Previews =====

int SGCorbeilController::resizePreviewView(QWidget* previewView, QWidget* previewImageView,
                                           const QRect& cellFrameW, QPointF* windowPoint,
                                           QPointF* origPoint, qreal imageHeight)
{
    QWidget* window = d->rootView ? d->rootView->window() : nullptr;
    QScreen* screen =
        window && window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    const QRectF S = screen ? QRectF(screen->availableGeometry()).adjusted(10, 10, -10, -10)
                            : QRectF(0, 0, 1000, 800);

    // The preview grows to most of the screen's height, or to the picture's height when that
    // is less; the picture area takes what the texts leave, and the width follows it.
    const qreal viewHeight = previewView->height();
    const qreal imageViewHeight = std::max(1, previewImageView->height());
    qreal scale = S.height() * 0.9 / std::max(1.0, viewHeight);
    if (imageHeight < scale * imageViewHeight)
        scale = imageHeight / imageViewHeight;
    const qreal texts = viewHeight - imageViewHeight;
    const qreal height = std::round(scale * viewHeight);
    const qreal imageViewNew = std::max(40.0, height - texts);
    const qreal width = imageViewNew + 40;
    previewView->resize(int(width), int(height));

    const QPointF itemPoint(cellFrameW.x(), cellFrameW.y() + cellFrameW.height() / 2.0);
    const QPointF offset = window ? QPointF(window->mapToGlobal(QPoint(0, 0))) : QPointF();
    QPointF point = itemPoint + offset;
    if (origPoint)
        *origPoint = itemPoint;
    // Kept on screen vertically; the arrow still points at the item.
    if (point.y() - height / 2 < S.top())
        point.ry() += S.top() - (point.y() - height / 2);
    else if (point.y() + height / 2 > S.bottom())
        point.ry() -= point.y() + height / 2 - S.bottom();
    int side = 0;
    if (point.x() - width - 50 < S.left()) {
        if (S.right() - point.x() <= point.x() - S.left()) {
            point.rx() += S.left() - (point.x() - width - 50);
        } else {
            side = 2;
            point.rx() = cellFrameW.x() + cellFrameW.width() + offset.x();
            if (point.x() + width + 50 > S.right())
                point.rx() -= point.x() + width + 50 - S.right();
        }
    }
    if (windowPoint)
        *windowPoint = point - offset;
    return side;
}

QWidget* SGCorbeilController::previewWindow() const
{
    return d->previewWindow;
}

// Tags joined by commas, bold; the localized "none" in italics when there are none.
void SGCorbeilController::Private::setTagsField(QLabel* field, const QString& tagString) const
{
    const bool tags = !tagString.isEmpty();
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSizeF(12);
    font.setBold(tags);
    font.setItalic(!tags);
    field->setFont(font);
    field->setText(tags ? tagString.split(u'|').join(QStringLiteral(", "))
                        : localized(QStringLiteral("none")));
}

void SGCorbeilController::Private::showPreview(QWidget* view, QLabel* imageView,
                                               const QSize& baseSize, const QImage& picture,
                                               const QRect& cellFrameW, const QColor& fill)
{
    // A picture lower than 400 points is shown as if it were 400; none as 864.
    const qreal imageHeight = picture.isNull() ? 864 : std::max(400, picture.height());
    // The texts are in place, so the picture area is what they leave.
    view->resize(baseSize);
    view->layout()->activate();
    QPointF point, orig;
    const int side = q->resizePreviewView(view, imageView, cellFrameW, &point, &orig, imageHeight);
    view->layout()->activate();
    imageView->setPixmap(fitted(picture, imageView->size()));

    SGAttachedWindow* window =
        SGAttachedWindow::withView(view, point, orig, rootView->window(), side, 0);
    window->setBorderWidth(0);
    window->setBackgroundColor(fill);
    window->setDrawsRoundCornerBesideArrow(true);
    window->setArrowBaseWidth(50);
    window->setArrowHeight(30);
    window->show();
    previewWindow = window;
}

void SGCorbeilController::showPreviewForKitAtIndex(int index, const QRect& cellFrameW)
{
    closePreviewWindow();
    d->loadInterface();
    if (index < 0 || index >= d->kitsArray.size())
        return;
    const SGKitRecord kit = d->kitsArray[index];
    d->kitPreviewTitleField->setText(nameWithAuthor(kit.name, kit.author));
    d->kitPreviewDescriptionField->setText(
        kit.kitDescription.isEmpty() ? d->localized(QStringLiteral("none")) : kit.kitDescription);
    d->setTagsField(d->kitPreviewTagsField, kit.tagString);
    d->showPreview(d->kitPreviewView, d->kitPreviewImageView, d->kitPreviewBaseSize,
                   platform::uprightPicture(d->kitPreviewPath(kit)), cellFrameW, Qt::white);
}

void SGCorbeilController::showPreviewForGraphicAtIndex(int index, const QRect& cellFrameW)
{
    closePreviewWindow();
    d->loadInterface();
    if (index < 0 || index >= d->graphicsArray.size())
        return;
    const SGObjectRecord object = d->graphicsArray[index];
    d->previewedGraphic = index;
    d->graphicPreviewTitleField->setText(object.name);
    d->graphicPreviewKitField->setText(nameWithAuthor(object.kit.name, object.kit.author));
    d->setTagsField(d->graphicPreviewTagsField, object.tagString);
    d->showPreview(d->graphicPreviewView, d->graphicPreviewImageView, d->graphicPreviewBaseSize,
                   platform::uprightPicture(imageDataForObjectAtIndex(index)), cellFrameW,
                   QColor(212, 221, 230));
}

void SGCorbeilController::closePreviewWindow()
{
    if (!d->previewWindow)
        return;
    SGAttachedWindow* window = d->previewWindow;
    d->previewWindow = nullptr;
    // The preview views are kept for the next preview.
    for (QWidget* view : {d->kitPreviewView, d->graphicPreviewView}) {
        if (view && view->parentWidget() == window) {
            view->hide();
            view->setParent(nullptr);
        }
    }
    if (d->graphicPreviewImageView)
        d->graphicPreviewImageView->clear();
    window->hide();
    delete window;
}

void SGCorbeilController::kitLinkAction()
{
    const int index = d->previewedGraphic;
    if (index < 0 || index >= d->graphicsArray.size())
        return closePreviewWindow();
    const qint64 kitId = d->graphicsArray[index].kit.id;
    closePreviewWindow();
    d->clearBrowsingState();
    d->kitsArray = d->openStore().kits({QStringLiteral("id = ?"), {kitId}}, QStringLiteral("name"));
    switchToMode(1, d->mode, false);
}

// ===== Kit information =====

void SGCorbeilController::loadKitInfoAtIndex(int row)
{
    if (row < 0 || row >= d->infoKits.size())
        return;
    const SGKitRecord kit = d->infoKits[row];
    iCorbeilFile file;
    if (!file.readFromURL(QUrl::fromLocalFile(d->kitFolder(kit.filename))))
        return;
    const std::shared_ptr<iCorbeilInfo> info = file.info();
    const auto setText = [this](const QString& field, const QString& text) {
        QWidget* widget = d->infoFields.value(field);
        if (auto* label = qobject_cast<QLabel*>(widget))
            label->setText(text);
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            button->setText(text);
        else if (auto* view = qobject_cast<QTextEdit*>(widget))
            view->setPlainText(text);
    };
    setText(QStringLiteral("infoTagsField"),
            info->tags().value_or(QStringList()).join(QStringLiteral(", ")));
    setText(QStringLiteral("infoDescriptionField"), info->description());
    const QString type = englishNameForKitType(info->kitType());
    const QString size = info->kitSize() == VQ12x12KitSize    ? QStringLiteral("12x12 inches")
                         : info->kitSize() == VQLetterKitSize ? QStringLiteral("8.5x11 inches")
                         : info->kitSize() == VQ4x6KitSize    ? QStringLiteral("4x6 inches (brag)")
                                                              : QString();
    setText(QStringLiteral("infoKitTypeField"), !type.isEmpty() && !size.isEmpty()
                                                    ? QStringLiteral("%1, %2").arg(type, size)
                                                : type.isEmpty() ? size
                                                                 : type);
    if (auto* artist =
            qobject_cast<QLabel*>(d->infoFields.value(QStringLiteral("infoArtistImageView"))))
        artist->setPixmap(fitted(QImage(d->kitFolder(kit.filename) + QStringLiteral("/Artist.jpg")),
                                 artist->size()));
    for (const auto& [who, contact] :
         {std::pair{QStringLiteral("Designer"), info->designerContact()},
          std::pair{QStringLiteral("Owner"), info->ownerContact()}}) {
        const QString prefix = QStringLiteral("info") + who;
        setText(prefix + QStringLiteral("NameField"), contact.name);
        setText(prefix + QStringLiteral("ContactNameField"), contact.contactName);
        setText(prefix + QStringLiteral("URLField"), contact.URL);
        setText(prefix + QStringLiteral("EmailField"), contact.emailAddress);
        setText(prefix + QStringLiteral("PhoneField"), contact.phoneNumber);
        setText(prefix + QStringLiteral("DescriptionField"), contact.description);
        setText(prefix + QStringLiteral("AddressView"), contact.address);
    }
    // Every commercial licence reads "Commercial".
    const QString license = info->licenseType();
    const bool commercial = license == VQCommercialLicense
                            || license == VQCommercialExclusiveLicense
                            || license == VQCommercialNonExclusiveLicense;
    setText(
        QStringLiteral("infoLicenseField"),
        d->localized(commercial ? QStringLiteral("Commercial") : QStringLiteral("Public Domain")));
    const QVariant price = info->suggestedRetailPrice();
    setText(QStringLiteral("infoPriceField"), !price.isValid() ? QString()
                                              : platform::isIntegerType(price.typeId())
                                                  ? platform::formatLong(price.toLongLong())
                                                  : platform::format2f(price.toDouble()));
    setText(QStringLiteral("infoCurrencyField"), info->currency());
    setText(QStringLiteral("infoCopyrightField"), info->copyright());
    setText(QStringLiteral("infoLicenseAgreementView"), info->licenseAgreement());
    d->infoReleases = info->releases().value_or(QVariantList());
    d->reloadTable(d->infoReleaseTable);
}

void SGCorbeilController::openURL(int tag)
{
    QWidget* field = d->infoFields.value(tag == 1 ? QStringLiteral("infoDesignerURLField")
                                                  : QStringLiteral("infoOwnerURLField"));
    auto* button = qobject_cast<QPushButton*>(field);
    if (button && !button->text().isEmpty())
        platform::openUrl(QUrl::fromUserInput(button->text()), button->window());
}

// ===== Thumbnails and image data =====

std::shared_ptr<platform::Image> SGCorbeilController::thumbnailAtIndex(int index) const
{
    if (index < 0 || index >= d->graphicsArray.size())
        return nullptr;
    return platform::Image::fromFile(d->thumbnailPath(d->graphicsArray[index], false));
}

QByteArray SGCorbeilController::imageDataForObjectAtIndex(int index) const
{
    if (index < 0 || index >= d->graphicsArray.size())
        return QByteArray();
    return Private::readFile(imagePathForObject(d->graphicsArray[index]));
}

// ===== Tables =====

QVariant SGCorbeilController::tableViewObjectValue(const QString& table, const QString& column,
                                                   int row) const
{
    if (row < 0)
        return QVariant();
    if (table == QLatin1String("homeTable")) {
        static const char* labels[] = {"Kits",   "Artists", "Kit Types",  "Image Types",
                                       "Colors", "",        "Last Import"};
        return row < 7 && row != 5 ? d->localized(QString::fromLatin1(labels[row])) : QString();
    }
    if (table == QLatin1String("intermediateTable") || table == QLatin1String("colorsTable"))
        return row < d->namesArray.size() ? d->namesArray[row] : QString();
    if (table == QLatin1String("deleteTable")) {
        if (row >= d->deleteKits.size())
            return QVariant();
        if (column == QLatin1String("checkbox"))
            return row < d->deleteFlags.size() && d->deleteFlags[row];
        return nameWithAuthor(d->deleteKits[row].name, d->deleteKits[row].author);
    }
    if (table == QLatin1String("infoKitTable"))
        return row < d->infoKits.size()
                   ? nameWithAuthor(d->infoKits[row].name, d->infoKits[row].author)
                   : QString();
    if (table == QLatin1String("infoReleaseTable")) {
        // Newest first.
        const qsizetype index = d->infoReleases.size() - 1 - row;
        if (index < 0)
            return QVariant();
        const QVariantMap release = d->infoReleases[index].toMap();
        if (column == QLatin1String("date"))
            return QLocale().toString(release.value(VQReleaseDate).toDateTime().date(),
                                      QLocale::ShortFormat);
        if (column == QLatin1String("version"))
            return release.value(VQReleaseVersion);
        return release.value(VQReleaseSummary);
    }
    return QVariant();
}

void SGCorbeilController::tableViewSetObjectValue(const QString& table, const QVariant& value,
                                                  const QString& column, int row)
{
    Q_UNUSED(value);
    Q_UNUSED(column);
    if (table != QLatin1String("deleteTable") || row < 0 || row >= d->deleteFlags.size())
        return;
    d->deleteFlags[row] = !d->deleteFlags[row];
    if (d->deleteButton)
        d->deleteButton->setEnabled(d->deleteFlags.contains(true));
}

void SGCorbeilController::tableViewSelectionDidChange(const QString& table, int selectedRow)
{
    if (table == QLatin1String("infoKitTable")) {
        loadKitInfoAtIndex(selectedRow);
        return;
    }
    if (selectedRow < 0 || table == QLatin1String("deleteTable")
        || table == QLatin1String("infoReleaseTable"))
        return;
    QTableView* view = d->tableNamed(table);
    const auto clearSelection = [view] {
        if (view) {
            const QSignalBlocker quiet(view->selectionModel());
            view->clearSelection();
        }
    };
    if (table == QLatin1String("homeTable")) {
        static const int modes[] = {1, 4, 8, 12, 15, -1, 1};
        if (selectedRow >= 7 || modes[selectedRow] < 0)
            return clearSelection();
        d->showLastImport = selectedRow == 6;
        clearSelection();
        switchToMode(modes[selectedRow], d->mode, true);
        return;
    }
    if (selectedRow >= d->namesArray.size())
        return clearSelection();
    const QString name = d->namesArray[selectedRow];
    const int m = d->mode;
    if (m == 2 || m == 6 || m == 10 || m == 12 || m == 17)
        d->selectedType = name;
    else if (m == 8)
        d->selectedKitType = name;
    else if (m == ColorMode)
        d->selectedColor = name;
    else
        return clearSelection();
    clearSelection();
    switchToMode(m + 1, m, true);
}
