#include "platform/ui/ApplicationStyle.h"

#include "platform/drawing/Image.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>

namespace platform {

// Over the style the application would have (its platform's, or the one the user chose).
ApplicationStyle::ApplicationStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name()))
{}

QIcon ApplicationStyle::standardIcon(StandardPixmap which, const QStyleOption* option,
                                     const QWidget* widget) const
{
    const bool rightToLeft =
        (option ? option->direction
                : widget ? widget->layoutDirection() : QGuiApplication::layoutDirection())
        == Qt::RightToLeft;
    const int key = int(which) * 2 + int(rightToLeft);
    if (const auto kept = _icons.constFind(key); kept != _icons.cend())
        return *kept;
    // Qt's own images of the icons the first window's widgets ask for, by size.
    QStringList names;
    switch (which) {
    case SP_ToolBarHorizontalExtensionButton:
        names = rightToLeft ? QStringList{QStringLiteral("toolbar-ext-h-rtl-8"),
                                          QStringLiteral("toolbar-ext-h-rtl-16"),
                                          QStringLiteral("toolbar-ext-h-rtl-32")}
                            : QStringList{QStringLiteral("toolbar-ext-h-8"),
                                          QStringLiteral("toolbar-ext-h-16"),
                                          QStringLiteral("toolbar-ext-h-32")};
        break;
    case SP_ToolBarVerticalExtensionButton:
        names = {QStringLiteral("toolbar-ext-v-5"), QStringLiteral("toolbar-ext-v-10"),
                 QStringLiteral("toolbar-ext-v-20")};
        break;
    case SP_LineEditClearButton:
        names = {QStringLiteral("cleartext-16"), QStringLiteral("cleartext-32")};
        break;
    default: break;
    }
    QIcon icon;
    for (const QString& name : std::as_const(names)) {
        const QImage image = readPngImage(
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1.png").arg(name));
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull())
        return QProxyStyle::standardIcon(which, option, widget);
    _icons.insert(key, icon);
    return icon;
}

void ApplicationStyle::install()
{
    if (dynamic_cast<ApplicationStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new ApplicationStyle);
}

} // namespace platform
