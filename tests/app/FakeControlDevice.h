#pragma once

#include "pipeline/capture/CameraControls.h"

#include <string>
#include <utility>
#include <vector>

// A webcam's controls in memory, as a UVC camera behaves: a value behind an automatic mode that
// is on is refused, values outside the range or the menu are refused. Tests unplug it, or make
// it refuse one control.
class FakeControlDevice : public CameraControlDevice {
public:
    FakeControlDevice()
    {
        auto integer = [](const char* key, int minimum, int maximum, int step, int byDefault) {
            CameraControl c;
            c.key = key;
            c.minimum = minimum;
            c.maximum = maximum;
            c.step = step;
            c.defaultValue = c.value = byDefault;
            return c;
        };
        auto boolean = [&](const char* key, int byDefault) {
            CameraControl c = integer(key, 0, 1, 1, byDefault);
            c.kind = CameraControlKind::Boolean;
            return c;
        };
        auto menu = [&](const char* key, std::vector<CameraMenuEntry> entries, int byDefault) {
            CameraControl c = integer(key, entries.front().value, entries.back().value, 1, byDefault);
            c.kind = CameraControlKind::Menu;
            c.entries = std::move(entries);
            return c;
        };
        controls = {
            integer("brightness", -64, 64, 1, 0),
            integer("contrast", 0, 64, 1, 32),
            boolean("white_balance_automatic", 1),
            integer("white_balance_temperature", 2800, 6500, 10, 4600),
            menu("exposure_automatic", { { 1, "Manual Mode" }, { 3, "Aperture Priority Mode" } }, 3),
            integer("exposure_time", 1, 5000, 1, 156),
            menu("power_line_frequency", { { 0, "Disabled" }, { 1, "50 Hz" }, { 2, "60 Hz" } }, 1),
            boolean("focus_automatic", 1),
            integer("focus_distance", 0, 250, 5, 0),
        };
    }

    CameraControlQuery Query() override
    {
        if (gone)
            return { CameraControlOutcome::CameraGone, {} };
        std::vector<CameraControl> shown = controls;
        MarkDependentControls(shown);
        return { CameraControlOutcome::Done, shown };
    }

    CameraControlOutcome Set(const std::string& key, int value) override
    {
        sets.emplace_back(key, value);
        if (gone)
            return CameraControlOutcome::CameraGone;
        if (key == refusing)
            return CameraControlOutcome::Refused;
        const CameraControlQuery now = Query();
        const CameraControl* control = FindControl(now.controls, key);
        if (control == nullptr)
            return CameraControlOutcome::NoSuchControl;
        if (control->inactive)
            return CameraControlOutcome::Inactive;
        if (CheckValue(*control, value) != CameraControlOutcome::Done)
            return CameraControlOutcome::OutOfRange;
        for (CameraControl& c : controls)
            if (c.key == key)
                c.value = value;
        return CameraControlOutcome::Done;
    }

    int Value(const std::string& key) const
    {
        const CameraControl* control = FindControl(controls, key);
        return control != nullptr ? control->value : -999;
    }

    std::vector<CameraControl> controls;
    std::vector<std::pair<std::string, int>> sets;
    bool gone = false;
    std::string refusing;
};
