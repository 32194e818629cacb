#pragma once

#include "settings/SettingsValues.h"

#include <QString>
#include <opencv2/core.hpp>

#include <functional>
#include <memory>

class CChildFrame;
class CFrameView;
class CMainFrame;
class CParvelWebcamView;
class CWebcamCtl;
class CameraList;
class MessageBoxes;
class PictureModel;
class Shell;

// What a command's handler and update rule may reach. Built once by the main window; handlers
// get it instead of reaching into globals. The document (the picture beside the side pane) can
// be closed: rows that need it are then shown disabled and never run.
struct CommandContext {
    CMainFrame* mainFrame = nullptr; // the window rows' target (tests of document rows go without)
    CChildFrame* document = nullptr; // null once the document's tab is closed
    std::function<void(const QString&)> setStatus; // the status bar's first pane
    MessageBoxes& messages;
    Shell& shell;
    AppFolders& folders; // with the values below: what the settings workbook holds
    SettingsValues& values;

    // The cameras present, for the camera chooser (the system's; a fake in tests).
    std::shared_ptr<CameraList> cameras {};

    // What the two colour buttons hold (blue, green, red): red until the user picks another.
    cv::Scalar flowColour { 0, 0, 255 };
    cv::Scalar paintColour { 0, 0, 255 };
    // What the control that sends a command reads: a slider's position, the pen gallery's item.
    int value = 0;
    // The file of the photos strip that its menu or a double-click acts on; empty: none.
    QString photoUnderMenu {};

    bool hasDocument() const { return document != nullptr; }
    // The document's parts; only for rows that need the document (never called without one).
    PictureModel& model() const;
    CWebcamCtl& webcam() const;     // the camera's start and stop, and the parent of boxes about it
    CParvelWebcamView& view() const; // display size, picks, countdown
    CFrameView& pane() const;        // the strips
    bool cameraRunning() const;      // false without a document
};
