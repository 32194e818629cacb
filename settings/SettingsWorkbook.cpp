#include "SettingsWorkbook.h"

#include "ExcelDocument.h"
#include "TextConversions.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <fstream>
#include <system_error>

namespace {

constexpr std::uint32_t kSettingsColumn = 1;
constexpr std::uint32_t kLastSettingsRow = 7;

bool IsFolderRow(SettingRow row) { return row >= SettingRow::PhotoDir && row <= SettingRow::AddOnDir; }
bool IsIntegerRow(SettingRow row) { return row >= SettingRow::ImageWidth && row <= SettingRow::DelaySeconds; }

std::filesystem::path PathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The cell as text: integers in decimal, doubles with six decimals, texts as they are.
std::string CellText(const GridCell& cell)
{
    switch (cell.Type()) {
    case CellType::Integer:
        return std::to_string(cell.AsInteger());
    case CellType::Double: {
        // Six decimals whatever the user's locale, so that 1.5 always reads as 1.500000.
        char buffer[400];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, cell.AsDouble(), std::chars_format::fixed, 6);
        return ec == std::errc{} ? std::string(buffer, end) : std::string{};
    }
    case CellType::AnsiText:
        return TextConversions::Latin1ToUtf8(cell.AnsiText());
    case CellType::WideText:
        return TextConversions::Utf16ToUtf8(cell.WideText());
    case CellType::Empty:
        break;
    }
    return {};
}

std::filesystem::path& FolderOf(SettingsFolders& folders, SettingRow row)
{
    switch (row) {
    case SettingRow::PhotoDir: return folders.photoDir;
    case SettingRow::FrameDir: return folders.frameDir;
    default: return folders.addOnDir;
    }
}

int& ValueOf(SettingsValues& values, SettingRow row)
{
    switch (row) {
    case SettingRow::ImageWidth: return values.imageWidth;
    case SettingRow::ImageHeight: return values.imageHeight;
    case SettingRow::CameraDetected: return values.cameraDetected;
    default: return values.delaySeconds;
    }
}

std::string& TextOf(SettingsValues& values, SettingRow row)
{
    switch (row) {
    case SettingRow::ImageWidth: return values.imageWidthText;
    case SettingRow::ImageHeight: return values.imageHeightText;
    case SettingRow::CameraDetected: return values.cameraDetectedText;
    default: return values.delaySecondsText;
    }
}

// Bytes of an unusable cell quoted back to the user.
constexpr std::size_t kQuotedBytes = 40;

// What a number cell for an integer row gives, and how the user is told what it held. A number
// too long to write out in the buffer (1e300), or no number at all (infinity, NaN), lies outside
// every range, so it is reported and replaced like any other value out of range.
void LoadIntegerCell(const GridCell& cell, const std::string& text, int& value, std::string& quoted)
{
    if (cell.Type() == CellType::Double && (!std::isfinite(cell.AsDouble()) || !FitsSettingBuffer(text))) {
        const double v = cell.AsDouble();
        value = std::isnan(v) ? INT_MIN : (v > 0 ? INT_MAX : INT_MIN);
        char buffer[64];
        auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v); // the shortest form: 1e+300
        quoted = ec == std::errc{} ? std::string(buffer, end) : text.substr(0, kQuotedBytes);
        return;
    }
    if (FitsSettingBuffer(text)) {
        value = TextConversions::LeadingInteger(text);
        quoted = text;
        return;
    }
    // A text too long for the buffer is refused, and said so; quoted by its start, cut between
    // characters.
    value = INT_MIN;
    std::size_t cut = kQuotedBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    quoted = text.substr(0, cut) + "…";
}

} // namespace

bool FitsSettingBuffer(const std::string& utf8)
{
    return utf8.size() < kSettingTextBuffer;
}

std::filesystem::path SettingsWorkbookPath(const std::filesystem::path& configDir)
{
    return configDir / "Configure.xls";
}

std::string FolderText(const std::filesystem::path& folder)
{
    std::u8string s = folder.u8string();
    return std::string(s.begin(), s.end());
}

Status LoadSettings(SettingsFolders& folders, SettingsValues& values)
{
    const std::filesystem::path path = SettingsWorkbookPath(folders.configDir);
    if (!FitsSettingBuffer(FolderText(path)))
        return StatusCode::TooLarge;
    ExcelDocument doc;
    if (Status st = doc.OpenBook(path); !st)
        return st;
    SheetGrid* sheet = doc.SheetAt(0);
    if (sheet == nullptr || sheet->ColumnCount() <= kSettingsColumn)
        return Status::Success();
    for (std::uint32_t r = 1; r < sheet->RowCount() && r <= kLastSettingsRow; ++r) {
        const GridCell* cell = sheet->Find(r, kSettingsColumn);
        if (cell == nullptr)
            continue;
        std::string text = CellText(*cell);
        if (text.empty())
            continue;
        const SettingRow row = static_cast<SettingRow>(r);
        if (IsFolderRow(row))
            FolderOf(folders, row) = PathFromUtf8(text);
        else
            LoadIntegerCell(*cell, text, ValueOf(values, row), TextOf(values, row));
    }
    return Status::Success();
}

