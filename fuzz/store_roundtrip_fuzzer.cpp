// Differential libFuzzer target for the store path: whatever opens must be written back, and
// the written file must open with every cell that was first read, with the same type and
// value, or the write must be refused before a single byte is produced. Any difference aborts.
//
// The first input byte chooses what the rest is, as in open_book_fuzzer: even, a whole file;
// odd, a workbook stream wrapped in a fresh container, which with bit 1 also holds other
// streams (small and large) and a storage, as spreadsheet programs leave them.
#include "fuzz/round_trip_check.h"

#include "settings/CompoundBuilder.h"

#include <cstdint>
#include <cstdio>
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
        items[0].bytes = rest;
        if (data[0] & 2) {
            auto add = [&](std::u16string name, std::uint8_t type, std::size_t parent, std::size_t size) {
                CfbItem item;
                item.parent = parent;
                item.entry.name = std::move(name);
                item.entry.type = type;
                item.entry.clsid.fill(static_cast<std::uint8_t>(size));
                item.entry.modifiedTime = size * 0x10001;
                for (std::size_t i = 0; i < size; ++i)
                    item.bytes.push_back(static_cast<std::uint8_t>(i * 31 + size));
                items.push_back(std::move(item));
            };
            add(u"\x05SummaryInformation", 2, CfbItem::kRoot, 200 + size % 300);
            add(u"Big", 2, CfbItem::kRoot, 4096 + size % 700);
            add(u"Sub", 1, CfbItem::kRoot, 0);
            add(u"Inner", 2, items.size() - 1, 64);
        }
        auto built = CompoundBuilder::Build(items);
        if (!built)
            return 0;
        file = std::move(built).value();
    } else {
        file = std::move(rest);
    }
    const RoundTrip::Outcome outcome = RoundTrip::Check(file);
    if (outcome.kind == RoundTrip::Kind::Differs) {
        std::fprintf(stderr, "store round trip differs: %s\n", outcome.detail.c_str());
        std::abort();
    }
    return 0;
}
