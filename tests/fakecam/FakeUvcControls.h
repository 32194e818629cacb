#pragma once

// The controls of a typical UVC webcam and the rules uvcvideo applies when they are set:
// integers are rounded to the step and clamped to the range (as uvcvideo does, rather than
// refusing), booleans become 0 or 1, a menu value outside the menu is ERANGE and one of the gaps
// in it is EINVAL. A control made inactive by its automatic partner refuses a new value (EACCES).

#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <span>

namespace fakeuvc {

struct MenuItem {
    std::int32_t index;
    const char* name;
};

struct ControlInfo {
    std::uint32_t id;
    std::uint32_t type;
    const char* name;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t step;
    std::int32_t defaultValue;
    std::span<const MenuItem> menu;
};

namespace controls {
inline constexpr MenuItem kPowerLine[] = { { 0, "Disabled" }, { 1, "50 Hz" }, { 2, "60 Hz" } };
inline constexpr MenuItem kExposure[] = { { V4L2_EXPOSURE_MANUAL, "Manual Mode" },
    { V4L2_EXPOSURE_APERTURE_PRIORITY, "Aperture Priority Mode" } };
// Sorted by id, as V4L2_CTRL_FLAG_NEXT_CTRL walks them.
inline constexpr ControlInfo kTable[] = {
    { V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 1, 0, {} },
    { V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 64, 1, 32, {} },
    { V4L2_CID_SATURATION, V4L2_CTRL_TYPE_INTEGER, "Saturation", 0, 128, 1, 64, {} },
    { V4L2_CID_HUE, V4L2_CTRL_TYPE_INTEGER, "Hue", -40, 40, 1, 0, {} },
    { V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Automatic", 0, 1, 1, 1, {} },
    { V4L2_CID_GAMMA, V4L2_CTRL_TYPE_INTEGER, "Gamma", 72, 500, 1, 100, {} },
    { V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU, "Power Line Frequency", 0, 2, 1, 1, kPowerLine },
    { V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER, "White Balance Temperature", 2800, 6500, 1, 4600, {} },
    { V4L2_CID_SHARPNESS, V4L2_CTRL_TYPE_INTEGER, "Sharpness", 0, 6, 1, 3, {} },
    { V4L2_CID_BACKLIGHT_COMPENSATION, V4L2_CTRL_TYPE_INTEGER, "Backlight Compensation", 0, 2, 1, 1, {} },
    { V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 1, 3, 1, V4L2_EXPOSURE_APERTURE_PRIORITY, kExposure },
    { V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Exposure Time, Absolute", 1, 5000, 1, 156, {} },
    { V4L2_CID_FOCUS_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Focus, Absolute", 0, 250, 5, 0, {} },
    { V4L2_CID_FOCUS_AUTO, V4L2_CTRL_TYPE_BOOLEAN, "Focus, Automatic Continuous", 0, 1, 1, 1, {} },
    { V4L2_CID_ZOOM_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Zoom, Absolute", 100, 500, 1, 100, {} },
};
inline constexpr std::size_t kCount = std::size(kTable);
} // namespace controls

class Controls {
public:
    Controls() { Reset(); }

    void Reset()
    {
        for (std::size_t i = 0; i < controls::kCount; ++i)
            values_[i] = controls::kTable[i].defaultValue;
    }

    static const ControlInfo* Find(std::uint32_t id)
    {
        for (const ControlInfo& c : controls::kTable)
            if (c.id == id)
                return &c;
        return nullptr;
    }

    // The control with the smallest id above the given one.
    static const ControlInfo* After(std::uint32_t id)
    {
        for (const ControlInfo& c : controls::kTable)
            if (c.id > id)
                return &c;
        return nullptr;
    }

    static const MenuItem* FindMenuItem(const ControlInfo& control, std::int64_t index)
    {
        for (const MenuItem& m : control.menu)
            if (m.index == index)
                return &m;
        return nullptr;
    }

    std::int32_t Value(std::uint32_t id) const { return values_[IndexOf(id)]; }

    std::uint32_t Flags(const ControlInfo& control) const
    {
        bool inactive = false;
        switch (control.id) {
        case V4L2_CID_WHITE_BALANCE_TEMPERATURE:
            inactive = Value(V4L2_CID_AUTO_WHITE_BALANCE) != 0;
            break;
        case V4L2_CID_EXPOSURE_ABSOLUTE:
            inactive = Value(V4L2_CID_EXPOSURE_AUTO) != V4L2_EXPOSURE_MANUAL;
            break;
        case V4L2_CID_FOCUS_ABSOLUTE:
            inactive = Value(V4L2_CID_FOCUS_AUTO) != 0;
            break;
        default:
            break;
        }
        return inactive ? V4L2_CTRL_FLAG_INACTIVE : 0;
    }

    // 0 with the value made acceptable, or the errno that refuses it.
    int Check(const ControlInfo& control, std::int32_t& value) const
    {
        if ((Flags(control) & V4L2_CTRL_FLAG_INACTIVE) != 0)
            return EACCES;
        switch (control.type) {
        case V4L2_CTRL_TYPE_BOOLEAN:
            value = value != 0 ? 1 : 0;
            return 0;
        case V4L2_CTRL_TYPE_MENU:
            if (value < control.minimum || value > control.maximum)
                return ERANGE;
            return FindMenuItem(control, value) != nullptr ? 0 : EINVAL;
        default: {
            const std::int64_t min = control.minimum;
            const std::int64_t step = control.step;
            std::int64_t v = std::clamp<std::int64_t>(value, min, control.maximum);
            v = min + (v - min + step / 2) / step * step;
            value = std::int32_t(std::clamp<std::int64_t>(v, min, control.maximum));
            return 0;
        }
        }
    }

    void Set(std::uint32_t id, std::int32_t value) { values_[IndexOf(id)] = value; }

private:
    static std::size_t IndexOf(std::uint32_t id) { return std::size_t(Find(id) - controls::kTable); }

    std::int32_t values_[controls::kCount] {};
};

} // namespace fakeuvc
