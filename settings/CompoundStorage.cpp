#include "CompoundStorage.h"

#include "ByteOrder.h"
#include "CompoundFileFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <optional>
#include <system_error>

using namespace Cfb;
using ByteOrder::LoadU16;
using ByteOrder::LoadU32;
using ByteOrder::LoadU64;
using ByteOrder::StoreU16;
using ByteOrder::StoreU32;
using ByteOrder::StoreU64;

namespace {

// Without extension sectors a version-3 file addresses at most 109 × 128 sectors; anything
// longer cannot be ours to read, and refusing it keeps memory bounded.
constexpr std::uintmax_t kMaxFileBytes = (std::uintmax_t{HEADER_DIFAT_ENTRIES} * ENTRIES_PER_FAT_SECTOR + 1) * SECTOR_SIZE;

bool IsRegular(std::uint32_t sector) { return sector <= MAXREGSECT; }

std::size_t MiniSectorsFor(std::size_t bytes) { return (bytes + MINI_SECTOR_SIZE - 1) / MINI_SECTOR_SIZE; }

// Upper case as directory names compare: ASCII and the Latin-1 letters.
char16_t UpperForCompare(char16_t c)
{
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    return c;
}

// Names sort by length first, then by their upper-case UTF-16 code units, which is the order
// the directory's sibling trees must keep for readers that search them.
bool SortsBefore(const std::u16string& a, const std::u16string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = UpperForCompare(a[i]), y = UpperForCompare(b[i]);
        if (x != y)
            return x < y;
    }
    return false;
}

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

void EncodeEntry(const CfbDirectoryEntry& e, std::uint8_t* p)
{
    for (std::size_t i = 0; i < e.name.size() && i < MAX_NAME_CHARS; ++i)
        StoreU16(p + DIRENT_NAME + 2 * i, e.name[i]);
    StoreU16(p + DIRENT_NAME_LENGTH, e.nameLength);
    p[DIRENT_TYPE] = e.type;
    p[DIRENT_COLOUR] = e.colour;
    StoreU32(p + DIRENT_LEFT, e.left);
    StoreU32(p + DIRENT_RIGHT, e.right);
    StoreU32(p + DIRENT_CHILD, e.child);
    std::memcpy(p + DIRENT_CLSID, e.clsid.data(), 16);
    StoreU32(p + DIRENT_STATE_BITS, e.stateBits);
    StoreU64(p + DIRENT_CREATION_TIME, e.creationTime);
    StoreU64(p + DIRENT_MODIFIED_TIME, e.modifiedTime);
    StoreU32(p + DIRENT_START_SECTOR, e.startSector);
    StoreU32(p + DIRENT_STREAM_SIZE, e.size);
}

bool IsEmptyEntry(const CfbDirectoryEntry& e) { return e.type == STGTY_INVALID; }

// What an entry carries over into another container besides its name, type and contents.
void CopyEntryInfo(const CfbDirectoryEntry& from, CfbDirectoryEntry& to)
{
    to.clsid = from.clsid;
    to.stateBits = from.stateBits;
    to.creationTime = from.creationTime;
    to.modifiedTime = from.modifiedTime;
}

// The one walk of an allocation chain, in the FAT or the mini FAT alike: at most `limit` links,
// each a regular index below `bound` (and below the table's size) that has not been visited.
// A loop, a free or special entry, or an index out of range ends the walk as a damaged file.
Result<std::vector<std::uint32_t>> WalkChain(std::span<const std::uint32_t> table, std::uint32_t start,
    std::size_t bound, std::size_t limit)
{
    bound = std::min(bound, table.size());
    std::vector<std::uint32_t> chain;
    std::vector<bool> visited(bound, false);
    for (std::uint32_t s = start; s != ENDOFCHAIN && chain.size() < limit; s = table[s]) {
        if (!IsRegular(s) || s >= bound || visited[s])
            return StatusCode::BadFormat;
        visited[s] = true;
        chain.push_back(s);
    }
    return chain;
}

} // namespace

