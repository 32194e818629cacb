#pragma once

#include "Status.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Header fields of a compound file, in the published names' order.
struct CfbHeader {
    std::uint16_t minorVersion = 0;
    std::uint16_t majorVersion = 0;
    std::uint16_t byteOrder = 0;
    std::uint16_t sectorShift = 0;
    std::uint32_t miniSectorShift = 0;
    std::uint32_t numFatSectors = 0;
    std::uint32_t firstDirSector = 0;
    std::uint32_t transactionSignature = 0;
    std::uint32_t miniStreamCutoff = 0;
    std::uint32_t firstMiniFatSector = 0;
    std::uint32_t numMiniFatSectors = 0;
    std::uint32_t firstDifatSector = 0;
    std::uint32_t numDifatSectors = 0;
    std::array<std::uint32_t, 109> difat{};
};

// One 128-byte directory entry. A fresh entry is an unnamed storage with no links.
struct CfbDirectoryEntry {
    std::u16string name;
    std::uint16_t nameLength = 0;
    std::uint8_t type = 1;
    std::uint8_t colour = 1;
    std::uint32_t left = 0xFFFFFFFF;
    std::uint32_t right = 0xFFFFFFFF;
    std::uint32_t child = 0xFFFFFFFF;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t creationTime = 0;
    std::uint64_t modifiedTime = 0;
    std::uint32_t startSector = 0xFFFFFFFE;
    std::uint32_t size = 0;
};

// One stream or storage of a container with everything needed to carry it over into another:
// its directory entry (name, type, class identifier, state bits, times), the storage it lies
// in and, for a stream, its bytes.
struct CfbItem {
    static constexpr std::size_t kRoot = SIZE_MAX;
    std::size_t parent = kRoot;    // index of an earlier storage item, or kRoot
    CfbDirectoryEntry entry;
    std::vector<std::uint8_t> bytes;
};

// A compound document (version 3, 512-byte sectors) held as one byte image. Every change is
// written through to the file at once when the storage belongs to a path. Files from outside
// are treated as hostile: every chain walk is bounded and every length checked.
class CompoundStorage {
public:
    CompoundStorage() = default;
    CompoundStorage(const CompoundStorage&) = delete;
    CompoundStorage& operator=(const CompoundStorage&) = delete;
    ~CompoundStorage() { CloseStorage(); }

    Status OpenStorage(const std::filesystem::path& path);
    Status OpenFromMemory(std::vector<std::uint8_t> image);
    // An empty path keeps the document in memory only.
    Status CreateStorage(const std::filesystem::path& path);
    void CloseStorage();
    bool IsOpen() const { return open_; }

    // Stream names may carry a storage path separated by "\"; a leading "\" starts at the root.
    Status AddStream(std::u16string_view name);
    Result<std::uint32_t> StreamSize(std::u16string_view name) const;
    Status ReadStream(std::u16string_view name, std::vector<std::uint8_t>& buffer) const;
    Status WriteStream(std::u16string_view name, std::span<const std::uint8_t> data);

    // Every stream and storage below the root, each storage before what it holds, with the
    // bytes of every stream. Fails when any of them cannot be read.
    Result<std::vector<CfbItem>> Items() const;
    // Fills a freshly created container, which holds the root alone, with the given items.
    // Small streams share one mini stream; the others follow in the given order. On failure the
    // container is closed.
    Status AddItems(std::span<const CfbItem> items);
    // Gives the root the class identifier, state bits and times of another root.
    void SetRootInfo(const CfbDirectoryEntry& from);
    // Writes the whole container to path, which it then belongs to.
    Status SaveAs(const std::filesystem::path& path);

    const CfbHeader& Header() const { return header_; }
    const std::vector<std::uint32_t>& Fat() const { return fat_; }
    const std::vector<std::uint32_t>& MiniFat() const { return miniFat_; }
    const std::vector<CfbDirectoryEntry>& Entries() const { return entries_; }
    const std::vector<std::uint8_t>& Image() const { return image_; }

private:
    struct TreeNode {
        std::uint32_t parent = 0xFFFFFFFF;
        std::vector<std::uint32_t> children;   // ordered by directory index
    };

    enum class Table { Fat, MiniFat };

    Status Parse();
    Status BuildTree();
    // The chain from start in the FAT (sectors of the file) or the mini FAT (mini sectors of
    // the root's mini stream), cut after limit links; fails on any damage.
    Result<std::vector<std::uint32_t>> Chain(Table table, std::uint32_t start, std::size_t limit = SIZE_MAX) const;
    Result<std::vector<std::uint8_t>> ReadRegular(std::uint32_t start, std::uint32_t size) const;
    // A stream's bytes; ministream is read on first need and kept for the next small stream.
    Result<std::vector<std::uint8_t>> ReadEntry(std::uint32_t index, std::optional<std::vector<std::uint8_t>>& ministream) const;
    Status Resolve(std::u16string_view name, std::uint32_t& storage, std::u16string& leaf) const;
    std::uint32_t FindChild(std::uint32_t storage, std::u16string_view leaf) const;
    // The directory index of the stream with this path; NotFound when absent or not a stream.
    Result<std::uint32_t> FindStream(std::u16string_view name) const;

    std::size_t SectorCount() const;
    void WriteSector(std::uint32_t sector, std::span<const std::uint8_t> bytes);
    Result<std::uint32_t> TakeFreeSector();
    Result<std::uint32_t> TakeFreeMiniSector();
    void InsertSector(std::uint32_t index);
    Status ReleaseChain(std::uint32_t start, Table table);
    Status WriteRegular(std::uint32_t& start, std::span<const std::uint8_t> data);
    Status WriteMini(std::uint32_t& start, std::span<const std::uint8_t> data);
    Status StartMiniStream();
    Status ExtendMiniChain(std::vector<std::uint32_t>& chain, std::uint32_t& start, std::size_t needed,
        std::vector<std::uint8_t>& ministream);
    static void CopyIntoMini(std::vector<std::uint8_t>& ministream, std::span<const std::uint32_t> chain,
        std::span<const std::uint8_t> data);
    Status CloseWith(Status st);
    void Relink(std::uint32_t storage);

    Status SaveAll();
    void SaveHeader();
    Status SaveFat();
    Status SaveMiniFat();
    Status SaveDirectory();
    Status Flush();

    bool open_ = false;
    std::filesystem::path path_;
    std::vector<std::uint8_t> image_;
    CfbHeader header_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<CfbDirectoryEntry> entries_;
    std::vector<TreeNode> tree_;
    std::uint32_t current_ = 0;
    // Lower bounds of the lowest free FAT and mini FAT entries, so that taking sectors one
    // after another stays linear.
    std::size_t freeHint_ = 0;
    std::size_t miniFreeHint_ = 0;
};
