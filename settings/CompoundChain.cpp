#include "CompoundChain.h"

#include <algorithm>

namespace Cfb {

Result<std::vector<std::uint32_t>> WalkChain(std::span<const std::uint32_t> table, std::uint32_t start,
    std::size_t bound, std::size_t limit)
{
    bound = std::min(bound, table.size());
    std::vector<std::uint32_t> chain;
    std::vector<bool> visited(bound, false);
    for (std::uint32_t s = start; s != ENDOFCHAIN && chain.size() < limit; s = table[s]) {
        if (!IsRegular(s) || s >= bound || visited[s])
            return StatusCode::BadFormat;
        visited[s] = true;
        chain.push_back(s);
    }
    return chain;
}

} // namespace Cfb
