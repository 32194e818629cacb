#pragma once

#include "app/commands/WindowPort.h"

#include "pipeline/capture/CameraList.h"
#include "settings/SettingsValues.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;

// The camera chooser: a drop-down of the cameras present, by name, and one of the picture sizes
// the chosen camera offers. It only shows and picks; the caller keeps the choice.
class CCameraDlg : public QDialog {
    Q_OBJECT
public:
    // Starts at the camera with the identifier `current` (else the first) and at `size` when
    // that camera offers it (else its own best size: the largest reaching 25 a second, at most
    // 1920 × 1080; for a camera without a table its largest size up to 640 × 480).
    CCameraDlg(std::vector<CameraInfo> cameras, const QString& current, cv::Size size, QWidget* parent = nullptr);

    QComboBox* cameraBox() const { return cameraBox_; }
    QComboBox* sizeBox() const { return sizeBox_; }
    QDialogButtonBox* buttons() const { return buttons_; }

    // The cameras present changed: the list follows, keeping the chosen camera and size where
    // they are still there.
    void SetCameras(std::vector<CameraInfo> cameras);

    // What is chosen now; none when no camera is present.
    const CameraInfo* chosenCamera() const;
    std::optional<cv::Size> chosenSize() const;

private:
    void ShowSizesOf(int camera, cv::Size preferred);
    void ShowCameras(const QString& current, cv::Size size);

    std::vector<CameraInfo> cameras_;
    QComboBox* cameraBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QLabel* note_ = nullptr;
};

// Asks with the dialog which camera to use from its next start, and at which size; nothing when
// the dialog is cancelled.
// `prepare` sees the dialog before it opens (to keep its list up to date).
std::optional<CameraAnswer> AskForCameraInDialog(std::vector<CameraInfo> present, const QString& remembered,
    cv::Size currentSize, QWidget* parent, const std::function<void(CCameraDlg&)>& prepare = {});
