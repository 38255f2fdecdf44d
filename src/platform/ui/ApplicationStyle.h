#pragma once

// The program's widget style: the platform's own, except that the icons Qt's styles load
// from its PNG files while a window is built (a menu bar's overflow button) are read as
// PNG directly. Loaded by file name, Qt asks every image format plugin whether it reads
// the file, which loads them all, with their libraries, at the first window's start.

#include <QHash>
#include <QIcon>
#include <QProxyStyle>

namespace platform {

class ApplicationStyle : public QProxyStyle
{
public:
    ApplicationStyle();

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option,
                       const QWidget* widget) const override;

    // Makes it the application's style; does nothing when it already is.
    static void install();

private:
    // The icons read, by icon and direction: every menu bar and search field asks again.
    mutable QHash<int, QIcon> _icons;
};

} // namespace platform
