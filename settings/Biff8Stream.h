#pragma once

#include "Biff8Workbook.h"
#include "Biff8Worksheet.h"
#include "Status.h"

#include <cstdint>
#include <vector>

namespace Biff8 {

// A worksheet as read, with the stream position of its BOF (to match it to its BOUNDSHEET).
struct ParsedSheet {
    std::uint32_t bofPosition = 0;
};

// Splits a workbook stream into the globals and the worksheets. The stream must begin with
// the globals' BOF; anything after the last sheet that is not a BOF ends the parse.
Status ParseWorkbookStream(ConstBytes stream, Workbook& globals, std::vector<Worksheet>& sheets,
                           std::vector<ParsedSheet>* where = nullptr);

// Sets BOUNDSHEET positions, INDEX positions and DBCELL offsets once the records are final.
// There must be one BOUNDSHEET per worksheet.
Status FixStreamPositions(Workbook& globals, std::vector<Worksheet>& sheets);

// Serialises the globals and then every worksheet into one buffer of exactly their length.
Result<Bytes> SerialiseWorkbookStream(Workbook& globals, std::vector<Worksheet>& sheets);

} // namespace Biff8
