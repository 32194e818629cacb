// A FORMULA cell reads as the result the writing program cached with it. A store writes the
// formula back as it was read, unless it writes the cell: then the value takes its place.
#include "StreamBuilder.h"
#include "app/AppFolders.h"

#include "settings/ByteOrder.h"
#include "settings/CompoundReader.h"
#include "settings/ExcelDocument.h"
#include "settings/SettingsWorkbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using namespace testing_streams;
namespace fs = std::filesystem;

std::uint64_t NumberResult(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

// Kind byte and value byte of a non-number result; the last two bytes 0xFFFF mark it.
std::uint64_t SpecialResult(std::uint8_t kind, std::uint8_t value = 0)
{
    return 0xFFFF000000000000ull | std::uint64_t{value} << 16 | kind;
}

// A FORMULA with the given tokens, whatever result is cached.
Bytes FormulaWith(std::uint16_t row, std::uint16_t col, std::uint64_t result, const Bytes& tokens)
{
    Fields f;
    f.u16(row).u16(col).u16(0).u32(result & 0xFFFFFFFF).u32(result >> 32).u16(0).u32(0);
    f.u16(static_cast<std::uint16_t>(tokens.size())).b.insert(f.b.end(), tokens.begin(), tokens.end());
    return Rec(0x0006, f.b);
}

// A FORMULA with the tokens of "=60" (ptgInt), whatever result is cached.
Bytes FormulaRec(std::uint16_t row, std::uint16_t col, std::uint64_t result)
{
    return FormulaWith(row, col, result, Fields().u8(0x1E).u16(60).b);
}

// The tokens of a cell of a shared, array or table formula headed at (row, col).
Bytes PtgExp(std::uint16_t row, std::uint16_t col) { return Fields().u8(0x01).u16(row).u16(col).b; }

Bytes Shrfmla(std::uint16_t firstRow, std::uint16_t lastRow, std::uint8_t col)
{
    // The range, a reserved byte, the use count, then "=60".
    return Rec(0x04BC, Fields().u16(firstRow).u16(lastRow).u8(col).u8(col).u8(0).u8(3).u16(3).u8(0x1E).u16(60).b);
}

using Cell = std::pair<std::uint16_t, std::uint16_t>;

// Each formula of a workbook stream by its cell: the FORMULA record and the records after it
// that belong to it, byte for byte.
std::map<Cell, Bytes> FormulaRecords(const Bytes& s)
{
    std::map<Cell, Bytes> out;
    auto code = [&](std::size_t pos) { return ByteOrder::LoadU16(s.data() + pos); };
    auto next = [&](std::size_t pos) { return pos + 4 + ByteOrder::LoadU16(s.data() + pos + 2); };
    for (std::size_t pos = 0; pos + 4 <= s.size();) {
        if (code(pos) != 0x0006) {
            pos = next(pos);
            continue;
        }
        const std::size_t start = pos;
        const Cell cell{ByteOrder::LoadU16(s.data() + pos + 4), ByteOrder::LoadU16(s.data() + pos + 6)};
        pos = next(pos);
        while (pos + 4 <= s.size()) {
            const std::uint16_t c = code(pos);
            if (c != 0x003C && c != 0x0207 && c != 0x04BC && c != 0x0221 && c != 0x0036)
                break;
            pos = next(pos);
        }
        out[cell] = Bytes(s.begin() + static_cast<std::ptrdiff_t>(start), s.begin() + static_cast<std::ptrdiff_t>(pos));
    }
    return out;
}

Bytes WorkbookStream(const Bytes& file)
{
    CompoundReader reader;
    Bytes stream;
    if (!reader.OpenFromMemory(file) || !reader.ReadStream(u"Workbook", stream))
        return {};
    return stream;
}

Bytes StringRec(const std::string& narrow) { return Rec(0x0207, Fields().u16(static_cast<std::uint16_t>(narrow.size())).u8(0).bytes(narrow).b); }

Bytes WideStringRec(const std::u16string& wide)
{
    Fields f;
    f.u16(static_cast<std::uint16_t>(wide.size())).u8(1);
    for (char16_t c : wide)
        f.u16(c);
    return Rec(0x0207, f.b);
}

// Rows 0 to 7 of column B, each record placed under its ROW; the sheet is 8 × 3.
Bytes Sheet(const Bytes& cells)
{
    Bytes all;
    for (std::uint16_t r = 0; r < 8; ++r)
        Append(all, Row(r, 3));
    Append(all, cells);
    Append(all, DbCell());
    return OneSheetStream(8, 3, all);
}

class FormulaResults : public ::testing::Test {
protected:
    SheetGrid& Open(const Bytes& cells)
    {
        EXPECT_TRUE(doc.OpenBookFromMemory(Container(Sheet(cells))).ok());
        return *doc.SheetAt(0);
    }
    const GridCell& At(std::uint32_t row, std::uint32_t col = 1)
    {
        static const GridCell empty;
        const GridCell* c = doc.SheetAt(0)->Find(row, col);
        return c ? *c : empty;
    }
    ExcelDocument doc;
};

TEST_F(FormulaResults, NumbersBooleansErrorsAndEmptyTexts)
{
    Bytes cells = FormulaRec(1, 1, NumberResult(60.0));
    Append(cells, FormulaRec(2, 1, NumberResult(-1.5)));
    Append(cells, FormulaRec(3, 1, SpecialResult(1, 1)));    // TRUE
    Append(cells, FormulaRec(4, 1, SpecialResult(1, 0)));    // FALSE
    Append(cells, FormulaRec(5, 1, SpecialResult(2, 0x07))); // #DIV/0!
    Append(cells, FormulaRec(6, 1, SpecialResult(3)));       // empty text
    Append(cells, RkRec(7, 1, 5u << 2 | 2));
    Open(cells);
    EXPECT_EQ(At(1).Type(), CellType::Double);
    EXPECT_EQ(At(1).AsDouble(), 60.0);
    EXPECT_EQ(At(2).AsDouble(), -1.5);
    EXPECT_EQ(At(3).Type(), CellType::Integer);
    EXPECT_EQ(At(3).AsInteger(), 1);
    EXPECT_EQ(At(4).Type(), CellType::Integer);
    EXPECT_EQ(At(4).AsInteger(), 0);
    EXPECT_TRUE(At(5).IsEmpty());
    EXPECT_TRUE(At(6).IsEmpty());
    EXPECT_EQ(At(7).AsInteger(), 5); // the record after them is read as before
}

TEST_F(FormulaResults, TextResultsComeFromTheStringRecord)
{
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, StringRec("/home/photos/"));
    Append(cells, FormulaRec(2, 1, SpecialResult(0)));
    Append(cells, WideStringRec(u"相框"));
    Append(cells, FormulaRec(3, 1, SpecialResult(0))); // its STRING is missing
    Append(cells, RkRec(4, 1, 640u << 2 | 2));
    Open(cells);
    EXPECT_EQ(At(1).Type(), CellType::AnsiText);
    EXPECT_EQ(At(1).AnsiText(), "/home/photos/");
    EXPECT_EQ(At(2).Type(), CellType::WideText);
    EXPECT_EQ(At(2).WideText(), u"相框");
    EXPECT_TRUE(At(3).IsEmpty());
    EXPECT_EQ(At(4).AsInteger(), 640);
}

