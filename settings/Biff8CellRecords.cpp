#include "Biff8CellRecords.h"

#include <cstring>

namespace Biff8::CellRecords {

using ByteOrder::Reader;
using ByteOrder::Writer;

namespace {

bool ReadPosition(Reader& in, CellRecord& r)
{
    r.row = in.U16();
    r.column = in.U16();
    return in.ok();
}

void WritePosition(Writer& w, const CellRecord& r)
{
    w.U16(r.row);
    w.U16(r.column);
}

} // namespace

bool Blank::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    return in.ok();
}

void Blank::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    SetFields(std::move(b));
}

bool BoolErr::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    value = in.U8();
    isError = in.U8();
    return in.ok();
}

void BoolErr::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    w.U8(value);
    w.U8(isError);
    SetFields(std::move(b));
}

bool LabelSST::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    stringIndex = in.U32();
    return in.ok();
}

void LabelSST::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    w.U32(stringIndex);
    SetFields(std::move(b));
}

bool MulBlank::DecodeFields()
{
    if (data.size() < 8 || (data.size() - 6) % 2 != 0)
        return false;
    Reader in(data);
    ReadPosition(in, *this);
    std::size_t n = (data.size() - 6) / 2;
    xfIndices.clear();
    for (std::size_t i = 0; i < n; ++i)
        xfIndices.push_back(in.U16());
    lastColumn = in.U16();
    xfIndex = xfIndices.front();
    return in.ok();
}

void MulBlank::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    for (std::uint16_t xf : xfIndices)
        w.U16(xf);
    w.U16(lastColumn);
    data = std::move(b);
}

bool MulRK::DecodeFields()
{
    if (data.size() < 12 || (data.size() - 6) % 6 != 0)
        return false;
    Reader in(data);
    ReadPosition(in, *this);
    std::size_t n = (data.size() - 6) / 6;
    entries.clear();
    for (std::size_t i = 0; i < n; ++i) {
        Entry e;
        e.xfIndex = in.U16();
        e.rk = in.U32();
        entries.push_back(e);
    }
    lastColumn = in.U16();
    xfIndex = entries.front().xfIndex;
    return in.ok();
}

void MulRK::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    for (const Entry& e : entries) {
        w.U16(e.xfIndex);
        w.U32(e.rk);
    }
    w.U16(lastColumn);
    data = std::move(b);
}

bool Number::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    value = in.F64();
    return in.ok();
}

void Number::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    w.F64(value);
    SetFields(std::move(b));
}

bool RK::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    rk = in.U32();
    return in.ok();
}

void RK::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    w.U32(rk);
    SetFields(std::move(b));
}

bool Formula::DecodeFields()
{
    Reader in(data);
    ReadPosition(in, *this);
    xfIndex = in.U16();
    result = in.U64();
    options = in.U16();
    reserved = in.U16();
    if (!in.ok())
        return false;
    ConstBytes tail = in.Take(in.remaining());
    rest.assign(tail.begin(), tail.end());
    return true;
}

void Formula::EncodeFields()
{
    Bytes b;
    Writer w(b);
    WritePosition(w, *this);
    w.U16(xfIndex);
    w.U64(result);
    w.U16(options);
    w.U16(reserved);
    w.Bytes(rest);
    data = std::move(b);
}

std::uint32_t Formula::Encode(std::span<std::uint8_t> out, std::size_t pos)
{
    if (asRead.empty())
        return Record::Encode(out, pos);
    if (pos > out.size() || out.size() - pos < asRead.size())
        return 0;
    std::memcpy(out.data() + pos, asRead.data(), asRead.size());
    return static_cast<std::uint32_t>(asRead.size());
}

std::uint32_t Formula::TotalLength()
{
    return asRead.empty() ? Record::TotalLength() : static_cast<std::uint32_t>(asRead.size());
}

Formula::Cached Formula::CachedKind() const
{
    if ((result >> 48) != 0xFFFF)
        return Cached::Number;
    switch (result & 0xFF) {
    case 0: return Cached::Text;
    case 1: return Cached::Boolean;
    case 2: return Cached::Error;
    case 3: return Cached::EmptyText;
    default: return Cached::Unknown;
    }
}

double Formula::CachedNumber() const
{
    double d;
    std::memcpy(&d, &result, sizeof d);
    return d;
}

bool String::DecodeFields()
{
    std::size_t pos = 0;
    std::size_t nextCut = 0;
    return ReadContinuedString(data, continueOffsets, pos, nextCut, text);
}

} // namespace Biff8::CellRecords
