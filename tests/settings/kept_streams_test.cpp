// A store rewrites the workbook stream only: every other stream and storage of the container
// (document properties, other programs' data) is kept with its bytes and directory entry.
#include "StreamBuilder.h"
#include "app/AppFolders.h"

#include "settings/ByteOrder.h"
#include "settings/CompoundBuilder.h"
#include "settings/CompoundFileFormat.h"
#include "settings/CompoundReader.h"
#include "settings/ExcelDocument.h"
#include "settings/SettingsWorkbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace testing_streams;
namespace fs = std::filesystem;

Bytes Pattern(std::size_t n, std::uint8_t seed)
{
    Bytes v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(i * 13 + seed);
    return v;
}

Bytes ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), {});
}

void WriteFile(const fs::path& p, const Bytes& b)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Settings rows 0 to 7, with the delay 5 in B8.
Bytes SettingsStream()
{
    Bytes cells = Row(7, 2);
    Append(cells, RkRec(7, 1, 5u << 2 | 2));
    Append(cells, DbCell());
    return OneSheetStream(8, 2, cells);
}

// What a spreadsheet program leaves beside the workbook: property streams, a large stream, an
// empty one, and a storage holding a small and a large stream. Paths from the root.
struct Other {
    std::u16string path;
    std::size_t entry; // index in the hand-made directory
};

class KeptStreams : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto entry = [](std::u16string name, std::uint8_t type, std::uint8_t id, Bytes bytes) {
            HandEntry e;
            e.name = std::move(name);
            e.type = type;
            e.clsidByte = id;
            e.stateBits = 0x100u + id;
            e.creationTime = 0x01D9000000000000ull + id;
            e.modifiedTime = 0x01DA000000000000ull + id;
            e.bytes = std::move(bytes);
            return e;
        };
        dir = {
            entry(u"Root Entry", 5, 0x20, {}),
            entry(u"Workbook", 2, 0, SettingsStream()),
            entry(u"\x05SummaryInformation", 2, 0x31, Pattern(300, 1)),
            entry(u"\x05DocumentSummaryInformation", 2, 0x32, Pattern(4000, 2)),
            entry(u"Big", 2, 0x33, Pattern(5000, 3)),
            entry(u"Empty", 2, 0x34, {}),
            entry(u"_VBA_PROJECT_CUR", 1, 0x35, {}),
            entry(u"dir", 2, 0x36, Pattern(100, 4)),
            entry(u"Module", 2, 0x37, Pattern(4096, 5)),
        };
        // Root -> Workbook -> siblings to the right; the storage holds dir and Module.
        dir[0].child = 1;
        for (std::uint32_t i = 1; i < 6; ++i)
            dir[i].right = i + 1;
        dir[6].child = 7;
        dir[7].right = 8;
        others = {{u"\\\x05SummaryInformation", 2}, {u"\\\x05DocumentSummaryInformation", 3}, {u"\\Big", 4},
                  {u"\\Empty", 5}, {u"\\_VBA_PROJECT_CUR\\dir", 7}, {u"\\_VBA_PROJECT_CUR\\Module", 8}};
        file = HandMadeContainer(dir);
        ASSERT_FALSE(file.empty());
    }

    const CfbDirectoryEntry* Find(const CompoundReader& cs, const std::u16string& name, std::uint8_t type)
    {
        for (const auto& e : cs.Entries())
            if (e.name == name && e.type == type)
                return &e;
        return nullptr;
    }

    // Every other stream and the storage read back with their bytes and directory details.
    void ExpectKept(const Bytes& written)
    {
        CompoundReader cs;
        ASSERT_TRUE(cs.OpenFromMemory(written).ok());
        for (const Other& o : others) {
            const HandEntry& want = dir[o.entry];
            Bytes got;
            ASSERT_TRUE(cs.ReadStream(o.path, got).ok());
            EXPECT_EQ(got, want.bytes);
            const CfbDirectoryEntry* e = Find(cs, want.name, 2);
            ASSERT_NE(e, nullptr);
            ExpectSameDetails(*e, want);
        }
        for (std::size_t i : {std::size_t{0}, std::size_t{6}}) {
            const CfbDirectoryEntry* e = Find(cs, dir[i].name, dir[i].type);
            ASSERT_NE(e, nullptr);
            ExpectSameDetails(*e, dir[i]);
        }
        EXPECT_EQ(cs.Entries().size(), dir.size());
    }

    void ExpectSameDetails(const CfbDirectoryEntry& e, const HandEntry& want)
    {
        for (std::uint8_t b : e.clsid)
            EXPECT_EQ(b, want.clsidByte);
        EXPECT_EQ(e.stateBits, want.stateBits);
        EXPECT_EQ(e.creationTime, want.creationTime);
        EXPECT_EQ(e.modifiedTime, want.modifiedTime);
    }

    // Breaks the FAT chain of "Big" into a loop on its own first sector.
    void DamageBig()
    {
        CompoundReader cs;
        ASSERT_TRUE(cs.OpenFromMemory(file).ok());
        const CfbDirectoryEntry* big = Find(cs, u"Big", 2);
        ASSERT_NE(big, nullptr);
        const std::size_t at = 512 + 4 * std::size_t{big->startSector};
        ByteOrder::StoreU32(file.data() + at, big->startSector);
    }

    std::vector<HandEntry> dir;
    std::vector<Other> others;
    Bytes file;
};

