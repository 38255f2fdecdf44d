#include "platform/core/UserDefaults.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::UserDefaults;

namespace {

class UserDefaultsTest : public ::testing::Test
{
protected:
    QString path(const QString& name = QStringLiteral("settings.ini")) const
    {
        return dir.filePath(name);
    }

    QByteArray fileText(const QString& name = QStringLiteral("settings.ini")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// Values of every kind the application stores, with the type each must come back as.
QVariantMap typedValues()
{
    return {
        {"Map", QVariantMap{{"Sizes", QVariantList{qint64(1), 2.5, QStringLiteral("3")}},
                            {"Nested", QVariantMap{{"On", true}}}}},
        {"List", QVariantList{QStringLiteral("solo")}},
        {"Data", QByteArray("\0\1\2@ByteArray(", 15)},
        {"Flag", false},
        {"Real", 0.1},
        {"Big", qint64(1) << 40},
        {"NumberText", QStringLiteral("42")},
        {"AtText", QStringLiteral("@Variant(, a; b)")},
        {"EmptyText", QString(QStringLiteral(""))},
        {"When", QDateTime(QDate(2024, 2, 29), QTime(13, 5, 7), Qt::UTC)},
    };
}

void expectTypedValues(const UserDefaults& defaults, const char* where)
{
    const QVariantMap expected = typedValues();
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QVariant value = defaults.objectForKey(it.key());
        EXPECT_STREQ(value.metaType().name(), it.value().metaType().name())
            << where << ' ' << qPrintable(it.key());
        EXPECT_TRUE(value == it.value())
            << where << ' ' << qPrintable(it.key()) << ": " << qPrintable(value.toString());
    }
}

} // namespace

TEST_F(UserDefaultsTest, ValuesKeepTheirTypesAcrossARestart)
{
    {
        UserDefaults first(path());
        const QVariantMap values = typedValues();
        for (auto it = values.begin(); it != values.end(); ++it)
            first.setObject(it.value(), it.key());
        expectTypedValues(first, "same instance");
        ASSERT_TRUE(first.synchronize());
    }
    UserDefaults second(path());
    expectTypedValues(second, "second instance");

    // A copy under another name is read from the file, not from the in-process cache.
    ASSERT_TRUE(QFile::copy(path(), path("copy.ini")));
    UserDefaults copy(path("copy.ini"));
    expectTypedValues(copy, "copied file");

    // Texts stay readable in the file.
    EXPECT_TRUE(fileText().contains("NumberText=42\n"));
}

TEST_F(UserDefaultsTest, ChangesReachTheFileOnTheirOwnAMomentLater)
{
    UserDefaults defaults(path());
    // Runs the event loop until the file holds `text`, or for at most five seconds.
    const auto fileComesToHold = [&](const char* text) {
        const QDeadlineTimer deadline(5000);
        while (!fileText().contains(text) && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return fileText().contains(text);
    };
    defaults.setInteger(1, "First");
    defaults.setInteger(2, "Burst");
    // Not on the event loop's next turn: a launch's changes wait for its first window.
    QCoreApplication::processEvents();
    EXPECT_FALSE(fileText().contains("First"));
    EXPECT_TRUE(fileComesToHold("First"));
    EXPECT_TRUE(fileText().contains("Burst"));
    // A later change is written too, once written ones are.
    defaults.setInteger(3, "Later");
    EXPECT_TRUE(fileComesToHold("Later"));
}

TEST_F(UserDefaultsTest, RegisteredDefaultsAreReadButNeverWritten)
{
    {
        UserDefaults defaults(path());
        defaults.registerDefaults({{"Width", 100}, {"Name", "Label"}, {"Show", true}});
        defaults.registerDefaults({{"Width", 120}}); // a later registration wins
        EXPECT_EQ(defaults.integerForKey("Width"), 120);
        EXPECT_TRUE(defaults.boolForKey("Show"));

        defaults.setInteger(7, "Width");
        EXPECT_EQ(defaults.integerForKey("Width"), 7);
        defaults.removeObjectForKey("Width"); // the default shows through again
        EXPECT_EQ(defaults.integerForKey("Width"), 120);

        defaults.setBool(false, "Show");
        defaults.setObject(QStringLiteral("temp"), "Gone");
        defaults.setObject(QVariant(), "Gone"); // a null value removes
        EXPECT_FALSE(defaults.objectForKey("Gone").isValid());
        ASSERT_TRUE(defaults.synchronize());
    }
    const QByteArray text = fileText();
    EXPECT_TRUE(text.contains("Show=")) << text.constData();
    EXPECT_FALSE(text.contains("Width")) << text.constData();
    EXPECT_FALSE(text.contains("Name")) << text.constData();
    EXPECT_FALSE(text.contains("Gone")) << text.constData();

    UserDefaults reopened(path());
    EXPECT_FALSE(reopened.objectForKey("Width").isValid());
    EXPECT_FALSE(reopened.boolForKey("Show"));
}

TEST_F(UserDefaultsTest, GettersCoerceLikeStoredTexts)
{
    UserDefaults defaults(path());
    struct Case
    {
        const char* key;
        QVariant value;
        qint64 integer;
        double real;
        bool flag;
        QString text;
    };
    const Case cases[] = {
        {"Text", QStringLiteral(" 12.75 mm"), 12, 12.75, true, QStringLiteral(" 12.75 mm")},
        {"Yes", QStringLiteral("YES"), 0, 0, true, QStringLiteral("YES")},
        {"Zeros", QStringLiteral("007"), 7, 7, true, QStringLiteral("007")},
        {"Real", -2.5, -2, -2.5, true, QStringLiteral("-2.5")},
        {"Integer", qint64(5), 5, 5, true, QStringLiteral("5")},
        {"Bool", true, 1, 1, true, QStringLiteral("1")},
        {"List", QVariantList{1, 2}, 0, 0, false, QString()},
        {"Unset", QVariant(), 0, 0, false, QString()},
    };
    for (const Case& c : cases) {
        defaults.setObject(c.value, QString::fromLatin1(c.key));
        EXPECT_EQ(defaults.integerForKey(c.key), c.integer) << c.key;
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(c.key), c.real) << c.key;
        EXPECT_EQ(defaults.boolForKey(c.key), c.flag) << c.key;
        EXPECT_EQ(defaults.stringForKey(c.key), c.text) << c.key;
        EXPECT_EQ(defaults.stringForKey(c.key).isNull(), c.text.isNull()) << c.key;
    }

    defaults.setFloat(0.1, "Single");
    EXPECT_EQ(defaults.floatForKey("Single"), double(0.1f));
    defaults.setDouble(0.1, "Double");
    EXPECT_EQ(defaults.doubleForKey("Double"), 0.1);
    EXPECT_EQ(defaults.floatForKey("Double"), double(0.1f));

    // Typed getters of the wrong kind give empty values.
    EXPECT_EQ(defaults.arrayForKey("List"), QVariantList({1, 2}));
    EXPECT_TRUE(defaults.arrayForKey("Text").isEmpty());
    EXPECT_TRUE(defaults.dictionaryForKey("List").isEmpty());
    EXPECT_TRUE(defaults.dataForKey("Text").isNull());
    EXPECT_TRUE(defaults.arrayForKey("Unset").isEmpty());
    EXPECT_TRUE(defaults.dictionaryForKey("Unset").isEmpty());
    EXPECT_TRUE(defaults.dataForKey("Unset").isNull());
    EXPECT_FALSE(defaults.objectForKey("Unset").isValid());
}

TEST_F(UserDefaultsTest, HandWrittenAndDamagedFilesRead)
{
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\n"
                   "Count=12abc\n"
                   "Flag=true\n"
                   "Names=a, b\n"
                   "Broken=@Variant(\\0\\0\\0\\x7f\\xff)\n"
                   "Cut=@ByteArray(\\0\n"
                   "no equals sign here\n"
                   "[Unclosed\n");
    }
    UserDefaults defaults(path());
    EXPECT_EQ(defaults.integerForKey("Count"), 12);
    EXPECT_EQ(defaults.stringForKey("Count"), "12abc");
    EXPECT_TRUE(defaults.boolForKey("Flag"));
    EXPECT_EQ(defaults.arrayForKey("Names"), QVariantList({"a", "b"}));
    EXPECT_EQ(defaults.integerForKey("Broken"), 0);
    EXPECT_EQ(defaults.integerForKey("Cut"), 0);
}

TEST(UserDefaultsStandard, LivesInTheRedirectedConfigFolder)
{
    const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(configHome.isEmpty()); // the test main moves it away from the user's
    const QString expected = configHome + QStringLiteral("/Orvane/Veltrin.ini");

    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(&defaults, &UserDefaults::standardUserDefaults());
    defaults.setObject(QStringLiteral("present"), "StandardDefaultsTest");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_TRUE(QFile::exists(expected));
    defaults.removeObjectForKey("StandardDefaultsTest");
    defaults.synchronize();

    UserDefaults direct(expected);
    EXPECT_FALSE(direct.objectForKey("StandardDefaultsTest").isValid());
}
