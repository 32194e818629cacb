#include "Biff8Workbook.h"

#include <algorithm>

namespace Biff8 {

using ByteOrder::LoadU16;

namespace {

constexpr std::uint32_t kStringHeader = 3;      // character count 2, flags 1
constexpr std::uint32_t kMinRoomForString = 12; // below this a string starts in the next piece

} // namespace

bool ReadContinuedString(const Bytes& data, std::span<const std::uint32_t> cuts, std::size_t& pos,
                         std::size_t& nextCut, UnicodeString& out)
{
    const std::size_t size = data.size();
    // A piece that begins with a string header carries no flags byte of its own.
    while (nextCut < cuts.size() && cuts[nextCut] <= pos)
        ++nextCut;
    ByteOrder::Reader in(data, pos);
    std::uint16_t count = in.U16();
    std::uint8_t flags = in.U8();
    std::uint16_t runs = (flags & STR_RICH) ? in.U16() : 0;
    std::uint32_t phonetic = (flags & STR_PHONETIC) ? in.U32() : 0;
    if (!in.ok())
        return false;
    pos = in.pos();
    while (nextCut < cuts.size() && cuts[nextCut] < pos)
        ++nextCut;

    UnicodeString s;
    s.wide = (flags & STR_HIGH_BYTE) != 0;
    bool pieceWide = s.wide;
    std::u16string text;
    std::size_t left = count;
    while (left > 0) {
        if (nextCut < cuts.size() && cuts[nextCut] == pos) {
            // Each continued piece of characters starts with its own width flag.
            if (pos >= size)
                return false;
            pieceWide = (data[pos] & STR_HIGH_BYTE) != 0;
            if (pieceWide)
                s.wide = true;
            ++pos;
            ++nextCut;
            continue;
        }
        std::size_t end = nextCut < cuts.size() ? std::min<std::size_t>(cuts[nextCut], size) : size;
        std::size_t room = end > pos ? end - pos : 0;
        std::size_t n = std::min(left, pieceWide ? room / 2 : room);
        if (n == 0)
            return false;
        for (std::size_t k = 0; k < n; ++k)
            text.push_back(pieceWide ? static_cast<char16_t>(LoadU16(data.data() + pos + 2 * k))
                                     : static_cast<char16_t>(data[pos + k]));
        pos += n * (pieceWide ? 2 : 1);
        left -= n;
    }
    std::size_t extra = std::size_t{runs} * 4 + phonetic;
    if (extra > size - pos)
        return false;
    pos += extra;

    // A string is narrow only when every piece was; narrow characters widen losslessly.
    if (s.wide) {
        s.text = std::move(text);
    } else {
        s.narrow.reserve(text.size());
        for (char16_t c : text)
            s.narrow.push_back(static_cast<char>(c));
    }
    out = std::move(s);
    return true;
}

bool Workbook::SharedStringTable::DecodeFields()
{
    strings.clear();
    ByteOrder::Reader head(data);
    totalReferences = head.U32();
    uniqueCount = head.U32();
    if (!head.ok())
        return false;
    std::size_t nextCut = 0;
    std::size_t pos = 8;
    for (std::uint32_t i = 0; i < uniqueCount; ++i) {
        SstString s;
        if (!ReadContinuedString(data, continueOffsets, pos, nextCut, s))
            return false;
        strings.push_back(std::move(s));
    }
    return true;
}

void Workbook::SharedStringTable::EncodeFields()
{
    Bytes b;
    ByteOrder::Writer w(b);
    w.U32(totalReferences);
    w.U32(uniqueCount);
    std::vector<std::uint32_t> cuts;
    std::uint32_t used = 8; // bytes in the current physical record

    auto startPiece = [&]() {
        cuts.push_back(static_cast<std::uint32_t>(b.size()));
        used = 0;
    };
    for (const SstString& s : strings) {
        const bool wide = s.wide;
        const std::size_t count = wide ? s.text.size() : s.narrow.size();
        const std::size_t width = wide ? 2 : 1;
        const std::size_t charBytes = count * width;
        if (used + kStringHeader + charBytes > MAX_RECORD_DATA && MAX_RECORD_DATA - used < kMinRoomForString)
            startPiece();
        w.U16(static_cast<std::uint16_t>(count));
        w.U8(wide ? STR_HIGH_BYTE : 0);
        used += kStringHeader;
        std::size_t done = 0;
        while (true) {
            std::size_t room = MAX_RECORD_DATA - used;
            std::size_t n = std::min(count - done, room / width);
            for (std::size_t k = 0; k < n; ++k) {
                if (wide)
                    w.U16(s.text[done + k]);
                else
                    w.U8(static_cast<std::uint8_t>(s.narrow[done + k]));
            }
            done += n;
            used += static_cast<std::uint32_t>(n * width);
            if (done == count)
                break;
            startPiece();
            w.U8(wide ? STR_HIGH_BYTE : 0);
            used = 1;
        }
    }
    data = std::move(b);
    continueOffsets = std::move(cuts);
}

} // namespace Biff8
