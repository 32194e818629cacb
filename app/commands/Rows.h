#pragma once

#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/AppFolders.h"
#include "pipeline/stages/FunEffect.h"
#include "settings/SettingsValues.h"
#include "ui/Translations.h"

#include <filesystem>

// The rows of the command table, by the part of the program they act on.
void AddViewRows(CommandTable& table);       // the workspace view's right-button menu
void AddCameraRows(CommandTable& table);     // camera, display size, photos
void AddCameraSettingsRows(CommandTable& table); // the camera's own controls
void AddEffectRows(CommandTable& table);     // colour, styles, region, flips, flow, doodle
void AddDecorationRows(CommandTable& table); // logo, big frame, add-ons
void AddWindowRows(CommandTable& table);     // looks, bars, exit
void AddPhotoRows(CommandTable& table);      // delayed photo and its delay, the sounds
void AddRecordRows(CommandTable& table);     // video, animated GIF, burst strip
void AddFolderRows(CommandTable& table);     // open and choose the photo, frame and add-on folders
void AddStripKindRows(CommandTable& table);  // GIF or PNG files in the frames and add-ons strips
void AddGalleryRows(CommandTable& table);    // the photos strip's menu: open, folder, copy, delete
void AddHelpRows(CommandTable& table);       // about, the guide, the home page
void AddBackdropRows(CommandTable& table);   // backdrops: learnt room, cloth, blurred room, pictures
void AddFunRows(CommandTable& table);        // the fun effects, their gallery and preview grid

// The fun effect chosen last, kept between starts (none at first).
FunEffect RememberedFunEffect();
void RememberFunEffect(FunEffect effect);

// The user guide in the interface's language: the English edition where the interface speaks
// English and it is there, the Chinese one otherwise.
std::filesystem::path GuidePath(const AppFolders& folders, InterfaceLanguage language);

// The about message: the program and version, a blank line, the dedication and where to write.
QString AboutMessage();

// A text of the command rows in the interface's language.
QString CommandText(const char* source);

// Shorthands for update rules.
inline CommandState Pressed(bool pressed)
{
    CommandState state;
    state.pressed = pressed;
    return state;
}
