#include "app/LBAppController.h"
#include "shapes/ShapeClasses.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    LBAppController::setUpApplicationIdentity();
    QApplication application(argc, argv);
    LBAppController::registerDefaults();
    // Every graphic class by name, before any stored graphic is read.
    registerShapeClasses();

    LBAppController controller;
    controller.quitOnTerminationSignals();
    QTimer::singleShot(0, &controller, &LBAppController::applicationDidFinishLaunching);
    return QApplication::exec();
}