// ---- opening ----------------------------------------------------------------------------

Status CompoundStorage::OpenStorage(const std::filesystem::path& path)
{
    CloseStorage();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return StatusCode::IoError;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return StatusCode::IoError;
    // Opened for reading and writing: a file that cannot be rewritten is not ours to load.
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
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
    Status st = OpenFromMemory(std::move(bytes));
    if (st)
        path_ = path;
    return st;
}

Status CompoundStorage::OpenFromMemory(std::vector<std::uint8_t> image)
{
    CloseStorage();
    if (image.size() > kMaxFileBytes)
        return StatusCode::TooLarge;
    image_ = std::move(image);
    // The last block may be short; it reads as if padded with zeros.
    if (image_.size() % SECTOR_SIZE != 0)
        image_.resize((image_.size() / SECTOR_SIZE + 1) * SECTOR_SIZE, 0);
    Status st = Parse();
    if (!st) {
        CloseStorage();
        return st;
    }
    open_ = true;
    return Status::Success();
}

std::size_t CompoundStorage::SectorCount() const
{
    return image_.size() / SECTOR_SIZE > 0 ? image_.size() / SECTOR_SIZE - 1 : 0;
}

Status CompoundStorage::Parse()
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

Status CompoundStorage::BuildTree()
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
    current_ = 0;
    return Status::Success();
}

Result<std::vector<std::uint32_t>> CompoundStorage::Chain(Table table, std::uint32_t start, std::size_t limit) const
{
    if (table == Table::Fat)
        return WalkChain(fat_, start, SectorCount(), limit);
    // Mini sectors must lie inside the mini stream, which is the root's stream.
    const std::size_t miniSectors = entries_.empty() || !IsRegular(entries_[0].startSector)
        ? 0 : entries_[0].size / MINI_SECTOR_SIZE;
    return WalkChain(miniFat_, start, miniSectors, limit);
}

Result<std::vector<std::uint8_t>> CompoundStorage::ReadRegular(std::uint32_t start, std::uint32_t size) const
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

void CompoundStorage::CloseStorage()
{
    open_ = false;
    path_.clear();
    image_.clear();
    header_ = CfbHeader{};
    fat_.clear();
    miniFat_.clear();
    entries_.clear();
    tree_.clear();
    current_ = 0;
    freeHint_ = 0;
    miniFreeHint_ = 0;
}

// ---- names ------------------------------------------------------------------------------

std::uint32_t CompoundStorage::FindChild(std::uint32_t storage, std::u16string_view leaf) const
{
    for (std::uint32_t c : tree_[storage].children)
        if (entries_[c].name == leaf)
            return c;
    return NOSTREAM;
}