TEST_F(FormulaResults, TextContinuedInAnotherWidthReadsWhole)
{
    // "ab" in 8-bit characters, then a CONTINUE whose flags byte switches to 16-bit for "相".
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, Rec(0x0207, Fields().u16(3).u8(0).bytes("ab").b));
    Append(cells, Rec(0x003C, Fields().u8(1).u16(u'相').b));
    Append(cells, RkRec(2, 1, 7u << 2 | 2));
    Open(cells);
    EXPECT_EQ(At(1).WideText(), u"ab相");
    EXPECT_EQ(At(2).AsInteger(), 7);
}

TEST_F(FormulaResults, SharedAndArrayFormulaRecordsBetweenFormulaAndString)
{
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, Rec(0x04BC, Fields().u16(1).u16(2).u8(1).u8(1).u16(0).u8(1).u16(3).u8(0x1E).u16(60).b)); // SHRFMLA
    Append(cells, StringRec("shared"));
    Append(cells, FormulaRec(2, 1, NumberResult(12.0)));
    Append(cells, Rec(0x0221, Fields().u16(2).u16(2).u8(1).u8(1).u16(0).u32(0).u16(3).u8(0x1E).u16(12).b)); // ARRAY
    Append(cells, FormulaRec(3, 1, SpecialResult(1, 1)));
    Append(cells, Rec(0x0036, Fields().u16(3).u16(3).u8(1).u8(1).u16(0).u16(0).u16(0).u16(0).b)); // TABLE
    Append(cells, RkRec(4, 1, 9u << 2 | 2));
    Open(cells);
    EXPECT_EQ(At(1).AnsiText(), "shared");
    EXPECT_EQ(At(2).AsDouble(), 12.0);
    EXPECT_EQ(At(3).AsInteger(), 1);
    EXPECT_EQ(At(4).AsInteger(), 9);
}

