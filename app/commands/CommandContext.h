#pragma once

#include "decorations/DecorationKind.h"
#include "settings/SettingsValues.h"

#include <QString>
#include <opencv2/core.hpp>

#include <functional>

class CFrameView;
class CParvelWebcamView;
class CWebcamCtl;
class MessageBoxes;
class PictureModel;
class Shell;

// What a command's handler and update rule may reach. Built once by the window that hosts the
// commands; handlers get it instead of reaching into globals.
struct CommandContext {
    PictureModel& model;
    CWebcamCtl& webcam;      // the camera's start and stop, and the parent of boxes about it
    CParvelWebcamView& view; // display size, picks, countdown
    CFrameView& pane;        // the strips
    std::function<void(const QString&)> setStatus; // the status bar's first pane
    MessageBoxes& messages;
    Shell& shell;
    AppFolders& folders; // with the values below: what the settings workbook holds
    SettingsValues& values;

    // Colours of the flow dots and the pen (blue, green, red) until colour buttons choose them.
    cv::Scalar flowColour { 0, 255, 0 };
    cv::Scalar paintColour { 255, 255, 0 };

    // The kind of files the frames and add-ons strips list; they start as the side pane does
    // (CChildFrame): PNG frames, GIF add-ons. Kept here, the one place the kind and folder rows
    // both reach.
    DecorationKind frameFileType = DecorationKind::Png;
    DecorationKind addOnFileType = DecorationKind::Gif;

    bool cameraRunning() const;
};
