#include "platform/core/NotificationCenter.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <map>
#include <set>
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
    // The ids of the observers of each name, and of those of every name (a null name), so
    // a post visits only the observers of its name however many others there are.
    QHash<QString, std::set<quint64>> idsByName;
    std::set<quint64> idsOfEveryName;
    quint64 nextId = 1;
    bool alive = true;

    void remove(quint64 id)
    {
        const auto found = observers.find(id);
        if (found == observers.end())
            return;
        if (found->second.name.isNull()) {
            idsOfEveryName.erase(id);
        } else if (const auto bucket = idsByName.find(found->second.name);
                   bucket != idsByName.end()) {
            bucket->erase(id);
            if (bucket->empty())
                idsByName.erase(bucket);
        }
        observers.erase(found);
    }
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
        std::static_pointer_cast<NotificationCenter::Private>(locked)->remove(id);
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
    d->idsByName.clear();
    d->idsOfEveryName.clear();
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
    if (name.isNull())
        d->idsOfEveryName.insert(id);
    else
        d->idsByName[name].insert(id);
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
    const auto collect = [&](const std::set<quint64>& ids) {
        for (const quint64 id : ids) {
            const Observer& observer = state->observers.at(id);
            if (!observer.object || observer.object == notification.object)
                matching.append(id);
        }
    };
    if (const auto bucket = state->idsByName.constFind(notification.name);
        bucket != state->idsByName.cend())
        collect(*bucket);
    const qsizetype named = matching.size();
    collect(state->idsOfEveryName);
    // Both runs are in id order; together they keep the order of adding.
    std::inplace_merge(matching.begin(), matching.begin() + named, matching.end());
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
