#pragma once

#include <filesystem>
#include <string>

// The folders the program works with, built at start-up from the program's own location.
// The last three may be replaced from the settings workbook and by the user.
struct AppFolders {
    std::filesystem::path appDir;
    std::filesystem::path systemDir;
    std::filesystem::path userDataDir;
    std::filesystem::path photoDir;
    std::filesystem::path frameDir;
    std::filesystem::path addOnDir;

    static AppFolders FromAppDir(const std::filesystem::path& appDir)
    {
        AppFolders f;
        f.appDir = appDir;
        f.systemDir = appDir / "system";
        f.userDataDir = appDir / "UserData";
        f.photoDir = f.userDataDir / "Photo";
        f.frameDir = f.userDataDir / u8"大相框";
        f.addOnDir = f.userDataDir / u8"小挂件";
        return f;
    }
};

// The numeric settings and their defaults.
struct SettingsValues {
    int imageWidth = 640;
    int imageHeight = 480;
    int cameraDetected = 0;
    int delaySeconds = 5;

    // The cell text each value was loaded from, empty when the workbook gave it none, so that
    // a value out of range can be shown to the user as the cell held it.
    std::string imageWidthText;
    std::string imageHeightText;
    std::string cameraDetectedText;
    std::string delaySecondsText;
};
