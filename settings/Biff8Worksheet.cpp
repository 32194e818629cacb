#include "Biff8Worksheet.h"

#include <algorithm>

namespace Biff8 {

using ByteOrder::Reader;
using ByteOrder::Writer;

bool Worksheet::Index::DecodeFields()
{
    Reader in(data);
    reserved1 = in.U32();
    firstUsedRow = in.U32();
    lastUsedRowPlus1 = in.U32();
    reserved2 = in.U32();
    if (!in.ok() || lastUsedRowPlus1 > MAX_ROWS || firstUsedRow > lastUsedRowPlus1)
        return false;
    dbCellPositions.clear();
    if (firstUsedRow == lastUsedRowPlus1)
        return true;
    // One entry per row block; a writer that listed fewer is taken at its word.
    std::size_t count = (lastUsedRowPlus1 - firstUsedRow - 1) / ROWS_PER_BLOCK + 1;
    count = std::min(count, in.remaining() / 4);
    for (std::size_t i = 0; i < count; ++i)
        dbCellPositions.push_back(in.U32());
    return in.ok();
}

void Worksheet::Index::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U32(reserved1);
    w.U32(firstUsedRow);
    w.U32(lastUsedRowPlus1);
    w.U32(reserved2);
    for (std::uint32_t p : dbCellPositions)
        w.U32(p);
    data = std::move(b);
}

bool Worksheet::Dimensions::DecodeFields()
{
    Reader in(data);
    firstUsedRow = in.U32();
    lastUsedRowPlus1 = in.U32();
    firstUsedColumn = in.U16();
    lastUsedColumnPlus1 = in.U16();
    if (in.remaining() >= 2)
        reserved = in.U16();
    return in.ok() && lastUsedRowPlus1 <= MAX_ROWS && lastUsedColumnPlus1 <= MAX_COLUMNS;
}

void Worksheet::Dimensions::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U32(firstUsedRow);
    w.U32(lastUsedRowPlus1);
    w.U16(firstUsedColumn);
    w.U16(lastUsedColumnPlus1);
    w.U16(reserved);
    SetFields(std::move(b));
}

bool Worksheet::Window2::DecodeFields()
{
    // Chart sheets and some writers stop after the first ten bytes.
    Reader in(data);
    options = in.U16();
    firstVisibleRow = in.U16();
    firstVisibleColumn = in.U16();
    gridLineColourIndex = in.U16();
    reserved1 = in.U16();
    if (!in.ok())
        return false;
    if (in.remaining() >= 8) {
        pageBreakPreviewZoom = in.U16();
        normalZoom = in.U16();
        reserved2 = in.U32();
    }
    return true;
}

void Worksheet::Window2::EncodeFields()
{
    Bytes b;
    Writer w(b);
    for (std::uint16_t v : {options, firstVisibleRow, firstVisibleColumn, gridLineColourIndex, reserved1,
                            pageBreakPreviewZoom, normalZoom})
        w.U16(v);
    w.U32(reserved2);
    SetFields(std::move(b));
}

bool Worksheet::CellTable::RowBlock::Row::DecodeFields()
{
    Reader in(data);
    rowIndex = in.U16();
    firstColumn = in.U16();
    lastColumnPlus1 = in.U16();
    height = in.U16();
    reserved1 = in.U16();
    reserved2 = in.U16();
    options = in.U32();
    return in.ok();
}

void Worksheet::CellTable::RowBlock::Row::EncodeFields()
{
    Bytes b;
    Writer w(b);
    for (std::uint16_t v : {rowIndex, firstColumn, lastColumnPlus1, height, reserved1, reserved2})
        w.U16(v);
    w.U32(options);
    SetFields(std::move(b));
}

bool Worksheet::CellTable::RowBlock::DBCell::DecodeFields()
{
    Reader in(data);
    firstRowOffset = in.U32();
    rowOffsets.clear();
    while (in.ok() && in.remaining() >= 2)
        rowOffsets.push_back(in.U16());
    return in.ok();
}

void Worksheet::CellTable::RowBlock::DBCell::EncodeFields()
{
    Bytes b;
    Writer w(b);
    w.U32(firstRowOffset);
    for (std::uint16_t o : rowOffsets)
        w.U16(o);
    data = std::move(b);
}

std::uint32_t Worksheet::TotalLength()
{
    std::uint32_t total = bof.TotalLength() + index.TotalLength() + dimensions.TotalLength();
    for (auto& block : cellTable.rowBlocks) {
        for (auto& r : block.rows)
            total += r.TotalLength();
        for (auto& c : block.cells)
            total += c.AsRecord().TotalLength();
        total += block.dbCell.TotalLength();
    }
    return total + window2.TotalLength() + eof.TotalLength();
}

std::uint32_t Worksheet::Encode(std::span<std::uint8_t> out, std::size_t pos)
{
    std::size_t start = pos;
    auto put = [&](Record& r) {
        std::uint32_t n = r.Encode(out, pos);
        pos += n;
        return n != 0;
    };
    bool ok = put(bof) && put(index) && put(dimensions);
    for (auto& block : cellTable.rowBlocks) {
        for (auto& r : block.rows)
            ok = ok && put(r);
        for (auto& c : block.cells)
            ok = ok && put(c.AsRecord());
        ok = ok && put(block.dbCell);
    }
    ok = ok && put(window2) && put(eof);
    return ok ? static_cast<std::uint32_t>(pos - start) : 0;
}

} // namespace Biff8
