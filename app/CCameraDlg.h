#pragma once

#include "app/commands/WindowPort.h"

#include "pipeline/capture/CameraList.h"
#include "settings/SettingsValues.h"

#include <QDialog>

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
    // that camera offers it (else its largest size up to 640 × 480, else its smallest).
    CCameraDlg(std::vector<CameraInfo> cameras, const QString& current, cv::Size size, QWidget* parent = nullptr);

    QComboBox* cameraBox() const { return cameraBox_; }
    QComboBox* sizeBox() const { return sizeBox_; }
    QDialogButtonBox* buttons() const { return buttons_; }

    // What is chosen now; none when no camera is present.
    const CameraInfo* chosenCamera() const;
    std::optional<cv::Size> chosenSize() const;

private:
    void ShowSizesOf(int camera, cv::Size preferred);

    std::vector<CameraInfo> cameras_;
    QComboBox* cameraBox_ = nullptr;
    QComboBox* sizeBox_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};

// Asks with the dialog which camera to use from its next start, and at which size; nothing when
// the dialog is cancelled.
std::optional<CameraAnswer> AskForCameraInDialog(std::vector<CameraInfo> present, const QString& remembered,
    cv::Size currentSize, QWidget* parent);
