#pragma once

#include "CompoundFileFormat.h"
#include "Status.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// What the container reader and builder share: the size limit and the one walk of an
// allocation chain.
namespace Cfb {

// Without extension sectors a version-3 file addresses at most 109 × 128 sectors; anything
// longer cannot be ours to read or write, and refusing it keeps memory bounded.
inline constexpr std::uint64_t kMaxFileBytes
    = (std::uint64_t{HEADER_DIFAT_ENTRIES} * ENTRIES_PER_FAT_SECTOR + 1) * SECTOR_SIZE;

inline bool IsRegular(std::uint32_t sector) { return sector <= MAXREGSECT; }

inline std::size_t MiniSectorsFor(std::size_t bytes) { return (bytes + MINI_SECTOR_SIZE - 1) / MINI_SECTOR_SIZE; }

// The chain from start in the FAT or the mini FAT alike: at most `limit` links, each a regular
// index below `bound` (and below the table's size) that has not been visited. A loop, a free
// or special entry, or an index out of range ends the walk as a damaged file.
Result<std::vector<std::uint32_t>> WalkChain(std::span<const std::uint32_t> table, std::uint32_t start,
    std::size_t bound, std::size_t limit = SIZE_MAX);

} // namespace Cfb
