#pragma once

#include "pipeline/stages/BackdropStage.h"
#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/FunEffect.h"

#include <opencv2/core.hpp>

#include <mutex>

// What the left mouse button does on the picture.
enum MouseMode : int {
    kMouseDragAddOns = 0,
    kMouseDoodle = 1,
    kMousePhoto = 2,
    kMouseSelectRegion = 3,
    kMouseNothing = 4,
    kMousePickKey = 5, // the next click takes the cloth's colour
};

// What a selected region is for.
enum RegionPurpose : int {
    kRegionZoom = 0,
    kRegionEffect = 1,
    kRegionNone = 2,
};

// The picture's mode fields that the ribbon commands change, with their start values. A plain
// value: the worker works on a copy taken once per frame (PictureSettingsStore::Snapshot).
struct PictureSettings {
    EffectStyle effectStyle = kEffectNone;
    FunEffect funEffect = kFunNone; // after the style, on the whole picture
    FlipMode flipMode = kFlipMirror;
    ColourModel colourModel = kColourRgb;
    bool channelsDefault = true; // the colour adjustment is skipped
    ChannelSliders sliders;      // channelIndex 0, 1, 2; brightness and contrast 100 each

    bool flowOn = false;
    bool flowManualAdd = false;

    bool regionArmed = false;
    RegionPurpose regionPurpose = kRegionNone;
    cv::Rect zoomRect;
    cv::Rect effectRect;
    bool zoomRegionOn = false;
    bool effectRegionOn = false;

    MouseMode mouseMode = kMouseDragAddOns;
    int penWidth = 1;
    cv::Scalar paintColour { 255, 255, 0, 0 }; // blue, green, red
    bool doodleShown = false;

    BackdropSettings backdrop;
};

// The settings shared by the interface thread, which changes them, and the worker, which copies
// them once per frame. One mutex keeps a frame from seeing half of a change that touches several
// fields (a region and its flag, the model and channelsDefault).
class PictureSettingsStore {
public:
    PictureSettings Snapshot() const
    {
        std::scoped_lock lock(mutex_);
        return settings_;
    }

    // Runs f(PictureSettings&) under the lock and returns its result. f must not call back into
    // the store.
    template <class F>
    decltype(auto) Change(F&& f)
    {
        std::scoped_lock lock(mutex_);
        return f(settings_);
    }

private:
    mutable std::mutex mutex_;
    PictureSettings settings_;
};
