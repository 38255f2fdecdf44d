#include "platform/core/NotificationCenter.h"

#include <QList>

#include <map>
#include <utility>

namespace platform {

namespace {

struct Observer
{
    QString name;
    const void* object = nullptr;
    // Shared so a handler that drops its own token keeps running on a live function.
    std::shared_ptr<const NotificationCenter::Handler> handler;
};

} // namespace

struct NotificationCenter::Private
{
    std::map<quint64, Observer> observers; // ordered by id, which is the order of adding
    quint64 nextId = 1;
    bool alive = true;
};

// ---------------------------------------------------------------------------------------

ObserverToken::ObserverToken(std::weak_ptr<void> center, quint64 id)
    : _center(std::move(center)), _id(id)
{}

ObserverToken::ObserverToken(ObserverToken&& other) noexcept
    : _center(std::move(other._center)), _id(std::exchange(other._id, 0))
{
    other._center.reset();
}

ObserverToken& ObserverToken::operator=(ObserverToken&& other) noexcept
{
    if (this != &other) {
        reset();
        _center = std::move(other._center);
        other._center.reset();
        _id = std::exchange(other._id, 0);
    }
    return *this;
}

ObserverToken::~ObserverToken()
{
    reset();
}

void ObserverToken::reset()
{
    const std::shared_ptr<void> locked = _center.lock();
    _center.reset();
    const quint64 id = std::exchange(_id, 0);
    if (locked && id != 0)
        std::static_pointer_cast<NotificationCenter::Private>(locked)->observers.erase(id);
}

bool ObserverToken::isActive() const
{
    const std::shared_ptr<void> locked = _center.lock();
    return locked && _id != 0
           && std::static_pointer_cast<NotificationCenter::Private>(locked)->observers.count(_id);
}

// ---------------------------------------------------------------------------------------

NotificationCenter::NotificationCenter() : d(std::make_shared<Private>())
{}

NotificationCenter::~NotificationCenter()
{
    // A post still running (the centre destroyed from a handler) holds the state; it stops
    // calling observers.
    d->alive = false;
    d->observers.clear();
}

NotificationCenter& NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

ObserverToken NotificationCenter::addObserver(const QString& name, const void* object,
                                              Handler handler)
{
    if (!handler)
        return ObserverToken();
    const quint64 id = d->nextId++;
    d->observers.emplace(
        id, Observer{name, object, std::make_shared<const Handler>(std::move(handler))});
    return ObserverToken(std::weak_ptr<void>(d), id);
}

void NotificationCenter::post(const QString& name, const void* object, const QVariantMap& userInfo)
{
    post(Notification{name, object, userInfo});
}

void NotificationCenter::post(const Notification& notification)
{
    const std::shared_ptr<Private> state = d;

    // The observers to call are fixed when the post starts; each is looked up again just
    // before its call, so one removed meanwhile is skipped.
    QList<quint64> matching;
    for (const auto& [id, observer] : state->observers) {
        if ((observer.name.isNull() || observer.name == notification.name)
            && (!observer.object || observer.object == notification.object))
            matching.append(id);
    }
    for (const quint64 id : matching) {
        if (!state->alive)
            return;
        const auto found = state->observers.find(id);
        if (found == state->observers.end())
            continue;
        const std::shared_ptr<const Handler> handler = found->second.handler;
        (*handler)(notification);
    }
}

} // namespace platform
