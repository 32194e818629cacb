#pragma once

// Names the program presents itself under.
namespace AppInfo {
inline constexpr const char* kTitle = "ParvelWebcam";
inline constexpr const char* kCaption = "乐影屋";
inline constexpr const char* kOrganisation = "Tolvek";
} // namespace AppInfo
