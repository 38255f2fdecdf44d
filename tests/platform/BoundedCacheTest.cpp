#include "platform/drawing/BoundedCache.h"

#include <gtest/gtest.h>

using platform::BoundedCache;

namespace {

// A cache of byte arrays sized by their length, on a clock the test moves.
struct Fixture
{
    qint64 now = 0;
    BoundedCache<QByteArray> cache{100, 1000, [](const QByteArray& v) { return qint64(v.size()); },
                                   [this] { return now; }};
};

} // namespace

TEST(BoundedCache, KeepsWithinItsSizeDroppingTheLeastRecentlyUsed)
{
    Fixture f;
    f.cache.insert("a", QByteArray(40, 'a'));
    f.now = 1;
    f.cache.insert("b", QByteArray(40, 'b'));
    f.now = 2;
    ASSERT_TRUE(f.cache.find("a")); // "a" is now the more recent
    f.now = 3;
    f.cache.insert("c", QByteArray(40, 'c'));

    EXPECT_TRUE(f.cache.find("a"));
    EXPECT_FALSE(f.cache.find("b"));
    EXPECT_EQ(*f.cache.find("c"), QByteArray(40, 'c'));
    EXPECT_EQ(f.cache.bytes(), 80);

    // Replacing a value counts its size once; a value above the whole budget is not kept
    // and leaves the others alone.
    f.cache.insert("c", QByteArray(10, 'x'));
    EXPECT_EQ(f.cache.bytes(), 50);
    f.cache.insert("huge", QByteArray(101, 'h'));
    EXPECT_FALSE(f.cache.find("huge"));
    EXPECT_EQ(f.cache.count(), 2);
}

TEST(BoundedCache, DropsWhatWentUnusedForLongerThanTheAgeLimit)
{
    Fixture f;
    f.cache.insert("old", "1");
    f.cache.insert("used", "2");
    f.now = 900;
    ASSERT_TRUE(f.cache.find("used"));
    f.now = 1500;

    EXPECT_FALSE(f.cache.find("old"));
    EXPECT_TRUE(f.cache.find("used"));
    EXPECT_EQ(f.cache.count(), 1);
    EXPECT_EQ(f.cache.bytes(), 1);
}
