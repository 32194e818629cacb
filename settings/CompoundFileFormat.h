#pragma once

#include <cstdint>

// Names and byte offsets of the Compound File Binary format (version 3, 512-byte sectors),
// as the published format documents call them.
namespace Cfb {

inline constexpr std::uint8_t HEADER_SIGNATURE[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

inline constexpr std::uint32_t SECTOR_SHIFT_V3 = 9;
inline constexpr std::uint32_t MINI_SECTOR_SHIFT = 6;
inline constexpr std::uint32_t SECTOR_SIZE = 1u << SECTOR_SHIFT_V3;          // 512
inline constexpr std::uint32_t MINI_SECTOR_SIZE = 1u << MINI_SECTOR_SHIFT;   // 64
inline constexpr std::uint32_t MINI_STREAM_CUTOFF = 4096;
inline constexpr std::uint32_t ENTRIES_PER_FAT_SECTOR = SECTOR_SIZE / 4;    // 128
inline constexpr std::uint32_t HEADER_DIFAT_ENTRIES = 109;
inline constexpr std::uint32_t DIRENT_SIZE = 128;
inline constexpr std::uint32_t DIRENTS_PER_SECTOR = SECTOR_SIZE / DIRENT_SIZE; // 4
inline constexpr std::uint32_t MAX_NAME_CHARS = 31;

// Special sector numbers (the signed forms are -1, -2, -3, -4).
inline constexpr std::uint32_t MAXREGSECT = 0xFFFFFFFA;
inline constexpr std::uint32_t DIFSECT = 0xFFFFFFFC;
inline constexpr std::uint32_t FATSECT = 0xFFFFFFFD;
inline constexpr std::uint32_t ENDOFCHAIN = 0xFFFFFFFE;
inline constexpr std::uint32_t FREESECT = 0xFFFFFFFF;
inline constexpr std::uint32_t NOSTREAM = 0xFFFFFFFF;

// Header fields.
inline constexpr std::uint32_t HDR_SIGNATURE = 0;
inline constexpr std::uint32_t HDR_CLSID = 8;
inline constexpr std::uint32_t HDR_MINOR_VERSION = 24;
inline constexpr std::uint32_t HDR_MAJOR_VERSION = 26;
inline constexpr std::uint32_t HDR_BYTE_ORDER = 28;
inline constexpr std::uint32_t HDR_SECTOR_SHIFT = 30;
inline constexpr std::uint32_t HDR_MINI_SECTOR_SHIFT = 32;
inline constexpr std::uint32_t HDR_RESERVED1 = 36;
inline constexpr std::uint32_t HDR_RESERVED2 = 40;
inline constexpr std::uint32_t HDR_NUM_FAT_SECTORS = 44;
inline constexpr std::uint32_t HDR_FIRST_DIR_SECTOR = 48;
inline constexpr std::uint32_t HDR_TRANSACTION_SIGNATURE = 52;
inline constexpr std::uint32_t HDR_MINI_STREAM_CUTOFF = 56;
inline constexpr std::uint32_t HDR_FIRST_MINIFAT_SECTOR = 60;
inline constexpr std::uint32_t HDR_NUM_MINIFAT_SECTORS = 64;
inline constexpr std::uint32_t HDR_FIRST_DIFAT_SECTOR = 68;
inline constexpr std::uint32_t HDR_NUM_DIFAT_SECTORS = 72;
inline constexpr std::uint32_t HDR_DIFAT = 76;

inline constexpr std::uint16_t MINOR_VERSION = 0x003B;
inline constexpr std::uint16_t MAJOR_VERSION_3 = 3;
inline constexpr std::uint16_t BYTE_ORDER_MARK = 0xFFFE;

// Directory entry fields.
inline constexpr std::uint32_t DIRENT_NAME = 0;
inline constexpr std::uint32_t DIRENT_NAME_BYTES = 64;
inline constexpr std::uint32_t DIRENT_NAME_LENGTH = 64;
inline constexpr std::uint32_t DIRENT_TYPE = 66;
inline constexpr std::uint32_t DIRENT_COLOUR = 67;
inline constexpr std::uint32_t DIRENT_LEFT = 68;
inline constexpr std::uint32_t DIRENT_RIGHT = 72;
inline constexpr std::uint32_t DIRENT_CHILD = 76;
inline constexpr std::uint32_t DIRENT_CLSID = 80;
inline constexpr std::uint32_t DIRENT_STATE_BITS = 96;
inline constexpr std::uint32_t DIRENT_CREATION_TIME = 100;
inline constexpr std::uint32_t DIRENT_MODIFIED_TIME = 108;
inline constexpr std::uint32_t DIRENT_START_SECTOR = 116;
inline constexpr std::uint32_t DIRENT_STREAM_SIZE = 120;

inline constexpr std::uint8_t STGTY_INVALID = 0;
inline constexpr std::uint8_t STGTY_STORAGE = 1;
inline constexpr std::uint8_t STGTY_STREAM = 2;
inline constexpr std::uint8_t STGTY_ROOT = 5;
inline constexpr std::uint8_t DE_BLACK = 1;

} // namespace Cfb
