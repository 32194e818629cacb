#include "Biff8Stream.h"

namespace Biff8 {

namespace {

using RowBlock = Worksheet::CellTable::RowBlock;
using CellBlock = RowBlock::CellBlock;

// Reads the record at pos into r, advancing pos.
bool Take(Record& r, ConstBytes stream, std::size_t& pos)
{
    auto n = r.Decode(stream, pos);
    if (!n)
        return false;
    pos += n.value();
    return true;
}

bool Skip(ConstBytes stream, std::size_t& pos)
{
    auto n = SkipRecord(stream, pos);
    if (!n)
        return false;
    pos += n.value();
    return true;
}

// Skips a substream nested in a worksheet (an embedded chart) up to its own EOF.
bool SkipSubstream(ConstBytes stream, std::size_t& pos)
{
    int depth = 0;
    std::uint16_t code;
    while (PeekCode(stream, pos, code)) {
        if (code == RT_BOF)
            ++depth;
        if (!Skip(stream, pos))
            return false;
        if (code == RT_EOF && --depth == 0)
            return true;
    }
    return false;
}

bool IsCellCode(std::uint16_t code)
{
    switch (code) {
    case RT_FORMULA: case RT_MULRK: case RT_MULBLANK: case RT_LABELSST:
    case RT_BLANK: case RT_NUMBER: case RT_BOOLERR: case RT_RK:
        return true;
    default:
        return false;
    }
}

// Decodes one cell record into a holder; a malformed cell record is skipped. A FORMULA takes
// the records that belong to it along.
bool TakeCell(std::uint16_t code, ConstBytes stream, std::size_t& pos, RowBlock& block)
{
    const std::size_t start = pos;
    CellBlock holder;
    Record* r = nullptr;
    switch (code) {
    case RT_FORMULA: r = &holder.Make<CellBlock::Formula>(); break;
    case RT_MULRK: r = &holder.Make<CellBlock::MulRK>(); break;
    case RT_MULBLANK: r = &holder.Make<CellBlock::MulBlank>(); break;
    case RT_LABELSST: r = &holder.Make<CellBlock::LabelSST>(); break;
    case RT_BLANK: r = &holder.Make<CellBlock::Blank>(); break;
    case RT_NUMBER: r = &holder.Make<CellBlock::Number>(); break;
    case RT_BOOLERR: r = &holder.Make<CellBlock::BoolErr>(); break;
    default: r = &holder.Make<CellBlock::RK>(); break;
    }
    auto n = r->Decode(stream, pos);
    const bool kept = n.ok();
    if (!kept) {
        if (!Skip(stream, pos))
            return false;
    } else {
        pos += n.value();
        block.cells.push_back(std::move(holder));
    }
    if (code == RT_FORMULA) {
        CellBlock::Formula* formula = kept ? &std::get<CellBlock::Formula>(block.cells.back().cell) : nullptr;
        bool companionSelfContained = true;
        std::uint16_t next;
        if (PeekCode(stream, pos, next)
            && (next == RT_ARRAY || next == RT_SHRFMLA || next == RT_SHRFMLA1 || next == RT_TABLE)) {
            Record companion;
            auto m = companion.Decode(stream, pos);
            if (!m)
                return false;
            pos += m.value();
            companionSelfContained = ReadRecordTokens(next, companion.data).selfContained;
            if (formula)
                formula->headsGroup = true;
        }
        if (PeekCode(stream, pos, next) && next == RT_STRING) {
            // The formula's text result. A damaged one leaves the formula without text.
            CellRecords::String text;
            auto m = text.Decode(stream, pos);
            if (m) {
                pos += m.value();
                if (formula)
                    formula->cachedText = std::move(text.text);
            } else if (!Skip(stream, pos)) {
                return false;
            }
        }
        if (formula) {
            formula->tokens = ReadRecordTokens(RT_FORMULA, formula->data);
            if (formula->tokens.selfContained && companionSelfContained)
                formula->asRead.assign(stream.begin() + static_cast<std::ptrdiff_t>(start),
                                       stream.begin() + static_cast<std::ptrdiff_t>(pos));
        }
    }
    return true;
}

// Reads one row block: ROWs and cells up to its DBCELL. A block without DBCELL ends at the
// sheet's EOF or the stream's end.
bool ReadRowBlock(ConstBytes stream, std::size_t& pos, RowBlock& block)
{
    std::uint16_t code;
    while (PeekCode(stream, pos, code)) {
        if (code == RT_DBCELL)
            return Take(block.dbCell, stream, pos);
        if (code == RT_EOF || code == RT_BOF)
            return true;
        if (code == RT_ROW) {
            block.rows.emplace_back();
            if (!Take(block.rows.back(), stream, pos))
                return false;
        } else if (IsCellCode(code)) {
            if (!TakeCell(code, stream, pos, block))
                return false;
        } else if (!Skip(stream, pos)) {
            return false;
        }
    }
    return true;
}

bool ReadWorksheet(ConstBytes stream, std::size_t& pos, Worksheet& sheet)
{
    std::uint16_t code;
    while (PeekCode(stream, pos, code)) {
        switch (code) {
        case RT_EOF:
            return Skip(stream, pos);
        case RT_BOF:
            if (!SkipSubstream(stream, pos))
                return false;
            break;
        case RT_DIMENSIONS:
            if (!Take(sheet.dimensions, stream, pos))
                return false;
            break;
        case RT_INDEX:
            if (!Take(sheet.index, stream, pos))
                return false;
            break;
        case RT_WINDOW2:
            if (!Take(sheet.window2, stream, pos))
                return false;
            break;
        case RT_ROW:
            while (PeekCode(stream, pos, code) && code == RT_ROW) {
                sheet.cellTable.rowBlocks.emplace_back();
                if (!ReadRowBlock(stream, pos, sheet.cellTable.rowBlocks.back()))
                    return false;
            }
            break;
        default:
            if (!Skip(stream, pos))
                return false;
        }
    }
    // A sheet cut off before its EOF is damaged.
    return false;
}

bool ReadGlobals(ConstBytes stream, std::size_t& pos, Workbook& globals)
{
    std::uint16_t code;
    while (PeekCode(stream, pos, code)) {
        bool ok = true;
        switch (code) {
        case RT_EOF:
            return Skip(stream, pos);
        case RT_WINDOW1:
            ok = Take(globals.window1, stream, pos);
            break;
        case RT_FONT:
            globals.fonts.emplace_back();
            ok = Take(globals.fonts.back(), stream, pos);
            break;
        case RT_XF:
            globals.xfs.emplace_back();
            ok = Take(globals.xfs.back(), stream, pos);
            break;
        case RT_STYLE:
            globals.styles.emplace_back();
            ok = Take(globals.styles.back(), stream, pos);
            break;
        case RT_BOUNDSHEET:
            globals.boundSheets.emplace_back();
            ok = Take(globals.boundSheets.back(), stream, pos);
            break;
        case RT_SST:
            ok = Take(globals.sst, stream, pos);
            break;
        default:
            ok = Skip(stream, pos);
        }
        if (!ok)
            return false;
    }
    return false;
}

} // namespace

Status ParseWorkbookStream(ConstBytes stream, Workbook& globals, std::vector<Worksheet>& sheets,
                           std::vector<ParsedSheet>* where)
{
    std::size_t pos = 0;
    std::uint16_t code;
    bool haveGlobals = false;
    while (PeekCode(stream, pos, code) && code == RT_BOF) {
        const std::size_t bofAt = pos;
        BOF bof;
        if (!Take(bof, stream, pos) || bof.version != BIFF8_VERSION)
            return StatusCode::BadFormat;
        if (bof.type == BOF_TYPE_WORKBOOK_GLOBALS) {
            if (haveGlobals)
                return StatusCode::BadFormat;
            haveGlobals = true;
            globals.bof = bof;
            if (!ReadGlobals(stream, pos, globals))
                return StatusCode::BadFormat;
        } else if (bof.type == BOF_TYPE_WORKSHEET) {
            if (!haveGlobals)
                return StatusCode::BadFormat;
            sheets.emplace_back();
            sheets.back().bof = bof;
            if (!ReadWorksheet(stream, pos, sheets.back()))
                return StatusCode::BadFormat;
            if (where)
                where->push_back(ParsedSheet{static_cast<std::uint32_t>(bofAt)});
        }
        // Chart, macro and module substreams: only their BOF is consumed.
    }
    return haveGlobals ? Status::Success() : Status(StatusCode::BadFormat);
}

Status FixStreamPositions(Workbook& globals, std::vector<Worksheet>& sheets)
{
    if (globals.boundSheets.size() != sheets.size())
        return StatusCode::BadFormat;
    std::uint64_t position = globals.TotalLength();
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        Worksheet& sheet = sheets[i];
        globals.boundSheets[i].position = static_cast<std::uint32_t>(position);
        sheet.index.dbCellPositions.resize(sheet.cellTable.rowBlocks.size());
        std::uint64_t at = position + sheet.bof.TotalLength() + sheet.index.TotalLength()
            + sheet.dimensions.TotalLength();
        for (std::size_t b = 0; b < sheet.cellTable.rowBlocks.size(); ++b) {
            RowBlock& block = sheet.cellTable.rowBlocks[b];
            std::uint32_t rowBytes = 0;
            for (auto& r : block.rows)
                rowBytes += r.TotalLength();
            // Bytes of cell records per ROW of the block, in row order.
            std::vector<std::uint32_t> cellBytes(block.rows.size(), 0);
            std::uint32_t allCells = 0;
            std::size_t k = 0;
            for (auto& c : block.cells) {
                std::uint32_t n = c.AsRecord().TotalLength();
                allCells += n;
                std::uint16_t row = c.AsCell().row;
                while (k + 1 < block.rows.size() && block.rows[k].rowIndex < row)
                    ++k;
                if (k < cellBytes.size())
                    cellBytes[k] += n;
            }
            at += rowBytes + allCells;
            sheet.index.dbCellPositions[b] = static_cast<std::uint32_t>(at);
            block.dbCell.firstRowOffset = rowBytes + allCells;
            block.dbCell.rowOffsets.clear();
            for (std::size_t r = 0; r < block.rows.size(); ++r)
                block.dbCell.rowOffsets.push_back(static_cast<std::uint16_t>(
                    r == 0 ? rowBytes - block.rows[0].TotalLength() : cellBytes[r - 1]));
            at += block.dbCell.TotalLength();
        }
        position += sheet.TotalLength();
        if (position > UINT32_MAX)
            return StatusCode::TooLarge;
    }
    return Status::Success();
}

Result<Bytes> SerialiseWorkbookStream(Workbook& globals, std::vector<Worksheet>& sheets)
{
    std::uint64_t total = globals.TotalLength();
    for (auto& s : sheets)
        total += s.TotalLength();
    if (total > UINT32_MAX)
        return StatusCode::TooLarge;
    Bytes out(static_cast<std::size_t>(total), 0);
    std::size_t pos = globals.Encode(out, 0);
    if (pos == 0)
        return StatusCode::BadFormat;
    for (auto& s : sheets) {
        std::uint32_t n = s.Encode(out, pos);
        if (n == 0)
            return StatusCode::BadFormat;
        pos += n;
    }
    return out;
}

} // namespace Biff8
