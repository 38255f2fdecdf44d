// Developer tool: the preview of a label sheet with its control bar (two sheets at 75 %),
// the options pull-down open over it, then the live-address menu open on a delivery
// address, saved as PNGs of the screen (run under Xvfb with a screen tall enough for both
// sheets):
//   xvfb-run -a -s "-screen 0 1400x1400x24" build/test/tools/controlbarshot
//       bar.png options.png menu.png

#include "ShotSupport.h"
#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBCreateController.h"
#include "merge/LBMergeServices.h"
#include "merge/MergeClasses.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <cstdio>

namespace {

// Twelve people: two sheets of ten labels.
class ShotMergeServices : public LBMergeServices
{
public:
    using LBMergeServices::LBMergeServices;
    qint64 numSelectedPeople() override { return 12; }
    QString contactUIDForIndex(qint64 index, const QString&) override
    {
        return QStringLiteral("person-%1").arg(index);
    }
};

std::shared_ptr<LBTextArea> addressBox()
{
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(24, 40, 200, 70));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(13);
    box->setContents(platform::AttributedString(
        QStringLiteral("Ann Smith\n12 Elm Street\nSpringfield, IL 62704"),
        {{platform::FontAttributeName, font}}));
    box->setTextBoxType(LBTextArea::DeliveryAddressBox);
    return box;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: controlbarshot <bar.png> <options.png> <menu.png>\n");
        return 2;
    }
    shots::TemporaryHome home;
    QApplication application(argc, argv);
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    registerMergeClasses();
    MergeServices::setFactory(
        [](LBWindowController& window) { return std::make_unique<ShotMergeServices>(window); });
    PreviewModeController::setFactory([] { return std::make_unique<LBCreateController>(); });

    LBDocument document;
    document.setOpenedExistingFile(true); // no layout chooser
    QVariantMap layout = DimensionInfo::defaults(QSizeF(612, 792));
    layout.insert(DimensionInfo::labelType, 1);
    document.dimensionInfo() = layout;
    const std::shared_ptr<LBTextArea> box = addressBox();
    document.undoManager()->disableUndoRegistration();
    document.insertGraphic(box, 0, 1);
    document.undoManager()->enableUndoRegistration();

    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    QMainWindow* window = controller->mainWindow();
    window->resize(1000, 1340);
    window->move(0, 0);
    window->show();
    shots::pump(500);
    controller->setupForDocument();
    shots::pump(200);
    auto* preview = dynamic_cast<LBCreateController*>(controller->createController());
    if (!preview) {
        std::fprintf(stderr, "controlbarshot: the window shows no preview\n");
        return 1;
    }
    controller->scanGraphicsForContactFields();
    preview->addQuarnLabelControls(controller->previewView());
    controller->setZoomSliderValue(5.366); // 75 %
    shots::pump(1000);                     // the sheets draw again once the resize settles
    std::fprintf(stderr, "controlbarshot: zoom %.3f, %lld sheets\n", controller->zoomFactor(),
                 static_cast<long long>(preview->numberOfPages()));
    if (!shots::grabWindow(window, QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "controlbarshot: cannot write %s\n", argv[1]);
        return 1;
    }

    // The options pull-down, opened upwards from its button.
    QToolButton* optionsButton = preview->optionsPopup();
    QMenu* options = optionsButton->menu();
    options->popup(optionsButton->mapToGlobal(QPoint(0, -options->sizeHint().height())));
    shots::pump(300);
    if (!shots::grabArea(window->frameGeometry(), QString::fromLocal8Bit(argv[2]))) {
        std::fprintf(stderr, "controlbarshot: cannot write %s\n", argv[2]);
        return 1;
    }
    options->hide();
    shots::pump(500);

    // A click on the delivery address of label 2 while text is locked.
    const QRectF sheet = preview->sheetRect(0);
    const double zoom = controller->zoomFactor();
    const QPointF cell(DimensionInfo::real(layout, DimensionInfo::leftMargin)
                           + DimensionInfo::real(layout, DimensionInfo::labelWidth)
                           + DimensionInfo::real(layout, DimensionInfo::hLabelSpace),
                       DimensionInfo::real(layout, DimensionInfo::topMargin));
    preview->clickAtPoint(sheet.topLeft() + (cell + QPointF(60, 60)) * zoom);
    shots::pump(400);
    QPushButton* button = preview->addressMenuButton();
    QMenu* menu = button ? button->findChild<QMenu*>() : nullptr;
    if (!menu || !menu->isVisible()) {
        std::fprintf(stderr, "controlbarshot: no address menu\n");
        return 1;
    }
    const QRect area = window->frameGeometry().united(menu->geometry());
    if (!shots::grabArea(area, QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "controlbarshot: cannot write %s\n", argv[3]);
        return 1;
    }
    menu->hide();
    shots::pump(100);
    document.close();
    return 0;
}
