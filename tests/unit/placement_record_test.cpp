// The time dialog's placement record as the settings file stores it:
// 12 bytes of flag, reserved zeros, and little-endian left and top.
#include <gtest/gtest.h>

#include <climits>

#include "settings/placement_record.h"

TEST(PlacementRecord, PackedLayout)
{
    struct {
        Placement placement;
        PlacementRecord record;
    } rows[] = {
        {{true, 0x12345678, 0x0A0B0C0D},
         {1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12, 0x0D, 0x0C, 0x0B, 0x0A}},
        {{false, 100, 200}, {0, 0, 0, 0, 100, 0, 0, 0, 200, 0, 0, 0}},
        {{true, -1, -2}, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}},
        {{false, INT_MIN, INT_MAX}, {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0xFF, 0x7F}},
        {{false, 0, 0}, {}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(PackPlacement(row.placement), row.record)
            << row.placement.restore << " " << row.placement.left << " " << row.placement.top;
        Placement back = UnpackPlacement(row.record);
        EXPECT_EQ(back.restore, row.placement.restore);
        EXPECT_EQ(back.left, row.placement.left);
        EXPECT_EQ(back.top, row.placement.top);
    }
}

TEST(PlacementRecord, AnyNonZeroFlagRestoresAndReservedBytesAreIgnored)
{
    PlacementRecord record{0, 0xAA, 0xBB, 0xCC, 0x0A, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF};
    Placement placement = UnpackPlacement(record);
    EXPECT_FALSE(placement.restore) << "reserved bytes must not count as the flag";
    EXPECT_EQ(placement.left, 10);
    EXPECT_EQ(placement.top, -10);

    for (int flag : {1, 2, 0x80, 0xFF}) {
        record[0] = static_cast<uint8_t>(flag);
        EXPECT_TRUE(UnpackPlacement(record).restore) << "flag " << flag;
    }

    // Packing again writes the reserved bytes as zero and the flag as 1.
    EXPECT_EQ(PackPlacement(UnpackPlacement(record)),
              (PlacementRecord{1, 0, 0, 0, 0x0A, 0, 0, 0, 0xF6, 0xFF, 0xFF, 0xFF}));
}
