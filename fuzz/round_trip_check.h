#pragma once

// The store round trip shared by the differential fuzz target and its regression test: a
// workbook that opens is written back and opened again, and must then hold every cell it first
// held, with the same type and value (doubles bit for bit), on sheets of the same extent, in a
// container that holds every other stream and storage of the first with the same bytes and
// directory details. Or the store is refused, producing nothing.
#include "settings/CompoundFileFormat.h"
#include "settings/CompoundReader.h"
#include "settings/ExcelDocument.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace RoundTrip {

enum class Kind {
    NotOpened, // the bytes did not open: nothing to store
    Refused,   // opened, but the store was refused without producing a file
    Same,      // stored and reopened with every cell as first read
    Differs,   // anything else: a fault
};

struct Outcome {
    Kind kind;
    std::string detail;
};

inline std::string Where(std::size_t sheet, std::uint32_t key)
{
    return "sheet " + std::to_string(sheet) + " row " + std::to_string(key / SheetGrid::kMaxColumns) + " column "
        + std::to_string(key % SheetGrid::kMaxColumns);
}

inline bool SameValue(const GridCell& a, const GridCell& b)
{
    if (a.Type() != b.Type())
        return false;
    switch (a.Type()) {
    case CellType::Integer:
        return a.AsInteger() == b.AsInteger();
    case CellType::Double: {
        const double x = a.AsDouble(), y = b.AsDouble();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    case CellType::AnsiText:
        return a.AnsiText() == b.AnsiText();
    case CellType::WideText:
        return a.WideText() == b.WideText();
    case CellType::Empty:
        return true;
    }
    return false;
}

// The non-empty cells of a sheet in row-major order.
inline std::vector<std::pair<std::uint32_t, const GridCell*>> Filled(const SheetGrid& grid)
{
    std::vector<std::pair<std::uint32_t, const GridCell*>> out;
    for (const auto& [key, cell] : grid.Cells())
        if (!cell.IsEmpty())
            out.emplace_back(key, &cell);
    return out;
}

inline Outcome Compare(ExcelDocument& first, ExcelDocument& again)
{
    if (again.SheetCount() != first.SheetCount())
        return {Kind::Differs, "sheet count " + std::to_string(first.SheetCount()) + " became "
                                   + std::to_string(again.SheetCount())};
    for (std::size_t s = 0; s < first.SheetCount(); ++s) {
        const SheetGrid& a = *first.SheetAt(s);
        const SheetGrid& b = *again.SheetAt(s);
        if (a.RowCount() != b.RowCount() || a.ColumnCount() != b.ColumnCount())
            return {Kind::Differs, "extent of sheet " + std::to_string(s)};
        const auto want = Filled(a);
        const auto got = Filled(b);
        std::size_t i = 0;
        for (; i < want.size() && i < got.size(); ++i) {
            if (want[i].first != got[i].first)
                return {Kind::Differs, "cell at " + Where(s, std::min(want[i].first, got[i].first)) + " appeared or vanished"};
            if (!SameValue(*want[i].second, *got[i].second))
                return {Kind::Differs, "value at " + Where(s, want[i].first)};
        }
        if (i < want.size())
            return {Kind::Differs, "cell at " + Where(s, want[i].first) + " vanished"};
        if (i < got.size())
            return {Kind::Differs, "cell at " + Where(s, got[i].first) + " appeared"};
    }
    return {Kind::Same, {}};
}

// Items by their path of names from the root, the workbook stream left out.
inline std::map<std::vector<std::u16string>, const CfbItem*> ByPath(const std::vector<CfbItem>& items)
{
    std::map<std::vector<std::u16string>, const CfbItem*> out;
    std::vector<std::vector<std::u16string>> paths;
    for (const CfbItem& item : items) {
        std::vector<std::u16string> path = item.parent == CfbItem::kRoot ? std::vector<std::u16string>{} : paths[item.parent];
        path.push_back(item.entry.name);
        paths.push_back(path);
        if (path.size() == 1 && path[0] == u"Workbook" && item.entry.type == Cfb::STGTY_STREAM)
            continue;
        out.emplace(std::move(path), &item);
    }
    return out;
}

inline bool SameDetails(const CfbDirectoryEntry& a, const CfbDirectoryEntry& b)
{
    return a.type == b.type && a.clsid == b.clsid && a.stateBits == b.stateBits && a.creationTime == b.creationTime
        && a.modifiedTime == b.modifiedTime;
}

inline Outcome CompareContainers(const CompoundReader& first, const CompoundReader& again)
{
    auto before = first.Items();
    auto after = again.Items();
    if (!before || !after)
        return {Kind::Differs, "a container's streams do not read"};
    const auto want = ByPath(before.value());
    const auto got = ByPath(after.value());
    if (want.size() != got.size())
        return {Kind::Differs, "stream count " + std::to_string(want.size()) + " became " + std::to_string(got.size())};
    for (const auto& [path, item] : want) {
        auto it = got.find(path);
        if (it == got.end())
            return {Kind::Differs, "a stream or storage vanished"};
        if (!SameDetails(item->entry, it->second->entry) || item->bytes != it->second->bytes)
            return {Kind::Differs, "a kept stream or storage changed"};
    }
    if (!SameDetails(first.Entries()[0], again.Entries()[0]))
        return {Kind::Differs, "the root's details changed"};
    return {Kind::Same, {}};
}

inline Outcome Check(std::vector<std::uint8_t> file)
{
    ExcelDocument doc;
    if (!doc.OpenBookFromMemory(std::move(file)))
        return {Kind::NotOpened, {}};
    // What the store must keep, read before it replaces the container.
    CompoundReader first;
    if (!first.OpenFromMemory(doc.Storage().Image()))
        return {Kind::Differs, "an opened container does not open again"};
    auto written = doc.WriteBookToMemory();
    if (!written)
        return first.Items().ok() ? Outcome{Kind::Refused, {}} : Outcome{Kind::Refused, "other streams unreadable"};
    ExcelDocument again;
    if (Status st = again.OpenBookFromMemory(written.value()); !st)
        return {Kind::Differs, "the written file does not open (" + std::to_string(st.value()) + ")"};
    if (Outcome cells = Compare(doc, again); cells.kind != Kind::Same)
        return cells;
    return CompareContainers(first, again.Storage());
}

} // namespace RoundTrip