Status CompoundStorage::Resolve(std::u16string_view name, std::uint32_t& storage, std::u16string& leaf) const
{
    storage = current_;
    if (!name.empty() && name.front() == u'\\') {
        storage = 0;
        name.remove_prefix(1);
    }
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

// ---- stream operations ------------------------------------------------------------------

Result<std::uint32_t> CompoundStorage::FindStream(std::u16string_view name) const
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

Result<std::uint32_t> CompoundStorage::StreamSize(std::u16string_view name) const
{
    if (!open_)
        return StatusCode::NotOpen;
    const Result<std::uint32_t> e = FindStream(name);
    if (!e)
        return e.status();
    return entries_[e.value()].size;
}

Result<std::vector<std::uint8_t>> CompoundStorage::ReadEntry(std::uint32_t index,
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

Status CompoundStorage::ReadStream(std::u16string_view name, std::vector<std::uint8_t>& buffer) const
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

Result<std::vector<CfbItem>> CompoundStorage::Items() const
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

Status CompoundStorage::CreateStorage(const std::filesystem::path& path)
{
    CloseStorage();
    CfbHeader& hd = header_;
    hd.minorVersion = MINOR_VERSION;
    hd.majorVersion = MAJOR_VERSION_3;
    hd.byteOrder = BYTE_ORDER_MARK;
    hd.sectorShift = SECTOR_SHIFT_V3;
    hd.miniSectorShift = MINI_SECTOR_SHIFT;
    hd.numFatSectors = 1;
    hd.firstDirSector = 1;
    hd.transactionSignature = 0;
    hd.miniStreamCutoff = MINI_STREAM_CUTOFF;
    hd.firstMiniFatSector = ENDOFCHAIN;
    hd.numMiniFatSectors = 0;
    hd.firstDifatSector = ENDOFCHAIN;
    hd.numDifatSectors = 0;
    hd.difat.fill(FREESECT);
    hd.difat[0] = 0;

    fat_.assign(ENTRIES_PER_FAT_SECTOR, FREESECT);
    fat_[0] = FATSECT;
    fat_[1] = ENDOFCHAIN;
    image_.assign(3 * SECTOR_SIZE, 0);

    CfbDirectoryEntry root;
    root.name = u"Root Entry";
    root.nameLength = static_cast<std::uint16_t>((root.name.size() + 1) * 2);
    root.type = STGTY_ROOT;
    entries_ = {root};
    tree_.assign(1, TreeNode{});
    current_ = 0;
    path_ = path;
    open_ = true;
    return SaveAll();
}

Status CompoundStorage::AddStream(std::u16string_view name)
{
    if (!open_)
        return StatusCode::NotOpen;
    std::uint32_t storage;
    std::u16string leaf;
    if (Status st = Resolve(name, storage, leaf); !st)
        return st;
    current_ = storage;
    if (leaf.empty())
        return StatusCode::EmptyName;
    if (leaf.size() > MAX_NAME_CHARS)
        return StatusCode::NameTooLong;
    if (FindChild(storage, leaf) != NOSTREAM)
        return StatusCode::DuplicateName;

    CfbDirectoryEntry e;
    e.name = leaf;
    e.nameLength = static_cast<std::uint16_t>((leaf.size() + 1) * 2);
    e.type = STGTY_STREAM;

    std::uint32_t at = 1;
    while (at < entries_.size() && SortsBefore(entries_[at].name, leaf))
        ++at;
    auto bump = [at](std::uint32_t& ref) {
        if (ref != NOSTREAM && ref >= at)
            ++ref;
    };
    for (CfbDirectoryEntry& x : entries_) {
        bump(x.left);
        bump(x.right);
        bump(x.child);
    }
    for (TreeNode& n : tree_) {
        bump(n.parent);
        for (std::uint32_t& c : n.children)
            bump(c);
    }
    bump(storage);
    bump(current_);
    entries_.insert(entries_.begin() + at, e);
    TreeNode node;
    node.parent = storage;
    tree_.insert(tree_.begin() + at, node);
    auto& kids = tree_[storage].children;
    kids.insert(std::upper_bound(kids.begin(), kids.end(), at), at);
    Relink(storage);
    return SaveAll();
}

void CompoundStorage::Relink(std::uint32_t storage)
{
    const auto& c = tree_[storage].children;
    for (std::uint32_t k : c) {
        entries_[k].left = NOSTREAM;
        entries_[k].right = NOSTREAM;
    }
    if (c.empty()) {
        entries_[storage].child = NOSTREAM;
        return;
    }
    std::size_t n = c.size();
    std::size_t m = n / 2;
    entries_[storage].child = c[m];
    for (std::size_t k = 1; k <= m; ++k)
        entries_[c[k]].left = c[k - 1];
    for (std::size_t k = m; k + 1 < n; ++k)
        entries_[c[k]].right = c[k + 1];
}

Status CompoundStorage::WriteStream(std::u16string_view name, std::span<const std::uint8_t> data)
{
    if (!open_)
        return StatusCode::NotOpen;
    if (data.size() > kMaxFileBytes)
        return StatusCode::TooLarge;
    const Result<std::uint32_t> found = FindStream(name);
    if (!found)
        return found.status();
    const std::uint32_t idx = found.value();

    const bool wasMini = entries_[idx].size < MINI_STREAM_CUTOFF;
    const bool isMini = data.size() < MINI_STREAM_CUTOFF;
    std::uint32_t start = entries_[idx].startSector;
    if (wasMini != isMini) {
        if (Status st = ReleaseChain(start, wasMini ? Table::MiniFat : Table::Fat); !st)
            return st;
        start = ENDOFCHAIN;
    }
    Status st = isMini ? WriteMini(start, data) : WriteRegular(start, data);
    if (!st)
        return st;
    entries_[idx].startSector = start;
    entries_[idx].size = static_cast<std::uint32_t>(data.size());
    return SaveAll();
}

void CompoundStorage::SetRootInfo(const CfbDirectoryEntry& from)
{
    if (!open_)
        return;
    CopyEntryInfo(from, entries_[0]);
}

Status CompoundStorage::AddItems(std::span<const CfbItem> items)
{
    if (!open_)
        return StatusCode::NotOpen;
    if (entries_.size() != 1)
        return StatusCode::InvalidArgument;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CfbItem& item = items[i];
        const CfbDirectoryEntry& e = item.entry;
        if (item.parent != CfbItem::kRoot
            && (item.parent >= i || items[item.parent].entry.type != STGTY_STORAGE))
            return StatusCode::InvalidArgument;
        if (e.type != STGTY_STREAM && e.type != STGTY_STORAGE)
            return StatusCode::InvalidArgument;
        if (e.name.empty())
            return StatusCode::EmptyName;
        if (e.name.size() > MAX_NAME_CHARS)
            return StatusCode::NameTooLong;
        if (e.type == STGTY_STREAM)
            total += item.bytes.size();
    }
    if (total > kMaxFileBytes)
        return StatusCode::TooLarge;

    // Directory order: the root, then every name in sort order (items in their given order
    // among equal names). order[k] is the item at directory index k + 1.
    std::vector<std::size_t> order(items.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return SortsBefore(items[a].entry.name, items[b].entry.name); });
    std::vector<std::uint32_t> at(items.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        at[order[k]] = static_cast<std::uint32_t>(k + 1);

    entries_.resize(items.size() + 1);
    tree_.assign(items.size() + 1, TreeNode{});
    for (std::size_t k = 0; k < order.size(); ++k) {
        const CfbItem& item = items[order[k]];
        const std::uint32_t parent = item.parent == CfbItem::kRoot ? 0 : at[item.parent];
        CfbDirectoryEntry e;
        e.name = item.entry.name;
        e.nameLength = static_cast<std::uint16_t>((e.name.size() + 1) * 2);
        e.type = item.entry.type;
        CopyEntryInfo(item.entry, e);
        entries_[k + 1] = e;
        tree_[k + 1].parent = parent;
        tree_[parent].children.push_back(static_cast<std::uint32_t>(k + 1));
    }
    for (std::uint32_t n = 0; n < tree_.size(); ++n) {
        const auto& kids = tree_[n].children;
        for (std::size_t j = 1; j < kids.size(); ++j)
            if (!SortsBefore(entries_[kids[j - 1]].name, entries_[kids[j]].name))
                return CloseWith(StatusCode::DuplicateName);
        if (n == 0 || entries_[n].type == STGTY_STORAGE)
            Relink(n);
    }
    // The directory's sectors come first, as when streams are added one by one.
    if (Status st = SaveDirectory(); !st)
        return CloseWith(st);

    // Small streams share the mini stream, which is written once; the rest go to sectors.
    std::vector<std::uint8_t> ministream; // empty until the first small stream
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CfbItem& item = items[i];
        if (item.entry.type != STGTY_STREAM || item.bytes.empty() || item.bytes.size() >= MINI_STREAM_CUTOFF)
            continue;
        if (ministream.empty()) {
            if (Status st = StartMiniStream(); !st)
                return CloseWith(st);
        }
        CfbDirectoryEntry& e = entries_[at[i]];
        std::vector<std::uint32_t> chain;
        if (Status st = ExtendMiniChain(chain, e.startSector, MiniSectorsFor(item.bytes.size()), ministream); !st)
            return CloseWith(st);
        CopyIntoMini(ministream, chain, item.bytes);
        e.size = static_cast<std::uint32_t>(item.bytes.size());
    }
    if (!ministream.empty()) {
        std::uint32_t rootStart = entries_[0].startSector;
        if (Status st = WriteRegular(rootStart, ministream); !st)
            return CloseWith(st);
        entries_[0].startSector = rootStart;
        entries_[0].size = static_cast<std::uint32_t>(ministream.size());
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CfbItem& item = items[i];
        if (item.entry.type != STGTY_STREAM || item.bytes.size() < MINI_STREAM_CUTOFF)
            continue;
        // Start and size are set together, so that a sector later inserted for the FAT
        // renumbers the start.
        std::uint32_t start = ENDOFCHAIN;
        if (Status st = WriteRegular(start, item.bytes); !st)
            return CloseWith(st);
        entries_[at[i]].startSector = start;
        entries_[at[i]].size = static_cast<std::uint32_t>(item.bytes.size());
    }
    if (Status st = SaveAll(); !st)
        return CloseWith(st);
    return Status::Success();
}

