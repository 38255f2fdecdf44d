#pragma once

#include <QByteArray>
#include <QHash>

#include <chrono>
#include <functional>
#include <optional>

namespace platform {

// A cache of values by key, bounded in two ways so a long session cannot grow it without
// end: by the total size of its values (the least recently used go first when a new value
// would pass it) and by age (a value unused for longer than the age limit is dropped at the
// next look-up or insertion). A single value larger than the whole budget is not kept.
// Values are returned by copy: an entry may go at any later call. Main thread only.
template <typename Value>
class BoundedCache
{
public:
    using SizeOf = std::function<qint64(const Value&)>;
    using Clock = std::function<qint64()>; // milliseconds, never decreasing

    BoundedCache(qint64 byteLimit, qint64 ageLimitMs, SizeOf sizeOf, Clock clock = steadyClock())
        : _byteLimit(byteLimit),
          _ageLimitMs(ageLimitMs),
          _sizeOf(std::move(sizeOf)),
          _clock(std::move(clock))
    {}

    std::optional<Value> find(const QByteArray& key)
    {
        const qint64 now = _clock();
        dropOlderThan(now - _ageLimitMs);
        auto found = _entries.find(key);
        if (found == _entries.end())
            return std::nullopt;
        found->lastUse = now;
        return found->value;
    }

    void insert(const QByteArray& key, Value value)
    {
        const qint64 now = _clock();
        dropOlderThan(now - _ageLimitMs);
        remove(key);
        const qint64 size = _sizeOf(value);
        if (size > _byteLimit)
            return;
        while (_bytes + size > _byteLimit && !_entries.isEmpty())
            remove(leastRecentlyUsed());
        _entries.insert(key, Entry{std::move(value), size, now});
        _bytes += size;
    }

    qint64 bytes() const { return _bytes; }
    qsizetype count() const { return _entries.size(); }

    static Clock steadyClock()
    {
        return [] {
            return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count());
        };
    }

private:
    struct Entry
    {
        Value value;
        qint64 size = 0;
        qint64 lastUse = 0;
    };

    void remove(const QByteArray& key)
    {
        auto found = _entries.find(key);
        if (found == _entries.end())
            return;
        _bytes -= found->size;
        _entries.erase(found);
    }

    QByteArray leastRecentlyUsed() const
    {
        auto oldest = _entries.cbegin();
        for (auto it = _entries.cbegin(); it != _entries.cend(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        return oldest.key();
    }

    void dropOlderThan(qint64 limit)
    {
        for (auto it = _entries.begin(); it != _entries.end();) {
            if (it->lastUse < limit) {
                _bytes -= it->size;
                it = _entries.erase(it);
            } else {
                ++it;
            }
        }
    }

    qint64 _byteLimit;
    qint64 _ageLimitMs;
    SizeOf _sizeOf;
    Clock _clock;
    QHash<QByteArray, Entry> _entries;
    qint64 _bytes = 0;
};

} // namespace platform
