#include "settings/ByteOrder.h"
#include "settings/CompoundBuilder.h"
#include "settings/CompoundFileFormat.h"
#include "settings/CompoundReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>

namespace {

using namespace Cfb;

std::vector<std::uint8_t> Pattern(std::size_t n)
{
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return v;
}

CfbItem Stream(std::u16string name, std::vector<std::uint8_t> bytes = {})
{
    CfbItem item;
    item.entry.name = std::move(name);
    item.entry.type = STGTY_STREAM;
    item.bytes = std::move(bytes);
    return item;
}

// The container the builder makes of the items; empty when it refuses them.
std::vector<std::uint8_t> Built(const std::vector<CfbItem>& items)
{
    auto built = CompoundBuilder::Build(items);
    return built ? std::move(built).value() : std::vector<std::uint8_t>{};
}

std::uint32_t U32At(const std::vector<std::uint8_t>& image, std::size_t at) { return ByteOrder::LoadU32(image.data() + at); }
std::size_t Sector(std::uint32_t s) { return (std::size_t{s} + 1) * SECTOR_SIZE; }

class WorkbookContainer : public ::testing::Test {
protected:
    const std::vector<std::uint8_t>& Write(std::size_t size)
    {
        data = Pattern(size);
        image = Built({Stream(u"Workbook", data)});
        EXPECT_FALSE(image.empty());
        return image;
    }
    void ExpectReadsBack()
    {
        CompoundReader again;
        ASSERT_TRUE(again.OpenFromMemory(image).ok());
        std::vector<std::uint8_t> got;
        ASSERT_TRUE(again.ReadStream(u"Workbook", got).ok());
        EXPECT_EQ(got, data);
        EXPECT_EQ(again.StreamSize(u"Workbook").value(), data.size());
    }
    std::vector<std::uint8_t> image;
    std::vector<std::uint8_t> data;
};

TEST_F(WorkbookContainer, ThousandBytesUseSixteenMiniSectorsInAThreeKilobyteFile)
{
    const auto& image = Write(1000);
    ASSERT_EQ(image.size(), 3072u);
    // Header.
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + HDR_MINOR_VERSION), 0x003B);
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + HDR_MAJOR_VERSION), 3);
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + HDR_BYTE_ORDER), 0xFFFE);
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + HDR_SECTOR_SHIFT), 9);
    EXPECT_EQ(U32At(image, HDR_MINI_SECTOR_SHIFT), 6u);
    EXPECT_EQ(U32At(image, HDR_NUM_FAT_SECTORS), 1u);
    EXPECT_EQ(U32At(image, HDR_FIRST_DIR_SECTOR), 1u);
    EXPECT_EQ(U32At(image, HDR_MINI_STREAM_CUTOFF), 4096u);
    EXPECT_EQ(U32At(image, HDR_FIRST_MINIFAT_SECTOR), 3u);
    EXPECT_EQ(U32At(image, HDR_NUM_MINIFAT_SECTORS), 1u);
    EXPECT_EQ(U32At(image, HDR_FIRST_DIFAT_SECTOR), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, HDR_DIFAT), 0u);
    EXPECT_EQ(U32At(image, HDR_DIFAT + 4), FREESECT);
    // FAT: sector 0 the FAT, 1 the directory, 2 -> 4 the mini stream, 3 the mini FAT.
    const std::size_t fat = Sector(0);
    EXPECT_EQ(U32At(image, fat + 0), FATSECT);
    EXPECT_EQ(U32At(image, fat + 4), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, fat + 8), 4u);
    EXPECT_EQ(U32At(image, fat + 12), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, fat + 16), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, fat + 20), FREESECT);
    // Mini FAT: 0 -> 1 -> ... -> 15 -> end.
    for (std::uint32_t i = 0; i < 15; ++i)
        EXPECT_EQ(U32At(image, Sector(3) + 4 * i), i + 1);
    EXPECT_EQ(U32At(image, Sector(3) + 60), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, Sector(3) + 64), FREESECT);
    // Directory: root, Workbook, two zeroed entries.
    const std::size_t dir = Sector(1);
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + dir + DIRENT_NAME_LENGTH), 22);
    EXPECT_EQ(image[dir + DIRENT_TYPE], STGTY_ROOT);
    EXPECT_EQ(image[dir + DIRENT_COLOUR], 1);
    EXPECT_EQ(U32At(image, dir + DIRENT_CHILD), 1u);
    EXPECT_EQ(U32At(image, dir + DIRENT_LEFT), NOSTREAM);
    EXPECT_EQ(U32At(image, dir + DIRENT_START_SECTOR), 2u);
    EXPECT_EQ(U32At(image, dir + DIRENT_STREAM_SIZE), 1024u);
    const std::size_t wb = dir + DIRENT_SIZE;
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + wb + DIRENT_NAME_LENGTH), 18);
    EXPECT_EQ(ByteOrder::LoadU16(image.data() + wb), u'W');
    EXPECT_EQ(image[wb + DIRENT_TYPE], STGTY_STREAM);
    EXPECT_EQ(U32At(image, wb + DIRENT_LEFT), NOSTREAM);
    EXPECT_EQ(U32At(image, wb + DIRENT_RIGHT), NOSTREAM);
    EXPECT_EQ(U32At(image, wb + DIRENT_CHILD), NOSTREAM);
    EXPECT_EQ(U32At(image, wb + DIRENT_START_SECTOR), 0u);
    EXPECT_EQ(U32At(image, wb + DIRENT_STREAM_SIZE), 1000u);
    for (std::size_t i = 2 * DIRENT_SIZE; i < SECTOR_SIZE; ++i)
        ASSERT_EQ(image[dir + i], 0) << i;
    // The mini stream holds the bytes: the first 512 in sector 2, the rest in sector 4.
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 512, image.begin() + Sector(2)));
    EXPECT_TRUE(std::equal(data.begin() + 512, data.end(), image.begin() + Sector(4)));
    ExpectReadsBack();
}

