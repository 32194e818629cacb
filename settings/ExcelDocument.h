#pragma once

#include "Biff8Workbook.h"
#include "Biff8Worksheet.h"
#include "CompoundReader.h"
#include "SheetGrid.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A workbook file as sheets of typed cells. Reading keeps cell values, and formulas as read;
// writing rebuilds every worksheet and the shared strings from the grids, with the formulas of
// cells not written since, and writes a complete new file.
class ExcelDocument {
public:
    ExcelDocument() = default;
    ExcelDocument(const ExcelDocument&) = delete;
    ExcelDocument& operator=(const ExcelDocument&) = delete;

    // Fails on a missing, unreadable or damaged file, or one without a "Workbook" stream. The
    // file is only read: a read-only file opens.
    Status OpenBook(const std::filesystem::path& path);
    Status OpenBookFromMemory(std::vector<std::uint8_t> fileBytes);
    // Writes a complete new file at path (replacing it); the document then holds that file.
    Status WriteBook(const std::filesystem::path& path);
    Result<std::vector<std::uint8_t>> WriteBookToMemory();

    // Starts an empty workbook with the given sheet names and the usual fonts, formats and
    // Normal style, so that spreadsheet programs open it as they open their own.
    void NewBook(const std::vector<std::u16string>& sheetNames);

    std::size_t SheetCount() const { return grids_.size(); }
    SheetGrid* SheetAt(std::size_t index);

    // The record level, for inspection.
    Biff8::Workbook& Globals() { return workbook_; }
    std::vector<Biff8::Worksheet>& Worksheets() { return worksheets_; }
    const CompoundReader& Storage() const { return storage_; }

    // Rebuilds the records from the grids, fixes the positions and serialises the stream.
    Result<std::vector<std::uint8_t>> BuildWorkbookStream();

private:
    Status LoadFromStorage();
    Status RebuildFromGrids();
    void Reset();

    CompoundReader storage_;
    Biff8::Workbook workbook_;
    std::vector<Biff8::Worksheet> worksheets_;
    std::vector<std::unique_ptr<SheetGrid>> grids_;
    // Per sheet, the formulas read, by cell key: written back where the grid was not written.
    std::vector<std::map<std::uint32_t, Biff8::CellRecords::Formula>> formulas_;
};
