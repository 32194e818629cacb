#pragma once

#include "pipeline/capture/CameraControls.h"

#include <QDialog>

#include <map>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;

// The camera's own controls, one row each: a change acts on the camera at once and is remembered
// for the camera; the automatic boxes grey the values they take over; "恢复默认" forgets what was
// remembered and sets the camera's defaults. Without a camera, or with one that cannot be
// reached, the dialog says so instead.
class CCameraControlsDlg : public QDialog {
    Q_OBJECT
public:
    // camera: null when no camera is present. device: the camera's controls; made for the camera
    // when null.
    CCameraControlsDlg(const CameraInfo* camera, std::unique_ptr<CameraControlDevice> device = {},
        QWidget* parent = nullptr);
    ~CCameraControlsDlg() override;

    // The widgets of a control by its key, null where the camera lacks it: the slider of an
    // integer, the box of an on/off control or of an automatic mode, the drop-down of a menu.
    QSlider* slider(const std::string& key) const;
    QCheckBox* checkBox(const std::string& key) const;
    QComboBox* menuBox(const std::string& key) const;
    QLabel* valueLabel(const std::string& key) const;
    // The slider's position for a value of its control.
    int SliderPosition(const std::string& key, int value) const;

    bool showsControls() const;
    QLabel* message() const { return message_; } // why no controls show, or what a change came to
    QPushButton* defaultsButton() const { return defaults_; }
    QPushButton* closeButton() const { return close_; }

private:
    struct Row;
    void Build(const std::vector<CameraControl>& controls);
    void AddControl(const CameraControl& control, int gridRow, int column);
    void Refresh();
    void Show(const CameraControl& control);
    void Change(const std::string& key, int value);
    void RestoreDefaults();
    void ShowUnavailable(const QString& text);

    std::optional<CameraInfo> camera_;
    std::unique_ptr<CameraControlDevice> device_;
    std::vector<CameraControl> controls_;
    std::map<std::string, std::unique_ptr<Row>> rows_;
    QWidget* grid_ = nullptr;
    QGridLayout* gridLayout_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* defaults_ = nullptr;
    QPushButton* close_ = nullptr;
};

// Opens the dialog for the camera (null: none present) over parent without blocking the event
// loop; a second request while one is open brings that one forward.
void OpenCameraControlsOver(QWidget* parent, const CameraInfo* camera);
