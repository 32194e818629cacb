#include "ExcelDocument.h"

#include "Biff8Stream.h"
#include "CompoundBuilder.h"
#include "CompoundFileFormat.h"
#include "RkValue.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>

namespace {

const std::u16string kWorkbookStream = u"Workbook";
// What a container without extension sectors can hold.
constexpr std::uint64_t kMaxStreamBytes = 109ull * 128 * 512;

using RowBlock = Biff8::Worksheet::CellTable::RowBlock;
using CellBlock = RowBlock::CellBlock;
using Formula = CellBlock::Formula;
using Formulas = std::map<std::uint32_t, Formula>;

void PutRk(SheetGrid& grid, Formulas& formulas, std::uint32_t row, std::uint32_t column, std::uint32_t rk)
{
    if (row >= grid.RowCount() || column >= grid.ColumnCount())
        return;
    formulas.erase(SheetGrid::Key(row, column));
    RkValue::Decoded v = RkValue::Decode(rk);
    GridCell* cell = grid.CellAt(row, column);
    if (v.isInteger)
        cell->SetInteger(v.integer);
    else
        cell->SetDouble(v.real);
}

void PutText(GridCell& cell, const Biff8::UnicodeString& text)
{
    if (text.wide)
        cell.SetWideText(text.text);
    else
        cell.SetAnsiText(text.narrow);
}

// Puts the cells of the sheet's records into the grid, the last record for a cell making the
// cell; formulas also go into formulas, by cell, for the store to write back.
void FillGrid(SheetGrid& grid, Formulas& formulas, Biff8::Worksheet& sheet, const Biff8::Workbook::SharedStringTable& sst)
{
    auto inside = [&](std::uint32_t row, std::uint32_t column) {
        return row < grid.RowCount() && column < grid.ColumnCount();
    };
    // A cell set by another record holds no formula any more.
    auto set = [&](std::uint32_t row, std::uint32_t column) {
        formulas.erase(SheetGrid::Key(row, column));
        return grid.CellAt(row, column);
    };
    for (RowBlock& block : sheet.cellTable.rowBlocks) {
        for (CellBlock& holder : block.cells) {
            switch (holder.code) {
            case Biff8::RT_RK: {
                const auto& r = std::get<CellBlock::RK>(holder.cell);
                PutRk(grid, formulas, r.row, r.column, r.rk);
                break;
            }
            case Biff8::RT_MULRK: {
                const auto& r = std::get<CellBlock::MulRK>(holder.cell);
                for (std::size_t k = 0; k < r.entries.size(); ++k)
                    PutRk(grid, formulas, r.row, r.column + static_cast<std::uint32_t>(k), r.entries[k].rk);
                break;
            }
            case Biff8::RT_NUMBER: {
                const auto& r = std::get<CellBlock::Number>(holder.cell);
                if (inside(r.row, r.column))
                    set(r.row, r.column)->SetDouble(r.value);
                break;
            }
            case Biff8::RT_LABELSST: {
                const auto& r = std::get<CellBlock::LabelSST>(holder.cell);
                if (!inside(r.row, r.column) || r.stringIndex >= sst.strings.size())
                    break;
                PutText(*set(r.row, r.column), sst.strings[r.stringIndex]);
                break;
            }
            case Biff8::RT_BOOLERR: {
                const auto& r = std::get<CellBlock::BoolErr>(holder.cell);
                if (inside(r.row, r.column) && r.isError == 0)
                    set(r.row, r.column)->SetInteger(r.value);
                break;
            }
            case Biff8::RT_FORMULA: {
                // The cached result is the cell's value; the formula waits for the store.
                const auto& r = std::get<CellBlock::Formula>(holder.cell);
                if (!inside(r.row, r.column))
                    break;
                GridCell* cell = grid.CellAt(r.row, r.column);
                cell->Clear();
                formulas.insert_or_assign(SheetGrid::Key(r.row, r.column), r);
                switch (r.CachedKind()) {
                case Biff8::CellRecords::Formula::Cached::Number:
                    cell->SetDouble(r.CachedNumber());
                    break;
                case Biff8::CellRecords::Formula::Cached::Text:
                    if (r.cachedText)
                        PutText(*cell, *r.cachedText);
                    break;
                case Biff8::CellRecords::Formula::Cached::Boolean:
                    cell->SetInteger(r.CachedByte()); // as a BOOLERR value
                    break;
                default:
                    break; // errors and empty texts leave the cell empty, as BOOLERR errors do
                }
                break;
            }
            default:
                break; // BLANK and MULBLANK leave the cell empty
            }
        }
    }
}

// The formulas read from a sheet that a store writes back as they were read: those of cells
// not written since, needing nothing outside the sheet. A shared, array or table formula is
// kept only together with every cell of its group and with the cell heading the group (whose
// SHRFMLA, ARRAY or TABLE record the others need), which must come first; otherwise the whole
// group is written as values.
std::map<std::uint32_t, const Formula*> KeptFormulas(const SheetGrid& grid, const Formulas& read)
{
    auto keepable = [&](std::uint32_t key, const Formula& f) { return !f.asRead.empty() && !grid.Written(key); };
    // The cell whose records a formula needs; a column past the sheet names no cell.
    auto needs = [](const Formula& f) -> std::optional<std::uint32_t> {
        if (!f.tokens.groupRow)
            return std::nullopt;
        if (*f.tokens.groupRow >= SheetGrid::kMaxRows || f.tokens.groupColumn >= SheetGrid::kMaxColumns)
            return UINT32_MAX;
        return SheetGrid::Key(*f.tokens.groupRow, f.tokens.groupColumn);
    };
    std::set<std::uint32_t> broken;
    for (const auto& [key, f] : read) {
        const std::optional<std::uint32_t> head = needs(f);
        if (!head)
            continue;
        const auto h = read.find(*head);
        if (!keepable(key, f) || *head > key || h == read.end() || !h->second.headsGroup || !keepable(h->first, h->second))
            broken.insert(*head);
    }
    std::map<std::uint32_t, const Formula*> kept;
    for (const auto& [key, f] : read) {
        const std::optional<std::uint32_t> head = needs(f);
        if (keepable(key, f) && !(head && broken.count(*head)) && !(f.headsGroup && broken.count(key)))
            kept.emplace(key, &f);
    }
    return kept;
}

// Keeps one BOUNDSHEET per worksheet read: the one that points at the sheet's BOF, else the
// next unused one, else a new one.
void MatchBoundSheets(Biff8::Workbook& globals, const std::vector<Biff8::ParsedSheet>& where)
{
    std::vector<Biff8::Workbook::BoundSheet> kept;
    std::vector<bool> used(globals.boundSheets.size(), false);
    std::vector<int> choice(where.size(), -1);
    // Hostile files may list many sheets: match through a table, not pair by pair.
    std::unordered_multimap<std::uint32_t, std::size_t> byPosition;
    for (std::size_t b = globals.boundSheets.size(); b-- > 0;)
        byPosition.emplace(globals.boundSheets[b].position, b);
    for (std::size_t i = 0; i < where.size(); ++i) {
        auto [first, last] = byPosition.equal_range(where[i].bofPosition);
        for (auto it = first; it != last; ++it)
            if (!used[it->second] && (choice[i] < 0 || it->second < static_cast<std::size_t>(choice[i])))
                choice[i] = static_cast<int>(it->second);
        if (choice[i] >= 0)
            used[static_cast<std::size_t>(choice[i])] = true;
    }
    std::size_t nextUnused = 0;
    for (std::size_t i = 0; i < where.size(); ++i) {
        if (choice[i] < 0)
            for (; nextUnused < globals.boundSheets.size(); ++nextUnused)
                if (!used[nextUnused] && globals.boundSheets[nextUnused].sheetType == 0) {
                    used[nextUnused] = true;
                    choice[i] = static_cast<int>(nextUnused);
                    break;
                }
        if (choice[i] >= 0) {
            kept.push_back(globals.boundSheets[static_cast<std::size_t>(choice[i])]);
        } else {
            Biff8::Workbook::BoundSheet fresh;
            std::string name = "Sheet" + std::to_string(i + 1);
            fresh.name = Biff8::ShortString::Narrow(std::u16string(name.begin(), name.end()));
            kept.push_back(fresh);
        }
    }
    globals.boundSheets = std::move(kept);
}

} // namespace

