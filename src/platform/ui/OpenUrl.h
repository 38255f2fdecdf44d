#pragma once

// Opening an address in the program the system has for it: a web page in the browser, a
// file in its viewer. When no program takes it, the user is told so, with the address, to
// open it by hand: a click that opens nothing says why.

class QUrl;
class QWidget;

namespace platform {

// Opens the address; when nothing opens it, shows an alert (on the window, when given) and
// answers false.
bool openUrl(const QUrl& url, QWidget* window = nullptr);

} // namespace platform
