#include "StreamBuilder.h"

#include "settings/ExcelDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

std::vector<fs::path> CorpusFiles()
{
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(PARVEL_TEST_DATA_DIR) / "settings-corpus"))
        if (e.path().extension() == ".xls")
            files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Opens bytes; whatever opens must write back and open again with the same sheets.
bool OpensAndRewrites(std::vector<std::uint8_t> bytes)
{
    ExcelDocument doc;
    if (!doc.OpenBookFromMemory(std::move(bytes)))
        return false;
    auto written = doc.WriteBookToMemory();
    EXPECT_TRUE(written.ok());
    if (!written.ok())
        return true;
    ExcelDocument again;
    EXPECT_TRUE(again.OpenBookFromMemory(written.value()).ok());
    EXPECT_EQ(again.SheetCount(), doc.SheetCount());
    return true;
}

class DamagedCorpus : public ::testing::TestWithParam<fs::path> {};

TEST_P(DamagedCorpus, OpensOrFailsCleanlyAsItsNameSays)
{
    const fs::path& path = GetParam();
    const std::string name = path.filename().string();
    const bool opened = OpensAndRewrites(ReadFile(path));
    if (name.rfind("bad-", 0) == 0) {
        EXPECT_FALSE(opened) << name;
    } else if (name.rfind("ok-", 0) == 0) {
        EXPECT_TRUE(opened) << name;
    }
    // From a file too: the same outcome, and a failure leaves the document empty.
    ExcelDocument doc;
    EXPECT_EQ(doc.OpenBook(path).ok(), opened) << name;
    if (!opened) {
        EXPECT_EQ(doc.SheetCount(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedCorpus, ::testing::ValuesIn(CorpusFiles()),
                         [](const auto& info) {
                             std::string n = info.param.stem().string();
                             std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
                             return n;
                         });

TEST(DamagedFiles, EveryTruncationOfTheShippedWorkbookFailsCleanly)
{
    auto good = ReadFile(fs::path(PARVEL_TEST_DATA_DIR) / "settings-corpus" / "ok-configure.xls");
    ASSERT_GT(good.size(), 3000u);
    // The stream ends in mini sector 18, in the last sector: cutting anywhere before the
    // last sector's data must fail, never crash.
    for (std::size_t n = 0; n < 3072; n += 7) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(OpensAndRewrites(cut)) << n;
    }
}

TEST(DamagedFiles, FlippedBytesNeverCrash)
{
    auto good = ReadFile(fs::path(PARVEL_TEST_DATA_DIR) / "settings-corpus" / "ok-configure.xls");
    std::uint32_t seed = 12345;
    for (int round = 0; round < 400; ++round) {
        auto bytes = good;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            bytes[(seed >> 8) % bytes.size()] ^= static_cast<std::uint8_t>(1u << ((seed >> 4) % 8));
        }
        OpensAndRewrites(bytes);
    }
}

TEST(DamagedFiles, RecordLayerSurvivesEveryTruncatedStream)
{
    using namespace testing_streams;
    Bytes s = Globals({"S"}, Sst({"abc", "de"}, 3));
    const auto sheetAt = static_cast<std::uint32_t>(s.size());
    std::memcpy(s.data() + 24, &sheetAt, 4);  // the BOUNDSHEET's position (little-endian host)
    Append(s, Bof(0x0010));
    Append(s, Dimensions(2, 2));
    Append(s, Row(0, 2));
    Append(s, LabelSst(0, 0, 0));
    Append(s, RkRec(0, 1, 0x0A02));
    Append(s, DbCell());
    Append(s, Eof());
    for (std::size_t n = 0; n < s.size(); ++n) {
        Bytes cut(s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(OpensAndRewrites(Container(cut))) << n;
    }
    EXPECT_TRUE(OpensAndRewrites(Container(s)));
}

} // namespace

namespace {

TEST(DamagedFiles, SheetsWhoseExtentCannotBeWrittenAreRefusedBeforeBuildingThem)
{
    using namespace testing_streams;
    std::vector<std::string> names(500, "S");
    Bytes s = Globals(names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        Append(s, Bof(0x0010));
        Append(s, Dimensions(65536, 256));
        Append(s, Eof());
    }
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(Container(s)).ok());
    EXPECT_EQ(doc.SheetCount(), 500u);
    EXPECT_EQ(doc.WriteBookToMemory().status().code(), StatusCode::TooLarge);
}

} // namespace
