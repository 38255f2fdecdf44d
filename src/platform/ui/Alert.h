#pragma once

// An alert: a message, an informative text, one to three buttons and an optional check box
// that lets the user stop the alert from coming back. It runs as a sheet on a window
// (window-modal; the handler runs when it is dismissed) or, without a window, as a modal
// alert (the handler runs before the call returns).
//
// Texts come from string tables, whose line breaks may be carriage returns ("\r"); they
// are shown as line breaks. Return codes are the platform's: 1000 for the first button,
// 1001 for the second, 1002 for the third.
//
// Tests answer alerts without showing them: a responder set for the process receives each
// alert instead of the user.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {

struct Alert
{
    enum Style { Warning, Informational, Critical };
    enum ReturnCode {
        FirstButtonReturn = 1000,
        SecondButtonReturn = 1001,
        ThirdButtonReturn = 1002
    };

    struct Response
    {
        int returnCode = FirstButtonReturn;
        bool suppressed = false; // the check box was checked
    };
    using Handler = std::function<void(const Response&)>;
    using Responder = std::function<Response(const Alert&, QWidget* window)>;

    Style style = Warning;
    QString messageText;
    QString informativeText;
    QStringList buttons; // "OK" when empty
    // The button Escape and closing the alert choose; -1 for none (closing then answers
    // the first button).
    int cancelButton = -1;
    bool showsSuppressionButton = false;
    QString suppressionButtonTitle; // the platform's "Do not show this message again" when empty

    // A sheet on the window when there is one, else a modal alert.
    void beginSheetModalForWindow(QWidget* window, Handler handler = nullptr) const;
    Response runModal() const;

    // Answers every alert from now on (nullptr: the user answers again).
    static void setResponder(Responder responder);
};

} // namespace platform
