#pragma once

#include "CompoundItem.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

// Makes a whole compound document (version 3, 512-byte sectors) from items: the directory in
// name order with balanced sibling links, small streams in one shared mini stream, the others
// in the given order, and the allocation tables for all of it.
class CompoundBuilder {
public:
    // The container holding the items, its root with the class identifier, state bits and
    // times of rootInfo. Refuses, producing nothing, an item that is neither stream nor
    // storage or lies in something else than an earlier storage, an empty name, a name over 31
    // characters, two names one storage holds that compare equal, or more than a container
    // without extension sectors can hold.
    static Result<std::vector<std::uint8_t>> Build(std::span<const CfbItem> items, const CfbDirectoryEntry& rootInfo = {});
    // Writes a container to path, replacing what is there.
    static Status Save(const std::filesystem::path& path, std::span<const std::uint8_t> image);

private:
    struct TreeNode {
        std::uint32_t parent = 0xFFFFFFFF;
        std::vector<std::uint32_t> children;   // ordered by directory index
    };

    CompoundBuilder();
    Status AddItems(std::span<const CfbItem> items);
    void Relink(std::uint32_t storage);

    // The chain from start in the FAT.
    Result<std::vector<std::uint32_t>> Chain(std::uint32_t start, std::size_t limit = SIZE_MAX) const;
    void WriteSector(std::uint32_t sector, std::span<const std::uint8_t> bytes);
    void InsertSector(std::uint32_t index);
    Result<std::uint32_t> TakeFreeSector();
    Result<std::uint32_t> TakeFreeMiniSector();
    // Writes data over the chain from start, growing it as needed.
    Status WriteRegular(std::uint32_t& start, std::span<const std::uint8_t> data);
    Status StartMiniStream();
    Status ExtendMiniChain(std::vector<std::uint32_t>& chain, std::uint32_t& start, std::size_t needed,
        std::vector<std::uint8_t>& ministream);
    static void CopyIntoMini(std::vector<std::uint8_t>& ministream, std::span<const std::uint32_t> chain,
        std::span<const std::uint8_t> data);

    Status SaveAll();
    void SaveHeader();
    void SaveFat();
    Status SaveMiniFat();
    Status SaveDirectory();

    std::vector<std::uint8_t> image_;
    CfbHeader header_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<CfbDirectoryEntry> entries_;
    std::vector<TreeNode> tree_;
    // Lower bounds of the lowest free FAT and mini FAT entries, so that taking sectors one
    // after another stays linear.
    std::size_t freeHint_ = 0;
    std::size_t miniFreeHint_ = 0;
};
