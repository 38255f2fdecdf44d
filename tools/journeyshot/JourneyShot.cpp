// Developer tool: the address labels journey (tests/app/AddressLabelsJourney.h) run in real
// windows, the program's window saved as a numbered PNG after each step: the chooser, the
// design as it grows, the records, the preview, the export panel, the saved window and the
// window opened again.
//   xvfb-run -a -s "-screen 0 1600x1200x24" build/test/tools/journeyshot <folder>

#include "AddressLabelsJourney.h"
#include "ShotSupport.h"

#include "app/LBAppController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/DocumentController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMainWindow>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: journeyshot <folder>\n");
        return 2;
    }
    const shots::TemporaryHome home(shots::TemporaryHome::ConfigAndData);
    QApplication application(argc, argv);
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    QTemporaryDir files;

    // The program's start-up, without the welcome window and the insert hint.
    LBAppController::registerDefaults();
    LBAppController::setLaunchDelay(0);
    LBAppController::initializeGlobalPaths();
    auto& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setBool(true, QStringLiteral("SkipWelcomeWindow"));
    defaults.setBool(true, QStringLiteral("DisableInsertMenuAlert"));
    LBAppController app;

    QImage logo(24, 24, QImage::Format_RGB32);
    logo.fill(Qt::red);
    const QString picture = files.filePath(QStringLiteral("Logo.png"));
    logo.save(picture);
    const QString records = files.filePath(QStringLiteral("People.csv"));
    QFile csv(records);
    if (!csv.open(QIODevice::WriteOnly))
        return 1;
    csv.write(AddressLabelsJourney::recordsText(35));
    csv.close();

    AddressLabelsJourney journey;
    int number = 0;
    bool saved = true;
    const auto shoot = [&](const QString& name) {
        QWidget* window = journey.mainWindow();
        if (!window)
            return;
        shots::settle(300);
        const QString path = QStringLiteral("%1/%2-%3.png")
                                 .arg(folder)
                                 .arg(++number, 2, 10, QLatin1Char('0'))
                                 .arg(name);
        saved = shots::grabFrame(window, path) && saved;
    };
    journey.step = shoot;

    struct Step
    {
        const char* name;
        std::function<bool()> run;
    };
    const Step steps[] = {
        {"new-window", [&] { return journey.newDocument(app); }},
        {"design-blank",
         [&] {
             if (!journey.chooseSheet(QStringLiteral("5160")))
                 return false;
             journey.mainWindow()->resize(1400, 900);
             return true;
         }},
        {"design-border", [&] { return journey.addRectangle(); }},
        {"design-address", [&] { return journey.addAddressBox(); }},
        {"design-picture", [&] { return journey.addPicture(picture); }},
        {"design-barcode", [&] { return journey.addBarcode(app); }},
        {"records-imported", [&] { return journey.importRecords(records); }},
        {"preview", [&] { return journey.preview(); }},
        {"exported",
         [&] { return journey.exportPdf(files.filePath(QStringLiteral("Labels.pdf"))); }},
        {"saved",
         [&] { return journey.saveAs(files.filePath(QStringLiteral("Addresses.quarnlb"))); }},
        {"closed", [&] { return journey.close(); }},
        {"reopened",
         [&] { return journey.reopen(app, files.filePath(QStringLiteral("Addresses.quarnlb"))); }},
    };
    for (const Step& step : steps) {
        if (!step.run()) {
            std::fprintf(stderr, "%s: %s\n", step.name, qPrintable(journey.failure));
            return 1;
        }
        shoot(QLatin1String(step.name));
        if (!journey.mainWindow() && app.applicationWindow() && app.applicationWindow()->window())
            saved = shots::grabFrame(app.applicationWindow()->window(),
                                     QStringLiteral("%1/%2-%3.png")
                                         .arg(folder)
                                         .arg(++number, 2, 10, QLatin1Char('0'))
                                         .arg(QLatin1String(step.name)))
                    && saved;
    }
    platform::DocumentController::sharedDocumentController().closeAllDocuments();
    return saved ? 0 : 1;
}
