// Stores of sample workbooks give, byte for byte, the files the store has always written for
// them: the container layout and the rebuilt workbook stream are both part of what a user's
// file looks like after the program saved a setting.
#include "settings/ExcelDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

std::uint64_t Fnv1a(const std::vector<std::uint8_t>& bytes)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::uint8_t b : bytes) {
        h ^= b;
        h *= 0x100000001b3ull;
    }
    return h;
}

struct Pinned {
    const char* file;   // below the repository root
    std::size_t size;
    std::uint64_t fnv1a;
};

class PinnedOutput : public ::testing::TestWithParam<Pinned> {};

// A folder (a wide text) into B2 and a delay into B8, as the settings store writes them.
TEST_P(PinnedOutput, StoreWritesTheKnownBytesToMemoryAndFileAlike)
{
    const fs::path root = fs::path(PARVEL_TEST_DATA_DIR) / ".." / "..";
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBookFromMemory(ReadFile(root / GetParam().file)).ok());
    doc.SheetAt(0)->CellAt(7, 1)->SetInteger(60);
    doc.SheetAt(0)->CellAt(1, 1)->SetWideText(u"/home/用户/图片/");
    auto memory = doc.WriteBookToMemory();
    ASSERT_TRUE(memory.ok());
    EXPECT_EQ(memory.value().size(), GetParam().size);
    EXPECT_EQ(Fnv1a(memory.value()), GetParam().fnv1a);

    const fs::path path = fs::temp_directory_path() / "parvel_pinned_output.xls";
    ASSERT_TRUE(doc.WriteBook(path).ok());
    EXPECT_EQ(ReadFile(path), memory.value());
    fs::remove(path);
}

INSTANTIATE_TEST_SUITE_P(Samples, PinnedOutput,
    ::testing::Values(Pinned{"tests/data/settings-corpus/ok-configure.xls", 3584, 0x3ae1d42e44cfad90ull},
                      Pinned{"fuzz/seeds/xlwt.xls", 5632, 0xb92bb8d4bfe72b98ull},
                      Pinned{"fuzz/seeds/sheets.xls", 3584, 0x8bb8166bb6cebb39ull}));

} // namespace
