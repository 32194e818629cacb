#pragma once

#include "pipeline/BackdropControl.h"
#include "pipeline/FunPreviewShow.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/faces/FaceTracker.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/compose/OverlayStore.h"
#include "pipeline/record/PhotoCapture.h"
#include "pipeline/record/GifRecorder.h"
#include "pipeline/stages/PictureSettings.h"
#include "pipeline/record/ShotTap.h"
#include "pipeline/record/VideoRecorder.h"

#include <QString>

#include <optional>

// What the picture is made of besides the camera: the mode fields the commands change, the
// flow play, the doodle, the decorations, the photo request and the recordings. Commands change it on the
// interface thread; the frame loop reads it on its worker. Each member guards itself, as noted.
class PictureModel {
public:
    // The logo is read from systemDir, photos go to photoDir; onPhoto is called after each photo
    // attempt (on the photo thread, or on the worker for a request that found no frame) and must
    // not wait for the interface thread; so must onVideo and onGif, called on the recorders'
    // threads with each recording's outcome.
    PictureModel(const QString& systemDir, const QString& photoDir, PhotoCapture::Notify onPhoto = {},
        VideoRecorder::Notify onVideo = {}, GifRecorder::Notify onGif = {});
    PictureModel(const PictureModel&) = delete;
    PictureModel& operator=(const PictureModel&) = delete;

    // Interface thread changes, worker copies once per frame; one mutex inside.
    PictureSettingsStore settings;
    // Interface thread posts requests into an inbox under a mutex; the worker owns the tracking.
    FlowState flow;
    // Interface thread draws and clears, worker overlays; one mutex inside.
    DoodleLayer doodle;
    // Interface thread replaces and drags, presenter composes; one lock inside.
    OverlayStore overlays;
    // Any thread requests (an atomic flag), the presenter queues, the photo thread writes.
    PhotoCapture photos;
    // Interface thread arms, the presenter hands out the picture of the next photo.
    ShotTap shots;
    // Interface thread arms, the presenter hands out the next composed picture (for the clipboard).
    ShotTap copies;
    // Interface thread starts and stops, the presenter offers every composed picture.
    VideoRecorder video;
    GifRecorder gif;
    // Whether a recorder wants the composed pictures now (presenter thread).
    bool recordingWanted() const { return video.recording() || gif.collecting(); }

    // The backdrop picture, the learning of the room and colour picks: interface thread and
    // worker, each part guarded inside.
    BackdropControl backdrop;

    // The preview grid of the fun effects: the interface thread shows it, the worker renders it.
    FunPreviewShow funPreview;

    // Faces for the stickers that follow them and the fun effects that do; detects on its own thread, idle until offered a
    // picture.
    FaceTracker faces;

    // Interface thread: the face-sticker command. Returns whether stickers now follow faces.
    bool ToggleFaceStickers();
    bool faceStickers() const { return overlays.followFaces(); }
    // Worker, once per frame, on the camera frame as it came (upright, before zoom and flip, so
    // the detector sees faces the right way up whatever the flip): while face stickers are on or
    // forFunEffect, offers it for detection; moves the attached add-ons (while stickers are on)
    // onto the faces tracked at `seconds` (steady clock), shown in the picture through view.
    // Returns the face a fun effect follows (picture pixels), when forFunEffect and one is tracked.
    std::optional<FunFace> FollowFaces(const cv::Mat& camera, const FaceView& view, bool forFunEffect = false,
        double seconds = FaceTracker::Now());
    // The tracked faces at `seconds` where the last picture shows them (any thread).
    std::vector<TrackedFace> ShownFaces(double seconds) const;

    // The camera stopped (interface thread): the doodle is hidden and an animated frame plays
    // again.
    void OnCameraStopped();
};
