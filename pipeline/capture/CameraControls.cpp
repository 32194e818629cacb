#include "pipeline/capture/CameraControls.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

constexpr std::array<std::string_view, 15> kKeys { "brightness", "contrast", "saturation", "hue", "sharpness", "gamma",
    "white_balance_automatic", "white_balance_temperature", "exposure_automatic", "exposure_time",
    "backlight_compensation", "power_line_frequency", "focus_automatic", "focus_distance", "zoom" };

// Each control greyed by an automatic mode, with that mode.
constexpr std::array<std::pair<std::string_view, std::string_view>, 3> kModes { {
    { "white_balance_temperature", "white_balance_automatic" },
    { "exposure_time", "exposure_automatic" },
    { "focus_distance", "focus_automatic" },
} };

// The entries of V4L2's exposure menu; other drivers' menus follow it too.
constexpr int kExposureAuto = 0;
constexpr int kExposureManual = 1;
constexpr int kExposureAperturePriority = 3;

bool IsExposureMode(const CameraControl& mode)
{
    return mode.key == "exposure_automatic" && mode.kind == CameraControlKind::Menu;
}

bool HasEntry(const CameraControl& menu, int value)
{
    return std::any_of(menu.entries.begin(), menu.entries.end(), [&](const CameraMenuEntry& e) { return e.value == value; });
}

// A failure that stops counting as a failure of one control: the camera is not there to ask.
bool Worse(CameraControlOutcome outcome)
{
    return outcome != CameraControlOutcome::Done && outcome != CameraControlOutcome::Inactive
        && outcome != CameraControlOutcome::NoSuchControl;
}

#if defined(__linux__)
constexpr std::array<std::pair<std::string_view, std::uint32_t>, 15> kV4l2Ids { {
    { "brightness", V4L2_CID_BRIGHTNESS },
    { "contrast", V4L2_CID_CONTRAST },
    { "saturation", V4L2_CID_SATURATION },
    { "hue", V4L2_CID_HUE },
    { "sharpness", V4L2_CID_SHARPNESS },
    { "gamma", V4L2_CID_GAMMA },
    { "white_balance_automatic", V4L2_CID_AUTO_WHITE_BALANCE },
    { "white_balance_temperature", V4L2_CID_WHITE_BALANCE_TEMPERATURE },
    { "exposure_automatic", V4L2_CID_EXPOSURE_AUTO },
    { "exposure_time", V4L2_CID_EXPOSURE_ABSOLUTE },
    { "backlight_compensation", V4L2_CID_BACKLIGHT_COMPENSATION },
    { "power_line_frequency", V4L2_CID_POWER_LINE_FREQUENCY },
    { "focus_automatic", V4L2_CID_FOCUS_AUTO },
    { "focus_distance", V4L2_CID_FOCUS_ABSOLUTE },
    { "zoom", V4L2_CID_ZOOM_ABSOLUTE },
} };

// Bounds on what a driver may make us walk: a faulty one must not hang the interface.
constexpr int kMaxControls = 1024;
constexpr int kMaxMenuEntries = 64;

std::optional<std::uint32_t> V4l2IdOf(std::string_view key)
{
    for (const auto& [k, id] : kV4l2Ids)
        if (k == key)
            return id;
    return std::nullopt;
}

std::optional<std::string_view> KeyOfV4l2Id(std::uint32_t id)
{
    for (const auto& [k, i] : kV4l2Ids)
        if (i == id)
            return k;
    return std::nullopt;
}

