#pragma once

#include "app/AppFolders.h"
#include "settings/SettingsValues.h"

#include <QString>

// Where the program finds its files. Portable: a `system` folder beside the executable (the
// build folder, an unpacked archive) holds everything, as the program always had it. Installed:
// the shipped files sit in the shared data folder relative to the executable, and the workbook
// and photos go to the user's own folders.
enum class FolderLayout { Portable, Installed };

struct FolderLayoutInputs {
    QString appDir;      // the executable's folder
    QString dataDir;     // where an installation keeps the shipped files
    QString configDir;   // the user's configuration folder for this program
    QString picturesDir; // the user's pictures folder
};

// Portable whenever `system` stands beside the executable, or when nothing is installed either
// (the program then runs on its defaults, as a portable program without its files does).
FolderLayout DecideFolderLayout(const FolderLayoutInputs& in);
AppFolders MakeAppFolders(const FolderLayoutInputs& in);

// The inputs of this process: the executable's folder, the data folder the install rules put
// next to it, and the standard locations of the user's folders.
FolderLayoutInputs ProcessFolderInputs();

// Installed layout only: copies the shipped workbook into the user's configuration folder when
// none is there yet (the first start), so that the settings can be changed and kept. Returns
// false when it was missing and could not be copied.
bool PrepareSettingsWorkbook(const AppFolders& folders);
