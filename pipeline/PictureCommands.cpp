#include "pipeline/PictureCommands.h"

#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/OpticalFlow.h"


#include <algorithm>
#include <array>

namespace {

// The field becomes value, or its neutral 0 when it already was value.
template <class Mode>
Mode Toggled(Mode field, Mode value)
{
    return field == value ? Mode {} : value;
}

int SliderPosition(int position)
{
    return std::clamp(position, 0, 200);
}

bool AllSlidersNeutral(const PictureSettings& s)
{
    const auto neutral = [](int v) { return v == 100; };
    return std::all_of(s.sliders.brightness.begin(), s.sliders.brightness.end(), neutral)
        && std::all_of(s.sliders.contrast.begin(), s.sliders.contrast.end(), neutral);
}

// A mode that took the mouse for a while gives it back to dragging the stickers when it ends, so
// the mouse is never left doing nothing without any button lit to say so.
void EndMouseMode(PictureSettings& s, MouseMode mode)
{
    if (s.mouseMode == mode)
        s.mouseMode = kMouseDragAddOns;
}

void LeaveRegionSelection(PictureSettings& s)
{
    s.regionArmed = false;
    s.regionPurpose = kRegionNone;
    EndMouseMode(s, kMouseSelectRegion);
}

} // namespace

cv::Scalar ColourFromButton(std::uint32_t rgbValue)
{
    return cv::Scalar((rgbValue >> 16) & 0xFF, (rgbValue >> 8) & 0xFF, rgbValue & 0xFF, 0);
}

void ToggleEffectStyle(PictureSettings& s, EffectStyle style)
{
    s.effectStyle = Toggled(s.effectStyle, style);
}

void ToggleFlip(PictureSettings& s, FlipMode flipMode)
{
    s.flipMode = Toggled(s.flipMode, flipMode);
}

bool EffectStylePressed(const PictureSettings& s, EffectStyle style)
{
    return s.effectStyle == style;
}

bool FlipPressed(const PictureSettings& s, FlipMode flipMode)
{
    return s.flipMode == flipMode;
}

void SetBrightness(PictureSettings& s, int slider, int position)
{
    if (slider < 0 || slider > 2)
        return;
    s.sliders.brightness[slider] = SliderPosition(position);
    s.channelsDefault = false;
}

void SetContrast(PictureSettings& s, int slider, int position)
{
    if (slider < 0 || slider > 2)
        return;
    s.sliders.contrast[slider] = SliderPosition(position);
    s.channelsDefault = false;
}

void ResetChannels(PictureSettings& s)
{
    s.sliders.brightness = { 100, 100, 100 };
    s.sliders.contrast = { 100, 100, 100 };
    s.colourModel = kColourRgb;
    s.channelsDefault = true;
}

void SelectColourModel(PictureSettings& s, ColourModel colourModel)
{
    if (colourModel < kColourRgb || colourModel > kColourYCrCb)
        return;
    s.colourModel = colourModel;
    if (colourModel != kColourRgb)
        s.channelsDefault = false;
    else if (AllSlidersNeutral(s))
        s.channelsDefault = true;
}

bool ColourModelPressed(const PictureSettings& s, ColourModel colourModel)
{
    return s.colourModel == colourModel;
}

bool ChannelsButtonPressed(const PictureSettings& s)
{
    return !s.channelsDefault;
}

void ArmZoomRegion(PictureSettings& s, bool running)
{
    if (!running)
        return;
    s.mouseMode = kMouseSelectRegion;
    s.zoomRegionOn = false;
    s.regionPurpose = kRegionZoom;
    s.regionArmed = true;
}

ArmResult ArmEffectRegion(PictureSettings& s, bool running)
{
    if (!running)
        return ArmResult::Ignored;
    if (s.effectStyle == kEffectNone)
        return ArmResult::NoEffectStyle;
    s.mouseMode = kMouseSelectRegion;
    s.effectRegionOn = false;
    s.regionPurpose = kRegionEffect;
    s.regionArmed = true;
    return ArmResult::Armed;
}

void CancelZoomRegion(PictureSettings& s)
{
    s.zoomRegionOn = false;
    LeaveRegionSelection(s);
}

void CancelEffectRegion(PictureSettings& s)
{
    s.effectRegionOn = false;
    LeaveRegionSelection(s);
}

void ApplySelectedRegion(PictureSettings& s, const std::optional<PictureRegion>& region, bool confirmed)
{
    s.regionArmed = false;
    EndMouseMode(s, kMouseSelectRegion);
    if (!confirmed || !region)
        return;
    s.zoomRect = region->zoomRect;
    s.effectRect = region->effectRect;
    if (s.regionPurpose == kRegionZoom)
        s.zoomRegionOn = true;
    else if (s.regionPurpose == kRegionEffect)
        s.effectRegionOn = true;
}

bool ZoomRegionPressed(const PictureSettings& s)
{
    return s.regionPurpose == kRegionZoom;
}

bool EffectRegionPressed(const PictureSettings& s)
{
    return s.regionPurpose == kRegionEffect;
}

std::optional<cv::Rect> ZoomInForce(const PictureSettings& s)
{
    if (s.zoomRegionOn && !s.zoomRect.empty())
        return s.zoomRect;
    return std::nullopt;
}

void StartFlowAuto(PictureSettings& s, FlowState& flow, bool running, const cv::Scalar& flowColour)
{
    if (!running)
        return;
    flow.SetColour(flowColour);
    flow.RequestDetection();
    s.flowOn = true;
}

