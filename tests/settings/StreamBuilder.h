#pragma once

// Hand-made workbook streams and containers for the tests.

#include "settings/CompoundBuilder.h"
#include "settings/CompoundFileFormat.h"

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

// A workbook stream of one worksheet "Sheet1": globals (with the given extra records, such as an
// SST) and a sheet of the given extent holding the given records, which should include their
// ROWs and end with a DBCELL.
inline Bytes OneSheetStream(std::uint32_t rows, std::uint16_t cols, const Bytes& cells, const Bytes& extra = {})
{
    Bytes s = Globals({"Sheet1"}, extra);
    const auto sheetAt = static_cast<std::uint32_t>(s.size());
    const std::size_t position = 20 + 4; // after the BOF record, in the BOUNDSHEET's data
    for (int i = 0; i < 4; ++i)
        s[position + i] = static_cast<std::uint8_t>(sheetAt >> (8 * i));
    Append(s, Bof(0x0010));
    Append(s, Dimensions(rows, cols));
    Append(s, cells);
    Append(s, Eof());
    return s;
}

// One directory entry of a hand-made container, in directory order (entry 0 is the root).
struct HandEntry {
    std::u16string name;
    std::uint8_t type = 2; // 1 storage, 2 stream, 5 root
    std::uint32_t left = 0xFFFFFFFF, right = 0xFFFFFFFF, child = 0xFFFFFFFF;
    std::uint8_t clsidByte = 0; // the class identifier is 16 times this byte
    std::uint32_t stateBits = 0;
    std::uint64_t creationTime = 0, modifiedTime = 0;
    Bytes bytes;
};

// A version-3 compound file laid out plainly, independently of the container under test:
// sector 0 the FAT, then the directory, the mini FAT, the mini stream, and each large stream
// in consecutive sectors. Streams below 4096 bytes go to the mini stream.
inline Bytes HandMadeContainer(const std::vector<HandEntry>& entries)
{
    constexpr std::uint32_t kFree = 0xFFFFFFFF, kEnd = 0xFFFFFFFE, kFatSect = 0xFFFFFFFD;
    std::vector<std::uint32_t> fat{kFatSect}, miniFat;
    std::vector<std::uint32_t> start(entries.size(), kEnd);
    auto chain = [&](std::size_t sectors) {
        std::uint32_t first = static_cast<std::uint32_t>(fat.size());
        for (std::size_t i = 0; i < sectors; ++i)
            fat.push_back(i + 1 < sectors ? static_cast<std::uint32_t>(fat.size() + 1) : kEnd);
        return sectors ? first : kEnd;
    };
    const std::uint32_t dirStart = chain((entries.size() + 3) / 4);
    Bytes ministream;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const Bytes& b = entries[i].bytes;
        if (entries[i].type != 2 || b.empty() || b.size() >= 4096)
            continue;
        start[i] = static_cast<std::uint32_t>(miniFat.size());
        const std::size_t n = (b.size() + 63) / 64;
        for (std::size_t k = 0; k < n; ++k)
            miniFat.push_back(k + 1 < n ? static_cast<std::uint32_t>(miniFat.size() + 1) : kEnd);
        Append(ministream, b);
        ministream.resize(miniFat.size() * 64, 0);
    }
    const std::uint32_t miniFatStart = chain(miniFat.empty() ? 0 : 1);
    const std::uint32_t miniStart = chain((ministream.size() + 511) / 512);
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].type == 2 && entries[i].bytes.size() >= 4096)
            start[i] = chain((entries[i].bytes.size() + 511) / 512);
    if (fat.size() > 128 || miniFat.size() > 128)
        return {};
    fat.resize(128, kFree);
    miniFat.resize(128, kFree);

    Fields h;
    h.u32(0xE011CFD0).u32(0xE11AB1A1);
    for (int i = 0; i < 4; ++i)
        h.u32(0);
    h.u16(0x3E).u16(3).u16(0xFFFE).u16(9).u16(6).u16(0).u32(0).u32(0).u32(1).u32(dirStart).u32(0).u32(4096);
    h.u32(miniFatStart).u32(miniFat.empty() || miniFatStart == kEnd ? 0 : 1).u32(kEnd).u32(0).u32(0);
    for (int i = 1; i < 109; ++i)
        h.u32(kFree);
    Bytes file = h.b;
    file.resize(512 * (1 + 128), 0);
    auto sector = [&](std::uint32_t s) { return file.data() + 512 * (std::size_t{s} + 1); };
    for (std::size_t k = 0; k < 128; ++k)
        std::memcpy(sector(0) + 4 * k, Fields().u32(fat[k]).b.data(), 4);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const HandEntry& e = entries[i];
        Fields d;
        for (std::size_t c = 0; c < 32; ++c)
            d.u16(c < e.name.size() ? e.name[c] : 0);
        d.u16(static_cast<std::uint16_t>((e.name.size() + 1) * 2)).u8(e.type).u8(1).u32(e.left).u32(e.right).u32(e.child);
        for (int k = 0; k < 16; ++k)
            d.u8(e.clsidByte);
        d.u32(e.stateBits).u32(e.creationTime & 0xFFFFFFFF).u32(e.creationTime >> 32);
        d.u32(e.modifiedTime & 0xFFFFFFFF).u32(e.modifiedTime >> 32);
        const bool root = i == 0;
        d.u32(root ? (ministream.empty() ? kEnd : miniStart) : start[i]);
        d.u32(static_cast<std::uint32_t>(root ? ministream.size() : e.bytes.size())).u32(0);
        std::memcpy(sector(dirStart + static_cast<std::uint32_t>(i / 4)) + 128 * (i % 4), d.b.data(), 128);
    }
    if (!miniFat.empty() && miniFatStart != kEnd)
        for (std::size_t k = 0; k < 128; ++k)
            std::memcpy(sector(miniFatStart) + 4 * k, Fields().u32(miniFat[k]).b.data(), 4);
    if (!ministream.empty())
        std::memcpy(sector(miniStart), ministream.data(), ministream.size());
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].type == 2 && entries[i].bytes.size() >= 4096)
            std::memcpy(sector(start[i]), entries[i].bytes.data(), entries[i].bytes.size());
    std::size_t used = 0;
    for (std::size_t k = 0; k < 128; ++k)
        if (fat[k] != kFree)
            used = k + 1;
    file.resize(512 * (used + 1));
    return file;
}

// A container holding the stream as "Workbook" alone; empty when the stream is too large.
inline Bytes Container(const Bytes& stream)
{
    std::vector<CfbItem> items(1);
    items[0].entry.name = u"Workbook";
    items[0].entry.type = Cfb::STGTY_STREAM;
    items[0].bytes = stream;
    auto built = CompoundBuilder::Build(items);
    return built ? std::move(built).value() : Bytes{};
}

} // namespace testing_streams
