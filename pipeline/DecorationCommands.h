#pragma once

// The rule for a frame or an add-on picked in the side pane. A pure function: the command row
// applies the result and says why when nothing changes.
namespace DecorationCommands {

enum class PickAction {
    Ignore,     // the camera does not run: drop the pick silently
    Apply,      // SetFrameImage / AddAddOn with the picture size as placement area
    TellHidden, // the frames or add-ons are hidden: nothing changes, the user is told why
};
PickAction Pick(bool cameraRunning, bool shown);

} // namespace DecorationCommands