TEST_F(KeptStreams, StoreKeepsEveryOtherStreamAndStorageWithItsEntry)
{
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(file).ok());
    doc.SheetAt(0)->CellAt(7, 1)->SetInteger(60);
    auto written = doc.WriteBookToMemory();
    ASSERT_TRUE(written.ok());
    ExpectKept(written.value());

    ExcelDocument again;
    ASSERT_TRUE(again.OpenBookFromMemory(written.value()).ok());
    EXPECT_EQ(again.SheetAt(0)->Find(7, 1)->AsInteger(), 60);
    // And once more: a store of the stored file keeps them again.
    auto twice = again.WriteBookToMemory();
    ASSERT_TRUE(twice.ok());
    ExpectKept(twice.value());
}

TEST_F(KeptStreams, StoreWritesTheKnownBytes)
{
    // The layout the store has always given this container: directory, mini stream, mini FAT
    // and large streams in their places.
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(file).ok());
    doc.SheetAt(0)->CellAt(7, 1)->SetInteger(60);
    auto written = doc.WriteBookToMemory();
    ASSERT_TRUE(written.ok());
    std::uint64_t fnv1a = 0xcbf29ce484222325ull;
    for (std::uint8_t b : written.value()) {
        fnv1a ^= b;
        fnv1a *= 0x100000001b3ull;
    }
    EXPECT_EQ(written.value().size(), 17408u);
    EXPECT_EQ(fnv1a, 0xfab79f238c238a34ull);
}

TEST_F(KeptStreams, SettingsStoreOnDiskKeepsThem)
{
    const fs::path appDir = fs::temp_directory_path() / "parvel_kept_streams";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    WriteFile(SettingsWorkbookPath(folders.systemDir), file);
    SettingsValues values;
    ASSERT_TRUE(StoreDelaySeconds(folders, values, 60).ok());
    ExpectKept(ReadFile(SettingsWorkbookPath(folders.systemDir)));
    SettingsValues loaded;
    ASSERT_TRUE(LoadSettings(folders, loaded).ok());
    EXPECT_EQ(loaded.delaySeconds, 60);
    fs::remove_all(appDir);
}

TEST_F(KeptStreams, UnreadableOtherStreamRefusesTheStoreAndLeavesTheFile)
{
    DamageBig();
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(file).ok()); // the workbook itself reads
    EXPECT_EQ(doc.WriteBookToMemory().status().code(), StatusCode::BadFormat);

    const fs::path appDir = fs::temp_directory_path() / "parvel_kept_streams_damaged";
    fs::remove_all(appDir);
    fs::create_directories(appDir / "system");
    AppFolders folders = AppFolders::FromAppDir(appDir);
    const fs::path path = SettingsWorkbookPath(folders.systemDir);
    WriteFile(path, file);
    SettingsValues values;
    EXPECT_FALSE(StoreDelaySeconds(folders, values, 60).ok());
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_EQ(std::distance(fs::directory_iterator(folders.systemDir), fs::directory_iterator{}), 1);
    fs::remove_all(appDir);
}

TEST_F(KeptStreams, WorkbookAloneIsWrittenAsAFreshContainer)
{
    // Our own files hold nothing else: their layout stays the plain one of a new container.
    for (std::size_t filler : {0u, 5000u}) {
        const Bytes stream = filler ? OneSheetStream(8, 2, {}, Rec(0x0099, Bytes(filler, 0))) : SettingsStream();
        ExcelDocument doc;
        ASSERT_TRUE(doc.OpenBookFromMemory(Container(stream)).ok());
        auto written = doc.WriteBookToMemory();
        ASSERT_TRUE(written.ok());
        ExcelDocument fresh;
        ASSERT_TRUE(fresh.OpenBookFromMemory(written.value()).ok());
        auto rebuilt = fresh.BuildWorkbookStream();
        ASSERT_TRUE(rebuilt.ok());
        EXPECT_EQ(written.value(), Container(rebuilt.value())) << filler;
    }
}

TEST(ContainerItems, NamesThatDifferOnlyInCaseAreOneNameInAStorage)
{
    std::vector<CfbItem> items(2);
    items[0].entry.name = u"data";
    items[1].entry.name = u"DATA";
    for (auto& item : items)
        item.entry.type = Cfb::STGTY_STREAM;
    EXPECT_EQ(CompoundBuilder::Build(items).status().code(), StatusCode::DuplicateName);
    // The directory sorts names as readers search them: upper case, so "_x" after "AB".
    items[0].entry.name = u"_x";
    items[1].entry.name = u"ab";
    auto built = CompoundBuilder::Build(items);
    ASSERT_TRUE(built.ok());
    CompoundReader cs;
    ASSERT_TRUE(cs.OpenFromMemory(built.value()).ok());
    EXPECT_EQ(cs.Entries()[1].name, u"ab");
    EXPECT_EQ(cs.Entries()[2].name, u"_x");
}

} // namespace
