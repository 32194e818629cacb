// Every sample and damaged workbook through the store round trip of the differential fuzz
// target: what opens is stored and reopens with every cell and every other stream as it was,
// or the store is refused without producing a file.
#include "fuzz/round_trip_check.h"
#include "settings/CompoundBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Samples()
{
    std::vector<fs::path> files;
    for (const fs::path& dir : {fs::path(PARVEL_TEST_DATA_DIR) / "settings-corpus", fs::path(PARVEL_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "seeds"})
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".xls")
                files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class StoreRoundTrip : public ::testing::TestWithParam<fs::path> {};

TEST_P(StoreRoundTrip, KeepsEveryCellOrIsRefused)
{
    std::ifstream in(GetParam(), std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    const RoundTrip::Outcome outcome = RoundTrip::Check(bytes);
    EXPECT_NE(outcome.kind, RoundTrip::Kind::Differs) << outcome.detail;
    // Files meant to open are stored in full.
    if (GetParam().filename().string().rfind("ok-", 0) == 0 || GetParam().parent_path().filename() == "seeds") {
        EXPECT_EQ(outcome.kind, RoundTrip::Kind::Same) << outcome.detail;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, StoreRoundTrip, ::testing::ValuesIn(Samples()),
                         [](const auto& info) {
                             std::string n = info.param.parent_path().filename().string() + "_" + info.param.stem().string();
                             std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return n;
                         });

// The check itself must see a lost cell and a changed kept stream.
TEST(StoreRoundTripCheck, SeesALostCellAndAChangedStream)
{
    ExcelDocument doc;
    doc.NewBook({u"S"});
    doc.SheetAt(0)->CellAt(2, 1)->SetInteger(60);
    auto file = doc.WriteBookToMemory();
    ASSERT_TRUE(file.ok());
    ExcelDocument a, b;
    ASSERT_TRUE(a.OpenBookFromMemory(file.value()).ok());
    ASSERT_TRUE(b.OpenBookFromMemory(file.value()).ok());
    EXPECT_EQ(RoundTrip::Compare(a, b).kind, RoundTrip::Kind::Same);
    b.SheetAt(0)->CellAt(2, 1)->SetDouble(60.0);
    EXPECT_EQ(RoundTrip::Compare(a, b).kind, RoundTrip::Kind::Differs);
    b.SheetAt(0)->CellAt(2, 1)->Clear();
    EXPECT_EQ(RoundTrip::Compare(a, b).kind, RoundTrip::Kind::Differs);

    std::vector<CfbItem> items(2);
    items[0].entry.name = u"Workbook";
    items[1].entry.name = u"Other";
    for (auto& item : items)
        item.entry.type = Cfb::STGTY_STREAM;
    items[1].bytes = {1, 2, 3};
    CompoundReader x, y;
    auto first = CompoundBuilder::Build(items);
    ASSERT_TRUE(first.ok() && x.OpenFromMemory(first.value()).ok());
    items[1].bytes = {1, 2, 4};
    auto second = CompoundBuilder::Build(items);
    ASSERT_TRUE(second.ok() && y.OpenFromMemory(second.value()).ok());
    EXPECT_EQ(RoundTrip::CompareContainers(x, x).kind, RoundTrip::Kind::Same);
    EXPECT_EQ(RoundTrip::CompareContainers(x, y).kind, RoundTrip::Kind::Differs);
}

} // namespace