Status CompoundStorage::CloseWith(Status st)
{
    CloseStorage();
    return st;
}

Status CompoundStorage::SaveAs(const std::filesystem::path& path)
{
    if (!open_)
        return StatusCode::NotOpen;
    path_ = path;
    return Flush();
}

// ---- sector allocation --------------------------------------------------------------------

void CompoundStorage::WriteSector(std::uint32_t sector, std::span<const std::uint8_t> bytes)
{
    std::size_t at = (std::size_t{sector} + 1) * SECTOR_SIZE;
    if (image_.size() < at + SECTOR_SIZE)
        image_.resize(at + SECTOR_SIZE, 0);
    std::memset(image_.data() + at, 0, SECTOR_SIZE);
    if (!bytes.empty())
        std::memcpy(image_.data() + at, bytes.data(), std::min<std::size_t>(bytes.size(), SECTOR_SIZE));
}

void CompoundStorage::InsertSector(std::uint32_t index)
{
    std::size_t at = (std::size_t{index} + 1) * SECTOR_SIZE;
    if (at >= image_.size())
        image_.resize(at + SECTOR_SIZE, 0);
    else
        image_.insert(image_.begin() + static_cast<std::ptrdiff_t>(at), SECTOR_SIZE, 0);
    auto bump = [index](std::uint32_t& ref) {
        if (IsRegular(ref) && ref >= index)
            ++ref;
    };
    for (std::uint32_t& f : fat_)
        bump(f);
    for (std::uint32_t i = 0; i < header_.numFatSectors; ++i)
        bump(header_.difat[i]);
    bump(header_.firstDirSector);
    bump(header_.firstMiniFatSector);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        CfbDirectoryEntry& e = entries_[i];
        if (e.type == STGTY_ROOT || (e.type == STGTY_STREAM && e.size >= MINI_STREAM_CUTOFF))
            bump(e.startSector);
    }
}

