// Developer tool: the layout chooser of a new document at each of its steps, saved as PNGs
// of the sheet: the project types, the label catalogue's sheets, the envelope stocks, the
// disc catalogue's sheets, the template step and the custom size; and a chooser changing a
// layout, opened at the sheet of its description; and a new document's window with its
// chooser, as the screen shows them.
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/test/tools/choosershot <folder>

#include "ShotSupport.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBLayoutSheetController.h"
#include "layouts/LBPaperSizeController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"
#include "window/LBWindowController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

namespace {

bool shoot(LBLayoutSheetController& chooser, const QString& path)
{
    shots::settle(300);
    return chooser.sheet()->grab().save(path);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: choosershot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home;
    QApplication application(argc, argv);
    LBProcessState::setApplicationSupportPath(home.path());
    platform::UserDefaults::standardUserDefaults().registerDefaults(
        {{QStringLiteral("Layout Sheet Size 2"), QStringLiteral("{800, 500}")},
         {QStringLiteral("Layout Sheet Document List Width"), 200.0}});
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // A few design folders for the 5160 sheet's labels, and one of a similar size.
    const QString designs = home.path() + QStringLiteral("/Designs/");
    for (const char* path : {"Basic/Address Labels/2.625x1 in/Return Address/Classic.quarnl",
                             "Basic/Address Labels/2.625x1 in/Return Address/Modern.quarnl",
                             "Basic/Address Labels/2.625x1 in/Holiday/Snow.quarnl",
                             "Basic/Address Labels/2.625x1 in/Holiday/Greetings/Star.quarnl",
                             "Basic/Address Labels/4x2 in/Shipping/Parcel.quarnl"})
        QDir().mkpath(designs + QString::fromLatin1(path));
    LBProcessState::setDesignsFolderPath(designs);
    LBLayoutSheetController::setSmartTemplatesPath(home.path() + QStringLiteral("/none"));

    LBLayoutSheetController chooser(true, LBLayoutSheetController::AddressLabelsProject);
    chooser.beginSheetForController(nullptr);
    bool ok = shoot(chooser, folder + "/0-project-type.png");
    chooser.projectTypeAction(LBLayoutSheetController::AddressLabelsProject);
    chooser.continueAction();
    chooser.searchPaperCode(QStringLiteral("5160"));
    ok = shoot(chooser, folder + "/1-label-sheets.png") && ok;
    chooser.continueAction();
    ok = shoot(chooser, folder + "/2-templates.png") && ok;
    chooser.selectOutlineRow(3);
    ok = shoot(chooser, folder + "/2-templates-folder.png") && ok;
    chooser.customSizeAction();
    ok = shoot(chooser, folder + "/3-custom-size.png") && ok;
    if (LBPaperSizeController* pane = chooser.paperSizeController()) {
        pane->cardTypePopupAction(1);
        ok = shoot(chooser, folder + "/3-custom-size-rounded.png") && ok;
        pane->cardTypePopupAction(2);
        ok = shoot(chooser, folder + "/3-custom-size-envelope.png") && ok;
        pane->cardTypePopupAction(0);
        pane->landscapeButton()->click();
        pane->field(LBPaperSizeController::RowsField)->setText(QStringLiteral("9"));
        pane->controlTextDidChange(LBPaperSizeController::RowsField);
        ok = shoot(chooser, folder + "/3-custom-size-overflow.png") && ok;
    }
    chooser.goBackAction();
    chooser.goBackAction();
    chooser.goBackAction();
    chooser.projectTypeAction(LBLayoutSheetController::EnvelopesProject);
    chooser.continueAction();
    chooser.selectRow(2);
    ok = shoot(chooser, folder + "/1-envelopes.png") && ok;
    chooser.orientationButtonAction(false);
    ok = shoot(chooser, folder + "/1-envelopes-turned.png") && ok;
    chooser.goBackAction();
    chooser.projectTypeAction(LBLayoutSheetController::DiscLabelsProject);
    chooser.continueAction();
    ok = shoot(chooser, folder + "/1-disc-sheets.png") && ok;

    // Changing a layout: opened at the sheet the description names, Choose at once.
    LBLayoutSheetController change(false, LBLayoutSheetController::AddressLabelsProject);
    change.beginSheetForController(nullptr);
    change.setFromProjectDescription({{QStringLiteral("ProjectType"), 500},
                                      {QStringLiteral("ManufacturerName"), QStringLiteral("Avery")},
                                      {QStringLiteral("CardStockName"), QStringLiteral("5160")}});
    ok = shoot(change, folder + "/change-layout-sheet.png") && ok;

    // A new document's window: the chooser comes as a sheet a quarter second after it
    // loads; the screen shows both.
    chooser.sheet()->hide();
    change.sheet()->hide();
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    LBDocument document;
    auto* controller = new LBWindowController;
    document.addWindowController(controller);
    QMainWindow* window = controller->mainWindow();
    window->resize(1100, 700);
    window->show();
    shots::settle(300);
    shots::settle(300);
    ok = controller->layoutSheetController() && ok;
    ok =
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/on-a-new-window.png") && ok;
    document.close();
    return ok ? 0 : 1;
}
