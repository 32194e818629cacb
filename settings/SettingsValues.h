#pragma once

#include <filesystem>
#include <string>

// The folders the program works with, built at start-up from the program's own location.
// The last three may be replaced from the settings workbook and by the user.
struct AppFolders {
    std::filesystem::path appDir;
    std::filesystem::path systemDir;   // read-only files: logo, welcome animation, guide
    std::filesystem::path configDir;   // the folder of the settings workbook
    std::filesystem::path userDataDir;
    std::filesystem::path photoDir;
    std::filesystem::path frameDir;
    std::filesystem::path addOnDir;
    // The one folder the program may create, when the first photo goes there; empty when it may
    // create none.
    std::filesystem::path creatablePhotoDir;

    // Portable: everything beside the program, the workbook among the system files; nothing is
    // ever created.
    static AppFolders FromAppDir(const std::filesystem::path& appDir)
    {
        AppFolders f;
        f.appDir = appDir;
        f.systemDir = appDir / "system";
        f.configDir = f.systemDir;
        f.userDataDir = appDir / "UserData";
        f.photoDir = f.userDataDir / "Photo";
        f.frameDir = f.userDataDir / u8"大相框";
        f.addOnDir = f.userDataDir / u8"小挂件";
        return f;
    }

    // Installed: the shipped files (and the sample frames and add-ons) are read from dataDir,
    // the workbook lives in the user's configuration folder and photos in the user's pictures.
    static AppFolders Installed(const std::filesystem::path& appDir, const std::filesystem::path& dataDir,
                                const std::filesystem::path& configDir, const std::filesystem::path& picturesDir)
    {
        AppFolders f;
        f.appDir = appDir;
        f.systemDir = dataDir;
        f.configDir = configDir;
        f.userDataDir = dataDir;
        f.photoDir = picturesDir / u8"Parvel 乐影屋";
        f.frameDir = dataDir / u8"大相框";
        f.addOnDir = dataDir / u8"小挂件";
        f.creatablePhotoDir = f.photoDir;
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
