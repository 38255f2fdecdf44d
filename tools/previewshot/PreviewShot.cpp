// Developer tool: a document window in preview mode, a sheet of address labels merged with
// fourteen contacts (two sheets) at 75 %, and the same window with the text unlocked and
// the per-label editor open on the second label, saved as PNGs of the window:
//   xvfb-run -a -s "-screen 0 1280x1400x24" build/test/tools/previewshot sheets.png editor.png

#include "ShotSupport.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBCreateController.h"
#include "merge/LBMergeServices.h"
#include "merge/MergeClasses.h"
#include "platform/core/ContactStore.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/PropertyList.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/VCardReader.h"
#include "platform/ui/PrintInfo.h"
#include "window/LBWindowController.h"
#include "window/MergeServices.h"
#include "window/PreviewModeController.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>

#include <cmath>
#include <cstdio>

namespace {

QVariantList fieldList(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const std::optional<QVariant> list = platform::PropertyList::read(file.readAll(), nullptr);
    return list ? list->toList() : QVariantList();
}

bool save(QWidget* window, const char* path)
{
    if (!shots::grabWindow(window, QString::fromLocal8Bit(path))) {
        std::fprintf(stderr, "previewshot: cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: previewshot <sheets.png> <editor.png>\n");
        return 2;
    }
    shots::TemporaryHome home;
    QApplication application(argc, argv);
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    registerMergeClasses();
    using List = LBProcessState::FieldsList;
    LBProcessState::fieldsList(List::Standard) = fieldList(QStringLiteral(":/Fields.plist"));
    LBProcessState::fieldsList(List::My) = fieldList(QStringLiteral(":/MyFields.plist"));
    LBProcessState::fieldsList(List::Misc) = fieldList(QStringLiteral(":/MiscFields.plist"));

    const char* names[][4] = {
        {"Ada", "Archer", "12 Elm Street", "Springfield, IL 62701"},
        {"Bea", "Brown", "7 Oak Lane", "Portland, OR 97201"},
        {"Cyd", "Cole", "300 Pine Road", "Austin, TX 73301"},
        {"Dex", "Dunn", "9 Birch Court", "Denver, CO 80201"},
        {"Eve", "Ellis", "41 Cedar Way", "Boise, ID 83702"},
        {"Fay", "Ford", "5 Maple Drive", "Salem, OR 97301"},
        {"Gus", "Gray", "18 Aspen Row", "Reno, NV 89501"},
        {"Hal", "Hart", "2 Willow Bend", "Tulsa, OK 74103"},
        {"Ivy", "Irwin", "77 Spruce Hill", "Omaha, NE 68102"},
        {"Jo", "Jones", "60 Poplar Place", "Dover, DE 19901"},
        {"Kit", "Kemp", "3 Laurel Street", "Helena, MT 59601"},
        {"Lou", "Lane", "24 Hazel Road", "Topeka, KS 66603"},
        {"Max", "Moss", "8 Juniper Lane", "Albany, NY 12207"},
        {"Ned", "Nash", "15 Sycamore Ave", "Boston, MA 02108"},
    };
    QByteArray cards;
    for (const auto& n : names) {
        const QStringList city = QString::fromLatin1(n[3]).split(QStringLiteral(", "));
        const QStringList stateZip = city.value(1).split(QLatin1Char(' '));
        cards +=
            QStringLiteral("BEGIN:VCARD\nVERSION:3.0\nN:%1;%2;;;\nADR;TYPE=HOME:;;%3;%4;%5;%6;USA\n"
                           "END:VCARD\n")
                .arg(QLatin1String(n[1]), QLatin1String(n[0]), QLatin1String(n[2]), city.value(0),
                     stateZip.value(0), stateZip.value(1))
                .toUtf8();
    }
    platform::ContactStore store;
    const auto people = platform::VCardReader::read(cards, QStringLiteral("shot.vcf"), nullptr);
    for (const auto& person : people)
        store.addPerson(person);
    LBMergeServices* services = nullptr;
    MergeServices::setFactory([&](LBWindowController& window) {
        auto made = std::make_unique<LBMergeServices>(window);
        made->setContactStore(&store);
        services = made.get();
        return made;
    });
    PreviewModeController::setFactory([] { return std::make_unique<LBCreateController>(); });

    LBDocument document;
    document.setOpenedExistingFile(true);
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    controller->mergeServices();
    const auto block = services->textObjForPreformattedFieldStr(QStringLiteral("Name"));
    document.undoManager()->disableUndoRegistration();
    document.insertGraphic(block, 0, 1);
    document.undoManager()->enableUndoRegistration();

    QMainWindow* window = controller->mainWindow();
    window->resize(1100, 1360);
    window->move(0, 0);
    window->show();
    shots::pump(300);
    auto* preview = dynamic_cast<LBCreateController*>(controller->createController());
    if (!preview) {
        std::fprintf(stderr, "previewshot: the window has no preview\n");
        return 1;
    }
    controller->scanGraphicsForContactFields();
    controller->showOrHideColumnsAsNecessary(LBWindowController::PreviewMode);
    services->setSelectedPeople({people.begin(), people.end()});
    controller->setupForDocument();
    // 75 %: 252 / (d^2 + d^3) = 0.75 with d = 12 - slider.
    double d = 6.6;
    for (int i = 0; i < 30; ++i)
        d -= (d * d + d * d * d - 336.0) / (2 * d + 3 * d * d);
    controller->setZoomSliderValue(12.0 - d);
    shots::pump(1000);
    if (!save(window, argv[1]))
        return 1;

    // The text unlocked, a click on the second label opens its editor.
    controller->lockTextAction(nullptr);
    const double z = controller->zoomFactor();
    const QVariantMap& info = document.dimensionInfo();
    const QPointF cell(info.value(QStringLiteral("leftMargin")).toDouble()
                           + info.value(QStringLiteral("labelWidth")).toDouble()
                           + info.value(QStringLiteral("hLabelSpace")).toDouble(),
                       info.value(QStringLiteral("topMargin")).toDouble());
    const QPointF at =
        preview->sheetRect(0).topLeft() + (cell + block->bounds().topLeft() + QPointF(8, 8)) * z;
    preview->clickAtPoint(at);
    shots::pump(600);
    if (!save(window, argv[2]))
        return 1;
    window->close();
    document.close();
    return 0;
}