TEST_F(FormulaResults, DamagedStringLeavesTheFormulaEmptyAndReadingGoesOn)
{
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, Rec(0x0207, Fields().u16(50).u8(0).bytes("short").b)); // 50 characters promised
    Append(cells, RkRec(2, 1, 3u << 2 | 2));
    Open(cells);
    EXPECT_TRUE(At(1).IsEmpty());
    EXPECT_EQ(At(2).AsInteger(), 3);
}

TEST_F(FormulaResults, StoreWritesTheValuesInPlaceOfTheFormulasItWrites)
{
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, StringRec("text"));
    Append(cells, FormulaRec(2, 1, NumberResult(3.14159)));
    Append(cells, FormulaRec(3, 1, SpecialResult(1, 1)));
    Append(cells, FormulaRec(7, 1, NumberResult(60.0)));
    Open(cells);
    for (std::uint32_t row : {1u, 2u, 3u, 7u})
        (void)doc.SheetAt(0)->CellAt(row, 1); // written, with the value it holds
    auto written = doc.BuildWorkbookStream();
    ASSERT_TRUE(written.ok());
    // No FORMULA or STRING reaches the file; plain cell records take their place.
    std::vector<std::uint16_t> codes;
    const Bytes& s = written.value();
    for (std::size_t pos = 0; pos + 4 <= s.size(); pos += 4 + ByteOrder::LoadU16(s.data() + pos + 2))
        codes.push_back(ByteOrder::LoadU16(s.data() + pos));
    for (std::uint16_t gone : {0x0006, 0x0207, 0x04BC})
        EXPECT_EQ(std::count(codes.begin(), codes.end(), gone), 0) << gone;
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 0x0203), 1); // 3.14159 needs a NUMBER
    ExcelDocument again;
    auto file = doc.WriteBookToMemory();
    ASSERT_TRUE(file.ok());
    ASSERT_TRUE(again.OpenBookFromMemory(file.value()).ok());
    SheetGrid& g = *again.SheetAt(0);
    EXPECT_EQ(g.Find(1, 1)->AnsiText(), "text");
    EXPECT_EQ(g.Find(2, 1)->AsDouble(), 3.14159);
    EXPECT_EQ(g.Find(3, 1)->AsInteger(), 1);
    EXPECT_EQ(g.Find(7, 1)->AsDouble(), 60.0);
}

