#include "app/voice/CommandRegistry.h"
#include "app/voice/VoiceCommandObject.h"

#include <gtest/gtest.h>

namespace {

struct Stub : VoiceCommandObject {
    QString voice() const override { return {}; }
    void Execute() override {}
};

class CommandRegistryTest : public ::testing::Test {
protected:
    CommandRegistry registry;
    Stub a, b, c;
};

TEST_F(CommandRegistryTest, KeysIgnoreCaseAndTheLaterObjectReplacesTheEntry)
{
    registry.add(QStringLiteral("Web Sites"), a, {});
    EXPECT_EQ(registry.find(QStringLiteral("web sites")), &a);
    EXPECT_TRUE(registry.contains(QStringLiteral("WEB SITES")));

    registry.add(QStringLiteral("WEB sites"), b, {});
    EXPECT_EQ(registry.count(), 1);
    EXPECT_EQ(registry.find(QStringLiteral("Web Sites")), &b);
    EXPECT_EQ(registry.positionOf(a), 0);
}

TEST_F(CommandRegistryTest, RemovingAnEntryMovesTheLaterOnesDown)
{
    registry.add(QStringLiteral("one"), a, {});
    registry.add(QStringLiteral("two"), b, {});
    registry.add(QStringLiteral("three"), c, {});

    EXPECT_TRUE(registry.remove(QStringLiteral("ONE")));
    EXPECT_FALSE(registry.remove(QStringLiteral("one")));
    EXPECT_EQ(registry.positionOf(c), 2);
    EXPECT_EQ(registry.objectAt(1), &b);

    registry.removeAt(1);
    EXPECT_EQ(registry.count(), 1);
    EXPECT_EQ(registry.keyAt(1), QStringLiteral("three"));
    EXPECT_FALSE(registry.contains(QStringLiteral("two")));
}

TEST_F(CommandRegistryTest, PositionsOutsideTheRangeAreHarmless)
{
    registry.add(QStringLiteral("one"), a, {});
    registry.removeAt(0);
    registry.removeAt(2);
    EXPECT_EQ(registry.count(), 1);
    EXPECT_EQ(registry.objectAt(0), nullptr);
    EXPECT_EQ(registry.objectAt(2), nullptr);
    EXPECT_EQ(registry.find(QStringLiteral("two")), nullptr);
}

TEST_F(CommandRegistryTest, AnObjectUnderTwoKeysIsFoundAtItsFirstPosition)
{
    registry.add(QStringLiteral("one"), b, {});
    registry.add(QStringLiteral("two"), a, {});
    registry.add(QStringLiteral("three"), a, {});
    EXPECT_EQ(registry.positionOf(a), 2);
}

} // namespace
