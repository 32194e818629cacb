#include "StreamBuilder.h"

#include "settings/ExcelDocument.h"
#include "settings/RkValue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace testing_streams;
using CellBlock = Biff8::Worksheet::CellTable::RowBlock::CellBlock;

TEST(RkValues, EncodingsOfTheUsualNumbers)
{
    EXPECT_EQ(RkValue::EncodeInteger(640), 0x00000A02u);
    EXPECT_EQ(RkValue::EncodeFloat(640.0), 0x40840000u);
    EXPECT_EQ(RkValue::EncodeFloat(0.5), 0x40490001u);
    EXPECT_EQ(RkValue::EncodeFloat(1.23), 0x405EC001u);
    EXPECT_FALSE(RkValue::EncodeFloat(3.14159).has_value());
    auto d = RkValue::Decode((123u << 2) | 3u);  // integer 123, scaled by 100
    EXPECT_FALSE(d.isInteger);
    EXPECT_DOUBLE_EQ(d.real, 1.23);
    auto n = RkValue::Decode(RkValue::EncodeInteger(-536870912));
    EXPECT_TRUE(n.isInteger);
    EXPECT_EQ(n.integer, -536870912);
}

// The cell holders of the first sheet after a rebuild, in stream order.
std::vector<CellBlock> Written(ExcelDocument& doc)
{
    EXPECT_TRUE(doc.BuildWorkbookStream().ok());
    std::vector<CellBlock> out;
    for (auto& b : doc.Worksheets().at(0).cellTable.rowBlocks)
        out.insert(out.end(), b.cells.begin(), b.cells.end());
    return out;
}

class GridWriting : public ::testing::Test {
protected:
    void SetUp() override { doc.NewBook({u"S"}); g = doc.SheetAt(0); }
    ExcelDocument doc;
    SheetGrid* g = nullptr;
};

TEST_F(GridWriting, NumbersBecomeRkOrNumber)
{
    g->CellAt(0, 0)->SetInteger(640);
    g->CellAt(1, 0)->SetDouble(640.0);
    g->CellAt(2, 0)->SetDouble(0.5);
    g->CellAt(3, 0)->SetDouble(1.23);
    g->CellAt(4, 0)->SetDouble(3.14159);
    auto cells = Written(doc);
    ASSERT_EQ(cells.size(), 5u);
    const std::uint32_t want[] = {0x00000A02, 0x40840000, 0x40490001, 0x405EC001};
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(cells[i].code, Biff8::RT_RK) << i;
        EXPECT_EQ(std::get<CellBlock::RK>(cells[i].cell).rk, want[i]) << i;
    }
    ASSERT_EQ(cells[4].code, Biff8::RT_NUMBER);
    EXPECT_EQ(std::get<CellBlock::Number>(cells[4].cell).value, 3.14159);
}

TEST_F(GridWriting, RunsOfLikeNumbersBecomeOneMulRk)
{
    g->CellAt(0, 0)->SetInteger(1);
    g->CellAt(0, 1)->SetInteger(2);
    g->CellAt(1, 0)->SetInteger(7);
    g->CellAt(1, 1)->SetDouble(0.5);
    g->CellAt(2, 2)->SetDouble(0.5);
    g->CellAt(2, 3)->SetDouble(0.25);
    g->CellAt(2, 4)->SetDouble(3.14159);
    g->CellAt(3, 0)->SetInteger(1);
    g->CellAt(3, 2)->SetInteger(2);  // not adjacent: two RKs
    auto cells = Written(doc);
    std::vector<std::uint16_t> codes;
    for (auto& c : cells)
        codes.push_back(c.code);
    EXPECT_EQ(codes, (std::vector<std::uint16_t>{0x00BD, 0x027E, 0x027E, 0x00BD, 0x0203, 0x027E, 0x027E}));
    const auto& m = std::get<CellBlock::MulRK>(cells[0].cell);
    EXPECT_EQ(m.column, 0);
    EXPECT_EQ(m.lastColumn, 1);
    ASSERT_EQ(m.entries.size(), 2u);
    EXPECT_EQ(m.entries[1].rk, RkValue::EncodeInteger(2));
    EXPECT_EQ(std::get<CellBlock::MulRK>(cells[3].cell).lastColumn, 3);
}

