#pragma once

// Names the program presents itself under.
namespace AppInfo {
// Caption of the program's message boxes (in Chinese; MessageBoxes::DefaultCaption translates it).
inline constexpr const char* kCaption = "乐影屋";
// Application title of framework messages and the settings profile.
inline constexpr const char* kTitle = "ParvelWebcam";
// The program's one English name: window, boxes, about, guide, desktop entry and metainfo.
inline constexpr const char* kEnglishName = "Parvel Webcam";
inline constexpr const char* kOrganisation = "Tolvek";
// The program's home page, where users leave their suggestions.
inline constexpr const char* kHomePage = "https://tolvek.github.io/parvelwebcam/";
// The user guide, looked up in the system folder.
inline constexpr const char* kGuideFile = "document of ParvelWebcam.pdf";
// Its English edition, beside it.
inline constexpr const char* kGuideFileEnglish = "document of ParvelWebcam (English).pdf";
// The name of the desktop entry and of the AppStream metainfo, so that the desktop matches
// the running window with its menu entry and icon.
inline constexpr const char* kDesktopId = "io.github.tolvek.ParvelWebcam";
} // namespace AppInfo