std::vector<SettingProblem> BoundSettingsValues(SettingsValues& values)
{
    std::vector<SettingProblem> problems;
    auto outside = [&](SettingRow row, int low, int high) {
        const int value = ValueOf(values, row);
        if (value >= low && value <= high)
            return false;
        const std::string& text = TextOf(values, row);
        problems.push_back({row, text.empty() ? std::to_string(value) : text, value, value});
        return true;
    };
    // Width and height go back to their defaults together: half of a picture size is none.
    const bool width = outside(SettingRow::ImageWidth, kMinPictureWidth, kMaxPictureWidth);
    const bool height = outside(SettingRow::ImageHeight, kMinPictureHeight, kMaxPictureHeight);
    if (width || height) {
        values.imageWidth = SettingsValues{}.imageWidth;
        values.imageHeight = SettingsValues{}.imageHeight;
    }
    if (outside(SettingRow::CameraDetected, 0, 1))
        values.cameraDetected = 0;
    if (outside(SettingRow::DelaySeconds, kMinDelaySeconds, kMaxDelaySeconds))
        values.delaySeconds = SettingsValues{}.delaySeconds;
    for (SettingProblem& p : problems)
        p.replacement = ValueOf(values, p.row);
    return problems;
}

bool SettingsFileWritable(const std::filesystem::path& path)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
    // Opening for update neither creates nor truncates.
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    return file.is_open();
}

Status StoreSettings(const std::filesystem::path& configDir, std::span<const SettingWrite> writes, WritableCheck writable)
{
    for (const SettingWrite& w : writes) {
        if (const std::string* text = std::get_if<std::string>(&w.value)) {
            if (!IsFolderRow(w.row))
                return StatusCode::InvalidArgument;
            if (!FitsSettingBuffer(*text))
                return StatusCode::TooLarge;
        } else if (!IsIntegerRow(w.row)) {
            return StatusCode::InvalidArgument;
        }
    }
    const std::filesystem::path path = SettingsWorkbookPath(configDir);
    if (!FitsSettingBuffer(FolderText(path)))
        return StatusCode::TooLarge;

    ExcelDocument doc;
    if (Status st = doc.OpenBook(path); !st)
        return st;
    // Renaming over the file needs no write access to it: ask first.
    if (!writable(path))
        return StatusCode::ReadOnly;
    if (SheetGrid* sheet = doc.SheetAt(0)) {
        for (const SettingWrite& w : writes) {
            GridCell* cell = sheet->CellAt(static_cast<std::uint32_t>(w.row), kSettingsColumn);
            if (const std::string* text = std::get_if<std::string>(&w.value)) {
                // Plain ASCII stays an 8-bit string; anything else needs 16-bit characters,
                // since 8-bit strings can only hold the first 256 Unicode characters.
                if (TextConversions::IsAscii(*text))
                    cell->SetAnsiText(*text);
                else
                    cell->SetWideText(TextConversions::Utf8ToUtf16(*text));
            } else {
                cell->SetInteger(std::get<int>(w.value));
            }
        }
    }

    // The new workbook is complete on disk before it replaces the old one.
    std::filesystem::path temp = path;
    temp += ".new";
    std::error_code ec;
    Status st = doc.WriteBook(temp);
    if (st) {
        std::filesystem::file_status old = std::filesystem::status(path, ec);
        if (!ec)
            std::filesystem::permissions(temp, old.permissions(), ec);
        std::filesystem::rename(temp, path, ec);
        if (ec)
            st = StatusCode::IoError;
    }
    if (!st)
        std::filesystem::remove(temp, ec);
    return st;
}

Status StoreFolder(SettingsFolders& folders, SettingRow row, const std::filesystem::path& folder)
{
    if (!IsFolderRow(row))
        return StatusCode::InvalidArgument;
    const std::string text = FolderText(folder);
    if (!FitsSettingBuffer(text))
        return StatusCode::TooLarge;
    FolderOf(folders, row) = folder;
    const SettingWrite write{row, text};
    return StoreSettings(folders.configDir, std::span(&write, 1));
}

Status StoreDelaySeconds(const SettingsFolders& folders, SettingsValues& values, int seconds)
{
    values.delaySeconds = seconds;
    const SettingWrite write{SettingRow::DelaySeconds, seconds};
    return StoreSettings(folders.configDir, std::span(&write, 1));
}

Status StoreCameraProbe(const SettingsFolders& folders, int frameWidth, int frameHeight)
{
    const SettingWrite writes[] = {
        {SettingRow::ImageWidth, frameWidth},
        {SettingRow::ImageHeight, frameHeight},
        {SettingRow::CameraDetected, 1},
    };
    return StoreSettings(folders.configDir, writes);
}
