// Centring a window on a reference rectangle and keeping it inside an area
// (the message box over its owner, within the work area).
#include <gtest/gtest.h>

#include <climits>

#include "dialogs/center_math.h"

namespace {
constexpr Box kWorkArea{0, 0, 1000, 800};

// Horizontal position only: vertical reference and height that stay inside.
int32_t CenterX(const Box& area, int32_t refLeft, int32_t refRight, int32_t width)
{
    return CenterInArea(area, {refLeft, area.top, refRight, area.top}, width, 0).x;
}
}

TEST(CenterMath, EachHalvingTruncatesTowardZeroOnItsOwn)
{
    // 200 - 50, not (400 - 101) / 2 = 149.
    EXPECT_EQ(CenterX(kWorkArea, 100, 300, 101), 150);
    // -301 / 2 is -150 (toward zero), then less 0 for a zero-width window.
    constexpr Box wide{-10000, -10000, 10000, 10000};
    EXPECT_EQ(CenterX(wide, -200, -101, 0), -150);
    EXPECT_EQ(CenterX(wide, -200, -101, 3), -151);  // 3 / 2 = 1
    EXPECT_EQ(CenterX(wide, -200, -101, -3), -149); // -3 / 2 = -1, not -2

    Spot spot = CenterInArea(kWorkArea, {100, 100, 300, 301}, 101, 51);
    EXPECT_EQ(spot.x, 150);
    EXPECT_EQ(spot.y, 200 - 25);
}

