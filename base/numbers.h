// Holding a wide number inside a narrower field instead of letting it wrap.
#pragma once

#include <cstdint>

// `value` kept inside lowest..highest.
constexpr long long Saturate(long long value, long long lowest, long long highest) {
    return value < lowest ? lowest : value > highest ? highest : value;
}
constexpr int32_t To32(long long value) { return (int32_t)Saturate(value, INT32_MIN, INT32_MAX); }
constexpr int16_t To16(long long value) { return (int16_t)Saturate(value, INT16_MIN, INT16_MAX); }
