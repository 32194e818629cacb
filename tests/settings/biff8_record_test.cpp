#include "StreamBuilder.h"

#include "settings/Biff8Stream.h"
#include "settings/ByteOrder.h"
#include "settings/ExcelDocument.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_streams;
using Biff8::Record;

std::vector<std::pair<std::uint16_t, std::uint16_t>> Frames(const Bytes& stream)
{
    std::vector<std::pair<std::uint16_t, std::uint16_t>> out;
    for (std::size_t pos = 0; pos + 4 <= stream.size();) {
        std::uint16_t code = ByteOrder::LoadU16(stream.data() + pos);
        std::uint16_t len = ByteOrder::LoadU16(stream.data() + pos + 2);
        out.emplace_back(code, len);
        pos += 4 + len;
    }
    return out;
}

TEST(RecordFraming, LongRecordBuiltInMemoryIsCutAt8224)
{
    Record r(0x1234);
    r.data.assign(9000, 0xAB);
    ASSERT_EQ(r.TotalLength(), 9008u);
    Bytes out(9008);
    ASSERT_EQ(r.Encode(out, 0), 9008u);
    auto frames = Frames(out);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], std::make_pair(std::uint16_t{0x1234}, std::uint16_t{8224}));
    EXPECT_EQ(frames[1], std::make_pair(std::uint16_t{0x003C}, std::uint16_t{776}));
}

TEST(RecordFraming, ContinuePiecesAreJoinedAndWrittenBackAsRead)
{
    Bytes stream = Rec(0x0031, Bytes(10, 1));
    Append(stream, Rec(0x003C, Bytes(3, 2)));
    Append(stream, Rec(0x003C, Bytes(5, 3)));
    Append(stream, Eof());
    Record r;
    auto n = r.Decode(stream, 0);
    ASSERT_TRUE(n.ok());
    EXPECT_EQ(n.value(), 30u);
    EXPECT_EQ(r.recordSize, 30u);
    EXPECT_EQ(r.dataSize, 18u);
    EXPECT_EQ(r.continueOffsets, (std::vector<std::uint32_t>{10, 13}));
    Bytes out(r.TotalLength());
    ASSERT_EQ(r.Encode(out, 0), 30u);
    EXPECT_EQ(out, Bytes(stream.begin(), stream.begin() + 30));
}

TEST(RecordFraming, RecordLongerThanTheStreamFails)
{
    Bytes stream = Rec(0x0031, Bytes(10, 1));
    stream.resize(stream.size() - 1);
    Record r;
    EXPECT_FALSE(r.Decode(stream, 0).ok());
}

class SharedStrings : public ::testing::Test {
protected:
    // Encodes the table and reads it back through the framing.
    Biff8::Workbook::SharedStringTable RoundTrip(Biff8::Workbook::SharedStringTable& sst, Bytes& out)
    {
        out.assign(sst.TotalLength(), 0);
        EXPECT_EQ(sst.Encode(out, 0), out.size());
        Biff8::Workbook::SharedStringTable back;
        EXPECT_TRUE(back.Decode(out, 0).ok());
        return back;
    }
    static Biff8::Workbook::SstString Narrow(std::string s) { return {false, std::move(s), {}}; }
    static Biff8::Workbook::SstString Wide(std::u16string s) { return {true, {}, std::move(s)}; }
};

TEST_F(SharedStrings, TableThatFitsIsOneRecord)
{
    Biff8::Workbook::SharedStringTable sst;
    for (int i = 0; i < 100; ++i)
        sst.strings.push_back(Narrow("text " + std::to_string(i)));
    sst.uniqueCount = 100;
    Bytes out;
    auto back = RoundTrip(sst, out);
    EXPECT_EQ(Frames(out).size(), 1u);
    ASSERT_EQ(back.strings.size(), 100u);
    EXPECT_EQ(back.strings[42].narrow, "text 42");
}

TEST_F(SharedStrings, LongNarrowStringContinuesWithFlagsAnd8223Bytes)
{
    Biff8::Workbook::SharedStringTable sst;
    sst.strings.push_back(Narrow(std::string(20000, 'a')));
    sst.uniqueCount = 1;
    Bytes out;
    auto back = RoundTrip(sst, out);
    auto frames = Frames(out);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].second, 8224); // 8 + 3 + 8213 characters
    EXPECT_EQ(frames[1].second, 8224); // flags + 8223 characters
    EXPECT_EQ(frames[2].second, 1 + 20000 - 8213 - 8223);
    EXPECT_EQ(out[4 + 8224 + 4], 0);   // the piece's flags byte: 8-bit
    EXPECT_EQ(back.strings.at(0).narrow, std::string(20000, 'a'));
}