TEST_F(GridWriting, IntegersBeyondTheRkRangeAreWrittenAsNumbers)
{
    g->CellAt(0, 0)->SetInteger(1 << 30);
    auto cells = Written(doc);
    ASSERT_EQ(cells.at(0).code, Biff8::RT_NUMBER);
    EXPECT_EQ(std::get<CellBlock::Number>(cells[0].cell).value, 1073741824.0);
}

TEST_F(GridWriting, SharedTextIsStoredOnceAndCountedPerCell)
{
    for (std::uint32_t r = 0; r < 3; ++r)
        g->CellAt(r, 0)->SetAnsiText("same");
    g->CellAt(3, 0)->SetWideText(u"same");  // a wide text is its own string
    Written(doc);
    const auto& sst = doc.Globals().sst;
    EXPECT_EQ(sst.totalReferences, 4u);
    EXPECT_EQ(sst.uniqueCount, 2u);
    ASSERT_EQ(sst.strings.size(), 2u);
    EXPECT_FALSE(sst.strings[0].wide);
    EXPECT_TRUE(sst.strings[1].wide);
}

TEST_F(GridWriting, ExtentCoversTheGridAndFirstUsedCell)
{
    g->CellAt(4, 3)->SetInteger(1);
    g->CellAt(9, 2);  // only grows the grid
    Written(doc);
    const auto& dims = doc.Worksheets()[0].dimensions;
    EXPECT_EQ(dims.firstUsedRow, 4u);
    EXPECT_EQ(dims.lastUsedRowPlus1, 10u);
    EXPECT_EQ(dims.firstUsedColumn, 3);
    EXPECT_EQ(dims.lastUsedColumnPlus1, 4);
    const auto& row = doc.Worksheets()[0].cellTable.rowBlocks[0].rows.at(0);
    EXPECT_EQ(row.rowIndex, 4);
    EXPECT_EQ(row.lastColumnPlus1, 4);
    EXPECT_EQ(row.height, 255);
}

TEST(Grid, CellAtGrowsTheGridAndStopsAtTheSheetLimits)
{
    SheetGrid g(nullptr, 0, 5, 1);
    EXPECT_NE(g.CellAt(7, 1), nullptr);
    EXPECT_EQ(g.RowCount(), 8u);
    EXPECT_EQ(g.ColumnCount(), 2u);
    EXPECT_EQ(g.CellAt(0, 256), nullptr);
    EXPECT_EQ(g.CellAt(65536, 0), nullptr);
    EXPECT_NE(g.CellAt(65535, 255), nullptr);
    EXPECT_EQ(g.RowCount(), 65536u);
    EXPECT_EQ(g.ColumnCount(), 256u);
}

TEST(Grid, CellConversions)
{
    GridCell c;
    c.SetDouble(-2.9);
    EXPECT_EQ(c.AsInteger(), -2);
    c.SetDouble(1e300);
    EXPECT_EQ(c.AsInteger(), 2147483647);
    c.SetInteger(7);
    EXPECT_EQ(c.AsDouble(), 7.0);
    EXPECT_EQ(c.AnsiText(), "");
    c.SetAnsiText("abc");
    EXPECT_EQ(c.Type(), CellType::AnsiText);
    c.SetWideText(u"");
    EXPECT_EQ(c.Type(), CellType::Empty);
    EXPECT_EQ(c.AnsiText(), "");
}

