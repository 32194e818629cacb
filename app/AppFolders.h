#pragma once

#include "settings/SettingsValues.h"

#include <filesystem>

// The folders the program works with, built at start-up from the program's own location: the
// install layout. The workbook's three folders may be replaced from it and by the user.
struct AppFolders : SettingsFolders {
    std::filesystem::path appDir;
    std::filesystem::path systemDir;   // read-only files: logo, welcome animation, guide
    std::filesystem::path userDataDir;
    // The one folder the program may create, when the first photo goes there; empty when it may
    // create none.
    std::filesystem::path creatablePhotoDir;
    // Backdrops of the user's own when none was chosen (not kept in the workbook).
    std::filesystem::path backdropDir;

    // Portable: everything beside the program, the workbook among the system files; only the
    // photo folder is made, by the first photo that needs it.
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
        f.backdropDir = f.userDataDir / u8"背景";
        f.creatablePhotoDir = f.photoDir;
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
        f.backdropDir = f.photoDir / u8"背景";
        f.creatablePhotoDir = f.photoDir;
        return f;
    }
};