TEST(CenterMath, LeftAndTopLimitComeFirst)
{
    struct {
        int32_t refLeft, refRight, width;
        int32_t expected;
        const char* why;
    } rows[] = {
        {400, 600, 200, 400, "inside: centred"},
        {-300, -100, 200, 0, "left of the area: moved to its left edge"},
        {900, 1100, 200, 800, "right of the area: ends at its right edge"},
        {0, 200, 200, 0, "touching the left edge"},
        {800, 1000, 200, 800, "touching the right edge"},
        {-500, 500, 1200, 0, "wider than the area, centred left of it: left edge"},
        {-500, 900, 1200, 0, "wider than the area, just left of it: left edge"},
        {1000, 1400, 1200, -200, "wider than the area, centred x inside it: sticks out on the left"},
        {1500, 1700, 1200, -200, "wider than the area, right of it: right limit"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CenterX(kWorkArea, row.refLeft, row.refRight, row.width), row.expected) << row.why;

    // The same rules vertically.
    EXPECT_EQ(CenterInArea(kWorkArea, {0, -300, 0, -100}, 0, 200).y, 0);
    EXPECT_EQ(CenterInArea(kWorkArea, {0, 700, 0, 900}, 0, 200).y, 600);
    EXPECT_EQ(CenterInArea(kWorkArea, {0, 1000, 0, 1200}, 0, 1000).y, -200);
    EXPECT_EQ(CenterInArea(kWorkArea, {0, -900, 0, -700}, 0, 1000).y, 0);
}

TEST(CenterMath, AreaNotAtTheOrigin)
{
    constexpr Box second{1920, 40, 3200, 1064};  // a second monitor's work area
    Spot spot = CenterInArea(second, {100, 100, 500, 400}, 300, 150);
    EXPECT_EQ(spot.x, 1920);
    EXPECT_EQ(spot.y, 250 - 75);
    spot = CenterInArea(second, {3000, 1000, 3400, 1200}, 300, 150);
    EXPECT_EQ(spot.x, 3200 - 300);
    EXPECT_EQ(spot.y, 1064 - 150);
}

TEST(CenterMath, ExtremeCoordinatesGiveExactResults)
{
    constexpr Box everything{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    // The sum of the reference edges leaves 32 bits; the centre does not.
    Spot spot = CenterInArea(everything, {INT32_MAX - 10, INT32_MAX - 10, INT32_MAX, INT32_MAX}, 4, 4);
    EXPECT_EQ(spot.x, INT32_MAX - 5 - 2);
    EXPECT_EQ(spot.y, INT32_MAX - 5 - 2);
    spot = CenterInArea(everything, {INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MIN + 10}, 4, 4);
    EXPECT_EQ(spot.x, INT32_MIN + 5 - 2);
    // Centre of the full range: (-1) / 2 is 0.
    spot = CenterInArea(everything, everything, 0, 0);
    EXPECT_EQ(spot.x, 0);
    EXPECT_EQ(spot.y, 0);

    // x + width passes INT32_MAX: the right limit still applies exactly.
    constexpr Box nearTheEnd{0, 0, INT32_MAX, INT32_MAX};
    spot = CenterInArea(nearTheEnd, {INT32_MAX - 2, INT32_MAX - 2, INT32_MAX, INT32_MAX}, 100, INT32_MAX);
    EXPECT_EQ(spot.x, INT32_MAX - 100);
    EXPECT_EQ(spot.y, 0);

    // A window as wide as the whole range, centred in it.
    spot = CenterInArea(everything, everything, INT32_MAX, INT32_MAX);
    EXPECT_EQ(spot.x, -(INT32_MAX / 2));

    // Results beyond 32 bits are clamped: area.right - width below INT32_MIN.
    constexpr Box low{INT32_MIN, 0, INT32_MIN + 1, 0};
    spot = CenterInArea(low, {0, 0, 0, 0}, INT32_MAX, 0);
    EXPECT_EQ(spot.x, INT32_MIN);
}

// Two monitors: the box is centred on a dialog on the second one and kept
// inside that monitor's work area, not pulled over to the primary monitor.
TEST(CenterMath, BoxStaysInsideTheWorkAreaOfTheReferencesMonitor)
{
    constexpr Box primaryWork{0, 0, 1920, 1040};  // taskbar at the bottom
    constexpr int32_t width = 300, height = 120;
    struct {
        const char* layout;
        Box secondWork;   // the work area the module asks the platform for
        Box reference;    // the time dialog, on the second monitor
        Spot expected;
    } rows[] = {
        {"right of the primary", {1920, 0, 3840, 1080}, {2500, 300, 2900, 600}, {2550, 390}},
        {"left, negative coordinates", {-1280, 0, 0, 1024}, {-900, 200, -500, 500}, {-850, 290}},
        {"above, taskbar on its left", {100, -1080, 1920, 0}, {300, -500, 700, -200}, {350, -410}},
        {"dialog at the second monitor's right edge", {1920, 0, 3840, 1080}, {3600, 900, 3840, 1080}, {3540, 930}},
        {"dialog across the edge, mostly on the second", {1920, 0, 3840, 1080}, {1800, 100, 2200, 400}, {1920, 190}},
    };
    for (const auto& row : rows) {
        Spot spot = CenterInArea(row.secondWork, row.reference, width, height);
        EXPECT_EQ(spot.x, row.expected.x) << row.layout;
        EXPECT_EQ(spot.y, row.expected.y) << row.layout;
        EXPECT_GE(spot.x, row.secondWork.left) << row.layout;
        EXPECT_LE(spot.x + width, row.secondWork.right) << row.layout;
        EXPECT_GE(spot.y, row.secondWork.top) << row.layout;
        EXPECT_LE(spot.y + height, row.secondWork.bottom) << row.layout;
        // The primary monitor's work area alone would have moved the box off the dialog's monitor.
        Spot primaryOnly = CenterInArea(primaryWork, row.reference, width, height);
        EXPECT_TRUE(primaryOnly.x != spot.x || primaryOnly.y != spot.y) << row.layout;
    }
    // One monitor: its work area is the primary one, and the result is as it always was.
    Spot single = CenterInArea(primaryWork, {100, 100, 500, 400}, width, height);
    EXPECT_EQ(single.x, 150);
    EXPECT_EQ(single.y, 190);
}
