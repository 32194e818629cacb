#pragma once

#include "Biff8FormulaTokens.h"
#include "Biff8Record.h"

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// The cell records of a row block. They are reached through their holder as
// Biff8::Worksheet::CellTable::RowBlock::CellBlock::<kind>.
namespace Biff8::CellRecords {

class CellRecord : public Record {
public:
    using Record::Record;
    std::uint16_t row = 0;
    std::uint16_t column = 0;
    std::uint16_t xfIndex = 0;
};

class Blank : public CellRecord {
public:
    Blank() : CellRecord(RT_BLANK) {}
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class BoolErr : public CellRecord {
public:
    BoolErr() : CellRecord(RT_BOOLERR) {}
    std::uint8_t value = 0;
    std::uint8_t isError = 0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class LabelSST : public CellRecord {
public:
    LabelSST() : CellRecord(RT_LABELSST) {}
    std::uint32_t stringIndex = 0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

// column is the first column; one XF index per column.
class MulBlank : public CellRecord {
public:
    MulBlank() : CellRecord(RT_MULBLANK) {}
    std::vector<std::uint16_t> xfIndices;
    std::uint16_t lastColumn = 0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

// column is the first column; one (XF index, RK value) pair per column.
class MulRK : public CellRecord {
public:
    MulRK() : CellRecord(RT_MULRK) {}
    struct Entry {
        std::uint16_t xfIndex = 0;
        std::uint32_t rk = 0;
    };
    std::vector<Entry> entries;
    std::uint16_t lastColumn = 0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class Number : public CellRecord {
public:
    Number() : CellRecord(RT_NUMBER) {}
    double value = 0.0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class RK : public CellRecord {
public:
    RK() : CellRecord(RT_RK) {}
    std::uint32_t rk = 0;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class Formula : public CellRecord {
public:
    Formula() : CellRecord(RT_FORMULA) {}
    std::uint64_t result = 0;
    std::uint16_t options = 0;
    std::uint16_t reserved = 0;
    Bytes rest;

    // The result the writing program cached with the formula: a number unless the result's
    // last two bytes are 0xFFFF, in which case its first byte names the kind.
    enum class Cached { Number, Text, Boolean, Error, EmptyText, Unknown };
    Cached CachedKind() const;
    double CachedNumber() const;
    // The value byte of a boolean or error result.
    std::uint8_t CachedByte() const { return static_cast<std::uint8_t>(result >> 16); }
    // A text result's characters, from the STRING record that follows the formula; none when
    // that record is missing or damaged.
    std::optional<UnicodeString> cachedText;

    // As read from a stream: whether a SHRFMLA, ARRAY or TABLE followed (this cell heads a
    // shared, array or table formula), what the tokens of both lean on, and, when they need
    // nothing outside the sheet, the FORMULA record with those that belong to it (SHRFMLA,
    // ARRAY or TABLE, then STRING) byte for byte. A formula holding them is written as they are.
    bool headsGroup = false;
    FormulaTokens tokens;
    Bytes asRead;

    std::uint32_t Encode(std::span<std::uint8_t> out, std::size_t pos) override;
    std::uint32_t TotalLength() override;
protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

// The text result of the formula before it (STRING, 0x0207), which may continue.
class String : public Record {
public:
    String() : Record(RT_STRING) {}
    UnicodeString text;
protected:
    bool DecodeFields() override;
};

} // namespace Biff8::CellRecords
