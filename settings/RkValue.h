#pragma once

#include <cstdint>
#include <optional>

// The RK number form of cell values: 30-bit integers, or the upper 30 bits of a double,
// either optionally scaled by 100.
namespace RkValue {

inline constexpr std::int32_t kMinInteger = -536870912;
inline constexpr std::int32_t kMaxInteger = 536870911;

struct Decoded {
    bool isInteger = false;
    std::int32_t integer = 0;
    double real = 0.0;
};

Decoded Decode(std::uint32_t rk);
bool FitsInteger(std::int64_t value);
std::uint32_t EncodeInteger(std::int32_t value);
// The RK float form of v when it decodes back to exactly v, otherwise nothing.
std::optional<std::uint32_t> EncodeFloat(double v);

} // namespace RkValue