void ExcelDocument::Reset()
{
    workbook_ = Biff8::Workbook{};
    worksheets_.clear();
    grids_.clear();
    formulas_.clear();
}

SheetGrid* ExcelDocument::SheetAt(std::size_t index)
{
    return index < grids_.size() ? grids_[index].get() : nullptr;
}

Status ExcelDocument::OpenBook(const std::filesystem::path& path)
{
    Reset();
    if (Status st = storage_.Open(path); !st)
        return st;
    return LoadFromStorage();
}

Status ExcelDocument::OpenBookFromMemory(std::vector<std::uint8_t> fileBytes)
{
    Reset();
    if (Status st = storage_.OpenFromMemory(std::move(fileBytes)); !st)
        return st;
    return LoadFromStorage();
}

Status ExcelDocument::LoadFromStorage()
{
    std::vector<std::uint8_t> stream;
    Status st = storage_.ReadStream(kWorkbookStream, stream);
    if (st) {
        std::vector<Biff8::ParsedSheet> where;
        st = Biff8::ParseWorkbookStream(stream, workbook_, worksheets_, &where);
        // A worksheet listed past the end of the stream means the stream was cut short.
        for (const auto& bs : workbook_.boundSheets)
            if (st && bs.sheetType == 0 && std::uint64_t{bs.position} + Biff8::RECORD_HEADER_SIZE > stream.size())
                st = StatusCode::BadFormat;
        if (st)
            MatchBoundSheets(workbook_, where);
    }
    if (!st) {
        // A document that did not load cleanly stays empty, so it can never be written back.
        Reset();
        storage_.Close();
        return st;
    }
    for (std::size_t i = 0; i < worksheets_.size(); ++i) {
        const auto& dims = worksheets_[i].dimensions;
        grids_.push_back(std::make_unique<SheetGrid>(this, static_cast<std::uint32_t>(i), dims.lastUsedRowPlus1,
                                                     dims.lastUsedColumnPlus1));
        formulas_.emplace_back();
        FillGrid(*grids_.back(), formulas_.back(), worksheets_[i], workbook_.sst);
        grids_.back()->ForgetWrites();
    }
    return Status::Success();
}

