#include "WorkbookJson.h"

#include "settings/TextConversions.h"

#include <cstdio>

namespace {

std::string Quote(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace

std::string WorkbookJson(ExcelDocument& doc, std::size_t streamSize)
{
    std::string out = "{\"streamSize\": " + std::to_string(streamSize) + ", \"sheets\": [";
    auto& names = doc.Globals().boundSheets;
    for (std::size_t s = 0; s < doc.SheetCount(); ++s) {
        SheetGrid* grid = doc.SheetAt(s);
        std::string name = s < names.size() ? TextConversions::Utf16ToUtf8(names[s].name.text) : std::string{};
        out += s ? ", " : "";
        out += "{\"name\": " + Quote(name) + ", \"rows\": " + std::to_string(grid->RowCount())
            + ", \"cols\": " + std::to_string(grid->ColumnCount()) + ", \"cells\": [";
        bool first = true;
        for (const auto& [key, cell] : grid->Cells()) {
            if (cell.IsEmpty())
                continue;
            std::string value;
            switch (cell.Type()) {
            case CellType::Integer: value = std::to_string(cell.AsInteger()); break;
            case CellType::Double: {
                char buf[64];
                std::snprintf(buf, sizeof buf, "%.17g", cell.AsDouble());
                value = buf;
                break;
            }
            case CellType::AnsiText: value = Quote(TextConversions::Latin1ToUtf8(cell.AnsiText())); break;
            case CellType::WideText: value = Quote(TextConversions::Utf16ToUtf8(cell.WideText())); break;
            case CellType::Empty: break;
            }
            out += first ? "" : ", ";
            first = false;
            out += "[";
            out += std::to_string(key / SheetGrid::kMaxColumns);
            out += ", ";
            out += std::to_string(key % SheetGrid::kMaxColumns);
            out += ", ";
            out += std::to_string(static_cast<int>(cell.Type()));
            out += ", ";
            out += value;
            out += "]";
        }
        out += "]}";
    }
    return out + "]}\n";
}
