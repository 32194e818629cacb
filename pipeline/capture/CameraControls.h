#pragma once

#include "pipeline/capture/CameraList.h"

#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The camera's own controls (brightness, exposure, white balance, focus...), which act in the
// camera itself, before any of our picture stages.

enum class CameraControlKind {
    Integer, // a slider from minimum to maximum in steps
    Boolean, // on or off (0 or 1)
    Menu,    // one of the entries
};

struct CameraMenuEntry {
    int value = 0;
    std::string name; // as the camera names it
};

struct CameraControl {
    std::string key; // stable across cameras and drivers: "brightness", "exposure_time"...
    CameraControlKind kind = CameraControlKind::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    // Greyed right now: setting it has no effect (the exposure time while exposure is automatic),
    // or it cannot be set at all (read-only, held by another program).
    bool inactive = false;
    std::vector<CameraMenuEntry> entries; // menus only, the entries the camera offers
};

enum class CameraControlOutcome {
    Done,
    OutOfRange,    // outside the range, off the steps, or not an entry of the menu
    Inactive,      // greyed: it would have no effect now
    Busy,          // read-only or held by another program
    NoSuchControl, // the camera does not have it
    Refused,       // the camera answered with an error
    CameraGone,    // the device cannot be opened or stopped answering (unplugged)
    Unsupported,   // this system gives no way to reach the camera's controls
};

struct CameraControlQuery {
    CameraControlOutcome outcome = CameraControlOutcome::Done; // Done, CameraGone or Unsupported
    std::vector<CameraControl> controls;                       // in the order of CameraControlKeys()
};

// A camera's controls: the device itself on Linux, a fake in tests.
class CameraControlDevice {
public:
    virtual ~CameraControlDevice() = default;
    // The controls the camera has of those we know, with their current values and states.
    virtual CameraControlQuery Query() = 0;
    // Sets one control; a value the camera refuses gives an outcome, never an exception.
    virtual CameraControlOutcome Set(const std::string& key, int value) = 0;
};

// Every key we show, in the order the dialog lists them.
std::span<const std::string_view> CameraControlKeys();

// The automatic mode that greys this control ("exposure_automatic" for "exposure_time"), if any.
std::optional<std::string_view> AutomaticModeOf(std::string_view key);
bool IsAutomaticMode(std::string_view key);
// Whether an automatic mode control stands on automatic.
bool AutomaticOn(const CameraControl& mode);
// The value that turns an automatic mode on or off; none when the camera offers no such entry
// (a camera whose exposure is always automatic).
std::optional<int> AutomaticValue(const CameraControl& mode, bool on);
// Greys the controls whose automatic mode is on, whether or not the driver says so.
void MarkDependentControls(std::vector<CameraControl>& controls);

const CameraControl* FindControl(const std::vector<CameraControl>& controls, std::string_view key);
// The value's check against the control's range, steps or entries: Done or OutOfRange.
CameraControlOutcome CheckValue(const CameraControl& control, int value);

// Sets the values the automatic modes first, then the others in the order of the keys; a value
// whose automatic mode is on is left alone. Controls the camera lacks are skipped.
std::vector<std::pair<std::string, CameraControlOutcome>> ApplyControlValues(
    CameraControlDevice& device, const std::map<std::string, int>& values);
// Every control back to the camera's default, those behind an automatic mode too (set while the
// mode is briefly manual). Done, or the first failure.
CameraControlOutcome RestoreControlDefaults(CameraControlDevice& device);

// The device node of a listed camera: a source "N" is /dev/videoN, a path is itself.
std::string CameraDevicePath(const CameraInfo& camera);

// The controls of the camera at this device node through V4L2. It opens its own handle, so it
// works whether or not another handle streams from the camera. Null where V4L2 is absent.
std::unique_ptr<CameraControlDevice> MakeV4l2ControlDevice(const std::string& path);

// The controls of a listed camera on this system. On Linux through V4L2. Elsewhere OpenCV's
// capture properties give no ranges, defaults or menus to build the controls from, so the device
// answers Unsupported there.
std::unique_ptr<CameraControlDevice> MakeCameraControlDevice(const CameraInfo& camera);
