#pragma once

#include <QString>

// Update rules of the show/hide commands for the logo, the big frame and the add-ons, and the
// rules for a frame or add-on picked in the side pane. Pure
// functions: the widget applies the result and shows the texts.
namespace DecorationCommands {

// Caption of the message boxes below.
QString MessageCaption(); // "乐影屋"

// How a show/hide toggle looks: pressed while hidden, the caption names the current state.
struct ToggleLook {
    bool pressed = false;
    QString caption;
};
ToggleLook LogoLook(bool logoShown);
ToggleLook FrameLook(bool frameShown);
ToggleLook AddOnLook(bool addOnsShown);

// A frame or an add-on picked in the side pane.
enum class PickAction {
    Ignore,      // the camera does not run: drop the pick silently
    Apply,       // SetFrameImage / AddAddOn with the picture size as placement area
    ShowMessage, // information box with `message` and MessageCaption(); nothing changes
};
struct PickDecision {
    PickAction action = PickAction::Ignore;
    QString message;
};
PickDecision FramePick(bool cameraRunning, bool frameShown);
PickDecision AddOnPick(bool cameraRunning, bool addOnsShown);

} // namespace DecorationCommands
