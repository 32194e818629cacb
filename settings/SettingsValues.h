#pragma once

#include <filesystem>
#include <string>

// The folders the settings workbook holds, and the folder it lives in. Where they are on the
// disk (beside the program or in the user's folders) is the application's business.
struct SettingsFolders {
    std::filesystem::path configDir; // the folder of the settings workbook
    std::filesystem::path photoDir;
    std::filesystem::path frameDir;
    std::filesystem::path addOnDir;
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
