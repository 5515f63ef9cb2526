#include "placement_record.h"

namespace {
constexpr size_t kFlagOffset = 0;
constexpr size_t kLeftOffset = 4;
constexpr size_t kTopOffset = 8;

void PutInt32(PlacementRecord& record, size_t offset, int32_t value)
{
    uint32_t bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i)
        record[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
}

int32_t GetInt32(const PlacementRecord& record, size_t offset)
{
    uint32_t bits = 0;
    for (size_t i = 0; i < 4; ++i)
        bits |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
    return static_cast<int32_t>(bits);
}
}

PlacementRecord PackPlacement(const Placement& placement)
{
    PlacementRecord record{};
    record[kFlagOffset] = placement.restore ? 1 : 0;
    PutInt32(record, kLeftOffset, placement.left);
    PutInt32(record, kTopOffset, placement.top);
    return record;
}

Placement UnpackPlacement(const PlacementRecord& record)
{
    return {record[kFlagOffset] != 0, GetInt32(record, kLeftOffset), GetInt32(record, kTopOffset)};
}
