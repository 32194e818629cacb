#pragma once

#include "SettingsValues.h"
#include "Status.h"

#include <filesystem>
#include <span>
#include <string>
#include <variant>
#include <vector>

// The settings workbook system/Configure.xls: first sheet, column B, rows 1 to 7 (counted
// from 0). Rows 0, column A and anything else in the workbook are kept on every store.
enum class SettingRow : int {
    PhotoDir = 1,
    FrameDir = 2,
    AddOnDir = 3,
    ImageWidth = 4,
    ImageHeight = 5,
    CameraDetected = 6,
    DelaySeconds = 7,
};

// One value to store: a UTF-8 text for the folder rows, an integer for rows 4 to 7.
struct SettingWrite {
    SettingRow row;
    std::variant<std::string, int> value;
};

// Texts and the workbook path must fit 263 bytes (UTF-8 here), as in the stored format's
// fixed-size buffers; longer ones are refused.
inline constexpr std::size_t kSettingTextBuffer = 264;
bool FitsSettingBuffer(const std::string& utf8);

std::filesystem::path SettingsWorkbookPath(const std::filesystem::path& configDir);

// Fills folders and values from the workbook; what the workbook lacks keeps the value it had
// (the caller sets the defaults first). Fails only when the workbook cannot be loaded (missing,
// unreadable, damaged, or its path too long): the caller tells the user, this layer does not.
// A read-only workbook loads. A workbook without sheets, or whose first sheet has no column B,
// loads with success.
Status LoadSettings(SettingsFolders& folders, SettingsValues& values);

// The ranges the program works with. Width and height are corrected together, to 640 × 480.
inline constexpr int kMinPictureWidth = 16;
inline constexpr int kMaxPictureWidth = 7680;
inline constexpr int kMinPictureHeight = 16;
inline constexpr int kMaxPictureHeight = 4320;
inline constexpr int kMinDelaySeconds = 1;
inline constexpr int kMaxDelaySeconds = 3600;

// A loaded value outside its range: the row, the cell's text as it was read (the value in
// decimal when no cell gave it), the value loaded and the one used instead.
struct SettingProblem {
    SettingRow row;
    std::string cellText;
    int value = 0;
    int replacement = 0;
};

// Brings loaded values into their ranges (picture width 16 to 7680 and height 16 to 4320, else
// both 640 × 480; cameraDetected 0 or 1, else 0; delaySeconds 1 to 3600, else 5) and tells
// which rows held what, in row order, so that the user can be told once. Writes nothing back.
std::vector<SettingProblem> BoundSettingsValues(SettingsValues& values);

// Whether this process may write the file at path: it opens for writing (without a byte
// changing). Only a file that exists can be writable.
bool SettingsFileWritable(const std::filesystem::path& path);
using WritableCheck = bool (*)(const std::filesystem::path& path);

// Opens the workbook, sets the given cells in order and writes it back through a temporary
// file beside it that replaces it only once complete. Never creates the workbook: when it
// cannot be loaded nothing is written. Refuses (writing nothing) a text that does not fit
// the buffer, a text for an integer row or an integer for a folder row, and a workbook that
// loads but is not writable (ReadOnly), which the replacement would otherwise overwrite.
// writable decides the last; tests give their own.
Status StoreSettings(const std::filesystem::path& configDir, std::span<const SettingWrite> writes,
                     WritableCheck writable = SettingsFileWritable);

// The callers' forms. A folder that does not fit is refused and the folder keeps its value;
// otherwise the in-memory value changes even when the file cannot be written.
Status StoreFolder(SettingsFolders& folders, SettingRow row, const std::filesystem::path& folder);
Status StoreDelaySeconds(const SettingsFolders& folders, SettingsValues& values, int seconds);
// The camera probe: width, height and the detected mark 1, in one rewrite. The values in
// memory are left alone; they take effect at the next start.
Status StoreCameraProbe(const SettingsFolders& folders, int frameWidth, int frameHeight);

// The folder as it is stored: UTF-8 text.
std::string FolderText(const std::filesystem::path& folder);
