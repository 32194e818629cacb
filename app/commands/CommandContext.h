#pragma once

#include "app/AppFolders.h"
#include "settings/SettingsValues.h"

#include <QString>

#include <memory>

class CameraList;
class MessageBoxes;
class PictureModel;
class PictureSession;
class Shell;
class SidePanePort;
class ViewerPort;
class WindowPort;

// What the control that sends a command gives with it.
struct CommandInput {
    int value = 0; // a slider's position, a gallery's item, a colour button's colour
    QString path;  // the photo under the menu, the file picked in a strip
    int kind = 0;  // the kind of the picked file
};

// What a command's handler and update rule may reach: the window through its port, the picture
// session, the side pane's strips and the services. Built once by the main window. The document
// (the picture beside the side pane) can be closed: rows that need it are then shown disabled
// and never run.
struct CommandContext {
    WindowPort& window;
    MessageBoxes& messages;
    Shell& shell;
    AppFolders& folders; // with the values below: what the settings workbook holds
    SettingsValues& values;
    PictureSession* session = nullptr; // null once the document's tab is closed
    SidePanePort* pane = nullptr;      // null with the session
    // The cameras present, for the camera chooser (the system's; a fake in tests).
    std::shared_ptr<CameraList> cameras {};
    // The photo viewer, once it was opened (it stays, closed or not).
    ViewerPort* viewer = nullptr;

    bool hasDocument() const { return session != nullptr; }
    // The document's parts; only for rows that need the document (never called without one).
    PictureSession& picture() const;
    PictureModel& model() const;
    SidePanePort& sidePane() const;
    bool cameraRunning() const; // false without a document
    void SetStatus(const QString& text) const;
};