Status ExcelDocument::RebuildFromGrids()
{
    auto& sst = workbook_.sst;
    sst.totalReferences = 0;
    sst.uniqueCount = 0;
    sst.strings.clear();
    sst.continueOffsets.clear();
    std::unordered_map<std::string, std::uint32_t> ansiIndex;
    std::unordered_map<std::u16string, std::uint32_t> wideIndex;

    // Every row block costs at least an empty DBCELL: refuse sheets whose mere extent would
    // make a stream larger than a container can hold, before building any of it.
    std::uint64_t blocks = 0;
    for (const auto& grid : grids_)
        blocks += (grid->RowCount() + Biff8::ROWS_PER_BLOCK - 1) / Biff8::ROWS_PER_BLOCK;
    if (blocks * 8 > kMaxStreamBytes)
        return StatusCode::TooLarge;

    worksheets_.clear();
    worksheets_.resize(grids_.size());
    for (std::size_t s = 0; s < grids_.size(); ++s) {
        const SheetGrid& grid = *grids_[s];
        Biff8::Worksheet& ws = worksheets_[s];
        const auto kept = s < formulas_.size() ? KeptFormulas(grid, formulas_[s]) : std::map<std::uint32_t, const Formula*>{};
        const std::uint32_t rows = grid.RowCount();
        const std::uint32_t columns = grid.ColumnCount();
        ws.index.lastUsedRowPlus1 = rows;
        ws.dimensions.lastUsedRowPlus1 = rows;
        ws.dimensions.lastUsedColumnPlus1 = static_cast<std::uint16_t>(columns);
        if (s > 0)
            ws.window2.options &= static_cast<std::uint16_t>(~Biff8::WINDOW2_SELECTED);
        ws.cellTable.rowBlocks.resize((rows + Biff8::ROWS_PER_BLOCK - 1) / Biff8::ROWS_PER_BLOCK);

        bool firstRowSet = false;
        std::uint32_t firstColumn = UINT32_MAX;
        std::uint32_t lastRowWithRecord = UINT32_MAX;
        const auto& cells = grid.Cells();
        for (auto it = cells.begin(); it != cells.end();) {
            const std::uint32_t row = it->first / SheetGrid::kMaxColumns;
            const std::uint32_t column = it->first % SheetGrid::kMaxColumns;
            const GridCell& cell = it->second;
            const auto formula = kept.find(it->first);
            if (cell.IsEmpty() && formula == kept.end()) {
                ++it;
                continue;
            }
            if (!firstRowSet) {
                firstRowSet = true;
                ws.index.firstUsedRow = row;
                ws.dimensions.firstUsedRow = row;
            }
            firstColumn = std::min(firstColumn, column);
            RowBlock& block = ws.cellTable.rowBlocks[row / Biff8::ROWS_PER_BLOCK];
            if (row != lastRowWithRecord) {
                lastRowWithRecord = row;
                RowBlock::Row r;
                r.rowIndex = static_cast<std::uint16_t>(row);
                r.lastColumnPlus1 = static_cast<std::uint16_t>(columns);
                block.rows.push_back(r);
                block.dbCell.rowOffsets.push_back(0);
            }

            // The run of following cells in adjacent columns of this row that satisfy pred and
            // hold no formula to keep.
            auto runEnd = [&](auto pred) {
                auto end = std::next(it);
                std::uint32_t expect = column + 1;
                while (end != cells.end() && end->first / SheetGrid::kMaxColumns == row
                       && end->first % SheetGrid::kMaxColumns == expect && pred(end->second)
                       && kept.count(end->first) == 0) {
                    ++end;
                    ++expect;
                }
                return end;
            };
            auto isRkInteger = [](const GridCell& c) {
                return c.Type() == CellType::Integer && RkValue::FitsInteger(c.AsInteger());
            };

            CellBlock holder;
            auto next = std::next(it);
            if (formula != kept.end()) {
                holder.Make<CellBlock::Formula>() = *formula->second;
                block.cells.push_back(std::move(holder));
                it = next;
                continue;
            }
            switch (cell.Type()) {
            case CellType::Integer:
            case CellType::Double: {
                const bool integer = isRkInteger(cell);
                std::optional<std::uint32_t> rk = integer ? std::optional<std::uint32_t>(RkValue::EncodeInteger(cell.AsInteger()))
                    : cell.Type() == CellType::Double ? RkValue::EncodeFloat(cell.AsDouble())
                                                      : std::nullopt;
                if (!rk) {
                    auto& n = holder.Make<CellBlock::Number>();
                    n.row = static_cast<std::uint16_t>(row);
                    n.column = static_cast<std::uint16_t>(column);
                    n.value = cell.AsDouble();
                    break;
                }
                auto end = integer ? runEnd(isRkInteger)
                                   : runEnd([](const GridCell& c) {
                                         return c.Type() == CellType::Double && RkValue::EncodeFloat(c.AsDouble()).has_value();
                                     });
                if (end == next) {
                    auto& r = holder.Make<CellBlock::RK>();
                    r.row = static_cast<std::uint16_t>(row);
                    r.column = static_cast<std::uint16_t>(column);
                    r.rk = *rk;
                    break;
                }
                auto& m = holder.Make<CellBlock::MulRK>();
                m.row = static_cast<std::uint16_t>(row);
                m.column = static_cast<std::uint16_t>(column);
                for (auto k = it; k != end; ++k) {
                    std::uint32_t v = integer ? RkValue::EncodeInteger(k->second.AsInteger())
                                              : *RkValue::EncodeFloat(k->second.AsDouble());
                    m.entries.push_back({0, v});
                    m.lastColumn = static_cast<std::uint16_t>(k->first % SheetGrid::kMaxColumns);
                }
                next = end;
                break;
            }
            case CellType::AnsiText:
            case CellType::WideText: {
                const bool wide = cell.Type() == CellType::WideText;
                const std::size_t length = wide ? cell.WideText().size() : cell.AnsiText().size();
                if (length > 0xFFFF)
                    return StatusCode::TooLarge;
                ++sst.totalReferences;
                std::uint32_t index;
                auto remember = [&](auto& table, const auto& key, Biff8::Workbook::SstString str) {
                    auto [pos, added] = table.try_emplace(key, sst.uniqueCount);
                    if (added) {
                        sst.strings.push_back(std::move(str));
                        ++sst.uniqueCount;
                    }
                    return pos->second;
                };
                if (wide)
                    index = remember(wideIndex, cell.WideText(), {true, {}, cell.WideText()});
                else
                    index = remember(ansiIndex, cell.AnsiText(), {false, cell.AnsiText(), {}});
                auto& l = holder.Make<CellBlock::LabelSST>();
                l.row = static_cast<std::uint16_t>(row);
                l.column = static_cast<std::uint16_t>(column);
                l.stringIndex = index;
                break;
            }
            case CellType::Empty:
                break;
            }
            block.cells.push_back(std::move(holder));
            it = next;
        }
        if (!firstRowSet) {
            ws.index.firstUsedRow = 0;
            ws.dimensions.firstUsedRow = 0;
        }
        ws.dimensions.firstUsedColumn = static_cast<std::uint16_t>(firstColumn == UINT32_MAX ? 0 : firstColumn);
        ws.index.dbCellPositions.assign(ws.cellTable.rowBlocks.size(), 0);
    }
    return Status::Success();
}

