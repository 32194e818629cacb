#include "CompoundReader.h"

#include "ByteOrder.h"
#include "CompoundChain.h"
#include "CompoundFileFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

using namespace Cfb;
using ByteOrder::LoadU16;
using ByteOrder::LoadU32;
using ByteOrder::LoadU64;

namespace {

CfbDirectoryEntry DecodeEntry(const std::uint8_t* p)
{
    CfbDirectoryEntry e;
    e.nameLength = LoadU16(p + DIRENT_NAME_LENGTH);
    std::size_t chars = std::min<std::size_t>(e.nameLength / 2, DIRENT_NAME_BYTES / 2);
    for (std::size_t i = 0; i < chars; ++i) {
        char16_t c = static_cast<char16_t>(LoadU16(p + DIRENT_NAME + 2 * i));
        if (c == 0)
            break;
        e.name.push_back(c);
    }
    e.type = p[DIRENT_TYPE];
    e.colour = p[DIRENT_COLOUR];
    e.left = LoadU32(p + DIRENT_LEFT);
    e.right = LoadU32(p + DIRENT_RIGHT);
    e.child = LoadU32(p + DIRENT_CHILD);
    std::memcpy(e.clsid.data(), p + DIRENT_CLSID, 16);
    e.stateBits = LoadU32(p + DIRENT_STATE_BITS);
    e.creationTime = LoadU64(p + DIRENT_CREATION_TIME);
    e.modifiedTime = LoadU64(p + DIRENT_MODIFIED_TIME);
    e.startSector = LoadU32(p + DIRENT_START_SECTOR);
    e.size = LoadU32(p + DIRENT_STREAM_SIZE);
    if (e.name.empty())
        e.type = STGTY_INVALID;
    return e;
}

bool IsEmptyEntry(const CfbDirectoryEntry& e) { return e.type == STGTY_INVALID; }

} // namespace

// ---- opening ----------------------------------------------------------------------------

Status CompoundReader::Open(const std::filesystem::path& path)
{
    Close();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return StatusCode::IoError;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return StatusCode::IoError;
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file)
        return StatusCode::IoError;
    // Not a compound file: stop before reading further.
    char signature[8] = {};
    if (!file.read(signature, 8) || std::memcmp(signature, HEADER_SIGNATURE, 8) != 0)
        return StatusCode::BadFormat;
    if (size > kMaxFileBytes)
        return StatusCode::TooLarge;
    file.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (size > 0 && !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return StatusCode::IoError;
    return OpenFromMemory(std::move(bytes));
}

Status CompoundReader::OpenFromMemory(std::vector<std::uint8_t> image)
{
    Close();
    if (image.size() > kMaxFileBytes)
        return StatusCode::TooLarge;
    image_ = std::move(image);
    // The last block may be short; it reads as if padded with zeros.
    if (image_.size() % SECTOR_SIZE != 0)
        image_.resize((image_.size() / SECTOR_SIZE + 1) * SECTOR_SIZE, 0);
    Status st = Parse();
    if (!st) {
        Close();
        return st;
    }
    open_ = true;
    return Status::Success();
}

void CompoundReader::Close()
{
    open_ = false;
    image_.clear();
    header_ = CfbHeader{};
    fat_.clear();
    miniFat_.clear();
    entries_.clear();
    tree_.clear();
}

std::size_t CompoundReader::SectorCount() const
{
    return image_.size() / SECTOR_SIZE > 0 ? image_.size() / SECTOR_SIZE - 1 : 0;
}