Result<std::uint32_t> CompoundStorage::TakeFreeSector()
{
    auto it = std::find(fat_.begin() + static_cast<std::ptrdiff_t>(std::min(freeHint_, fat_.size())), fat_.end(), FREESECT);
    if (it != fat_.end()) {
        freeHint_ = static_cast<std::size_t>(it - fat_.begin()) + 1;
        return static_cast<std::uint32_t>(it - fat_.begin());
    }
    if (header_.numFatSectors >= HEADER_DIFAT_ENTRIES)
        return StatusCode::TooLarge;
    // Grow the FAT by one sector placed right after every sector it already covers.
    std::uint32_t index = static_cast<std::uint32_t>(fat_.size());
    InsertSector(index);
    header_.difat[header_.numFatSectors++] = index;
    fat_.push_back(FATSECT);
    fat_.insert(fat_.end(), ENTRIES_PER_FAT_SECTOR - 1, FREESECT);
    return index + 1;
}

Result<std::uint32_t> CompoundStorage::TakeFreeMiniSector()
{
    auto it = std::find(miniFat_.begin() + static_cast<std::ptrdiff_t>(std::min(miniFreeHint_, miniFat_.size())), miniFat_.end(), FREESECT);
    if (it != miniFat_.end()) {
        miniFreeHint_ = static_cast<std::size_t>(it - miniFat_.begin()) + 1;
        return static_cast<std::uint32_t>(it - miniFat_.begin());
    }
    auto s = TakeFreeSector();
    if (!s)
        return s;
    fat_[s.value()] = ENDOFCHAIN;
    WriteSector(s.value(), {});
    if (miniFat_.empty()) {
        header_.firstMiniFatSector = s.value();
        header_.numMiniFatSectors = 1;
    } else {
        auto chain = Chain(Table::Fat, header_.firstMiniFatSector);
        if (!chain || chain.value().empty())
            return StatusCode::BadFormat;
        fat_[chain.value().back()] = s.value();
        ++header_.numMiniFatSectors;
    }
    std::uint32_t first = static_cast<std::uint32_t>(miniFat_.size());
    miniFat_.insert(miniFat_.end(), ENTRIES_PER_FAT_SECTOR, FREESECT);
    return first;
}

