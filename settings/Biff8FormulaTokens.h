#pragma once

#include "Biff8Record.h"

#include <cstdint>
#include <optional>

// What a formula's parsed expression (its tokens, "rgce") leans on outside its own record.
namespace Biff8 {

struct FormulaTokens {
    // Every token is known and none refers to records of the workbook globals (defined names,
    // external and other-sheet references), which a store does not keep.
    bool selfContained = false;
    // The cell whose shared, array or table formula this one stands for (ptgExp, ptgTbl).
    std::optional<std::uint32_t> groupRow;
    std::uint16_t groupColumn = 0;
};

FormulaTokens ReadFormulaTokens(ConstBytes rgce);

// The tokens of a record that holds a formula (FORMULA, SHRFMLA, ARRAY), read from its data;
// a TABLE holds none and is self-contained. A record too short for its tokens is not.
FormulaTokens ReadRecordTokens(std::uint16_t code, const Bytes& data);

} // namespace Biff8
