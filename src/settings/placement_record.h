// The time dialog's placement record (MainWindow/DlgInfo), 12 bytes:
// restore flag, three reserved zero bytes, left and top as little-endian
// signed 32-bit screen coordinates.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

constexpr size_t kPlacementRecordSize = 12;
using PlacementRecord = std::array<uint8_t, kPlacementRecordSize>;

struct Placement {
    bool restore;
    int32_t left;
    int32_t top;
};

PlacementRecord PackPlacement(const Placement& placement);
// Only the flag byte decides restore; the reserved bytes are ignored.
Placement UnpackPlacement(const PlacementRecord& record);
