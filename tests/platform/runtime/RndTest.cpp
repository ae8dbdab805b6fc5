#include "platform/runtime/Rnd.h"

#include <gtest/gtest.h>
#include <array>
#include <vector>

using namespace plat;

namespace {

class RndTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetRndSource({});
        ResetRndDrawCount();
    }

    static std::vector<float> Draw(int n)
    {
        std::vector<float> out;
        for (int i = 0; i < n; ++i)
            out.push_back(Rnd());
        return out;
    }
};

}  // namespace

TEST_F(RndTest, ScriptedSourceIsDrawnInOrderAndCounted)
{
    std::vector<float> script{0.25f, 0.0f, 0.999f};
    std::size_t next = 0;
    SetRndSource([&] { return script[next++ % script.size()]; });
    ResetRndDrawCount();

    EXPECT_EQ(Rnd(), 0.25f);
    EXPECT_EQ(Rnd(), 0.0f);
    EXPECT_EQ(Rnd(), 0.999f);
    EXPECT_EQ(RndDrawCount(), 3);

    SetRndSource({});  // the generator again, and it counts as well
    const float drawn = Rnd();
    EXPECT_GE(drawn, 0.0f);
    EXPECT_LT(drawn, 1.0f);
    EXPECT_EQ(RndDrawCount(), 4);
    ResetRndDrawCount();
    EXPECT_EQ(RndDrawCount(), 0);
}

TEST_F(RndTest, FixedSeedRepeatsAndDifferentSeedsDiffer)
{
    Randomize(42.0);
    const auto first = Draw(20);
    Randomize(42.0);
    EXPECT_EQ(Draw(20), first);
    Randomize(43.0);
    EXPECT_NE(Draw(20), first);
}

TEST_F(RndTest, ClockSeedsDiffer)
{
    Randomize();
    const auto first = Draw(8);
    Randomize();
    EXPECT_NE(Draw(8), first);
}

TEST_F(RndTest, DrawsAreUniformInHalfOpenUnitInterval)
{
    Randomize(7.0);
    constexpr int n = 200000;
    std::array<int, 10> buckets{};
    float low = 1.0f;
    float high = 0.0f;
    for (int i = 0; i < n; ++i) {
        const float r = Rnd();
        ASSERT_GE(r, 0.0f);
        ASSERT_LT(r, 1.0f);
        low = std::min(low, r);
        high = std::max(high, r);
        ++buckets[int(r * 10)];
    }
    for (int count : buckets)
        EXPECT_NEAR(count, n / 10, n / 100);  // within 10% of the expected share
    EXPECT_LT(low, 0.001f);
    EXPECT_GT(high, 0.999f);
    // A game turns a draw into 1..40 with Int(Rnd * 40) + 1: every value must come up.
    std::array<int, 40> pieces{};
    for (int i = 0; i < 4000; ++i)
        ++pieces[int(Rnd() * 40)];
    for (int count : pieces)
        EXPECT_GT(count, 0);
}
