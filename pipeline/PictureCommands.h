#pragma once

#include "pipeline/stages/PictureSettings.h"
#include "pipeline/stages/RegionSelect.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <optional>

class DoodleLayer;
class FlowState;

// Handlers and update rules of the ribbon commands for the picture panels. Handlers change the
// settings passed in (call them inside PictureSettingsStore::Change); `running` is whether the
// camera runs, for the commands that do nothing while it is stopped. Update rules only read.

// A colour button's value (red in the low byte) as blue, green, red.
cv::Scalar ColourFromButton(std::uint32_t rgbValue);

// --- effect styles and flips (act whether or not the camera runs) ---
void ToggleEffectStyle(PictureSettings& s, EffectStyle style); // between style and 0
void ToggleFlip(PictureSettings& s, FlipMode flipMode); // between flipMode and 0
bool EffectStylePressed(const PictureSettings& s, EffectStyle style);
bool FlipPressed(const PictureSettings& s, FlipMode flipMode);

// --- colour channels ---
// Slider 0, 1, 2 moved to position (0 … 200): the value is stored and the adjustment switched on.
void SetBrightness(PictureSettings& s, int slider, int position);
void SetContrast(PictureSettings& s, int slider, int position);
// "通道状态：默认设置": all six values 100, RGB, adjustment off. The caller moves the sliders.
void ResetChannels(PictureSettings& s);
// HSV, HLS, YCrCb switch the adjustment on; RGB switches it off only when all six values are 100.
void SelectColourModel(PictureSettings& s, ColourModel colourModel);
bool ColourModelPressed(const PictureSettings& s, ColourModel colourModel);
bool ChannelsButtonPressed(const PictureSettings& s);
const char* ChannelsButtonCaption(const PictureSettings& s); // UTF-8

// --- region ---
void ArmZoomRegion(PictureSettings& s, bool running);
enum class ArmResult { Armed, Ignored, NoEffectStyle };
// NoEffectStyle: the caller tells the user "尚未开启任何特效？" (caption "乐影屋", question icon);
// nothing changed.
ArmResult ArmEffectRegion(PictureSettings& s, bool running);
void CancelZoomRegion(PictureSettings& s);
void CancelEffectRegion(PictureSettings& s);
// The end of a selection: disarms; when confirmed with a region, writes both rectangles and
// switches on the one the selection was for. mouseMode stays as it is.
void ApplySelectedRegion(PictureSettings& s, const std::optional<PictureRegion>& region, bool confirmed);
bool ZoomRegionPressed(const PictureSettings& s);
bool EffectRegionPressed(const PictureSettings& s);
// The zoom region while one is in force.
std::optional<cv::Rect> ZoomInForce(const PictureSettings& s);

// --- optical flow ---
void StartFlowAuto(PictureSettings& s, FlowState& flow, bool running, const cv::Scalar& flowColour);
void ToggleFlowManual(PictureSettings& s, FlowState& flow, bool running, const cv::Scalar& flowColour);
void ToggleFlowNight(const PictureSettings& s, FlowState& flow); // only while the play is on
void ExitFlow(PictureSettings& s, FlowState& flow);              // only while the play is on
bool FlowAutoPressed(const PictureSettings& s);
bool FlowManualPressed(const PictureSettings& s);
bool FlowNightPressed(const FlowState& flow);

// --- doodle ---
// Ends painting (mode 4, the drawing stays) or starts it: mode 1, pen colour, layer shown.
void ToggleMousePaint(PictureSettings& s, const cv::Scalar& paintColour);
void SetPaintColour(PictureSettings& s, const cv::Scalar& paintColour);
// Gallery item 0 … 7 → 1, 3, 5, 8, 10, 13, 16, 20 pixels; other indexes change nothing.
inline constexpr int kPenWidthCount = 8;
int PenWidthPixels(int galleryIndex); // 0 for an index outside the gallery
int PenGalleryIndex(int penWidth);    // -1 for a width the gallery does not offer
void SelectPenWidth(PictureSettings& s, int galleryIndex);
void TogglePaintShown(PictureSettings& s);
// Ends painting, empties the canvas (a step the undo takes back) and hides the layer.
void ClearPaint(PictureSettings& s, DoodleLayer& doodle, cv::Size pictureSize);
// Takes back the newest stroke or clear and shows the layer; false when there was none.
bool UndoPaint(PictureSettings& s, DoodleLayer& doodle);
bool MousePaintPressed(const PictureSettings& s);
const char* PaintHideCaption(const PictureSettings& s); // UTF-8

// --- the other mouse modes; every mode shares mouseMode, so choosing one ends the last ---
// Photo on click: from photo mode to nothing, from any other mode to photo mode. Works whether or
// not the camera runs. Returns whether photo mode is now on.
bool TogglePhotoClick(PictureSettings& s);
// Dragging add-ons: from drag mode to nothing, from any other mode to drag mode.
void ToggleDragAddOns(PictureSettings& s);
bool PhotoClickPressed(const PictureSettings& s);
bool DragAddOnsPressed(const PictureSettings& s);

// --- backdrop ---
// The other picture behind the person, or the blurred room, on or off; one excludes the other.
void ToggleBackdropReplace(PictureSettings& s);
void ToggleBackdropBlur(PictureSettings& s);
// The coloured cloth of this colour tells the person from what is behind (a look that was off
// turns to the other picture).
void UseClothColour(PictureSettings& s, const cv::Scalar& colour);
// The cloth on or off (back to the learnt room).
void ToggleClothKey(PictureSettings& s);
// The next click on the picture takes the cloth's colour.
void ArmClothPick(PictureSettings& s);
bool ClothPickArmed(const PictureSettings& s);
bool ClothPressed(const PictureSettings& s, const cv::Scalar& colour);
// Whether the look needs the empty room and none is learnt.
bool BackdropNeedsRoom(const PictureSettings& s, bool roomReady);

// Stopping the camera hides the doodle layer.
void OnCameraStopped(PictureSettings& s);
