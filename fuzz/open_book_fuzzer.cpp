// libFuzzer target for the workbook open path. The first input byte chooses what the rest is:
// even: a whole file (container and workbook); odd: a workbook stream, wrapped in a fresh
// container so that the record layer is reached directly.
//
// Whatever opens must also write, and what is written must open again with the same extent.
#include "settings/CompoundBuilder.h"
#include "settings/ExcelDocument.h"

#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> rest(data + 1, data + size);
    std::vector<std::uint8_t> file;
    if (data[0] & 1) {
        std::vector<CfbItem> items(1);
        items[0].entry.name = u"Workbook";
        items[0].entry.type = 2;
        items[0].bytes = std::move(rest);
        auto built = CompoundBuilder::Build(items);
        if (!built)
            return 0;
        file = std::move(built).value();
    } else {
        file = std::move(rest);
    }

    ExcelDocument doc;
    if (!doc.OpenBookFromMemory(std::move(file)))
        return 0;
    std::size_t cells = 0;
    for (std::size_t s = 0; s < doc.SheetCount(); ++s)
        cells += doc.SheetAt(s)->Cells().size();
    auto written = doc.WriteBookToMemory();
    if (!written)
        return 0; // e.g. a text too long for a shared string: refused, not a fault
    ExcelDocument again;
    if (!again.OpenBookFromMemory(written.value()) || again.SheetCount() != doc.SheetCount())
        std::abort();
    for (std::size_t s = 0; s < doc.SheetCount(); ++s)
        if (again.SheetAt(s)->RowCount() != doc.SheetAt(s)->RowCount()
            || again.SheetAt(s)->ColumnCount() != doc.SheetAt(s)->ColumnCount())
            std::abort();
    (void)cells;
    return 0;
}