TEST(GridReading, CellRecordsFillTheGrid)
{
    Bytes extra = Sst({"hello", "caf\xE9"}, 2);
    Bytes s = Globals({"Sheet1"}, extra);
    Append(s, Bof(0x0010));
    Append(s, Dimensions(4, 3));
    Append(s, Row(0, 3));
    Append(s, Row(1, 3));
    Append(s, Row(2, 3));
    Append(s, LabelSst(0, 0, 0));
    Append(s, LabelSst(0, 2, 1));
    Append(s, RkRec(1, 1, 0x0A02));
    Append(s, NumberRec(2, 1, 1.5));
    Append(s, RkRec(2, 0, (123u << 2) | 3u));
    Append(s, Rec(0x00BD, Fields().u16(3).u16(0).u16(0).u32(0x0A02).u16(0).u32(0x40490001).u16(1).b));
    Append(s, Rec(0x0205, Fields().u16(3).u16(2).u16(0).u8(1).u8(0).b));   // TRUE
    Append(s, Rec(0x0205, Fields().u16(1).u16(2).u16(0).u8(7).u8(1).b));   // #DIV/0!
    Append(s, RkRec(9, 0, 0x0A02));       // beyond DIMENSIONS: ignored
    Append(s, LabelSst(1, 0, 5));         // beyond the SST: ignored
    Append(s, DbCell());
    Append(s, Eof());
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(Container(s)).ok());
    ASSERT_EQ(doc.SheetCount(), 1u);
    SheetGrid* g = doc.SheetAt(0);
    EXPECT_EQ(g->RowCount(), 4u);
    EXPECT_EQ(g->ColumnCount(), 3u);
    EXPECT_EQ(g->CellAt(0, 0)->AnsiText(), "hello");
    EXPECT_EQ(g->CellAt(0, 2)->AnsiText(), "caf\xE9");
    EXPECT_EQ(g->CellAt(1, 1)->Type(), CellType::Integer);
    EXPECT_EQ(g->CellAt(1, 1)->AsInteger(), 640);
    EXPECT_EQ(g->CellAt(2, 1)->Type(), CellType::Double);
    EXPECT_EQ(g->CellAt(2, 1)->AsDouble(), 1.5);
    EXPECT_DOUBLE_EQ(g->CellAt(2, 0)->AsDouble(), 1.23);
    EXPECT_EQ(g->CellAt(3, 0)->AsInteger(), 640);
    EXPECT_EQ(g->CellAt(3, 1)->AsDouble(), 0.5);
    EXPECT_EQ(g->CellAt(3, 2)->Type(), CellType::Integer);
    EXPECT_EQ(g->CellAt(3, 2)->AsInteger(), 1);
    EXPECT_TRUE(g->CellAt(1, 2)->IsEmpty());
    EXPECT_TRUE(g->CellAt(1, 0)->IsEmpty());
    EXPECT_EQ(g->Cells().count(SheetGrid::Key(9, 0)), 0u);
}

TEST(GridRoundTrip, WriteThenOpenKeepsValuesAndIsByteIdenticalToTheFile)
{
    ExcelDocument doc;
    doc.NewBook({u"One", u"二"});
    doc.SheetAt(0)->CellAt(0, 0)->SetWideText(u"/home/用户/图片/");
    doc.SheetAt(0)->CellAt(2, 5)->SetDouble(-0.125);
    doc.SheetAt(1)->CellAt(33, 1)->SetAnsiText("x");
    auto memory = doc.WriteBookToMemory();
    ASSERT_TRUE(memory.ok());
    auto path = std::filesystem::temp_directory_path() / "parvel_grid_roundtrip.xls";
    ASSERT_TRUE(doc.WriteBook(path).ok());
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> onDisk((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(onDisk, memory.value());

    ExcelDocument back;
    ASSERT_TRUE(back.OpenBook(path).ok());
    ASSERT_EQ(back.SheetCount(), 2u);
    EXPECT_EQ(back.SheetAt(0)->CellAt(0, 0)->WideText(), u"/home/用户/图片/");
    EXPECT_EQ(back.SheetAt(0)->CellAt(2, 5)->AsDouble(), -0.125);
    EXPECT_EQ(back.SheetAt(1)->RowCount(), 34u);
    EXPECT_EQ(back.SheetAt(1)->CellAt(33, 1)->AnsiText(), "x");
    EXPECT_EQ(back.Globals().boundSheets.at(1).name.text, u"二");
    std::filesystem::remove(path);
}

} // namespace