TEST_F(SharedStrings, WideStringIsCutBetweenCharacters)
{
    Biff8::Workbook::SharedStringTable sst;
    sst.strings.push_back(Narrow(std::string(8200, 'n')));  // leaves 13 bytes in the record
    sst.strings.push_back(Wide(std::u16string(5000, u'字')));
    sst.uniqueCount = 2;
    Bytes out;
    auto back = RoundTrip(sst, out);
    auto frames = Frames(out);
    ASSERT_EQ(frames.size(), 3u);
    // 8 + 8203 used, 13 left: header 3 + 10 bytes = 5 characters stay.
    EXPECT_EQ(frames[0].second, 8224);
    EXPECT_EQ(frames[1].second, 8223);  // flags + 4111 characters
    ASSERT_EQ(back.strings.size(), 2u);
    EXPECT_TRUE(back.strings[1].wide);
    EXPECT_EQ(back.strings[1].text, std::u16string(5000, u'字'));
}

TEST_F(SharedStrings, StringStartsInNextRecordWhenFewerThanTwelveBytesRemain)
{
    Biff8::Workbook::SharedStringTable sst;
    sst.strings.push_back(Narrow(std::string(8205, 'n')));  // 8 + 8208 used: 8 bytes left
    sst.strings.push_back(Narrow(std::string(20, 'm')));
    sst.uniqueCount = 2;
    Bytes out;
    auto back = RoundTrip(sst, out);
    auto frames = Frames(out);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].second, 8216);
    EXPECT_EQ(frames[1].second, 23);  // the whole second string, no flags byte
    EXPECT_EQ(back.strings.at(1).narrow, std::string(20, 'm'));
}

TEST_F(SharedStrings, PieceOfOtherWidthMakesTheStringWide)
{
    // An 8-bit string whose second piece holds 16-bit characters.
    Fields f;
    f.u32(1).u32(1).u16(4).u8(0).bytes("ab");
    Bytes stream = Rec(0x00FC, f.b);
    Append(stream, Rec(0x003C, Fields().u8(1).u16(0x5B57).u16(u'c').b));
    Biff8::Workbook::SharedStringTable sst;
    ASSERT_TRUE(sst.Decode(stream, 0).ok());
    ASSERT_EQ(sst.strings.size(), 1u);
    EXPECT_TRUE(sst.strings[0].wide);
    EXPECT_EQ(sst.strings[0].text, u"ab字c");
}

TEST_F(SharedStrings, RichTextRunsAndPhoneticDataAreSkipped)
{
    Fields f;
    f.u32(2).u32(2).u16(2).u8(0x0C).u16(1).u32(3).bytes("hi").u32(0xAAAAAAAA).bytes("ppp");
    f.u16(2).u8(0).bytes("ok");
    Biff8::Workbook::SharedStringTable sst;
    ASSERT_TRUE(sst.Decode(Rec(0x00FC, f.b), 0).ok());
    ASSERT_EQ(sst.strings.size(), 2u);
    EXPECT_EQ(sst.strings[0].narrow, "hi");
    EXPECT_EQ(sst.strings[1].narrow, "ok");
}

TEST_F(SharedStrings, CountBeyondTheDataFails)
{
    Fields f;
    f.u32(1).u32(1).u16(400).u8(0).bytes("short");
    Biff8::Workbook::SharedStringTable sst;
    EXPECT_FALSE(sst.Decode(Rec(0x00FC, f.b), 0).ok());
    Fields g;
    g.u32(0xFFFFFFFF).u32(0xFFFFFFFF);
    EXPECT_FALSE(sst.Decode(Rec(0x00FC, g.b), 0).ok());
}

// A workbook stream with records outside the subset everywhere.
Bytes RichStream()
{
    Bytes extra = Rec(0x0042, Fields().u16(1252).b);          // CODEPAGE
    Append(extra, Rec(0x041E, Fields().u16(164).u16(0).b));   // FORMAT
    Append(extra, Sst({"x"}, 1));
    Append(extra, Rec(0x00FF, Fields().u16(8).b));            // EXTSST
    Bytes s = Globals({"Sheet1"}, extra);
    Append(s, Bof(0x0010));
    Append(s, Rec(0x0055, Fields().u16(8).b));                // DEFCOLWIDTH
    Append(s, Rec(0x007D, Fields().u16(0).u16(0).u16(3000).u16(0).u16(0).u16(0).b)); // COLINFO
    Append(s, Dimensions(2, 2));
    Append(s, Row(0, 2));
    Append(s, Row(1, 2));
    Append(s, LabelSst(0, 0, 0));
    // A formula with its cached string.
    Append(s, Rec(0x0006, Fields().u16(1).u16(1).u16(0).u32(0).u32(0xFFFF0000).u16(0).u32(0).u16(3).u8(0x1E).u16(7).b));
    Append(s, Rec(0x0207, Fields().u16(1).u8(0).bytes("7").b));
    Append(s, RkRec(1, 0, 0x0A02));
    Append(s, DbCell());
    Append(s, Rec(0x023E, Fields().u16(0x06B6).u16(0).u16(0).u16(64).u16(0).u16(0).u16(0).u32(0).b));
    Append(s, Eof());
    return s;
}

