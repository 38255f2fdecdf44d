#include "app/LBAppController.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    LBAppController::setUpApplicationIdentity();
    QApplication application(argc, argv);
    LBAppController::registerDefaults();

    LBAppController controller;
    controller.quitOnTerminationSignals();
    QTimer::singleShot(0, &controller, &LBAppController::applicationDidFinishLaunching);
    return QApplication::exec();
}
