#include "ShotSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWidget>

namespace shots {

TemporaryHome::TemporaryHome(Homes homes)
{
    const QByteArray root = _dir.path().toLocal8Bit();
    if (homes == ConfigAndData)
        qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CONFIG_HOME", root + "/config");
}

QString TemporaryHome::path() const
{
    return _dir.path();
}

QString TemporaryHome::filePath(const QString& name) const
{
    return _dir.filePath(name);
}

void settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void pump(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool grabArea(const QRect& area, const QString& path)
{
    const QPixmap pixmap = QGuiApplication::primaryScreen()->grabWindow(
        0, area.x(), area.y(), area.width(), area.height());
    return pixmap.save(path, "PNG");
}

bool grabFrame(const QWidget* window, const QString& path)
{
    return grabArea(window->frameGeometry(), path);
}

bool grabWindow(QWidget* window, const QString& path)
{
    window->repaint();
    return window->screen()->grabWindow(window->winId()).save(path, "PNG");
}

} // namespace shots
