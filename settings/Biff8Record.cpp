#include "Biff8Record.h"

#include <algorithm>
#include <cstring>

namespace Biff8 {

using ByteOrder::LoadU16;

bool PeekCode(ConstBytes stream, std::size_t pos, std::uint16_t& code)
{
    return ByteOrder::ReadU16(stream, pos, code) && ByteOrder::Has(stream, pos, RECORD_HEADER_SIZE);
}

namespace {

// Walks one record and its CONTINUE pieces; calls piece(offset, length) for each.
template <class Piece>
Result<std::uint32_t> Frame(ConstBytes stream, std::size_t pos, Piece piece)
{
    std::uint16_t length = 0;
    if (!ByteOrder::Has(stream, pos, RECORD_HEADER_SIZE))
        return StatusCode::BadFormat;
    length = LoadU16(stream.data() + pos + 2);
    if (!ByteOrder::Has(stream, pos + RECORD_HEADER_SIZE, length))
        return StatusCode::BadFormat;
    piece(pos + RECORD_HEADER_SIZE, length, true);
    std::size_t next = pos + RECORD_HEADER_SIZE + length;
    while (ByteOrder::Has(stream, next, RECORD_HEADER_SIZE) && LoadU16(stream.data() + next) == RT_CONTINUE) {
        std::uint16_t more = LoadU16(stream.data() + next + 2);
        if (!ByteOrder::Has(stream, next + RECORD_HEADER_SIZE, more))
            return StatusCode::BadFormat;
        piece(next + RECORD_HEADER_SIZE, more, false);
        next += RECORD_HEADER_SIZE + more;
    }
    return static_cast<std::uint32_t>(next - pos);
}

} // namespace

Result<std::uint32_t> SkipRecord(ConstBytes stream, std::size_t pos)
{
    return Frame(stream, pos, [](std::size_t, std::size_t, bool) {});
}

Result<std::uint32_t> Record::Decode(ConstBytes stream, std::size_t pos)
{
    data.clear();
    continueOffsets.clear();
    if (!ByteOrder::Has(stream, pos, RECORD_HEADER_SIZE))
        return StatusCode::BadFormat;
    code = LoadU16(stream.data() + pos);
    auto consumed = Frame(stream, pos, [&](std::size_t at, std::size_t length, bool first) {
        if (!first)
            continueOffsets.push_back(static_cast<std::uint32_t>(data.size()));
        data.insert(data.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                    stream.begin() + static_cast<std::ptrdiff_t>(at + length));
    });
    if (!consumed)
        return consumed;
    dataSize = static_cast<std::uint32_t>(data.size());
    recordSize = consumed.value();
    if (!DecodeFields())
        return StatusCode::BadFormat;
    return consumed;
}

void Record::SetFields(Bytes fields)
{
    if (data.size() > fields.size())
        fields.insert(fields.end(), data.begin() + static_cast<std::ptrdiff_t>(fields.size()), data.end());
    data = std::move(fields);
}

std::vector<std::uint32_t> Record::PieceStarts() const
{
    // Pieces as read are kept when they still describe the data; otherwise data is cut
    // into pieces of the largest allowed size.
    bool keep = !continueOffsets.empty();
    std::uint32_t previous = 0;
    for (std::uint32_t off : continueOffsets) {
        if (off < previous || off > dataSize || off - previous > 0xFFFF)
            keep = false;
        previous = off;
    }
    if (keep && dataSize - previous > 0xFFFF)
        keep = false;
    std::vector<std::uint32_t> starts{0};
    if (keep) {
        starts.insert(starts.end(), continueOffsets.begin(), continueOffsets.end());
        return starts;
    }
    for (std::uint32_t off = MAX_RECORD_DATA; off < dataSize; off += MAX_RECORD_DATA)
        starts.push_back(off);
    return starts;
}

std::uint32_t Record::DataLength()
{
    EncodeFields();
    dataSize = static_cast<std::uint32_t>(data.size());
    return dataSize;
}

std::uint32_t Record::TotalLength()
{
    DataLength();
    recordSize = dataSize + RECORD_HEADER_SIZE * static_cast<std::uint32_t>(PieceStarts().size());
    return recordSize;
}

std::uint32_t Record::Encode(std::span<std::uint8_t> out, std::size_t pos)
{
    TotalLength();
    if (pos > out.size() || out.size() - pos < recordSize)
        return 0;
    std::vector<std::uint32_t> starts = PieceStarts();
    std::uint8_t* p = out.data() + pos;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        std::uint32_t begin = starts[i];
        std::uint32_t end = i + 1 < starts.size() ? starts[i + 1] : dataSize;
        ByteOrder::StoreU16(p, i == 0 ? code : RT_CONTINUE);
        ByteOrder::StoreU16(p + 2, static_cast<std::uint16_t>(end - begin));
        if (end > begin)
            std::memcpy(p + 4, data.data() + begin, end - begin);
        p += RECORD_HEADER_SIZE + (end - begin);
    }
    return recordSize;
}

bool ShortString::Decode(ByteOrder::Reader& in)
{
    std::uint8_t count = in.U8();
    std::uint8_t flags = in.U8();
    wide = flags != 0;
    text.clear();
    ConstBytes chars = in.Take(std::size_t{count} * (wide ? 2 : 1));
    if (!in.ok())
        return false;
    for (std::size_t i = 0; i < count; ++i)
        text.push_back(wide ? static_cast<char16_t>(LoadU16(chars.data() + 2 * i)) : static_cast<char16_t>(chars[i]));
    return true;
}

void ShortString::Encode(ByteOrder::Writer& out) const
{
    std::size_t count = std::min<std::size_t>(text.size(), 255);
    out.U8(static_cast<std::uint8_t>(count));
    out.U8(wide ? 1 : 0);
    for (std::size_t i = 0; i < count; ++i) {
        if (wide)
            out.U16(text[i]);
        else
            out.U8(static_cast<std::uint8_t>(text[i]));
    }
}

bool BOF::DecodeFields()
{
    // Older writers leave out the trailing fields; version and type are what matter.
    ByteOrder::Reader in(data);
    version = in.U16();
    type = in.U16();
    if (!in.ok())
        return false;
    if (in.remaining() >= 4) {
        buildIdentifier = in.U16();
        buildYear = in.U16();
    }
    if (in.remaining() >= 8) {
        fileHistoryFlags = in.U32();
        lowestVersion = in.U32();
    }
    return true;
}

void BOF::EncodeFields()
{
    Bytes b;
    ByteOrder::Writer w(b);
    w.U16(version);
    w.U16(type);
    w.U16(buildIdentifier);
    w.U16(buildYear);
    w.U32(fileHistoryFlags);
    w.U32(lowestVersion);
    SetFields(std::move(b));
}

} // namespace Biff8
