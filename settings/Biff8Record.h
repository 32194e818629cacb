#pragma once

#include "Biff8Format.h"
#include "ByteOrder.h"
#include "Status.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace Biff8 {

using Bytes = std::vector<std::uint8_t>;
using ConstBytes = std::span<const std::uint8_t>;

// One record of the workbook stream: code, data, and how it was framed when read.
class Record {
public:
    explicit Record(std::uint16_t recordCode = 0) : code(recordCode) {}
    virtual ~Record() = default;
    Record(const Record&) = default;
    Record& operator=(const Record&) = default;
    Record(Record&&) = default;
    Record& operator=(Record&&) = default;

    // Reads the record at pos, with its CONTINUE pieces, and decodes the fields.
    // Gives the number of stream bytes consumed.
    virtual Result<std::uint32_t> Decode(ConstBytes stream, std::size_t pos);
    // Encodes the fields and writes the framed record at pos; gives the bytes written,
    // or 0 when the buffer is too small.
    virtual std::uint32_t Encode(std::span<std::uint8_t> out, std::size_t pos);
    // Re-encodes the fields and gives the data length.
    virtual std::uint32_t DataLength();
    // Gives the bytes the record takes in the stream, CONTINUE headers included.
    virtual std::uint32_t TotalLength();

    std::uint16_t code;
    Bytes data;
    std::uint32_t dataSize = 0;
    std::uint32_t recordSize = 0;
    std::vector<std::uint32_t> continueOffsets;

protected:
    // Field hooks of the record classes: read the fields from data, write them into data.
    virtual bool DecodeFields() { return true; }
    virtual void EncodeFields() {}
    // Replaces data with freshly encoded fields, keeping any bytes read past them.
    void SetFields(Bytes fields);

private:
    std::vector<std::uint32_t> PieceStarts() const;
};

// Consumes one record with its CONTINUE pieces without keeping it.
Result<std::uint32_t> SkipRecord(ConstBytes stream, std::size_t pos);
// Code of the record at pos, or false when no whole header is there.
bool PeekCode(ConstBytes stream, std::size_t pos, std::uint16_t& code);

// A string of the workbook stream: 8-bit strings keep their bytes (the first 256 Unicode
// characters), 16-bit strings their UTF-16 code units.
struct UnicodeString {
    bool wide = false;
    std::string narrow;
    std::u16string text;
};

// Reads one string with a 16-bit character count (count 2, flags 1, optional run count and
// phonetic size, characters, then runs and phonetic data, which are skipped) at pos in the data
// of a record that arrived in pieces starting at cuts. A piece that begins inside the characters
// starts with its own flags byte, whose bit 0 gives the width of that piece's characters.
// nextCut is the first cut not yet passed; pos and nextCut are advanced past the string.
bool ReadContinuedString(const Bytes& data, std::span<const std::uint32_t> cuts, std::size_t& pos,
                         std::size_t& nextCut, UnicodeString& out);

// A name with an 8-bit character count (FONT and BOUNDSHEET names). 8-bit characters are
// the first 256 Unicode characters, so they are kept as UTF-16 code units.
struct ShortString {
    bool wide = false;
    std::u16string text;

    static ShortString Narrow(std::u16string s) { return ShortString{false, std::move(s)}; }
    bool Decode(ByteOrder::Reader& in);
    void Encode(ByteOrder::Writer& out) const;
};

class BOF : public Record {
public:
    explicit BOF(std::uint16_t substreamType = BOF_TYPE_WORKBOOK_GLOBALS) : Record(RT_BOF), type(substreamType) {}
    std::uint16_t version = BIFF8_VERSION;
    std::uint16_t type;
    std::uint16_t buildIdentifier = 0x19A0;
    std::uint16_t buildYear = 0x07CD;
    std::uint32_t fileHistoryFlags = 0x0000C0C9;
    std::uint32_t lowestVersion = 0x00000306;

protected:
    bool DecodeFields() override;
    void EncodeFields() override;
};

class EndOfFile : public Record {
public:
    EndOfFile() : Record(RT_EOF) {}
};

} // namespace Biff8