TEST_F(FormulaResults, StoreKeepsTheFormulasOfCellsItDoesNotWriteByteForByte)
{
    Bytes cells = FormulaRec(1, 1, SpecialResult(0));
    Append(cells, StringRec("text"));
    Append(cells, FormulaRec(2, 1, NumberResult(3.14159)));
    Append(cells, FormulaRec(3, 1, SpecialResult(0)));                   // a text result
    Append(cells, Rec(0x0207, Fields().u16(3).u8(0).bytes("ab").b));     // continued
    Append(cells, Rec(0x003C, Fields().u8(1).u16(u'相').b));
    Append(cells, FormulaRec(4, 1, SpecialResult(2, 0x07)));             // #DIV/0!: no value
    Append(cells, FormulaRec(5, 1, NumberResult(60.0)));
    Append(cells, FormulaRec(5, 2, NumberResult(61.0)));                  // beside a written cell
    Append(cells, RkRec(6, 1, 1u << 2 | 2));
    Append(cells, RkRec(6, 2, 2u << 2 | 2));
    Append(cells, FormulaRec(7, 1, NumberResult(5.0)));
    const Bytes original = Sheet(cells);
    Open(cells);
    doc.SheetAt(0)->CellAt(7, 1)->SetInteger(9);
    doc.SheetAt(0)->CellAt(5, 0)->SetInteger(8);
    auto written = doc.BuildWorkbookStream();
    ASSERT_TRUE(written.ok());
    std::map<Cell, Bytes> want = FormulaRecords(original);
    ASSERT_EQ(want.size(), 7u);
    want.erase({7, 1});
    EXPECT_EQ(FormulaRecords(written.value()), want);

    auto file = doc.WriteBookToMemory();
    ASSERT_TRUE(file.ok());
    ExcelDocument again;
    ASSERT_TRUE(again.OpenBookFromMemory(file.value()).ok());
    SheetGrid& g = *again.SheetAt(0);
    EXPECT_EQ(g.Find(1, 1)->AnsiText(), "text");
    EXPECT_EQ(g.Find(2, 1)->AsDouble(), 3.14159);
    EXPECT_EQ(g.Find(3, 1)->WideText(), u"ab相");
    const GridCell* error = g.Find(4, 1);
    EXPECT_TRUE(error == nullptr || error->IsEmpty());
    EXPECT_EQ(g.Find(5, 0)->AsInteger(), 8);
    EXPECT_EQ(g.Find(5, 2)->AsDouble(), 61.0);
    EXPECT_EQ(g.Find(6, 2)->AsInteger(), 2);
    EXPECT_EQ(g.Find(7, 1)->AsInteger(), 9);
    // Stored again without a write, the file stays the same.
    auto twice = again.WriteBookToMemory();
    ASSERT_TRUE(twice.ok());
    EXPECT_EQ(twice.value(), file.value());
}

TEST_F(FormulaResults, SharedFormulaIsKeptOrWrittenAsValuesAsAWhole)
{
    // B2 heads a shared formula that B3 and B4 use; B6 stands for a head that is not there.
    Bytes cells = FormulaWith(1, 1, NumberResult(1.0), PtgExp(1, 1));
    Append(cells, Shrfmla(1, 3, 1));
    Append(cells, FormulaWith(2, 1, NumberResult(2.0), PtgExp(1, 1)));
    Append(cells, FormulaWith(3, 1, NumberResult(3.0), PtgExp(1, 1)));
    Append(cells, FormulaWith(5, 1, NumberResult(5.0), PtgExp(0, 1)));
    const Bytes original = Sheet(cells);
    Open(cells);
    auto kept = doc.BuildWorkbookStream();
    ASSERT_TRUE(kept.ok());
    std::map<Cell, Bytes> want = FormulaRecords(original);
    want.erase({5, 1});
    EXPECT_EQ(FormulaRecords(kept.value()), want);

    // Writing one cell of the group writes every cell of it as its value: no cell may be left
    // standing for a head that is gone.
    doc.SheetAt(0)->CellAt(3, 1)->SetInteger(30);
    auto values = doc.BuildWorkbookStream();
    ASSERT_TRUE(values.ok());
    EXPECT_TRUE(FormulaRecords(values.value()).empty());
    auto file = doc.WriteBookToMemory();
    ASSERT_TRUE(file.ok());
    ExcelDocument again;
    ASSERT_TRUE(again.OpenBookFromMemory(file.value()).ok());
    EXPECT_EQ(again.SheetAt(0)->Find(1, 1)->AsDouble(), 1.0);
    EXPECT_EQ(again.SheetAt(0)->Find(2, 1)->AsDouble(), 2.0);
    EXPECT_EQ(again.SheetAt(0)->Find(3, 1)->AsInteger(), 30);
    EXPECT_EQ(again.SheetAt(0)->Find(5, 1)->AsDouble(), 5.0);
}

