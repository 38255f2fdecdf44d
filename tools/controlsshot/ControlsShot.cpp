// Developer tool: a gallery of the program's controls (the window's bar and pop-ups, the
// image buttons, tab buttons, drawer bar, colour views, split view, dials, image well,
// link field and table cells), saved as a PNG of the window.
//   xvfb-run -a -s "-screen 0 1024x768x24" build/test/tools/controlsshot shot.png

#include "ShotSupport.h"
#include "controls/DSClickableURLTextField.h"
#include "controls/LBCircularSlider.h"
#include "controls/LBColorView.h"
#include "controls/LBCompImageButton.h"
#include "controls/LBDragImageView.h"
#include "controls/LBDrawerBarView.h"
#include "controls/LBFieldCell.h"
#include "controls/LBGradientButton.h"
#include "controls/LBImageButton.h"
#include "controls/LBPopUpImageButton.h"
#include "controls/LBSliderView.h"
#include "controls/LBSplitView.h"
#include "controls/LBTableCells.h"
#include "platform/drawing/Image.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXImagePopUpButton.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/Slider.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>

#include <cstdio>

using platform::Image;

namespace {

QLabel* caption(const QString& text, QWidget* parent, int x, int y)
{
    auto* label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: #333; font-size: 10px;"));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QImage sampleBitmap(int width, int height, QColor from, QColor to)
{
    QImage bitmap(width, height, QImage::Format_ARGB32);
    QPainter painter(&bitmap);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter.fillRect(bitmap.rect(), gradient);
    painter.setPen(QPen(Qt::white, 3));
    painter.drawEllipse(QRectF(width * 0.2, height * 0.2, width * 0.6, height * 0.6));
    return bitmap;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: controlsshot <file.png>\n");
        return 2;
    }
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls"));
    window.resize(900, 640);
    window.setStyleSheet(QStringLiteral("QWidget#gallery { background: #f2f2f2; }"));
    window.setObjectName(QStringLiteral("gallery"));

    // --- The window's button bar: zoom pop-up, zoom slider, resolution pop-up, icon pull-down.
    caption(
        QStringLiteral("KXControlBar with KXPopUpImageButton, LBSliderView, LBPopUpImageButton, "
                       "KXImagePopUpButton"),
        &window, 10, 6);
    auto* bar = new platform::KXControlBar(&window);
    bar->setGeometry(10, 22, 600, 26);
    bar->setBarImage(Image::imageNamed(QStringLiteral("GalleryBar")));
    auto* zoom = new platform::KXPopUpImageButton(bar, false);
    zoom->setGeometry(8, 3, 70, 20);
    zoom->setPopupImage(Image::imageNamed(QStringLiteral("GalleryPopup")));
    zoom->setAlternatePopupImage(Image::imageNamed(QStringLiteral("GalleryPopup")));
    zoom->setTitleRectOffsets(QRectF(8, 2, 14, 2));
    zoom->addItemsWithTitles({"50%", "100%", "200%"});
    zoom->selectItemAtIndex(1);
    auto* sliderView = new LBSliderView(bar);
    sliderView->setGeometry(90, 2, 140, 22);
    sliderView->slider()->setDoubleValue(6.0);
    auto* dpi = new LBPopUpImageButton(bar, false);
    dpi->setGeometry(245, 3, 70, 20);
    dpi->setPopupImage(Image::imageNamed(QStringLiteral("GalleryPopup")));
    dpi->setAlternatePopupImage(Image::imageNamed(QStringLiteral("GalleryPopup")));
    dpi->setTitleRectOffsets(QRectF(8, 3, 14, 0));
    dpi->addItemsWithTitles({"Custom resolution"});
    auto* pullDown = new platform::KXImagePopUpButton(bar);
    pullDown->setGeometry(330, 1, 32, 24);
    pullDown->setIconImage(Image::imageNamed(QStringLiteral("Picture")));
    pullDown->addItemsWithTitles({"(dummy)", "Show Grid"});

    // --- Image buttons.
    caption(QStringLiteral("LBCompImageButton (normal, pressed, tag 1003, disabled)"), &window, 10,
            56);
    const QString compNames = QStringLiteral(
        "GalleryLeft|GalleryMiddle|GalleryRight|GalleryLeftP|GalleryMiddleP|GalleryRightP");
    for (int i = 0; i < 4; ++i) {
        auto* button = new LBCompImageButton(&window);
        button->setGeometry(10 + i * 100, 72, 90, 24);
        button->setComponentImageString(compNames);
        button->setTitle(i == 2 ? QStringLiteral("Tag 3") : QStringLiteral("Design"));
        if (i == 1)
            button->setDown(true);
        if (i == 2)
            button->setTag(1003);
        if (i == 3)
            button->setEnabled(false);
    }
    caption(QStringLiteral("LBImageButton (one picture: pressed copy darkened; title colours)"),
            &window, 430, 56);
    for (int i = 0; i < 2; ++i) {
        auto* button = new LBImageButton(&window);
        button->setGeometry(430 + i * 80, 72, 64, 48);
        button->setComponentImageString(QStringLiteral("GalleryProject"));
        button->setTitle(QStringLiteral("Labels"));
        button->setTitleColor(QColor(30, 60, 120));
        button->setAlternateTitleColor(Qt::white);
        button->setDown(i == 1);
    }

    // --- Drawer tabs, bar and colour views.
    caption(QStringLiteral("LBGradientButton tabs, LBDrawerBarView, LBColorView (colour, tiled)"),
            &window, 10, 126);
    const QStringList tabs{QStringLiteral("Shapes"), QStringLiteral("Photos"),
                           QStringLiteral("Kits")};
    for (int i = 0; i < 3; ++i) {
        auto* tab = new LBGradientButton(&window);
        tab->setGeometry(10 + i * 80, 142, 80, 26);
        tab->setTitle(tabs[i]);
        tab->setTitleColor(Qt::white);
        tab->cell()->setDrawRightDivider(i < 2);
        tab->cell()->setSelected(i == 0);
    }
    auto* drawerBar = new LBDrawerBarView(&window);
    drawerBar->setGeometry(10, 170, 240, 22);
    drawerBar->setLabelString(QStringLiteral("Shapes"));
    auto* plain = new LBColorView(&window);
    plain->setGeometry(270, 142, 50, 50);
    auto* tiled = new LBColorView(&window);
    tiled->setGeometry(330, 142, 80, 50);
    tiled->setImage(Image::fromBitmap(
        sampleBitmap(16, 16, QColor(250, 220, 120), QColor(230, 120, 60)), QSizeF(16, 16)));

    // --- Split view with its own divider and the size button.
    caption(QStringLiteral("LBSplitView (own divider, dimples) and LBSplitViewSizeButton"), &window,
            430, 126);
    auto* split = new LBSplitView(true, &window);
    split->setGeometry(430, 142, 300, 90);
    const QColor paneColours[] = {QColor(220, 232, 245), QColor(235, 245, 225),
                                  QColor(248, 232, 232)};
    for (const QColor& colour : paneColours) {
        auto* pane = new LBColorView;
        pane->setColor(colour);
        split->addWidget(pane);
    }
    split->setSizes({90, 110, 98});
    split->setUseArtificialDivider(true, true);
    auto* sizeButton = new LBSplitViewSizeButton(&window);
    sizeButton->setGeometry(736, 212, 20, 20);
    sizeButton->setSplitter(split);
    sizeButton->setTag(1);

    // --- Dials, well, link.
    caption(QStringLiteral("LBCircularSlider (blue with ticks, HUD, disabled), LBDragImageView, "
                           "DSClickableURLTextField"),
            &window, 10, 240);
    auto* dial = new LBCircularSlider(&window);
    dial->setGeometry(10, 256, 64, 64);
    dial->setNumberOfSnapMarks(24);
    dial->setDrawTicksBehavior(LBCircularSlider::TicksAlways);
    dial->setAngle(45, 1);
    auto* hudBack = new LBColorView(&window);
    hudBack->setGeometry(84, 256, 64, 64);
    hudBack->setColor(QColor(40, 40, 42));
    auto* hudDial = new LBCircularSlider(hudBack);
    hudDial->setGeometry(0, 0, 64, 64);
    hudDial->setHUDAppearance(true);
    hudDial->setAngle(200, 1);
    auto* disabledDial = new LBCircularSlider(&window);
    disabledDial->setGeometry(158, 256, 64, 64);
    disabledDial->setAngle(300, 1);
    disabledDial->setEnabled(false);
    auto* well = new LBDragImageView(&window);
    well->setGeometry(240, 256, 64, 64);
    well->setImage(Image::fromBitmap(
        sampleBitmap(80, 60, QColor(90, 150, 230), QColor(40, 70, 150)), QSizeF(80, 60)));
    well->setContainsImage(true);
    auto* link = new DSClickableURLTextField(&window);
    link->setGeometry(320, 280, 320, 20);
    platform::AttributedString text(QStringLiteral("A newer version is on the "));
    text.appendAttributedString(platform::AttributedString(
        QStringLiteral("download page"),
        {{platform::LinkAttributeName, QUrl(QStringLiteral("https://example.com/download"))},
         {platform::ForegroundColorAttributeName, QColor(20, 80, 200)},
         {platform::UnderlineStyleAttributeName, 1}}));
    link->setAttributedStringValue(text);

    // --- Cells.
    caption(
        QStringLiteral("LBImageTextCell, LBCenteredTextCell | LBFieldCell rows | LBThumbnailCell "
                       "(header, rows) | LBTemplateCell"),
        &window, 10, 332);
    auto* table = new QTableView(&window);
    table->setGeometry(10, 348, 220, 150);
    auto* tableModel = new QStandardItemModel(3, 2, table);
    const QStringList layers{"Background", "Photos", "Text"};
    for (int row = 0; row < 3; ++row) {
        tableModel->setData(tableModel->index(row, 0), layers[row]);
        tableModel->setData(tableModel->index(row, 1), QStringLiteral("Layer %1").arg(row + 1));
    }
    table->setModel(tableModel);
    auto* imageText = new LBImageTextCell(table);
    imageText->setImage(Image::imageNamed(QStringLiteral("PictureLogo"))
                            ? Image::imageNamed(QStringLiteral("PictureLogo"))
                                  ->imageScaledToSize(QSizeF(16, 16), true)
                            : nullptr);
    table->setItemDelegateForColumn(0, imageText);
    table->setItemDelegateForColumn(1, new LBCenteredTextCell(table));
    table->verticalHeader()->setDefaultSectionSize(34);
    table->verticalHeader()->hide();
    table->setColumnWidth(0, 120);

    auto* fields = new QTreeView(&window);
    fields->setGeometry(240, 348, 200, 120);
    fields->setHeaderHidden(true);
    auto* fieldModel = new QStandardItemModel(fields);
    for (const char* name : {"First Name", "Last Name", "Company", "Street"}) {
        auto* item = new QStandardItem(QString::fromLatin1(name));
        item->setSizeHint(QSize(160, 16)); // the height the row pictures are made for
        fieldModel->appendRow(item);
    }
    fields->setModel(fieldModel);
    auto* fieldCell = new LBFieldCell(fields);
    fieldCell->setImageLeft(Image::imageNamed(QStringLiteral("GalleryFieldLeft")),
                            Image::imageNamed(QStringLiteral("GalleryFieldMiddle")),
                            Image::imageNamed(QStringLiteral("GalleryFieldRight")));
    fieldCell->setShowImages(true);
    fields->setItemDelegate(fieldCell);
    fields->setIndentation(14);

    auto* thumbnails = new QListView(&window);
    thumbnails->setGeometry(450, 348, 200, 280);
    auto* thumbModel = new QStandardItemModel(thumbnails);
    thumbModel->appendRow(new QStandardItem(QStringLiteral("Winter Kit")));
    thumbModel->appendRow(new QStandardItem(QStringLiteral("Snowflake")));
    thumbModel->appendRow(new QStandardItem(QStringLiteral("Sled")));
    thumbnails->setModel(thumbModel);
    auto* thumbCell = new LBThumbnailCell(thumbnails);
    thumbCell->setHeaderTest([](const QModelIndex& index) { return index.row() == 0; });
    const auto wide = Image::fromBitmap(
        sampleBitmap(200, 100, QColor(140, 200, 240), QColor(30, 90, 160)), QSizeF(200, 100));
    const auto tall = Image::fromBitmap(
        sampleBitmap(60, 90, QColor(240, 200, 140), QColor(160, 80, 30)), QSizeF(60, 90));
    thumbCell->setImageProvider(
        [wide, tall](const QModelIndex& index) { return index.row() == 1 ? wide : tall; });
    thumbnails->setItemDelegate(thumbCell);
    thumbnails->setSpacing(0);
    thumbnails->setUniformItemSizes(false);
    thumbModel->item(0)->setSizeHint(QSize(180, 30));
    thumbModel->item(1)->setSizeHint(QSize(180, 120));
    thumbModel->item(2)->setSizeHint(QSize(180, 120));

    auto* templates = new QListView(&window);
    templates->setGeometry(660, 348, 230, 150);
    templates->setViewMode(QListView::IconMode);
    templates->setGridSize(QSize(110, 140));
    auto* templateModel = new QStandardItemModel(templates);
    for (const char* name : {"Invitation", "Greeting"}) {
        auto* item = new QStandardItem(QString::fromLatin1(name));
        item->setData(sampleBitmap(70, 90, QColor(250, 240, 200), QColor(200, 120, 150)),
                      Qt::DecorationRole);
        item->setSizeHint(QSize(110, 140));
        templateModel->appendRow(item);
    }
    templates->setModel(templateModel);
    templates->setItemDelegate(new LBTemplateCell(templates));
    templates->selectionModel()->select(templateModel->index(0, 0), QItemSelectionModel::Select);

    window.show();
    shots::settle(500);
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    return saved ? 0 : 1;
}
