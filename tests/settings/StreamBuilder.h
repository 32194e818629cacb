#pragma once

// Hand-made workbook streams and containers for the tests.

#include "settings/CompoundStorage.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace testing_streams {

using Bytes = std::vector<std::uint8_t>;

struct Fields {
    Bytes b;
    Fields& u8(std::uint8_t v) { b.push_back(v); return *this; }
    Fields& u16(std::uint16_t v) { b.push_back(v & 0xFF); b.push_back(v >> 8); return *this; }
    Fields& u32(std::uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back((v >> (8 * i)) & 0xFF); return *this; }
    Fields& f64(double d) { std::uint64_t x; std::memcpy(&x, &d, 8); u32(x & 0xFFFFFFFF); return u32(x >> 32); }
    Fields& bytes(const std::string& s) { b.insert(b.end(), s.begin(), s.end()); return *this; }
};

inline Bytes Rec(std::uint16_t code, const Bytes& data)
{
    Bytes out{static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>(code >> 8),
              static_cast<std::uint8_t>(data.size() & 0xFF), static_cast<std::uint8_t>(data.size() >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

inline void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

inline Bytes Bof(std::uint16_t type)
{
    return Rec(0x0809, Fields().u16(0x0600).u16(type).u16(0x19A0).u16(0x07CD).u32(0xC0C9).u32(0x306).b);
}

inline Bytes Eof() { return Rec(0x000A, {}); }

inline Bytes BoundSheet(const std::string& name, std::uint32_t position = 0)
{
    return Rec(0x0085, Fields().u32(position).u8(0).u8(0).u8(static_cast<std::uint8_t>(name.size())).u8(0).bytes(name).b);
}

inline Bytes Dimensions(std::uint32_t rows, std::uint16_t cols)
{
    return Rec(0x0200, Fields().u32(0).u32(rows).u16(0).u16(cols).u16(0).b);
}

inline Bytes Row(std::uint16_t row, std::uint16_t cols)
{
    return Rec(0x0208, Fields().u16(row).u16(0).u16(cols).u16(255).u16(0).u16(0).u32(0).b);
}

inline Bytes RkRec(std::uint16_t row, std::uint16_t col, std::uint32_t rk)
{
    return Rec(0x027E, Fields().u16(row).u16(col).u16(0).u32(rk).b);
}

inline Bytes NumberRec(std::uint16_t row, std::uint16_t col, double v)
{
    return Rec(0x0203, Fields().u16(row).u16(col).u16(0).f64(v).b);
}

inline Bytes LabelSst(std::uint16_t row, std::uint16_t col, std::uint32_t index)
{
    return Rec(0x00FD, Fields().u16(row).u16(col).u16(0).u32(index).b);
}

inline Bytes DbCell() { return Rec(0x00D7, Fields().u32(0).b); }

// An SST record of 8-bit strings.
inline Bytes Sst(const std::vector<std::string>& strings, std::uint32_t total)
{
    Fields f;
    f.u32(total).u32(static_cast<std::uint32_t>(strings.size()));
    for (const auto& s : strings)
        f.u16(static_cast<std::uint16_t>(s.size())).u8(0).bytes(s);
    return Rec(0x00FC, f.b);
}

// Globals with one BOUNDSHEET per name and the given extra records before the EOF.
inline Bytes Globals(const std::vector<std::string>& sheets, const Bytes& extra = {})
{
    Bytes s = Bof(0x0005);
    for (const auto& n : sheets)
        Append(s, BoundSheet(n));
    Append(s, extra);
    Append(s, Eof());
    return s;
}

inline Bytes Container(const Bytes& stream)
{
    CompoundStorage cs;
    (void)cs.CreateStorage({});
    (void)cs.AddStream(u"Workbook");
    (void)cs.WriteStream(u"Workbook", stream);
    return cs.Image();
}

} // namespace testing_streams
