#include "CompoundBuilder.h"

#include "ByteOrder.h"
#include "CompoundChain.h"
#include "CompoundFileFormat.h"

#include <algorithm>
#include <cstring>
#include <fstream>

using namespace Cfb;
using ByteOrder::StoreU16;
using ByteOrder::StoreU32;
using ByteOrder::StoreU64;

namespace {

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

// What an entry carries over from another container besides its name, type and contents.
void CopyEntryInfo(const CfbDirectoryEntry& from, CfbDirectoryEntry& to)
{
    to.clsid = from.clsid;
    to.stateBits = from.stateBits;
    to.creationTime = from.creationTime;
    to.modifiedTime = from.modifiedTime;
}

} // namespace

// ---- building -----------------------------------------------------------------------------

Result<std::vector<std::uint8_t>> CompoundBuilder::Build(std::span<const CfbItem> items, const CfbDirectoryEntry& rootInfo)
{
    CompoundBuilder b;
    CopyEntryInfo(rootInfo, b.entries_[0]);
    if (Status st = b.AddItems(items); !st)
        return st;
    return std::move(b.image_);
}

// A container holding the root alone: sector 0 the FAT, sector 1 the directory.
CompoundBuilder::CompoundBuilder()
{
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
}

Status CompoundBuilder::AddItems(std::span<const CfbItem> items)
{
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
                return StatusCode::DuplicateName;
        if (n == 0 || entries_[n].type == STGTY_STORAGE)
            Relink(n);
    }
    // The directory's sectors come first, then the mini stream's, then the large streams'.
    if (Status st = SaveDirectory(); !st)
        return st;

    // Small streams share the mini stream, which is written once; the rest go to sectors.
    std::vector<std::uint8_t> ministream; // empty until the first small stream
    for (std::size_t i = 0; i < items.size(); ++i) {
        const CfbItem& item = items[i];
        if (item.entry.type != STGTY_STREAM || item.bytes.empty() || item.bytes.size() >= MINI_STREAM_CUTOFF)
            continue;
        if (ministream.empty()) {
            if (Status st = StartMiniStream(); !st)
                return st;
        }
        CfbDirectoryEntry& e = entries_[at[i]];
        std::vector<std::uint32_t> chain;
        if (Status st = ExtendMiniChain(chain, e.startSector, MiniSectorsFor(item.bytes.size()), ministream); !st)
            return st;
        CopyIntoMini(ministream, chain, item.bytes);
        e.size = static_cast<std::uint32_t>(item.bytes.size());
    }
    if (!ministream.empty()) {
        std::uint32_t rootStart = entries_[0].startSector;
        if (Status st = WriteRegular(rootStart, ministream); !st)
            return st;
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
            return st;
        entries_[at[i]].startSector = start;
        entries_[at[i]].size = static_cast<std::uint32_t>(item.bytes.size());
    }
    return SaveAll();
}

// Hangs a storage's children from the middle one: those before it down its left links, those
// after down its right links.
void CompoundBuilder::Relink(std::uint32_t storage)
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

Status CompoundBuilder::Save(const std::filesystem::path& path, std::span<const std::uint8_t> image)
{
    std::ofstream out(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out)
        return StatusCode::IoError;
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    return out ? Status::Success() : Status(StatusCode::IoError);
}

// ---- sector allocation --------------------------------------------------------------------

Result<std::vector<std::uint32_t>> CompoundBuilder::Chain(std::uint32_t start, std::size_t limit) const
{
    const std::size_t sectors = image_.size() / SECTOR_SIZE > 0 ? image_.size() / SECTOR_SIZE - 1 : 0;
    return WalkChain(fat_, start, sectors, limit);
}

void CompoundBuilder::WriteSector(std::uint32_t sector, std::span<const std::uint8_t> bytes)
{
    std::size_t at = (std::size_t{sector} + 1) * SECTOR_SIZE;
    if (image_.size() < at + SECTOR_SIZE)
        image_.resize(at + SECTOR_SIZE, 0);
    std::memset(image_.data() + at, 0, SECTOR_SIZE);
    if (!bytes.empty())
        std::memcpy(image_.data() + at, bytes.data(), std::min<std::size_t>(bytes.size(), SECTOR_SIZE));
}

void CompoundBuilder::InsertSector(std::uint32_t index)
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

Result<std::uint32_t> CompoundBuilder::TakeFreeSector()
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

Result<std::uint32_t> CompoundBuilder::TakeFreeMiniSector()
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
        auto chain = Chain(header_.firstMiniFatSector);
        if (!chain || chain.value().empty())
            return StatusCode::BadFormat;
        fat_[chain.value().back()] = s.value();
        ++header_.numMiniFatSectors;
    }
    std::uint32_t first = static_cast<std::uint32_t>(miniFat_.size());
    miniFat_.insert(miniFat_.end(), ENTRIES_PER_FAT_SECTOR, FREESECT);
    return first;
}

Status CompoundBuilder::WriteRegular(std::uint32_t& start, std::span<const std::uint8_t> data)
{
    auto collected = Chain(start);
    if (!collected)
        return collected.status();
    std::vector<std::uint32_t> chain = std::move(collected).value();
    const std::size_t needed = (data.size() + SECTOR_SIZE - 1) / SECTOR_SIZE;
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

Status CompoundBuilder::StartMiniStream()
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

Status CompoundBuilder::ExtendMiniChain(std::vector<std::uint32_t>& chain, std::uint32_t& start, std::size_t needed,
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

void CompoundBuilder::CopyIntoMini(std::vector<std::uint8_t>& ministream, std::span<const std::uint32_t> chain,
    std::span<const std::uint8_t> data)
{
    for (std::size_t i = 0; i < chain.size(); ++i) {
        std::size_t n = std::min<std::size_t>(MINI_SECTOR_SIZE, data.size() - i * MINI_SECTOR_SIZE);
        std::uint8_t* dst = ministream.data() + std::size_t{chain[i]} * MINI_SECTOR_SIZE;
        std::memset(dst, 0, MINI_SECTOR_SIZE);
        std::memcpy(dst, data.data() + i * MINI_SECTOR_SIZE, n);
    }
}

// ---- tables and header --------------------------------------------------------------------

Status CompoundBuilder::SaveAll()
{
    // The directory first: growing its chain may add sectors that the FAT must record.
    if (Status st = SaveDirectory(); !st)
        return st;
    if (Status st = SaveMiniFat(); !st)
        return st;
    SaveFat();
    SaveHeader();
    return Status::Success();
}

void CompoundBuilder::SaveHeader()
{
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

void CompoundBuilder::SaveFat()
{
    for (std::uint32_t i = 0; i < header_.numFatSectors; ++i) {
        std::uint8_t block[SECTOR_SIZE];
        for (std::uint32_t k = 0; k < ENTRIES_PER_FAT_SECTOR; ++k)
            StoreU32(block + 4 * k, fat_[std::size_t{i} * ENTRIES_PER_FAT_SECTOR + k]);
        WriteSector(header_.difat[i], block);
    }
}

Status CompoundBuilder::SaveMiniFat()
{
    if (miniFat_.empty())
        return Status::Success();
    auto chain = Chain(header_.firstMiniFatSector, header_.numMiniFatSectors);
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

Status CompoundBuilder::SaveDirectory()
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
