#include "platform/ui/OpenUrl.h"

#include "platform/core/Strings.h"
#include "platform/ui/Alert.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace platform {

namespace {

QString dialogString(const char* key)
{
    return LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

} // namespace

bool openUrl(const QUrl& url, QWidget* window)
{
    if (url.isValid() && QDesktopServices::openUrl(url))
        return true;
    Alert alert;
    if (url.isLocalFile()) {
        alert.messageText = dialogString("The file could not be opened.");
        alert.informativeText =
            dialogString("No program was found to open it. It is the file \u201c%1\u201d.")
                .arg(QDir::toNativeSeparators(url.toLocalFile()));
    } else {
        alert.messageText = dialogString("The page could not be opened.");
        alert.informativeText =
            dialogString("No web browser was found. The page\u2019s address is %1.")
                .arg(url.toDisplayString());
    }
    if (window)
        alert.beginSheetModalForWindow(window);
    else
        alert.runModal();
    return false;
}

} // namespace platform