Status CompoundReader::Parse()
{
    if (image_.size() < SECTOR_SIZE || std::memcmp(image_.data(), HEADER_SIGNATURE, 8) != 0)
        return StatusCode::BadFormat;
    const std::uint8_t* h = image_.data();
    CfbHeader hd;
    hd.minorVersion = LoadU16(h + HDR_MINOR_VERSION);
    hd.majorVersion = LoadU16(h + HDR_MAJOR_VERSION);
    hd.byteOrder = LoadU16(h + HDR_BYTE_ORDER);
    hd.sectorShift = LoadU16(h + HDR_SECTOR_SHIFT);
    hd.miniSectorShift = LoadU32(h + HDR_MINI_SECTOR_SHIFT);
    hd.numFatSectors = LoadU32(h + HDR_NUM_FAT_SECTORS);
    hd.firstDirSector = LoadU32(h + HDR_FIRST_DIR_SECTOR);
    hd.transactionSignature = LoadU32(h + HDR_TRANSACTION_SIGNATURE);
    hd.miniStreamCutoff = LoadU32(h + HDR_MINI_STREAM_CUTOFF);
    hd.firstMiniFatSector = LoadU32(h + HDR_FIRST_MINIFAT_SECTOR);
    hd.numMiniFatSectors = LoadU32(h + HDR_NUM_MINIFAT_SECTORS);
    hd.firstDifatSector = LoadU32(h + HDR_FIRST_DIFAT_SECTOR);
    hd.numDifatSectors = LoadU32(h + HDR_NUM_DIFAT_SECTORS);
    for (std::uint32_t i = 0; i < HEADER_DIFAT_ENTRIES; ++i)
        hd.difat[i] = LoadU32(h + HDR_DIFAT + 4 * i);
    header_ = hd;

    // Only 512-byte sectors and 64-byte mini sectors, and no extension sectors.
    if (hd.sectorShift != SECTOR_SHIFT_V3 || (hd.miniSectorShift & 0xFFFF) != MINI_SECTOR_SHIFT)
        return StatusCode::BadFormat;
    if (hd.numFatSectors == 0 || hd.numFatSectors > HEADER_DIFAT_ENTRIES)
        return StatusCode::BadFormat;

    const std::size_t sectors = SectorCount();
    fat_.clear();
    fat_.reserve(std::size_t{hd.numFatSectors} * ENTRIES_PER_FAT_SECTOR);
    for (std::uint32_t i = 0; i < hd.numFatSectors; ++i) {
        std::uint32_t s = hd.difat[i];
        if (!IsRegular(s) || s >= sectors)
            return StatusCode::BadFormat;
        const std::uint8_t* p = image_.data() + (std::size_t{s} + 1) * SECTOR_SIZE;
        for (std::uint32_t k = 0; k < ENTRIES_PER_FAT_SECTOR; ++k)
            fat_.push_back(LoadU32(p + 4 * k));
    }

    // The mini FAT is followed through the FAT, which also reads files whose mini FAT is
    // not stored in consecutive sectors.
    miniFat_.clear();
    if (hd.numMiniFatSectors > 0 && hd.firstMiniFatSector != ENDOFCHAIN) {
        auto chain = Chain(Table::Fat, hd.firstMiniFatSector, hd.numMiniFatSectors);
        if (!chain)
            return chain.status();
        for (std::uint32_t s : chain.value()) {
            const std::uint8_t* p = image_.data() + (std::size_t{s} + 1) * SECTOR_SIZE;
            for (std::uint32_t k = 0; k < ENTRIES_PER_FAT_SECTOR; ++k)
                miniFat_.push_back(LoadU32(p + 4 * k));
        }
    }

    auto dirChain = Chain(Table::Fat, hd.firstDirSector);
    if (!dirChain)
        return dirChain.status();
    entries_.clear();
    for (std::uint32_t s : dirChain.value()) {
        const std::uint8_t* p = image_.data() + (std::size_t{s} + 1) * SECTOR_SIZE;
        for (std::uint32_t k = 0; k < DIRENTS_PER_SECTOR; ++k)
            entries_.push_back(DecodeEntry(p + k * DIRENT_SIZE));
    }
    // Unused entries keep their place, so that the links, which are directory indices, stay
    // right; only the unused tail is dropped.
    while (!entries_.empty() && IsEmptyEntry(entries_.back()))
        entries_.pop_back();
    if (entries_.empty() || entries_[0].type != STGTY_ROOT)
        return StatusCode::BadFormat;
    return BuildTree();
}

