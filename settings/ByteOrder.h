#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// Little-endian decoding and encoding on byte spans. Every read checks that the bytes are
// there; a failed read leaves the output untouched and says so.
namespace ByteOrder {

using ConstBytes = std::span<const std::uint8_t>;

inline bool Has(ConstBytes bytes, std::size_t offset, std::size_t count)
{
    return offset <= bytes.size() && count <= bytes.size() - offset;
}

inline std::uint16_t LoadU16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline std::uint32_t LoadU32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

inline std::uint64_t LoadU64(const std::uint8_t* p)
{
    return static_cast<std::uint64_t>(LoadU32(p)) | (static_cast<std::uint64_t>(LoadU32(p + 4)) << 32);
}

inline bool ReadU8(ConstBytes bytes, std::size_t offset, std::uint8_t& out)
{
    if (!Has(bytes, offset, 1))
        return false;
    out = bytes[offset];
    return true;
}

inline bool ReadU16(ConstBytes bytes, std::size_t offset, std::uint16_t& out)
{
    if (!Has(bytes, offset, 2))
        return false;
    out = LoadU16(bytes.data() + offset);
    return true;
}

inline bool ReadU32(ConstBytes bytes, std::size_t offset, std::uint32_t& out)
{
    if (!Has(bytes, offset, 4))
        return false;
    out = LoadU32(bytes.data() + offset);
    return true;
}

inline bool ReadU64(ConstBytes bytes, std::size_t offset, std::uint64_t& out)
{
    if (!Has(bytes, offset, 8))
        return false;
    out = LoadU64(bytes.data() + offset);
    return true;
}

inline void StoreU16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

inline void StoreU32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void StoreU64(std::uint8_t* p, std::uint64_t v)
{
    StoreU32(p, static_cast<std::uint32_t>(v));
    StoreU32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// A read position over a span with a sticky failure flag, so that a record's fields can be
// decoded in a row and checked once.
class Reader {
public:
    Reader(ConstBytes bytes, std::size_t offset = 0) : bytes_(bytes), pos_(offset) {}

    std::uint8_t U8() { std::uint8_t v = 0; ok_ = ok_ && ReadU8(bytes_, pos_, v); pos_ += 1; return v; }
    std::uint16_t U16() { std::uint16_t v = 0; ok_ = ok_ && ReadU16(bytes_, pos_, v); pos_ += 2; return v; }
    std::uint32_t U32() { std::uint32_t v = 0; ok_ = ok_ && ReadU32(bytes_, pos_, v); pos_ += 4; return v; }
    std::uint64_t U64() { std::uint64_t v = 0; ok_ = ok_ && ReadU64(bytes_, pos_, v); pos_ += 8; return v; }
    double F64()
    {
        std::uint64_t bits = U64();
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    bool Skip(std::size_t count)
    {
        ok_ = ok_ && Has(bytes_, pos_, count);
        if (ok_)
            pos_ += count;
        return ok_;
    }
    ConstBytes Take(std::size_t count)
    {
        ok_ = ok_ && Has(bytes_, pos_, count);
        if (!ok_)
            return {};
        ConstBytes out = bytes_.subspan(pos_, count);
        pos_ += count;
        return out;
    }

    bool ok() const { return ok_; }
    std::size_t pos() const { return pos_; }
    std::size_t remaining() const { return ok_ && pos_ <= bytes_.size() ? bytes_.size() - pos_ : 0; }

private:
    ConstBytes bytes_;
    std::size_t pos_;
    bool ok_ = true;
};

// Appends little-endian values to a byte vector.
class Writer {
public:
    explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}

    void U8(std::uint8_t v) { out_.push_back(v); }
    // Byte by byte: GCC 12 warns falsely about inserting a small array into an empty vector.
    void U16(std::uint16_t v) { Little(v, 2); }
    void U32(std::uint32_t v) { Little(v, 4); }
    void U64(std::uint64_t v) { Little(v, 8); }
    void F64(double d)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof d);
        U64(bits);
    }
    void Bytes(ConstBytes bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

private:
    void Little(std::uint64_t v, int count)
    {
        for (int i = 0; i < count; ++i)
            out_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }

public:

private:
    std::vector<std::uint8_t>& out_;
};

} // namespace ByteOrder
