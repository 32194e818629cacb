#include "SheetGrid.h"

GridCell* SheetGrid::CellAt(std::uint32_t row, std::uint32_t column)
{
    if (row >= kMaxRows || column >= kMaxColumns)
        return nullptr;
    if (column >= columns_)
        columns_ = column + 1;
    if (row >= rows_)
        rows_ = row + 1;
    written_.insert(Key(row, column));
    return &cells_[Key(row, column)];
}

const GridCell* SheetGrid::Find(std::uint32_t row, std::uint32_t column) const
{
    if (row >= rows_ || column >= columns_)
        return nullptr;
    auto it = cells_.find(Key(row, column));
    return it == cells_.end() ? nullptr : &it->second;
}