void ToggleFlowManual(PictureSettings& s, FlowState& flow, bool running, const cv::Scalar& flowColour)
{
    if (!running)
        return;
    flow.SetColour(flowColour);
    s.flowOn = true;
    s.flowManualAdd = !s.flowManualAdd;
}

void ToggleFlowNight(const PictureSettings& s, FlowState& flow)
{
    if (s.flowOn)
        flow.SetNight(!flow.Night());
}

void ExitFlow(PictureSettings& s, FlowState& flow)
{
    if (!s.flowOn)
        return;
    flow.Reset();
    s.flowOn = false;
    s.flowManualAdd = false;
}

bool FlowAutoPressed(const PictureSettings& s)
{
    return s.flowOn;
}

bool FlowManualPressed(const PictureSettings& s)
{
    return s.flowManualAdd;
}

bool FlowNightPressed(const FlowState& flow)
{
    return flow.Night();
}

void ToggleMousePaint(PictureSettings& s, const cv::Scalar& paintColour)
{
    if (s.mouseMode == kMouseDoodle) {
        EndMouseMode(s, kMouseDoodle);
        return;
    }
    s.mouseMode = kMouseDoodle;
    s.paintColour = paintColour;
    s.doodleShown = true;
}

void SetPaintColour(PictureSettings& s, const cv::Scalar& paintColour)
{
    s.paintColour = paintColour;
}

namespace {
constexpr std::array<int, kPenWidthCount> kPenWidths { 1, 3, 5, 8, 10, 13, 16, 20 };
}

int PenWidthPixels(int galleryIndex)
{
    if (galleryIndex < 0 || galleryIndex >= kPenWidthCount)
        return 0;
    return kPenWidths[static_cast<std::size_t>(galleryIndex)];
}

int PenGalleryIndex(int penWidth)
{
    const auto it = std::find(kPenWidths.begin(), kPenWidths.end(), penWidth);
    return it == kPenWidths.end() ? -1 : static_cast<int>(it - kPenWidths.begin());
}

void SelectPenWidth(PictureSettings& s, int galleryIndex)
{
    if (const int width = PenWidthPixels(galleryIndex); width > 0)
        s.penWidth = width;
}

void TogglePaintShown(PictureSettings& s)
{
    s.doodleShown = !s.doodleShown;
}

void ClearPaint(PictureSettings& s, DoodleLayer& doodle, cv::Size pictureSize)
{
    // The ink goes, the pen stays in the hand: while painting, the cleared layer stays shown for
    // the next strokes. The clear is one step of the undo, so a clear by mistake is taken back.
    doodle.Wipe(pictureSize);
    s.doodleShown = s.mouseMode == kMouseDoodle;
}

bool UndoPaint(PictureSettings& s, DoodleLayer& doodle)
{
    if (!doodle.Undo())
        return false;
    // What came back is shown, also the drawing a clear had hidden.
    s.doodleShown = true;
    return true;
}

bool MousePaintPressed(const PictureSettings& s)
{
    return s.mouseMode == kMouseDoodle;
}

bool TogglePhotoClick(PictureSettings& s)
{
    if (s.mouseMode == kMousePhoto)
        EndMouseMode(s, kMousePhoto);
    else
        s.mouseMode = kMousePhoto;
    return s.mouseMode == kMousePhoto;
}

void ToggleDragAddOns(PictureSettings& s)
{
    s.mouseMode = s.mouseMode == kMouseDragAddOns ? kMouseNothing : kMouseDragAddOns;
}

bool PhotoClickPressed(const PictureSettings& s)
{
    return s.mouseMode == kMousePhoto;
}

bool DragAddOnsPressed(const PictureSettings& s)
{
    return s.mouseMode == kMouseDragAddOns;
}

void OnCameraStopped(PictureSettings& s)
{
    s.doodleShown = false;
}

void ToggleBackdropReplace(PictureSettings& s)
{
    s.backdrop.look = s.backdrop.look == BackdropLook::Replace ? BackdropLook::Off : BackdropLook::Replace;
}

void ToggleBackdropBlur(PictureSettings& s)
{
    s.backdrop.look = s.backdrop.look == BackdropLook::Blur ? BackdropLook::Off : BackdropLook::Blur;
}

void UseClothColour(PictureSettings& s, const cv::Scalar& colour)
{
    s.backdrop.keyed = true;
    s.backdrop.keyColour = colour;
    if (s.backdrop.look == BackdropLook::Off)
        s.backdrop.look = BackdropLook::Replace;
    EndMouseMode(s, kMousePickKey);
}

void ToggleClothKey(PictureSettings& s)
{
    if (s.backdrop.keyed) {
        s.backdrop.keyed = false;
        return;
    }
    UseClothColour(s, s.backdrop.keyColour);
}

void ArmClothPick(PictureSettings& s)
{
    if (s.mouseMode == kMousePickKey)
        EndMouseMode(s, kMousePickKey);
    else
        s.mouseMode = kMousePickKey;
}

bool ClothPickArmed(const PictureSettings& s)
{
    return s.mouseMode == kMousePickKey;
}

bool ClothPressed(const PictureSettings& s, const cv::Scalar& colour)
{
    return s.backdrop.keyed && s.backdrop.keyColour == colour;
}

bool BackdropNeedsRoom(const PictureSettings& s, bool roomReady)
{
    return s.backdrop.look != BackdropLook::Off && !s.backdrop.keyed && !roomReady;
}