Result<std::vector<std::uint8_t>> ExcelDocument::BuildWorkbookStream()
{
    if (Status st = RebuildFromGrids(); !st)
        return st;
    if (Status st = Biff8::FixStreamPositions(workbook_, worksheets_); !st)
        return st;
    return Biff8::SerialiseWorkbookStream(workbook_, worksheets_);
}

Status ExcelDocument::WriteBook(const std::filesystem::path& path)
{
    auto stream = BuildWorkbookStream();
    if (!stream)
        return stream.status();
    // Everything else the container holds (document properties, other programs' streams and
    // storages) goes into the new file as it was; only the workbook stream is new. Nothing is
    // written when any of it cannot be read.
    std::vector<CfbItem> items;
    CfbDirectoryEntry rootInfo;
    if (storage_.IsOpen()) {
        auto kept = storage_.Items();
        if (!kept)
            return kept.status();
        items = std::move(kept).value();
        rootInfo = storage_.Entries()[0];
    }
    auto workbook = std::find_if(items.begin(), items.end(), [](const CfbItem& item) {
        return item.parent == CfbItem::kRoot && item.entry.type == Cfb::STGTY_STREAM && item.entry.name == kWorkbookStream;
    });
    if (workbook == items.end()) {
        CfbItem fresh;
        fresh.entry.name = kWorkbookStream;
        fresh.entry.type = Cfb::STGTY_STREAM;
        workbook = items.insert(items.end(), std::move(fresh));
    }
    workbook->bytes = std::move(stream).value();

    // The new container is complete in memory before a byte of it reaches the path.
    storage_.Close();
    auto image = CompoundBuilder::Build(items, rootInfo);
    if (!image)
        return image.status();
    if (!path.empty()) {
        if (Status st = CompoundBuilder::Save(path, image.value()); !st)
            return st;
    }
    return storage_.OpenFromMemory(std::move(image).value());
}

Result<std::vector<std::uint8_t>> ExcelDocument::WriteBookToMemory()
{
    if (Status st = WriteBook({}); !st)
        return st;
    return storage_.Image();
}
