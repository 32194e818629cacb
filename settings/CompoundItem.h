#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
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
// in and, for a stream, its bytes. The reader lists a container as items; the builder makes a
// container of them.
struct CfbItem {
    static constexpr std::size_t kRoot = SIZE_MAX;
    std::size_t parent = kRoot;    // index of an earlier storage item, or kRoot
    CfbDirectoryEntry entry;
    std::vector<std::uint8_t> bytes;
};
