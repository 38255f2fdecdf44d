#include "platform/core/ClassRegistry.h"

#include "RegistryProbe.h"

#include <gtest/gtest.h>

#include <memory>

using platform::ClassRegistry;

namespace {

struct Shape
{
    virtual ~Shape() = default;
    virtual QString kind() const = 0;
};

struct Circle : Shape
{
    QString kind() const override { return QStringLiteral("circle"); }
};

struct Square : Shape
{
    QString kind() const override { return QStringLiteral("square"); }
};

// A second base, and a class deriving from two bases so the pointer of the second base
// differs from the object's address.
struct Tool
{
    virtual ~Tool() = default;
    int strength = 3;
};

struct Pen : Square, Tool
{};

// Registered the way classes do it: one line at namespace scope.
const bool circleRegistered =
    ClassRegistry<Shape>::registerClass("Circle", [] { return std::make_shared<Circle>(); });
const bool squareRegistered = ClassRegistry<Shape>::registerClass<Square>("Square");

} // namespace

TEST(ClassRegistry, MakesRegisteredClassesByName)
{
    EXPECT_TRUE(circleRegistered);
    EXPECT_TRUE(squareRegistered);
    const std::shared_ptr<Shape> circle = ClassRegistry<Shape>::create("Circle");
    ASSERT_TRUE(circle);
    EXPECT_EQ(circle->kind(), "circle");
    EXPECT_NE(circle, ClassRegistry<Shape>::create("Circle")); // a new object each time
    EXPECT_TRUE(ClassRegistry<Shape>::contains("Square"));

    EXPECT_EQ(ClassRegistry<Shape>::create("Triangle"), nullptr);
    EXPECT_EQ(ClassRegistry<Shape>::create(QString()), nullptr);
    EXPECT_FALSE(ClassRegistry<Shape>::contains("circle")); // names are exact
}

TEST(ClassRegistry, RefusesDuplicatesAndEmptyRegistrations)
{
    EXPECT_FALSE(ClassRegistry<Shape>::registerClass<Square>("Circle"));
    EXPECT_EQ(ClassRegistry<Shape>::create("Circle")->kind(), "circle"); // the first stays
    EXPECT_FALSE(
        ClassRegistry<Shape>::registerClass("", [] { return std::make_shared<Circle>(); }));
    EXPECT_FALSE(ClassRegistry<Shape>::registerClass("Nothing", nullptr));
    EXPECT_FALSE(ClassRegistry<Shape>::contains("Nothing"));
}

TEST(ClassRegistry, EachBaseClassHasItsOwnNames)
{
    ASSERT_TRUE(ClassRegistry<Tool>::registerClass<Pen>("Pen"));
    ASSERT_TRUE(
        ClassRegistry<Tool>::registerClass("Circle", [] { return std::make_shared<Pen>(); }));

    EXPECT_EQ(ClassRegistry<Tool>::classNames(), QStringList({"Circle", "Pen"}));
    EXPECT_EQ(ClassRegistry<Shape>::classNames(), QStringList({"Circle", "Square"}));
    EXPECT_FALSE(ClassRegistry<Shape>::contains("Pen"));
    EXPECT_EQ(ClassRegistry<Shape>::create("Pen"), nullptr);

    // The same name under another base makes that base's class, through the right pointer.
    const std::shared_ptr<Tool> tool = ClassRegistry<Tool>::create("Circle");
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->strength, 3);
    EXPECT_TRUE(std::dynamic_pointer_cast<Pen>(tool));
    EXPECT_EQ(ClassRegistry<Shape>::create("Circle")->kind(), "circle");

    struct Unused
    {
        virtual ~Unused() = default;
    };
    EXPECT_TRUE(ClassRegistry<Unused>::classNames().isEmpty());
}

namespace {

struct TestMade : ProbeBase
{
    QString origin() const override { return QStringLiteral("test program"); }
};

} // namespace

TEST(ClassRegistry, SharedObjectsShareOneTablePerBase)
{
    // Registered by the probe library's static initialiser, made here, and the other way round.
    const std::shared_ptr<ProbeBase> made = ClassRegistry<ProbeBase>::create("ProbeMade");
    ASSERT_TRUE(made);
    EXPECT_EQ(made->origin(), "probe library");
    EXPECT_FALSE(probeCanCreate("TestMade"));
    ASSERT_TRUE(ClassRegistry<ProbeBase>::registerClass<TestMade>("TestMade"));
    EXPECT_TRUE(probeCanCreate("TestMade"));
}