TEST_F(WorkbookContainer, FiveHundredBytesFitOneMiniStreamSector)
{
    const auto& image = Write(500);
    EXPECT_EQ(image.size(), 2560u);
    EXPECT_EQ(U32At(image, Sector(1) + DIRENT_STREAM_SIZE), 512u);
    EXPECT_EQ(U32At(image, Sector(0) + 8), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, Sector(3) + 28), ENDOFCHAIN); // mini sector 7 ends the chain
    ExpectReadsBack();
}

TEST_F(WorkbookContainer, FiveThousandBytesGoToRegularSectorsWithoutMiniFat)
{
    const auto& image = Write(5000);
    EXPECT_EQ(image.size(), 13u * SECTOR_SIZE); // header, FAT, directory, sectors 2..11
    EXPECT_EQ(U32At(image, HDR_FIRST_MINIFAT_SECTOR), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, HDR_NUM_MINIFAT_SECTORS), 0u);
    for (std::uint32_t s = 2; s < 11; ++s)
        EXPECT_EQ(U32At(image, Sector(0) + 4 * s), s + 1);
    EXPECT_EQ(U32At(image, Sector(0) + 44), ENDOFCHAIN);
    EXPECT_EQ(U32At(image, Sector(1) + DIRENT_START_SECTOR), ENDOFCHAIN); // no mini stream
    EXPECT_EQ(U32At(image, Sector(1) + DIRENT_STREAM_SIZE), 0u);
    EXPECT_EQ(U32At(image, Sector(1) + DIRENT_SIZE + DIRENT_START_SECTOR), 2u);
    for (std::size_t i = 5000 - 4608; i < SECTOR_SIZE; ++i)
        ASSERT_EQ(image[Sector(11) + i], 0); // last sector padded
    ExpectReadsBack();
}

