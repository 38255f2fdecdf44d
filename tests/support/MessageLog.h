#pragma once

// Collects the messages Qt logs (qDebug, qWarning, ...) while it lives, for tests that
// check what was logged; the messages are not printed. One at a time.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <algorithm>

class MessageLog
{
public:
    MessageLog() : _previous(qInstallMessageHandler(&MessageLog::handle)) { current() = this; }
    ~MessageLog()
    {
        qInstallMessageHandler(_previous);
        current() = nullptr;
    }
    bool contains(const QString& text) const
    {
        return std::any_of(messages.cbegin(), messages.cend(),
                           [&](const QString& m) { return m.contains(text); });
    }

    QStringList messages;

private:
    static MessageLog*& current()
    {
        static MessageLog* log = nullptr;
        return log;
    }
    static void handle(QtMsgType, const QMessageLogContext&, const QString& message)
    {
        if (current())
            current()->messages << message;
    }

    QtMessageHandler _previous;
};
