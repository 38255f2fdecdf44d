// Developer tool: saves what the X display shows as a PNG, so a session under Xvfb can look
// at the program the way a user sees it:
//   xvfb-run -a sh -c 'build/release/src/Veltrin & sleep 3; build/test/tools/screengrab shot.png; kill $!'
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: screengrab <file.png>\n");
        return 2;
    }
    QGuiApplication application(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) {
        std::fprintf(stderr, "screengrab: no screen\n");
        return 1;
    }
    if (!screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screengrab: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
