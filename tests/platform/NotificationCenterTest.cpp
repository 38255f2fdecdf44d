#include "platform/core/NotificationCenter.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using platform::Notification;
using platform::NotificationCenter;
using platform::ObserverToken;

TEST(NotificationCenter, ObserversFilterByNameAndSender)
{
    NotificationCenter center;
    int first = 0, second = 0;
    QStringList calls;
    const auto record = [&calls](const char* who) {
        return [&calls, who](const Notification& n) {
            calls.append(QStringLiteral("%1:%2").arg(QLatin1String(who), n.name));
        };
    };
    ObserverToken byName = center.addObserver("Changed", nullptr, record("name"));
    ObserverToken bySender = center.addObserver(QString(), &first, record("sender"));
    ObserverToken byBoth = center.addObserver("Changed", &first, record("both"));
    ObserverToken all = center.addObserver(QString(), nullptr, record("all"));

    struct Case
    {
        const char* name;
        const void* object;
        QStringList expected;
    };
    const Case cases[] = {
        {"Changed", &first, {"name:Changed", "sender:Changed", "both:Changed", "all:Changed"}},
        {"Changed", &second, {"name:Changed", "all:Changed"}},
        {"Changed", nullptr, {"name:Changed", "all:Changed"}},
        {"Closed", &first, {"sender:Closed", "all:Closed"}},
        {"Closed", nullptr, {"all:Closed"}},
    };
    for (const Case& c : cases) {
        calls.clear();
        center.post(QString::fromLatin1(c.name), c.object);
        EXPECT_EQ(calls, c.expected) << c.name;
    }

    QVariantMap received;
    const void* sender = nullptr;
    ObserverToken info = center.addObserver("Info", nullptr, [&](const Notification& n) {
        received = n.userInfo;
        sender = n.object;
    });
    center.post("Info", &second, {{"key", 42}});
    EXPECT_EQ(received.value("key").toInt(), 42);
    EXPECT_EQ(sender, &second);
}

TEST(NotificationCenter, TokensControlRegistration)
{
    NotificationCenter center;
    int calls = 0;
    ObserverToken token = center.addObserver("N", nullptr, [&](const Notification&) { ++calls; });
    EXPECT_TRUE(token.isActive());

    ObserverToken moved = std::move(token);
    EXPECT_FALSE(token.isActive());
    EXPECT_TRUE(moved.isActive());
    center.post("N");
    EXPECT_EQ(calls, 1);

    moved = center.addObserver("N", nullptr, [&](const Notification&) { calls += 10; });
    center.post("N"); // the first observer went when its token was overwritten
    EXPECT_EQ(calls, 11);

    moved.reset();
    EXPECT_FALSE(moved.isActive());
    center.post("N");
    EXPECT_EQ(calls, 11);

    {
        ObserverToken scoped =
            center.addObserver("N", nullptr, [&](const Notification&) { ++calls; });
    }
    center.post("N");
    EXPECT_EQ(calls, 11);
}

TEST(NotificationCenter, ChangesDuringAPost)
{
    NotificationCenter center;
    QStringList calls;
    ObserverToken second;
    ObserverToken added;
    ObserverToken first = center.addObserver("N", nullptr, [&](const Notification&) {
        calls.append("first");
        second.reset(); // removed before its turn: not called
        added =
            center.addObserver("N", nullptr, [&](const Notification&) { calls.append("added"); });
    });
    second = center.addObserver("N", nullptr, [&](const Notification&) { calls.append("second"); });
    ObserverToken third =
        center.addObserver("N", nullptr, [&](const Notification&) { calls.append("third"); });
    center.post("N");
    EXPECT_EQ(calls, QStringList({"first", "third"})); // added during the post: not yet

    calls.clear();
    first.reset();
    center.post("N");
    EXPECT_EQ(calls, QStringList({"third", "added"}));
}

TEST(NotificationCenter, HandlersMayDropTheirTokenAndPostAgain)
{
    NotificationCenter center;
    QStringList calls;
    std::optional<ObserverToken> self;
    const QString kept = QStringLiteral("captured text survives");
    self = center.addObserver("Once", nullptr, [&calls, &self, kept](const Notification&) {
        self.reset();       // destroys the token and the observer inside the running handler
        calls.append(kept); // still reads this handler's own captured value
    });
    ObserverToken forwarder = center.addObserver("Outer", nullptr, [&](const Notification& n) {
        calls.append("outer");
        center.post("Inner", n.object, n.userInfo);
    });
    ObserverToken inner = center.addObserver("Inner", nullptr, [&](const Notification& n) {
        calls.append("inner " + n.userInfo.value("v").toString());
    });

    center.post("Once");
    center.post("Once");
    center.post("Outer", nullptr, {{"v", "x"}});
    EXPECT_EQ(calls, QStringList({kept, "outer", "inner x"}));
}

TEST(NotificationCenter, TokensOutlivingTheCentreAreHarmless)
{
    auto center = std::make_unique<NotificationCenter>();
    int calls = 0;
    ObserverToken lasting =
        center->addObserver("N", nullptr, [&](const Notification&) { ++calls; });
    ObserverToken other = center->addObserver("N", nullptr, [&](const Notification&) { ++calls; });
    center.reset();
    EXPECT_FALSE(lasting.isActive());
    lasting.reset();
    ObserverToken assigned = std::move(other); // destroyed at the end of the test

    // A handler that destroys its centre: the post stops, nothing is touched afterwards.
    center = std::make_unique<NotificationCenter>();
    ObserverToken destroyer = center->addObserver("N", nullptr, [&](const Notification&) {
        ++calls;
        center.reset();
    });
    ObserverToken later =
        center->addObserver("N", nullptr, [&](const Notification&) { calls += 100; });
    center->post("N");
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(later.isActive());
}

TEST(NotificationCenter, DefaultCentreIsOneInstance)
{
    EXPECT_EQ(&NotificationCenter::defaultCenter(), &NotificationCenter::defaultCenter());
    int calls = 0;
    ObserverToken token = NotificationCenter::defaultCenter().addObserver(
        "DefaultCentreTest", nullptr, [&](const Notification&) { ++calls; });
    NotificationCenter::defaultCenter().post("DefaultCentreTest");
    EXPECT_EQ(calls, 1);
}
