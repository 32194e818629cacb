#pragma once

// What a test asks of the fake camera while it runs, read from `key=value` lines. Unknown keys,
// comments (#) and values that are not plain numbers are ignored, so a half-written file only
// leaves settings at their defaults.

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace fakeuvc {

struct Mischief {
    bool unplugged = false;
    std::uint32_t cutEvery = 0; // every Nth Motion-JPEG frame is cut short
    bool broken = false; // every Motion-JPEG frame is cut short
    std::uint32_t dropEvery = 0; // the camera skips every Nth frame slot
    std::uint32_t delayMs = 0; // frames arrive this long after their timestamp

    bool operator==(const Mischief&) const = default;
};

namespace detail {
inline std::string_view Trim(std::string_view s)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && space(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && space(s.back()))
        s.remove_suffix(1);
    return s;
}

// Digits only, capped so that a huge number cannot overflow into a small one.
inline bool ParseCount(std::string_view s, std::uint32_t& out)
{
    if (s.empty())
        return false;
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
        v = std::min<std::uint64_t>(v * 10 + std::uint64_t(c - '0'), 1'000'000'000);
    }
    out = std::uint32_t(v);
    return true;
}
} // namespace detail

inline Mischief ParseMischief(std::string_view text)
{
    Mischief m;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = detail::Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        const std::size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos)
            continue;
        const std::string_view key = detail::Trim(line.substr(0, eq));
        std::uint32_t value = 0;
        if (!detail::ParseCount(detail::Trim(line.substr(eq + 1)), value))
            continue;
        if (key == "unplugged")
            m.unplugged = value != 0;
        else if (key == "cut_every")
            m.cutEvery = value;
        else if (key == "broken")
            m.broken = value != 0;
        else if (key == "drop_every")
            m.dropEvery = value;
        else if (key == "delay_ms")
            m.delayMs = value;
    }
    return m;
}

} // namespace fakeuvc
