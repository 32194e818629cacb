// Differential libFuzzer target for the store path: whatever opens must be written back, and
// the written file must open with every cell that was first read, with the same type and
// value, or the write must be refused before a single byte is produced. Any difference aborts.
//
// The first input byte chooses what the rest is, as in open_book_fuzzer: even, a whole file;
// odd, a workbook stream wrapped in a fresh container.
#include "fuzz/round_trip_check.h"

#include "settings/CompoundStorage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::vector<std::uint8_t> rest(data + 1, data + size);
    std::vector<std::uint8_t> file;
    if (data[0] & 1) {
        CompoundStorage cs;
        if (!cs.CreateStorage({}) || !cs.AddStream(u"Workbook") || !cs.WriteStream(u"Workbook", rest))
            return 0;
        file = cs.Image();
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