TEST_F(WorkbookContainer, StreamBeyondOneFatSectorGrowsTheFat)
{
    const auto& image = Write(100 * 1024);
    EXPECT_EQ(U32At(image, HDR_NUM_FAT_SECTORS), 2u);
    EXPECT_EQ(U32At(image, HDR_DIFAT + 4), 128u);
    EXPECT_EQ(U32At(image, Sector(0) + 4 * 127), 129u); // the chain steps over the new FAT sector
    ExpectReadsBack();
}

TEST(CompoundBuilderNames, RefusedNamesReportTheirCodes)
{
    const std::vector<std::uint8_t> bytes = Pattern(10);
    EXPECT_EQ(CompoundBuilder::Build(std::vector{Stream(u"", bytes)}).status().value(), -1);
    EXPECT_EQ(CompoundBuilder::Build(std::vector{Stream(std::u16string(32, u'a'), bytes)}).status().value(), -5);
    EXPECT_TRUE(CompoundBuilder::Build(std::vector{Stream(std::u16string(31, u'a'), bytes)}).ok());
    EXPECT_EQ(CompoundBuilder::Build(std::vector{Stream(u"Workbook"), Stream(u"Workbook")}).status().value(), -6);
    CompoundReader cs;
    ASSERT_TRUE(cs.OpenFromMemory(Built({Stream(u"Workbook", bytes)})).ok());
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(cs.ReadStream(u"Book", buffer).value(), -4);
    EXPECT_EQ(cs.StreamSize(u"Book").status().value(), -4);
}

TEST(CompoundBuilderNames, DirectoryIsSortedAndChildrenHangAroundTheMiddle)
{
    CompoundReader cs;
    ASSERT_TRUE(cs.OpenFromMemory(Built({Stream(u"Workbook"), Stream(u"B"), Stream(u"CC"), Stream(u"A")})).ok());
    const auto& e = cs.Entries();
    ASSERT_EQ(e.size(), 5u);
    EXPECT_EQ(e[1].name, u"A");
    EXPECT_EQ(e[2].name, u"B");
    EXPECT_EQ(e[3].name, u"CC");
    EXPECT_EQ(e[4].name, u"Workbook");
    // Four children: the middle one (index 2 of 4) hangs from the root.
    EXPECT_EQ(e[0].child, 3u);
    EXPECT_EQ(e[3].left, 2u);
    EXPECT_EQ(e[2].left, 1u);
    EXPECT_EQ(e[1].left, NOSTREAM);
    EXPECT_EQ(e[3].right, 4u);
    EXPECT_EQ(e[4].right, NOSTREAM);
    for (auto name : {u"Workbook", u"B", u"CC", u"A"})
        EXPECT_TRUE(cs.StreamSize(name).ok());
}

TEST(CompoundFiles, SavedContainerOpensAndFindsTheStream)
{
    auto path = std::filesystem::temp_directory_path() / "parvel_cfb_test.bin";
    ASSERT_TRUE(CompoundBuilder::Save(path, Built({Stream(u"Workbook", Pattern(1000))})).ok());
    EXPECT_EQ(std::filesystem::file_size(path), 3072u);
    CompoundReader cs;
    ASSERT_TRUE(cs.Open(path).ok());
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(cs.ReadStream(u"\\Workbook", got).ok());
    EXPECT_EQ(got, Pattern(1000));
    std::filesystem::remove(path);
    EXPECT_EQ(cs.Open(path).code(), StatusCode::IoError);
}

TEST(CompoundFiles, WrongSignatureFails)
{
    auto image = Built({});
    ASSERT_EQ(image.size(), 3u * SECTOR_SIZE); // header, FAT, directory holding the root
    image[7] ^= 1;
    CompoundReader cs;
    EXPECT_EQ(cs.OpenFromMemory(image).code(), StatusCode::BadFormat);
    EXPECT_FALSE(cs.IsOpen());
}

} // namespace

