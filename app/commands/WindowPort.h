#pragma once

#include "app/DisplaySize.h"
#include "app/AppFolders.h"
#include "ui/Translations.h"

#include <QString>
#include <opencv2/core.hpp>

#include <optional>
#include <string>
#include <vector>

class QWidget;
struct AppFolders;
struct CameraInfo;
struct SettingsValues;

// What the camera chooser answered: the camera, and the picture size when one was chosen.
struct CameraAnswer {
    std::string id;
    std::string name;
    std::optional<cv::Size> size;
};

// The window as the command rows see it: a handful of verbs, implemented by the main window and
// by a recording fake in tests. Rows never include a widget header.
class WindowPort {
public:
    virtual ~WindowPort() = default;

    // The status bar's first pane.
    virtual void SetStatusText(const QString& text) = 0;
    // The parent of the boxes and dialogs a row opens.
    virtual QWidget* boxParent() = 0;

    virtual unsigned look() const = 0;
    virtual void SetLook(unsigned value) = 0;
    // At once in the window, and remembered for the next start.
    virtual void SetInterfaceLanguage(InterfaceLanguage language) = 0;
    virtual bool captionBarShown() const = 0;
    virtual void ToggleCaptionBar() = 0;
    virtual bool statusBarShown() const = 0;
    virtual void ToggleStatusBar() = 0;
    // Which bars the window shows.
    virtual void OpenCustomizeDialog() = 0;
    // The ribbon folded to its tab row; unfolding also brings back a ribbon that was hidden.
    virtual bool ribbonFolded() const = 0;
    virtual void SetRibbonFolded(bool folded) = 0;
    virtual bool pictureFullScreen() const = 0;
    virtual void SetPictureFullScreen(bool on) = 0;
    virtual void Close() = 0;
    // The picture and the side pane again, after the document's tab was closed.
    virtual void OpenDocument() = 0;
    // Shows the file in the program's own viewer, which goes through the others of its folder.
    virtual void ShowInViewer(const QString& path) = 0;

    // The picture's place in the window; only while the document is open.
    virtual DisplaySize displaySize() const = 0;
    virtual void SetDisplaySize(DisplaySize size) = 0;
    // Ends a region selection being dragged or armed; false when none was.
    virtual bool CancelPictureSelection() = 0;

    // The dialogs of the rows.
    virtual void OpenDelayDialog(AppFolders& folders, SettingsValues& values) = 0;
    virtual void OpenAboutDialog() = 0;
    virtual std::optional<CameraAnswer> AskForCamera(std::vector<CameraInfo> present, const QString& remembered,
        cv::Size currentSize) = 0;
    // The camera's own controls, for this camera (null: none is present); the event loop goes on.
    virtual void OpenCameraSettings(const CameraInfo* camera) = 0;
};
