#pragma once

#include "Biff8Workbook.h"
#include "Biff8Worksheet.h"
#include "CompoundStorage.h"
#include "SheetGrid.h"
#include "Status.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// A workbook file as sheets of typed cells. Reading keeps cell values; writing rebuilds every
// worksheet and the shared strings from the grids and writes a complete new file.
class ExcelDocument {
public:
    ExcelDocument() = default;
    ExcelDocument(const ExcelDocument&) = delete;
    ExcelDocument& operator=(const ExcelDocument&) = delete;

    // Fails on a missing, unwritable or damaged file, or one without a "Workbook" stream.
    Status OpenBook(const std::filesystem::path& path);
    Status OpenBookFromMemory(std::vector<std::uint8_t> fileBytes);
    // Writes a complete new file at path (replacing it).
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
    const CompoundStorage& Storage() const { return storage_; }

    // Rebuilds the records from the grids, fixes the positions and serialises the stream.
    Result<std::vector<std::uint8_t>> BuildWorkbookStream();

private:
    Status LoadFromStorage();
    Status RebuildFromGrids();
    void Reset();

    CompoundStorage storage_;
    Biff8::Workbook workbook_;
    std::vector<Biff8::Worksheet> worksheets_;
    std::vector<std::unique_ptr<SheetGrid>> grids_;
};