namespace {

// Two small streams in the mini stream ("A": mini sectors 0-1, "B": 2-5) and one regular
// stream ("Big": sectors from 4 on), with the tables patched by hand to damage one chain.
class DamagedChains : public ::testing::Test {
protected:
    void SetUp() override
    {
        image = Built({Stream(u"A", Pattern(100)), Stream(u"B", Pattern(200)), Stream(u"Big", Pattern(5000))});
        ASSERT_FALSE(image.empty());
        miniFat = Sector(U32At(image, HDR_FIRST_MINIFAT_SECTOR));
    }
    void SetU32(std::size_t at, std::uint32_t v) { ByteOrder::StoreU32(image.data() + at, v); }
    // Opens the patched image; the damage must show in the chain walks, not at open.
    void Open() { ASSERT_TRUE(cs.OpenFromMemory(image).ok()); }
    // A container with a damaged stream is not listed, so it is never rebuilt.
    void ExpectItemsRefused() { EXPECT_EQ(cs.Items().status().code(), StatusCode::BadFormat); }

    std::vector<std::uint8_t> image;
    std::size_t miniFat = 0;
    CompoundReader cs;
    std::vector<std::uint8_t> got;
};

TEST_F(DamagedChains, MiniChainLoopFailsTheReadOfThatStreamOnly)
{
    SetU32(miniFat + 4 * 0, 0); // A: 0 -> 0
    Open();
    EXPECT_EQ(cs.ReadStream(u"A", got).code(), StatusCode::BadFormat);
    ExpectItemsRefused();
    ASSERT_TRUE(cs.ReadStream(u"B", got).ok());
    EXPECT_EQ(got, Pattern(200));
}

TEST_F(DamagedChains, MiniChainPastTheMiniStreamIsRefused)
{
    // B: 2 -> 3 -> 40, and 40 ends the chain: a mini sector far past the 512-byte mini stream.
    SetU32(miniFat + 4 * 3, 40);
    SetU32(miniFat + 4 * 40, ENDOFCHAIN);
    Open();
    EXPECT_EQ(cs.ReadStream(u"B", got).code(), StatusCode::BadFormat);
    ExpectItemsRefused();
}

TEST_F(DamagedChains, MiniChainWithoutAMiniStreamIsRefused)
{
    const std::size_t root = Sector(U32At(image, HDR_FIRST_DIR_SECTOR));
    SetU32(root + DIRENT_START_SECTOR, ENDOFCHAIN);
    SetU32(root + DIRENT_STREAM_SIZE, 0);
    Open();
    EXPECT_EQ(cs.ReadStream(u"A", got).code(), StatusCode::BadFormat);
    ExpectItemsRefused();
}

TEST_F(DamagedChains, MiniChainEndingEarlyOrInAFreeEntryFailsTheRead)
{
    SetU32(miniFat + 4 * 3, ENDOFCHAIN); // B holds 200 bytes but its chain has 2 sectors
    SetU32(miniFat + 4 * 0, FREESECT);   // A runs into a free entry
    Open();
    EXPECT_EQ(cs.ReadStream(u"B", got).code(), StatusCode::BadFormat);
    EXPECT_EQ(cs.ReadStream(u"A", got).code(), StatusCode::BadFormat);
}

TEST_F(DamagedChains, RegularChainLoopFailsTheRead)
{
    Open();
    const std::uint32_t start = cs.Entries()[3].startSector; // A, B, Big sort by length
    ASSERT_EQ(cs.Entries()[3].name, u"Big");
    const std::size_t fat = Sector(cs.Header().difat[0]);
    SetU32(fat + 4 * (start + 3), start + 1); // 4th sector links back to the 2nd
    Open();
    EXPECT_EQ(cs.ReadStream(u"Big", got).code(), StatusCode::BadFormat);
    ExpectItemsRefused();
    ASSERT_TRUE(cs.ReadStream(u"A", got).ok());
    EXPECT_EQ(got, Pattern(100));
}

} // namespace