Status CompoundStorage::ReleaseChain(std::uint32_t start, Table table)
{
    // A damaged chain is left as it is: freeing part of it could free sectors another chain uses.
    auto chain = Chain(table, start);
    if (!chain)
        return chain.status();
    std::vector<std::uint32_t>& entries = table == Table::MiniFat ? miniFat_ : fat_;
    (table == Table::MiniFat ? miniFreeHint_ : freeHint_) = 0;
    for (std::uint32_t s : chain.value())
        entries[s] = FREESECT;
    return Status::Success();
}

namespace {

// Cuts a chain down to `needed` sectors, freeing the rest in its allocation table and ending it
// (or emptying `start`). True when sectors were freed, so free-sector searches start over.
bool TrimChain(std::vector<std::uint32_t>& table, std::vector<std::uint32_t>& chain, std::size_t needed,
    std::uint32_t& start)
{
    if (chain.size() <= needed)
        return false;
    for (std::size_t i = needed; i < chain.size(); ++i)
        table[chain[i]] = FREESECT;
    if (needed == 0)
        start = ENDOFCHAIN;
    else
        table[chain[needed - 1]] = ENDOFCHAIN;
    chain.resize(needed);
    return true;
}

} // namespace

Status CompoundStorage::WriteRegular(std::uint32_t& start, std::span<const std::uint8_t> data)
{
    if (data.empty() && start == ENDOFCHAIN)
        return Status::Success();
    auto collected = Chain(Table::Fat, start);
    if (!collected)
        return collected.status();
    std::vector<std::uint32_t> chain = std::move(collected).value();
    std::size_t needed = (data.size() + SECTOR_SIZE - 1) / SECTOR_SIZE;
    if (TrimChain(fat_, chain, needed, start))
        freeHint_ = 0;
    for (std::size_t i = 0; i < needed; ++i) {
        if (i == chain.size()) {
            auto s = TakeFreeSector();
            if (!s)
                return s.status();
            fat_[s.value()] = ENDOFCHAIN;
            if (i == 0)
                start = s.value();
            else
                fat_[chain[i - 1]] = s.value();
            chain.push_back(s.value());
        }
        std::size_t n = std::min<std::size_t>(SECTOR_SIZE, data.size() - i * SECTOR_SIZE);
        WriteSector(chain[i], data.subspan(i * SECTOR_SIZE, n));
    }
    return Status::Success();
}

