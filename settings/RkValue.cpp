#include "RkValue.h"

#include <cmath>
#include <cstring>

namespace RkValue {

namespace {

double FromUpperBits(std::uint32_t upper)
{
    std::uint64_t bits = static_cast<std::uint64_t>(upper & ~std::uint32_t{3}) << 32;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::uint32_t UpperBits(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof d);
    return static_cast<std::uint32_t>(bits >> 32) & ~std::uint32_t{3};
}

} // namespace

Decoded Decode(std::uint32_t rk)
{
    Decoded out;
    const bool scaled = (rk & 1) != 0;
    if (rk & 2) {
        // Arithmetic shift of the signed word, written out so it is defined for negatives.
        std::int32_t value = static_cast<std::int32_t>(rk >> 2);
        if (rk & 0x80000000u)
            value = static_cast<std::int32_t>(static_cast<std::int64_t>(rk >> 2) - (std::int64_t{1} << 30));
        if (scaled) {
            out.real = value / 100.0;
        } else {
            out.isInteger = true;
            out.integer = value;
        }
        return out;
    }
    out.real = FromUpperBits(rk);
    if (scaled)
        out.real *= 0.01;
    return out;
}

bool FitsInteger(std::int64_t value)
{
    return value >= kMinInteger && value <= kMaxInteger;
}

std::uint32_t EncodeInteger(std::int32_t value)
{
    return (static_cast<std::uint32_t>(value) << 2) | 2u;
}

std::optional<std::uint32_t> EncodeFloat(double v)
{
    if (!std::isfinite(v))
        return std::nullopt;
    if (std::trunc(v * 100) * 100 != std::trunc(v * 10000))
        return std::nullopt;
    std::uint32_t rk = std::trunc(v) * 100 == std::trunc(v * 100) ? UpperBits(v) : (UpperBits(v * 100) | 1u);
    // Other readers scale by dividing by 100, this one by multiplying by 0.01: the value must
    // come back exactly either way.
    double back = FromUpperBits(rk);
    double divided = (rk & 1) ? back / 100 : back;
    if (Decode(rk).real != v || divided != v)
        return std::nullopt;
    return rk;
}

} // namespace RkValue
