#pragma once

#include <QString>

// Handler results and update rules of the ribbon commands for the logo, the big frame, the
// add-ons and click photos, and the rules for a frame or add-on picked in the side pane. Pure
// functions: the widget applies the result and shows the texts.
namespace DecorationCommands {

// Caption of the message boxes below.
QString MessageCaption(); // "乐影屋"

// How a show/hide toggle looks: pressed while hidden, the caption names the current state.
struct ToggleLook {
    bool pressed = false;
    QString caption;
};
ToggleLook LogoLook(bool logoShown);     // ID_BUTTON_LOOGO
ToggleLook FrameLook(bool frameShown);   // ID_BUTTON_FRAME_SHOWIF
ToggleLook AddOnLook(bool addOnsShown);  // ID_BUTTON_ADDON_SHOWIF

// ID_BUTTON_DRAG_ADD_ON: 0 becomes 4, anything else 0; pressed while the mode is 0.
int DragAddOnMode(int mouseMode);
bool DragAddOnPressed(int mouseMode);

// ID_BUTTON_PHOTO_CLICK: 2 becomes 4, anything else 2; the status bar's first pane gets the text.
// Works whether or not the camera runs. Pressed while the mode is 2.
struct PhotoClickResult {
    int mouseMode = 4;
    QString status;
};
PhotoClickResult PhotoClick(int mouseMode);
bool PhotoClickPressed(int mouseMode);

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