Status CompoundReader::BuildTree()
{
    tree_.assign(entries_.size(), TreeNode{});
    std::vector<bool> seen(entries_.size(), false);
    seen[0] = true;
    // Explicit stack: a hostile directory could nest deeper than the call stack allows.
    struct Item { std::uint32_t entry; std::uint32_t parent; };
    std::vector<Item> stack;
    auto push = [&](std::uint32_t link, std::uint32_t parent) -> bool {
        if (link == NOSTREAM)
            return true;
        if (link >= entries_.size() || seen[link] || IsEmptyEntry(entries_[link]) || entries_[link].type == STGTY_ROOT)
            return false;
        seen[link] = true;
        stack.push_back({link, parent});
        return true;
    };
    if (!push(entries_[0].child, 0))
        return StatusCode::BadFormat;
    while (!stack.empty()) {
        Item it = stack.back();
        stack.pop_back();
        tree_[it.entry].parent = it.parent;
        tree_[it.parent].children.push_back(it.entry);
        const CfbDirectoryEntry& e = entries_[it.entry];
        if (!push(e.left, it.parent) || !push(e.right, it.parent))
            return StatusCode::BadFormat;
        if (e.type == STGTY_STORAGE && !push(e.child, it.entry))
            return StatusCode::BadFormat;
    }
    for (TreeNode& n : tree_)
        std::sort(n.children.begin(), n.children.end());
    return Status::Success();
}

Result<std::vector<std::uint32_t>> CompoundReader::Chain(Table table, std::uint32_t start, std::size_t limit) const
{
    if (table == Table::Fat)
        return WalkChain(fat_, start, SectorCount(), limit);
    // Mini sectors must lie inside the mini stream, which is the root's stream.
    const std::size_t miniSectors = entries_.empty() || !IsRegular(entries_[0].startSector)
        ? 0 : entries_[0].size / MINI_SECTOR_SIZE;
    return WalkChain(miniFat_, start, miniSectors, limit);
}

Result<std::vector<std::uint8_t>> CompoundReader::ReadRegular(std::uint32_t start, std::uint32_t size) const
{
    std::size_t needed = (std::size_t{size} + SECTOR_SIZE - 1) / SECTOR_SIZE;
    auto chain = Chain(Table::Fat, start, needed);
    if (!chain)
        return chain.status();
    if (chain.value().size() < needed)
        return StatusCode::BadFormat;
    std::vector<std::uint8_t> out(size);
    std::size_t done = 0;
    for (std::uint32_t s : chain.value()) {
        std::size_t n = std::min<std::size_t>(SECTOR_SIZE, size - done);
        std::memcpy(out.data() + done, image_.data() + (std::size_t{s} + 1) * SECTOR_SIZE, n);
        done += n;
    }
    return out;
}

// ---- names ------------------------------------------------------------------------------

std::uint32_t CompoundReader::FindChild(std::uint32_t storage, std::u16string_view leaf) const
{
    for (std::uint32_t c : tree_[storage].children)
        if (entries_[c].name == leaf)
            return c;
    return NOSTREAM;
}

Status CompoundReader::Resolve(std::u16string_view name, std::uint32_t& storage, std::u16string& leaf) const
{
    storage = 0;
    if (!name.empty() && name.front() == u'\\')
        name.remove_prefix(1);
    std::size_t cut = name.rfind(u'\\');
    std::u16string_view dirs = cut == std::u16string_view::npos ? std::u16string_view{} : name.substr(0, cut);
    leaf = std::u16string(cut == std::u16string_view::npos ? name : name.substr(cut + 1));
    while (!dirs.empty()) {
        std::size_t sep = dirs.find(u'\\');
        std::u16string_view part = dirs.substr(0, sep);
        dirs = sep == std::u16string_view::npos ? std::u16string_view{} : dirs.substr(sep + 1);
        if (part.empty() || part == u".")
            continue;
        if (part == u"..") {
            if (storage != 0)
                storage = tree_[storage].parent;
            continue;
        }
        std::uint32_t next = FindChild(storage, part);
        if (next == NOSTREAM || entries_[next].type != STGTY_STORAGE)
            return StatusCode::NotFound;
        storage = next;
    }
    return Status::Success();
}

