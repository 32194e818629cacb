#pragma once

// Names the program presents itself under.
namespace AppInfo {
// Caption of the program's message boxes.
inline constexpr const char* kCaption = "乐影屋";
// Application title of framework messages and the settings profile.
inline constexpr const char* kTitle = "ParvelWebcam";
inline constexpr const char* kOrganisation = "Tolvek";
} // namespace AppInfo