// Retries a call that a signal interrupted, as V4L2 asks.
int Ioctl(int fd, unsigned long request, void* argument)
{
    int result;
    do {
        result = ::ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result;
}

// The errors of a device node whose camera was unplugged.
bool Lost(int error)
{
    return error == ENODEV || error == ENXIO;
}

std::optional<CameraControlKind> KindOf(std::uint32_t type)
{
    switch (type) {
    case V4L2_CTRL_TYPE_INTEGER:
        return CameraControlKind::Integer;
    case V4L2_CTRL_TYPE_BOOLEAN:
        return CameraControlKind::Boolean;
    case V4L2_CTRL_TYPE_MENU:
        return CameraControlKind::Menu;
    default:
        return std::nullopt; // integer menus, buttons, 64-bit and compound controls: not ours
    }
}

class V4l2ControlDevice : public CameraControlDevice {
public:
    explicit V4l2ControlDevice(std::string path)
        : path_(std::move(path))
    {
    }
    ~V4l2ControlDevice() override { Close(); }
    V4l2ControlDevice(const V4l2ControlDevice&) = delete;
    V4l2ControlDevice& operator=(const V4l2ControlDevice&) = delete;

    CameraControlQuery Query() override
    {
        CameraControlQuery query;
        std::vector<v4l2_queryctrl> found;
        if (!Reach() || !Enumerate(found)) {
            query.outcome = CameraControlOutcome::CameraGone;
            return query;
        }
        for (const std::string_view key : kKeys) {
            const auto it = std::find_if(found.begin(), found.end(), [&](const v4l2_queryctrl& q) { return KeyOfV4l2Id(q.id) == key; });
            if (it == found.end())
                continue;
            std::optional<CameraControl> control = Describe(*it);
            if (gone_)
                break;
            if (control)
                query.controls.push_back(std::move(*control));
        }
        if (gone_) {
            Close();
            query.outcome = CameraControlOutcome::CameraGone;
            query.controls.clear();
            return query;
        }
        MarkDependentControls(query.controls);
        return query;
    }

    CameraControlOutcome Set(const std::string& key, int value) override
    {
        const std::optional<std::uint32_t> id = V4l2IdOf(key);
        if (!id)
            return CameraControlOutcome::NoSuchControl;
        if (!Reach())
            return CameraControlOutcome::CameraGone;
        // Fresh flags: an automatic mode changed since the last query greys or frees this control.
        v4l2_queryctrl q {};
        q.id = *id;
        if (Ioctl(fd_, VIDIOC_QUERYCTRL, &q) != 0)
            return Failed(errno, CameraControlOutcome::NoSuchControl);
        if ((q.flags & V4L2_CTRL_FLAG_DISABLED) != 0 || !KindOf(q.type))
            return CameraControlOutcome::NoSuchControl;
        if ((q.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED)) != 0)
            return CameraControlOutcome::Busy;
        if ((q.flags & V4L2_CTRL_FLAG_INACTIVE) != 0)
            return CameraControlOutcome::Inactive;
        const std::optional<CameraControl> control = Describe(q);
        if (gone_)
            return Gone();
        if (!control)
            return CameraControlOutcome::NoSuchControl;
        if (CheckValue(*control, value) != CameraControlOutcome::Done)
            return CameraControlOutcome::OutOfRange;
        // Drivers that do not mark the dependent controls inactive still ignore them.
        if (const std::optional<std::string_view> modeKey = AutomaticModeOf(key)) {
            v4l2_queryctrl m {};
            m.id = *V4l2IdOf(*modeKey);
            if (Ioctl(fd_, VIDIOC_QUERYCTRL, &m) == 0 && (m.flags & V4L2_CTRL_FLAG_DISABLED) == 0) {
                const std::optional<CameraControl> mode = Describe(m);
                if (gone_)
                    return Gone();
                if (mode && AutomaticOn(*mode))
                    return CameraControlOutcome::Inactive;
            } else if (Lost(errno)) {
                return Gone();
            }
        }
        v4l2_control set {};
        set.id = *id;
        set.value = value;
        if (Ioctl(fd_, VIDIOC_S_CTRL, &set) != 0) {
            const int error = errno;
            if (error == ERANGE || error == EINVAL)
                return CameraControlOutcome::OutOfRange;
            if (error == EACCES)
                return CameraControlOutcome::Inactive;
            if (error == EBUSY)
                return CameraControlOutcome::Busy;
            return Failed(error, CameraControlOutcome::Refused);
        }
        return CameraControlOutcome::Done;
    }

private:
    // Opens the node when it is not open: a camera plugged back in at the same node answers again.
    bool Reach()
    {
        if (fd_ >= 0)
            return true;
        gone_ = false;
        do {
            fd_ = ::open(path_.c_str(), O_RDWR | O_NONBLOCK);
        } while (fd_ < 0 && errno == EINTR);
        return fd_ >= 0;
    }

    void Close()
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    CameraControlOutcome Gone()
    {
        Close();
        return CameraControlOutcome::CameraGone;
    }

    CameraControlOutcome Failed(int error, CameraControlOutcome otherwise)
    {
        return Lost(error) ? Gone() : otherwise;
    }

    // The known controls the device lists; false when it stopped answering.
    bool Enumerate(std::vector<v4l2_queryctrl>& found)
    {
        std::uint32_t last = 0;
        bool listed = false;
        for (int n = 0; n < kMaxControls; ++n) {
            v4l2_queryctrl q {};
            q.id = last | V4L2_CTRL_FLAG_NEXT_CTRL;
            if (Ioctl(fd_, VIDIOC_QUERYCTRL, &q) != 0) {
                if (Lost(errno)) {
                    Close();
                    return false;
                }
                break; // EINVAL: no more
            }
            listed = true;
            if (q.id <= last)
                break; // a driver that does not move on
            last = q.id;
            if (KeyOfV4l2Id(q.id) && (q.flags & V4L2_CTRL_FLAG_DISABLED) == 0)
                found.push_back(q);
        }
        if (listed)
            return true;
        // A driver without the enumeration: ask for each control by its id.
        for (const auto& [key, id] : kV4l2Ids) {
            v4l2_queryctrl q {};
            q.id = id;
            if (Ioctl(fd_, VIDIOC_QUERYCTRL, &q) == 0) {
                if ((q.flags & V4L2_CTRL_FLAG_DISABLED) == 0)
                    found.push_back(q);
            } else if (Lost(errno)) {
                Close();
                return false;
            }
        }
        return true;
    }

    // The control as data, with its value and menu; none for a kind we do not show. Sets gone_
    // when the device stops answering on the way.
    std::optional<CameraControl> Describe(const v4l2_queryctrl& q)
    {
        const std::optional<std::string_view> key = KeyOfV4l2Id(q.id);
        const std::optional<CameraControlKind> kind = KindOf(q.type);
        if (!key || !kind || q.maximum < q.minimum)
            return std::nullopt;
        CameraControl control;
        control.key = std::string(*key);
        control.kind = *kind;
        control.minimum = q.minimum;
        control.maximum = q.maximum;
        control.step = q.step > 0 ? q.step : 1;
        control.defaultValue = q.default_value;
        if (control.kind != CameraControlKind::Integer)
            control.step = 1;
        if (control.kind == CameraControlKind::Boolean) {
            control.minimum = 0;
            control.maximum = 1;
        }
        if (control.kind == CameraControlKind::Menu) {
            const std::int64_t last = std::min<std::int64_t>(q.maximum, std::int64_t(q.minimum) + kMaxMenuEntries - 1);
            for (std::int64_t index = std::max(q.minimum, 0); index <= last; ++index) {
                v4l2_querymenu entry {};
                entry.id = q.id;
                entry.index = std::uint32_t(index);
                if (Ioctl(fd_, VIDIOC_QUERYMENU, &entry) != 0) {
                    if (Lost(errno)) {
                        gone_ = true;
                        return std::nullopt;
                    }
                    continue; // an index the camera skips
                }
                const char* name = reinterpret_cast<const char*>(entry.name);
                control.entries.push_back({ int(index), std::string(name, strnlen(name, sizeof entry.name)) });
            }
            if (control.entries.empty())
                return std::nullopt;
        }
        v4l2_control current {};
        current.id = q.id;
        if (Ioctl(fd_, VIDIOC_G_CTRL, &current) == 0) {
            control.value = current.value;
        } else if (Lost(errno)) {
            gone_ = true;
            return std::nullopt;
        } else {
            control.value = control.defaultValue; // write-only, or unreadable while inactive
        }
        control.inactive = (q.flags & (V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED)) != 0;
        return control;
    }

    std::string path_;
    int fd_ = -1;
    bool gone_ = false;
};
#endif

