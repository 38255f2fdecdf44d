#pragma once

// Named notifications posted synchronously to observers, filtered by name and sender.
// Observers are held through tokens: dropping the token removes the observer, also while
// a notification is being delivered (even from inside its own handler). A token that
// outlives its centre does nothing.

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform {

struct Notification
{
    QString name;
    const void* object = nullptr; // the sender, or nullptr
    QVariantMap userInfo;

    template <typename T>
    T* objectAs() const
    {
        return static_cast<T*>(const_cast<void*>(object));
    }
};

class NotificationCenter;

// Move-only; the observer stays registered while the token lives.
class ObserverToken
{
public:
    ObserverToken() = default;
    ObserverToken(ObserverToken&& other) noexcept;
    ObserverToken& operator=(ObserverToken&& other) noexcept;
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;
    ~ObserverToken();

    void reset(); // removes the observer now
    bool isActive() const;

private:
    friend class NotificationCenter;
    ObserverToken(std::weak_ptr<void> center, quint64 id);
    std::weak_ptr<void> _center;
    quint64 _id = 0;
};

class NotificationCenter
{
public:
    using Handler = std::function<void(const Notification&)>;

    NotificationCenter();
    ~NotificationCenter();
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // A null name observes every name; a null object observes every sender.
    [[nodiscard]] ObserverToken addObserver(const QString& name, const void* object,
                                            Handler handler);

    // Calls the matching observers in the order they were added. Observers added during
    // the post are not called for it; observers removed during it are not called after.
    void post(const QString& name, const void* object = nullptr, const QVariantMap& userInfo = {});
    void post(const Notification& notification);

private:
    friend class ObserverToken;
    struct Private;
    std::shared_ptr<Private> d;
};

} // namespace platform