TEST(WorkbookStream, RewriteKeepsOnlyTheSubsetInItsOrder)
{
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(Container(RichStream())).ok());
    SheetGrid* g = doc.SheetAt(0);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->CellAt(1, 1)->AnsiText(), "7"); // the formula's cell holds its cached text
    auto stream = doc.BuildWorkbookStream();
    ASSERT_TRUE(stream.ok());
    std::vector<std::uint16_t> codes;
    for (auto [code, len] : Frames(stream.value()))
        codes.push_back(code);
    const std::vector<std::uint16_t> want = {
        0x0809, 0x003D, 0x0085, 0x00FC, 0x000A,                 // BOF WINDOW1 BOUNDSHEET SST EOF
        0x0809, 0x020B, 0x0200, 0x0208, 0x0208, 0x00FD, 0x027E, // BOF INDEX DIMENSIONS ROWs cells,
        0x00FD,                                                 // the formula's text in its place
        0x00D7, 0x023E, 0x000A};                                // DBCELL WINDOW2 EOF
    EXPECT_EQ(codes, want);
}

TEST(WorkbookStream, FortyRowsMakeTwoRowBlocksListedInTheIndex)
{
    ExcelDocument doc;
    doc.NewBook({u"S"});
    for (std::uint32_t r = 0; r < 40; ++r)
        doc.SheetAt(0)->CellAt(r, 0)->SetInteger(static_cast<int>(r));
    auto stream = doc.BuildWorkbookStream();
    ASSERT_TRUE(stream.ok());
    auto& ws = doc.Worksheets().at(0);
    ASSERT_EQ(ws.cellTable.rowBlocks.size(), 2u);
    EXPECT_EQ(ws.cellTable.rowBlocks[0].rows.size(), 32u);
    EXPECT_EQ(ws.cellTable.rowBlocks[1].rows.size(), 8u);
    ASSERT_EQ(ws.index.dbCellPositions.size(), 2u);
    for (std::uint32_t p : ws.index.dbCellPositions)
        EXPECT_EQ(ByteOrder::LoadU16(stream.value().data() + p), 0x00D7);
    // The BOUNDSHEET points at the sheet's BOF.
    std::uint32_t bof = doc.Globals().boundSheets.at(0).position;
    EXPECT_EQ(ByteOrder::LoadU16(stream.value().data() + bof), 0x0809);
    EXPECT_EQ(ByteOrder::LoadU16(stream.value().data() + bof + 6), 0x0010);
}

TEST(WorkbookStream, DbCellOffsetsOfThreeRows)
{
    ExcelDocument doc;
    doc.NewBook({u"S"});
    SheetGrid* g = doc.SheetAt(0);
    g->CellAt(0, 0)->SetInteger(1);                          // RK: 14 bytes
    g->CellAt(1, 0)->SetInteger(1);
    g->CellAt(1, 1)->SetInteger(2);                          // MULRK of two: 4 + 18 bytes
    g->CellAt(2, 0)->SetDouble(3.14159);                     // NUMBER: 18 bytes
    ASSERT_TRUE(doc.BuildWorkbookStream().ok());
    const auto& block = doc.Worksheets().at(0).cellTable.rowBlocks.at(0);
    EXPECT_EQ(block.dbCell.rowOffsets, (std::vector<std::uint16_t>{40, 14, 22}));
    EXPECT_EQ(block.dbCell.firstRowOffset, 60u + 14 + 22 + 18);
}

TEST(WorkbookStream, OnlyTheFirstSheetIsSelected)
{
    ExcelDocument doc;
    doc.NewBook({u"A", u"B", u"C"});
    ASSERT_TRUE(doc.BuildWorkbookStream().ok());
    EXPECT_EQ(doc.Worksheets()[0].window2.options, 0x06B6);
    EXPECT_EQ(doc.Worksheets()[1].window2.options, 0x04B6);
    EXPECT_EQ(doc.Worksheets()[2].window2.options, 0x04B6);
}

TEST(WorkbookStream, StreamWithoutGlobalsDoesNotOpen)
{
    ExcelDocument doc;
    Bytes s = Bof(0x0010);
    Append(s, Eof());
    EXPECT_FALSE(doc.OpenBookFromMemory(Container(s)).ok());
    EXPECT_FALSE(doc.OpenBookFromMemory(Container(Bytes(100, 0))).ok());
    EXPECT_EQ(doc.SheetCount(), 0u);
}

} // namespace