// Where no V4L2 reaches the camera: the dialog says so instead of showing guessed sliders.
class UnsupportedControlDevice : public CameraControlDevice {
public:
    CameraControlQuery Query() override { return { CameraControlOutcome::Unsupported, {} }; }
    CameraControlOutcome Set(const std::string&, int) override { return CameraControlOutcome::Unsupported; }
};

} // namespace

std::span<const std::string_view> CameraControlKeys()
{
    return kKeys;
}

std::optional<std::string_view> AutomaticModeOf(std::string_view key)
{
    for (const auto& [dependent, mode] : kModes)
        if (dependent == key)
            return mode;
    return std::nullopt;
}

bool IsAutomaticMode(std::string_view key)
{
    return std::any_of(kModes.begin(), kModes.end(), [&](const auto& pair) { return pair.second == key; });
}

bool AutomaticOn(const CameraControl& mode)
{
    return IsExposureMode(mode) ? mode.value != kExposureManual : mode.value != 0;
}

std::optional<int> AutomaticValue(const CameraControl& mode, bool on)
{
    if (!IsExposureMode(mode))
        return on ? 1 : 0;
    if (!on)
        return HasEntry(mode, kExposureManual) ? std::optional<int>(kExposureManual) : std::nullopt;
    // Webcams offer aperture priority as their automatic exposure (the lens has a fixed aperture).
    for (const int value : { kExposureAperturePriority, kExposureAuto })
        if (HasEntry(mode, value))
            return value;
    for (const CameraMenuEntry& entry : mode.entries)
        if (entry.value != kExposureManual)
            return entry.value;
    return std::nullopt;
}