Status CompoundStorage::StartMiniStream()
{
    auto s = TakeFreeSector();
    if (!s)
        return s.status();
    fat_[s.value()] = ENDOFCHAIN;
    std::uint8_t zero[SECTOR_SIZE] = {};
    WriteSector(s.value(), zero);
    entries_[0].startSector = s.value();
    entries_[0].size = SECTOR_SIZE;
    return Status::Success();
}

Status CompoundStorage::ExtendMiniChain(std::vector<std::uint32_t>& chain, std::uint32_t& start, std::size_t needed,
    std::vector<std::uint8_t>& ministream)
{
    while (chain.size() < needed) {
        auto m = TakeFreeMiniSector();
        if (!m)
            return m.status();
        miniFat_[m.value()] = ENDOFCHAIN;
        if (chain.empty())
            start = m.value();
        else
            miniFat_[chain.back()] = m.value();
        chain.push_back(m.value());
        std::size_t end = (std::size_t{m.value()} + 1) * MINI_SECTOR_SIZE;
        if (ministream.size() < end)
            ministream.resize(end, 0);
    }
    return Status::Success();
}

void CompoundStorage::CopyIntoMini(std::vector<std::uint8_t>& ministream, std::span<const std::uint32_t> chain,
    std::span<const std::uint8_t> data)
{
    for (std::size_t i = 0; i < chain.size(); ++i) {
        std::size_t n = std::min<std::size_t>(MINI_SECTOR_SIZE, data.size() - i * MINI_SECTOR_SIZE);
        std::uint8_t* dst = ministream.data() + std::size_t{chain[i]} * MINI_SECTOR_SIZE;
        std::memset(dst, 0, MINI_SECTOR_SIZE);
        std::memcpy(dst, data.data() + i * MINI_SECTOR_SIZE, n);
    }
}

Status CompoundStorage::WriteMini(std::uint32_t& start, std::span<const std::uint8_t> data)
{
    std::size_t needed = MiniSectorsFor(data.size());
    if (needed == 0 && start == ENDOFCHAIN)
        return Status::Success();

    // The present chain first: it must lie inside the mini stream there is (none when the root
    // has no mini stream yet).
    auto walked = Chain(Table::MiniFat, start);
    if (!walked)
        return walked.status();
    std::vector<std::uint32_t> chain = std::move(walked).value();

    // A new mini stream starts empty here; its first sector is taken before any mini FAT sector.
    std::vector<std::uint8_t> ministream;
    if (entries_[0].startSector != ENDOFCHAIN) {
        auto bytes = ReadRegular(entries_[0].startSector, entries_[0].size);
        if (!bytes)
            return bytes.status();
        ministream = std::move(bytes).value();
    } else if (Status st = StartMiniStream(); !st) {
        return st;
    }

    if (TrimChain(miniFat_, chain, needed, start))
        miniFreeHint_ = 0;
    if (Status st = ExtendMiniChain(chain, start, needed, ministream); !st)
        return st;
    CopyIntoMini(ministream, chain, data);
    std::uint32_t rootStart = entries_[0].startSector;
    Status st = WriteRegular(rootStart, ministream);
    if (!st)
        return st;
    entries_[0].startSector = rootStart;
    entries_[0].size = static_cast<std::uint32_t>(ministream.size());
    return Status::Success();
}

// ---- saving -------------------------------------------------------------------------------

Status CompoundStorage::SaveAll()
{
    // The directory first: growing its chain may add sectors that the FAT must record.
    if (Status st = SaveDirectory(); !st)
        return st;
    if (Status st = SaveMiniFat(); !st)
        return st;
    if (Status st = SaveFat(); !st)
        return st;
    SaveHeader();
    return Flush();
}

