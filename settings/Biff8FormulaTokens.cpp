#include "Biff8FormulaTokens.h"

namespace Biff8 {

namespace {

// Sizes after the token byte, for the tokens without a class (0x01 to 0x1F) and the classed
// ones by their base (token & 0x1F, for tokens 0x20 to 0x7F); -1 for tokens a store cannot
// keep: unknown ones and those naming records of the globals.
constexpr int kPlain[0x20] = {
    -1, 4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,   // ptgExp, ptgTbl, operators
    0, 0, 0, 0, 0, 0, 0, -2, -1, -3, -1, -1, 1, 1, 2, 8, // ptgStr (-2), ptgAttr (-3), Err, Bool, Int, Num
};
constexpr int kClassed[0x20] = {
    7, 2, 3, -1, 4, 8, 6, 6, 6, 2, 4, 8, 4, 8, -1, -1,  // Array, Func, FuncVar, (Name), Ref, Area, Mem*, RefErr, AreaErr, RefN, AreaN
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, // NameX, Ref3d, Area3d and the rest
};

constexpr std::uint8_t kPtgExp = 0x01;
constexpr std::uint8_t kPtgTbl = 0x02;
constexpr std::uint8_t kAttrChoose = 0x04;

} // namespace

FormulaTokens ReadFormulaTokens(ConstBytes rgce)
{
    FormulaTokens out;
    std::size_t pos = 0;
    while (pos < rgce.size()) {
        const std::uint8_t ptg = rgce[pos++];
        int size = ptg < 0x20 ? kPlain[ptg] : ptg < 0x80 ? kClassed[ptg & 0x1F] : -1;
        if (size == -2) { // a string: count, flags, characters of one or two bytes
            if (!ByteOrder::Has(rgce, pos, 2))
                return {};
            size = 2 + rgce[pos] * ((rgce[pos + 1] & 1) ? 2 : 1);
        } else if (size == -3) { // flags, a word, and for a choice one offset per case and one more
            if (!ByteOrder::Has(rgce, pos, 3))
                return {};
            size = 3 + ((rgce[pos] & kAttrChoose) ? 2 * (ByteOrder::LoadU16(rgce.data() + pos + 1) + 1) : 0);
        }
        if (size < 0 || !ByteOrder::Has(rgce, pos, static_cast<std::size_t>(size)))
            return {};
        if (ptg == kPtgExp || ptg == kPtgTbl) {
            if (pos != 1)
                return {}; // they stand for the whole formula
            out.groupRow = ByteOrder::LoadU16(rgce.data() + pos);
            out.groupColumn = ByteOrder::LoadU16(rgce.data() + pos + 2);
        }
        pos += static_cast<std::size_t>(size);
    }
    out.selfContained = true;
    return out;
}

FormulaTokens ReadRecordTokens(std::uint16_t code, const Bytes& data)
{
    // Where the token count stands: after the cell, value, options and an unused word in a
    // FORMULA; after the range and two bytes in a SHRFMLA; after the range, options and an
    // unused word in an ARRAY.
    std::size_t countAt = 0;
    switch (code) {
    case RT_FORMULA: countAt = 20; break;
    case RT_SHRFMLA: case RT_SHRFMLA1: countAt = 8; break;
    case RT_ARRAY: countAt = 12; break;
    case RT_TABLE: return FormulaTokens{true, std::nullopt, 0};
    default: return {};
    }
    if (!ByteOrder::Has(data, countAt, 2))
        return {};
    const std::size_t count = ByteOrder::LoadU16(data.data() + countAt);
    if (!ByteOrder::Has(data, countAt + 2, count))
        return {};
    return ReadFormulaTokens(ConstBytes(data).subspan(countAt + 2, count));
}

} // namespace Biff8