void MarkDependentControls(std::vector<CameraControl>& controls)
{
    for (CameraControl& control : controls) {
        const std::optional<std::string_view> modeKey = AutomaticModeOf(control.key);
        if (!modeKey)
            continue;
        if (const CameraControl* mode = FindControl(controls, *modeKey); mode != nullptr && AutomaticOn(*mode))
            control.inactive = true;
    }
}

const CameraControl* FindControl(const std::vector<CameraControl>& controls, std::string_view key)
{
    const auto it = std::find_if(controls.begin(), controls.end(), [&](const CameraControl& c) { return c.key == key; });
    return it == controls.end() ? nullptr : &*it;
}

CameraControlOutcome CheckValue(const CameraControl& control, int value)
{
    if (value < control.minimum || value > control.maximum)
        return CameraControlOutcome::OutOfRange;
    switch (control.kind) {
    case CameraControlKind::Menu:
        return HasEntry(control, value) ? CameraControlOutcome::Done : CameraControlOutcome::OutOfRange;
    case CameraControlKind::Boolean:
        return value == 0 || value == 1 ? CameraControlOutcome::Done : CameraControlOutcome::OutOfRange;
    case CameraControlKind::Integer:
        break;
    }
    const std::int64_t offset = std::int64_t(value) - control.minimum;
    return control.step <= 1 || offset % control.step == 0 ? CameraControlOutcome::Done : CameraControlOutcome::OutOfRange;
}

