#pragma once

#include "pipeline/capture/FrameSource.h"

#include <functional>

// What the first-run measurement of the camera found.
struct CameraProbeResult {
    enum Outcome {
        NoCamera,  // nothing opened, or it delivered no picture and reported no size
        Stored,    // size measured and written for the next start
        NotStored, // size measured, but the settings could not be written
    };
    Outcome outcome = NoCamera;
    int width = 0;
    int height = 0;
};

// Writes the measured size and the detected mark; true when it was written.
using CameraProbeStore = std::function<bool(int width, int height)>;

// Opens a source, takes one picture, reads its size and hands it to store. The size the source
// reports is used; where it reports none, the picture's own size. The source is released before
// the function returns, whatever happened.
CameraProbeResult ProbeCamera(const FrameSourceFactory& sources, const CameraProbeStore& store);