// ---- streams ------------------------------------------------------------------------------

Result<std::uint32_t> CompoundReader::FindStream(std::u16string_view name) const
{
    std::uint32_t storage;
    std::u16string leaf;
    if (Status st = Resolve(name, storage, leaf); !st)
        return st;
    const std::uint32_t e = FindChild(storage, leaf);
    if (e == NOSTREAM || entries_[e].type != STGTY_STREAM)
        return StatusCode::NotFound;
    return e;
}

Result<std::uint32_t> CompoundReader::StreamSize(std::u16string_view name) const
{
    if (!open_)
        return StatusCode::NotOpen;
    const Result<std::uint32_t> e = FindStream(name);
    if (!e)
        return e.status();
    return entries_[e.value()].size;
}

Result<std::vector<std::uint8_t>> CompoundReader::ReadEntry(std::uint32_t index,
    std::optional<std::vector<std::uint8_t>>& ministream) const
{
    const CfbDirectoryEntry& e = entries_[index];
    if (e.size >= MINI_STREAM_CUTOFF)
        return ReadRegular(e.startSector, e.size);
    if (e.size == 0)
        return std::vector<std::uint8_t>{};
    if (!ministream) {
        auto mini = ReadRegular(entries_[0].startSector, entries_[0].size);
        if (!mini)
            return mini.status();
        ministream = std::move(mini).value();
    }
    const std::size_t needed = MiniSectorsFor(e.size);
    auto chain = Chain(Table::MiniFat, e.startSector, needed);
    if (!chain)
        return chain.status();
    if (chain.value().size() < needed)
        return StatusCode::BadFormat;
    std::vector<std::uint8_t> out(e.size);
    for (std::size_t i = 0; i < needed; ++i) {
        std::size_t n = std::min<std::size_t>(MINI_SECTOR_SIZE, e.size - i * MINI_SECTOR_SIZE);
        std::memcpy(out.data() + i * MINI_SECTOR_SIZE, ministream->data() + std::size_t{chain.value()[i]} * MINI_SECTOR_SIZE, n);
    }
    return out;
}

Status CompoundReader::ReadStream(std::u16string_view name, std::vector<std::uint8_t>& buffer) const
{
    if (!open_)
        return StatusCode::NotOpen;
    const Result<std::uint32_t> found = FindStream(name);
    if (!found)
        return found.status();
    std::optional<std::vector<std::uint8_t>> ministream;
    auto bytes = ReadEntry(found.value(), ministream);
    if (!bytes)
        return bytes.status();
    buffer = std::move(bytes).value();
    return Status::Success();
}

Result<std::vector<CfbItem>> CompoundReader::Items() const
{
    if (!open_)
        return StatusCode::NotOpen;
    std::vector<CfbItem> items;
    std::optional<std::vector<std::uint8_t>> ministream; // read once for all small streams
    // Depth first, each storage before what it holds; explicit stack, as in BuildTree.
    struct Item { std::uint32_t entry; std::size_t parent; };
    std::vector<Item> stack;
    auto pushChildren = [&](std::uint32_t storage, std::size_t parent) {
        const auto& c = tree_[storage].children;
        for (auto it = c.rbegin(); it != c.rend(); ++it)
            stack.push_back({*it, parent});
    };
    pushChildren(0, CfbItem::kRoot);
    while (!stack.empty()) {
        const Item it = stack.back();
        stack.pop_back();
        const CfbDirectoryEntry& e = entries_[it.entry];
        CfbItem item;
        item.parent = it.parent;
        item.entry = e;
        if (e.type == STGTY_STREAM) {
            auto bytes = ReadEntry(it.entry, ministream);
            if (!bytes)
                return bytes.status();
            item.bytes = std::move(bytes).value();
        } else if (e.type != STGTY_STORAGE) {
            return StatusCode::BadFormat; // neither stream nor storage: nothing we could keep
        }
        items.push_back(std::move(item));
        if (e.type == STGTY_STORAGE)
            pushChildren(it.entry, items.size() - 1);
    }
    return items;
}