std::vector<std::pair<std::string, CameraControlOutcome>> ApplyControlValues(
    CameraControlDevice& device, const std::map<std::string, int>& values)
{
    std::vector<std::pair<std::string, CameraControlOutcome>> outcomes;
    CameraControlQuery query = device.Query();
    auto apply = [&](const std::string& key, int value) {
        CameraControlOutcome outcome = query.outcome;
        if (outcome == CameraControlOutcome::Done) {
            const CameraControl* control = FindControl(query.controls, key);
            if (control == nullptr)
                outcome = CameraControlOutcome::NoSuchControl;
            else if (control->inactive)
                outcome = CameraControlOutcome::Inactive;
            else
                outcome = device.Set(key, value);
            if (outcome == CameraControlOutcome::CameraGone)
                query.outcome = outcome; // the rest need not be asked for
        }
        outcomes.emplace_back(key, outcome);
    };
    for (const auto& [key, value] : values)
        if (IsAutomaticMode(key))
            apply(key, value);
    // The modes just set grey or free the others.
    if (query.outcome == CameraControlOutcome::Done && !outcomes.empty())
        query = device.Query();
    for (const std::string_view key : kKeys) {
        if (IsAutomaticMode(key))
            continue;
        if (const auto it = values.find(std::string(key)); it != values.end())
            apply(it->first, it->second);
    }
    for (const auto& [key, value] : values)
        if (std::find(kKeys.begin(), kKeys.end(), key) == kKeys.end())
            outcomes.emplace_back(key, CameraControlOutcome::NoSuchControl);
    return outcomes;
}

CameraControlOutcome RestoreControlDefaults(CameraControlDevice& device)
{
    CameraControlQuery query = device.Query();
    if (query.outcome != CameraControlOutcome::Done)
        return query.outcome;
    CameraControlOutcome failure = CameraControlOutcome::Done;
    auto set = [&](const std::string& key, int value) {
        const CameraControlOutcome outcome = device.Set(key, value);
        if (Worse(outcome) && failure == CameraControlOutcome::Done)
            failure = outcome;
        return outcome;
    };
    const std::vector<CameraControl> before = query.controls;
    for (const auto& [dependentKey, modeKey] : kModes) {
        const CameraControl* mode = FindControl(before, modeKey);
        if (mode == nullptr || mode->inactive)
            continue;
        // The dependent value only takes while the mode is manual.
        if (const CameraControl* dependent = FindControl(before, dependentKey)) {
            const std::optional<int> manual = AutomaticValue(*mode, false);
            bool settable = !AutomaticOn(*mode);
            if (!settable && manual && set(mode->key, *manual) == CameraControlOutcome::Done)
                settable = true;
            if (settable && set(dependent->key, dependent->defaultValue) == CameraControlOutcome::CameraGone)
                return CameraControlOutcome::CameraGone;
        }
        if (set(mode->key, mode->defaultValue) == CameraControlOutcome::CameraGone)
            return CameraControlOutcome::CameraGone;
    }
    for (const CameraControl& control : before) {
        const std::optional<std::string_view> modeKey = AutomaticModeOf(control.key);
        const CameraControl* mode = modeKey ? FindControl(before, *modeKey) : nullptr;
        if (IsAutomaticMode(control.key) || (mode != nullptr && !mode->inactive))
            continue; // done above with its mode
        if (control.inactive || control.value == control.defaultValue)
            continue;
        if (set(control.key, control.defaultValue) == CameraControlOutcome::CameraGone)
            return CameraControlOutcome::CameraGone;
    }
    return failure;
}

std::string CameraDevicePath(const CameraInfo& camera)
{
    const std::string& source = camera.source;
    const bool index = !source.empty() && source.size() <= 6
        && std::all_of(source.begin(), source.end(), [](char c) { return c >= '0' && c <= '9'; });
    return index ? "/dev/video" + source : source;
}

std::unique_ptr<CameraControlDevice> MakeV4l2ControlDevice(const std::string& path)
{
#if defined(__linux__)
    return std::make_unique<V4l2ControlDevice>(path);
#else
    (void)path;
    return nullptr;
#endif
}

std::unique_ptr<CameraControlDevice> MakeCameraControlDevice(const CameraInfo& camera)
{
#if defined(__linux__)
    return MakeV4l2ControlDevice(CameraDevicePath(camera));
#else
    (void)camera;
    return std::make_unique<UnsupportedControlDevice>();
#endif
}