void CompoundStorage::SaveHeader()
{
    if (image_.size() < SECTOR_SIZE)
        image_.resize(SECTOR_SIZE, 0);
    std::uint8_t* h = image_.data();
    std::memset(h, 0, SECTOR_SIZE);
    std::memcpy(h + HDR_SIGNATURE, HEADER_SIGNATURE, 8);
    StoreU16(h + HDR_MINOR_VERSION, header_.minorVersion);
    StoreU16(h + HDR_MAJOR_VERSION, header_.majorVersion);
    StoreU16(h + HDR_BYTE_ORDER, header_.byteOrder);
    StoreU16(h + HDR_SECTOR_SHIFT, header_.sectorShift);
    StoreU32(h + HDR_MINI_SECTOR_SHIFT, header_.miniSectorShift);
    StoreU32(h + HDR_NUM_FAT_SECTORS, header_.numFatSectors);
    StoreU32(h + HDR_FIRST_DIR_SECTOR, header_.firstDirSector);
    StoreU32(h + HDR_TRANSACTION_SIGNATURE, header_.transactionSignature);
    StoreU32(h + HDR_MINI_STREAM_CUTOFF, header_.miniStreamCutoff);
    StoreU32(h + HDR_FIRST_MINIFAT_SECTOR, header_.firstMiniFatSector);
    StoreU32(h + HDR_NUM_MINIFAT_SECTORS, header_.numMiniFatSectors);
    StoreU32(h + HDR_FIRST_DIFAT_SECTOR, header_.firstDifatSector);
    StoreU32(h + HDR_NUM_DIFAT_SECTORS, header_.numDifatSectors);
    for (std::uint32_t i = 0; i < HEADER_DIFAT_ENTRIES; ++i)
        StoreU32(h + HDR_DIFAT + 4 * i, header_.difat[i]);
}

Status CompoundStorage::SaveFat()
{
    for (std::uint32_t i = 0; i < header_.numFatSectors; ++i) {
        std::uint8_t block[SECTOR_SIZE];
        for (std::uint32_t k = 0; k < ENTRIES_PER_FAT_SECTOR; ++k)
            StoreU32(block + 4 * k, fat_[std::size_t{i} * ENTRIES_PER_FAT_SECTOR + k]);
        WriteSector(header_.difat[i], block);
    }
    return Status::Success();
}

Status CompoundStorage::SaveMiniFat()
{
    if (miniFat_.empty())
        return Status::Success();
    auto chain = Chain(Table::Fat, header_.firstMiniFatSector, header_.numMiniFatSectors);
    if (!chain)
        return chain.status();
    const auto& sectors = chain.value();
    for (std::size_t i = 0; i < sectors.size(); ++i) {
        std::uint8_t block[SECTOR_SIZE];
        for (std::uint32_t k = 0; k < ENTRIES_PER_FAT_SECTOR; ++k) {
            std::size_t at = i * ENTRIES_PER_FAT_SECTOR + k;
            StoreU32(block + 4 * k, at < miniFat_.size() ? miniFat_[at] : FREESECT);
        }
        WriteSector(sectors[i], block);
    }
    return Status::Success();
}

Status CompoundStorage::SaveDirectory()
{
    std::size_t sectors = (entries_.size() + DIRENTS_PER_SECTOR - 1) / DIRENTS_PER_SECTOR;
    std::vector<std::uint8_t> buffer(sectors * SECTOR_SIZE, 0);
    for (std::size_t i = 0; i < entries_.size(); ++i)
        EncodeEntry(entries_[i], buffer.data() + i * DIRENT_SIZE);
    std::uint32_t first = header_.firstDirSector;
    Status st = WriteRegular(first, buffer);
    header_.firstDirSector = first;
    return st;
}

Status CompoundStorage::Flush()
{
    if (path_.empty())
        return Status::Success();
    std::ofstream out(path_, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out)
        return StatusCode::IoError;
    out.write(reinterpret_cast<const char*>(image_.data()), static_cast<std::streamsize>(image_.size()));
    out.close();
    return out ? Status::Success() : Status(StatusCode::IoError);
}
