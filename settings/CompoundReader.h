#pragma once

#include "CompoundItem.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A compound document (version 3, 512-byte sectors) read into memory: its directory tree and
// the bytes of its streams. Reading never needs write access to the file. Files from outside
// are treated as hostile: every chain walk is bounded and every length checked, and a file
// that did not parse cleanly leaves the reader closed.
class CompoundReader {
public:
    CompoundReader() = default;
    CompoundReader(const CompoundReader&) = delete;
    CompoundReader& operator=(const CompoundReader&) = delete;

    Status Open(const std::filesystem::path& path);
    Status OpenFromMemory(std::vector<std::uint8_t> image);
    void Close();
    bool IsOpen() const { return open_; }

    // Stream names may carry a storage path separated by "\"; a leading "\" starts at the root,
    // as does a name without one.
    Result<std::uint32_t> StreamSize(std::u16string_view name) const;
    Status ReadStream(std::u16string_view name, std::vector<std::uint8_t>& buffer) const;

    // Every stream and storage below the root, each storage before what it holds, with the
    // bytes of every stream. Fails when any of them cannot be read.
    Result<std::vector<CfbItem>> Items() const;

    const CfbHeader& Header() const { return header_; }
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
    std::size_t SectorCount() const;
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

    bool open_ = false;
    std::vector<std::uint8_t> image_;
    CfbHeader header_;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<CfbDirectoryEntry> entries_;
    std::vector<TreeNode> tree_;
};
