#pragma once

// An alert: a message, an informative text and buttons, shown as a sheet (window-modal) on
// a document's window, or application-modal when there is none. The answer comes back
// to a completion handler as the code of the button chosen: FirstButtonReturn for the
// first (the default button), then one more for each further button.
//
// Tests answer alerts instead of showing them: with a responder installed, every alert
// is handed to it and its code goes straight to the completion handler.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {

class Alert
{
public:
    enum Style { Warning, Informational, Critical };
    static constexpr int FirstButtonReturn = 1000;
    static constexpr int SecondButtonReturn = 1001;
    static constexpr int ThirdButtonReturn = 1002;

    Style style = Warning;
    QString messageText;
    QString informativeText;
    // In order; "OK" when there is none.
    QStringList buttons;
    // The button that Escape and closing the alert choose; -1 for the last.
    int cancelButton = -1;

    // Shows the alert and returns at once; didEnd runs once with the code of the button
    // chosen.
    void beginSheetModalForWindow(QWidget* window, std::function<void(int)> didEnd) const;

    using Responder = std::function<int(const Alert&)>;
    // Tests: answers every alert with the responder's code; an empty one shows them again.
    static void setResponder(Responder responder);
};

} // namespace platform
