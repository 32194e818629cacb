#pragma once

#include <cstdint>

// Record codes and limits of the Excel 97-2003 workbook stream (BIFF8), under the names the
// published format documents use.
namespace Biff8 {

inline constexpr std::uint16_t BIFF8_VERSION = 0x0600;
inline constexpr std::uint16_t BOF_TYPE_WORKBOOK_GLOBALS = 0x0005;
inline constexpr std::uint16_t BOF_TYPE_WORKSHEET = 0x0010;

inline constexpr std::uint16_t RT_FORMULA = 0x0006;
inline constexpr std::uint16_t RT_EOF = 0x000A;
inline constexpr std::uint16_t RT_FONT = 0x0031;
inline constexpr std::uint16_t RT_TABLE = 0x0036;
inline constexpr std::uint16_t RT_CONTINUE = 0x003C;
inline constexpr std::uint16_t RT_WINDOW1 = 0x003D;
inline constexpr std::uint16_t RT_BOUNDSHEET = 0x0085;
inline constexpr std::uint16_t RT_SHRFMLA = 0x00BC;
inline constexpr std::uint16_t RT_MULRK = 0x00BD;
inline constexpr std::uint16_t RT_MULBLANK = 0x00BE;
inline constexpr std::uint16_t RT_DBCELL = 0x00D7;
inline constexpr std::uint16_t RT_XF = 0x00E0;
inline constexpr std::uint16_t RT_SST = 0x00FC;
inline constexpr std::uint16_t RT_LABELSST = 0x00FD;
inline constexpr std::uint16_t RT_EXTSST = 0x00FF;
inline constexpr std::uint16_t RT_DIMENSIONS = 0x0200;
inline constexpr std::uint16_t RT_BLANK = 0x0201;
inline constexpr std::uint16_t RT_NUMBER = 0x0203;
inline constexpr std::uint16_t RT_BOOLERR = 0x0205;
inline constexpr std::uint16_t RT_STRING = 0x0207;
inline constexpr std::uint16_t RT_ROW = 0x0208;
inline constexpr std::uint16_t RT_INDEX = 0x020B;
inline constexpr std::uint16_t RT_ARRAY = 0x0221;
inline constexpr std::uint16_t RT_WINDOW2 = 0x023E;
inline constexpr std::uint16_t RT_RK = 0x027E;
inline constexpr std::uint16_t RT_STYLE = 0x0293;
inline constexpr std::uint16_t RT_SHRFMLA1 = 0x04BC;
inline constexpr std::uint16_t RT_BOF = 0x0809;

// Largest data part of one physical record; longer data continues in CONTINUE records.
inline constexpr std::uint32_t MAX_RECORD_DATA = 8224;
inline constexpr std::uint32_t RECORD_HEADER_SIZE = 4;
inline constexpr std::uint32_t ROW_RECORD_SIZE = 20;
inline constexpr std::uint32_t ROWS_PER_BLOCK = 32;

inline constexpr std::uint32_t MAX_ROWS = 65536;
inline constexpr std::uint32_t MAX_COLUMNS = 256;

inline constexpr std::uint16_t WINDOW2_DEFAULT_OPTIONS = 0x06B6;
inline constexpr std::uint16_t WINDOW2_SELECTED = 0x0200;

// SST string flags.
inline constexpr std::uint8_t STR_HIGH_BYTE = 0x01;
inline constexpr std::uint8_t STR_PHONETIC = 0x04;
inline constexpr std::uint8_t STR_RICH = 0x08;

} // namespace Biff8