TEST_F(FormulaResults, FormulasNeedingRecordsOfTheGlobalsAreWrittenAsValues)
{
    // Another sheet's cell (ptgRef3d) and a defined name (ptgName): the store does not keep
    // the records they point into. A token the store does not know is treated the same.
    Bytes cells = FormulaWith(1, 1, NumberResult(1.0), Fields().u8(0x3A).u16(0).u16(0).u16(0).b);
    Append(cells, FormulaWith(2, 1, NumberResult(2.0), Fields().u8(0x23).u16(1).u16(0).b));
    Append(cells, FormulaWith(3, 1, NumberResult(3.0), Fields().u8(0x18).u8(0).b));
    Append(cells, FormulaWith(4, 1, NumberResult(4.0), Fields().u8(0x1E).b)); // cut short
    Append(cells, FormulaWith(5, 1, NumberResult(5.0), Fields().u8(0x44).u16(0).u16(0xC000).u8(0x1E).u16(1).u8(0x03).b));
    Open(cells);
    auto written = doc.BuildWorkbookStream();
    ASSERT_TRUE(written.ok());
    const auto kept = FormulaRecords(written.value());
    ASSERT_EQ(kept.size(), 1u); // =A1+1 alone
    EXPECT_EQ(kept.begin()->first, Cell(5, 1));
    for (std::uint32_t row = 1; row <= 4; ++row)
        EXPECT_EQ(At(row).AsDouble(), row);
}

TEST(FormulaSettings, DelayRowHoldingAFormulaReadsItsCachedValue)
{
    const fs::path appDir = fs::temp_directory_path() / "parvel_formula_settings";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    Bytes cells = FormulaRec(7, 1, NumberResult(60.0)); // e.g. =B7*12 with B7 = 5
    Append(cells, FormulaRec(4, 1, SpecialResult(0)));
    Append(cells, StringRec("1280 pixels"));
    {
        const Bytes file = Container(Sheet(cells));
        std::ofstream out(SettingsWorkbookPath(folders.systemDir), std::ios::binary);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    SettingsValues values;
    ASSERT_TRUE(LoadSettings(folders, values).ok());
    EXPECT_EQ(values.delaySeconds, 60);
    EXPECT_EQ(values.imageWidth, 1280);
    fs::remove_all(appDir);
}

TEST(FormulaSettings, StoreKeepsTheFormulasOfRowsItDoesNotWrite)
{
    // Written by xlwt: formulas in B2, B3, B5, B9 and B10 beside the delay 5 in B8.
    const fs::path appDir = fs::temp_directory_path() / "parvel_formula_store";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    const fs::path workbook = SettingsWorkbookPath(folders.systemDir);
    fs::copy_file(fs::path(PARVEL_TEST_DATA_DIR) / "settings-corpus" / "ok-formulas-xlwt.xls", workbook);
    const auto read = [&] {
        std::ifstream in(workbook, std::ios::binary);
        return Bytes((std::istreambuf_iterator<char>(in)), {});
    };
    std::map<Cell, Bytes> want = FormulaRecords(WorkbookStream(read()));
    ASSERT_EQ(want.size(), 5u);
    SettingsValues values;
    ASSERT_TRUE(StoreFolder(folders, SettingRow::PhotoDir, "/photos/").ok());
    ASSERT_TRUE(StoreDelaySeconds(folders, values, 60).ok());
    want.erase({1, 1}); // the photo folder's row now holds the folder
    EXPECT_EQ(FormulaRecords(WorkbookStream(read())), want);
    AppFolders loaded = AppFolders::FromAppDir(appDir);
    SettingsValues next;
    ASSERT_TRUE(LoadSettings(loaded, next).ok());
    EXPECT_EQ(loaded.photoDir, fs::path("/photos/"));
    EXPECT_EQ(next.delaySeconds, 60);
    fs::remove_all(appDir);
}

} // namespace
