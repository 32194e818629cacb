#pragma once

#include "GridCell.h"

#include <cstdint>
#include <map>
#include <set>

class ExcelDocument;

// One worksheet as a grid of cells. The row and column counts are the sheet's extent; cells
// are stored sparsely (row-major order), so a large extent costs no memory by itself.
class SheetGrid {
public:
    static constexpr std::uint32_t kMaxRows = 65536;
    static constexpr std::uint32_t kMaxColumns = 256;

    SheetGrid(ExcelDocument* owner, std::uint32_t index, std::uint32_t rows, std::uint32_t columns)
        : owner_(owner), index_(index), rows_(rows), columns_(columns) {}

    ExcelDocument* Owner() const { return owner_; }
    std::uint32_t Index() const { return index_; }
    std::uint32_t RowCount() const { return rows_; }
    std::uint32_t ColumnCount() const { return columns_; }

    // The cell at (row, column), growing the grid to hold it; none beyond the sheet limits.
    // The cell counts as written from then on.
    GridCell* CellAt(std::uint32_t row, std::uint32_t column);
    // The cell when it has been stored; none otherwise. Never grows the grid.
    const GridCell* Find(std::uint32_t row, std::uint32_t column) const;

    // Stored cells in row-major order, keyed by row × 256 + column.
    const std::map<std::uint32_t, GridCell>& Cells() const { return cells_; }
    static std::uint32_t Key(std::uint32_t row, std::uint32_t column) { return row * kMaxColumns + column; }

    // Whether the cell with this key has been taken for writing since the grid was filled from
    // the file; a store replaces what the file held there (a formula) only for such cells.
    bool Written(std::uint32_t key) const { return written_.count(key) != 0; }
    // Called once the file's cells are in.
    void ForgetWrites() { written_.clear(); }

private:
    ExcelDocument* owner_;
    std::uint32_t index_;
    std::uint32_t rows_;
    std::uint32_t columns_;
    std::map<std::uint32_t, GridCell> cells_;
    std::set<std::uint32_t> written_;
};
