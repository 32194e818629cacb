#pragma once

#include "decorations/AddOnCollection.h"
#include "pipeline/faces/FaceAnchors.h"
#include "pipeline/faces/FaceView.h"
#include "pipeline/compose/FrameOverlay.h"
#include "pipeline/compose/LogoCache.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <mutex>
#include <vector>

// Everything laid over the picture (logo, big frame, add-ons) behind one lock. The frame loop's
// presenter thread composes under the lock, and its worker moves face-bound add-ons under it; every
// change from the interface thread takes it too, so a frame is never replaced or an add-on released
// while it is being drawn. Files are decoded and animations stopped outside the lock, so the
// presenter waits at most for a pointer swap, and the lock is never held while waiting for
// anything else.
class OverlayStore {
public:
    // logoPath is the logo file ("loogo.png" in the system folder); generator draws the add-on
    // placements (one seeded from the current time by default).
    explicit OverlayStore(const QString& logoPath, AddOnCollection::Generator generator = {});
    ~OverlayStore();
    OverlayStore(const OverlayStore&) = delete;
    OverlayStore& operator=(const OverlayStore&) = delete;

    // Presenter thread: composes logo, big frame and add-ons onto the picture, leaving out the
    // add-ons whose serials are in beneath (the picture has them already).
    void DrawOverlays(QImage& picture, const std::vector<std::uint64_t>& beneath = {});
    // Worker: draws the add-ons on the faces of the latest FollowFaces into the frame (BGR, picture pixels), so that
    // an effect that moves the picture moves them with their faces; one being dragged stays on
    // top, where the pointer has it. Returns the serials drawn, for DrawOverlays to leave out.
    std::vector<std::uint64_t> DrawFaceStickersInto(cv::Mat& frame);

    // Interface thread. Changes of the big frame and the add-ons.
    void SetFrameImage(const QString& path, int kind); // 0 GIF, 1 PNG, others ignored
    // Places one add-on inside areaWidth × areaHeight, no larger than that area; copies of one
    // animated file share its frames. Says what became of the file (AddOnOutcome).
    AddOnOutcome AddAddOn(const QString& path, int kind, int areaWidth, int areaHeight);
    void ClearAddOns();
    // One add-on off the picture: the one under the pointer, else the one last grabbed. Returns
    // whether there was one.
    bool RemoveAddOn();
    // The big frame off the picture (not only hidden); false when there was none.
    bool RemoveFrame();

    // Interface thread. Show flags; the toggles return the new state.
    bool ToggleLogoShown();
    bool ToggleFrameShown(); // pauses the animated frame when hidden, resumes it when shown
    bool ToggleAddOnsShown(); // pauses or resumes every animated add-on
    bool logoShown() const { return logoShown_; }
    bool frameShown() const { return frameShown_; }
    bool addOnsShown() const;

    // Interface thread: the camera stopped, the animated frame plays again.
    void ResumeFrameAnimation();
    // Interface thread: window destruction; the animations are paused and everything released.
    void ReleaseAll();

    // Interface thread: add-on hover and drag in mouse mode 0, (px, py) in picture pixels.
    // PointerMove returns whether the hand cursor should show. While add-ons follow faces, the
    // end of a drag attaches the add-on to the face it was let go on, or detaches it.
    bool PointerMove(int px, int py);
    void PointerDown();
    void PointerUp();

    // Interface thread: stickers that follow faces. While on, an add-on placed or let go with its
    // centre on a face follows that face. Turning it off leaves every add-on where it is, free.
    bool ToggleFollowFaces(); // returns the new state
    bool followFaces() const { return followFaces_; }
    // Worker, once per frame before DrawOverlays, with the faces tracked on the camera frame and
    // how that frame is shown in this picture: moves the attached add-ons onto their faces.
    // Stickers keep their place on the face itself, so a flip takes them along with it (glasses
    // stay on the eyes of a face turned upside down), and a zoomed face gets them at its zoomed
    // size. Nothing happens while following is off.
    void FollowFaces(const std::vector<TrackedFace>& cameraFaces, const FaceView& view = {});
    // The way the last followed frame was shown (any thread): where its faces are in the picture.
    FaceView faceView() const;
    // Whether the add-on with this serial follows a face.
    bool followsFace(std::uint64_t serial) const;
    bool dragging() const;
    int hoveredIndex() const;

    std::optional<DecorationKind> frameKind() const;

    // Run f with the lock held on the add-on collection or the big frame (read-only inspection).
    template <typename F>
    auto WithAddOns(F&& f) const
    {
        std::scoped_lock lock(decorationsLock_);
        return f(addOns_);
    }
    template <typename F>
    auto WithFrame(F&& f) const
    {
        std::scoped_lock lock(decorationsLock_);
        return f(frame_);
    }

private:
    // Attaches the add-on to the face under its centre, or detaches it; lock held.
    void Anchor(std::uint64_t serial);

    mutable std::mutex decorationsLock_;
    AddOnCollection addOns_;
    FrameOverlay frame_;
    std::atomic<bool> logoShown_{true};
    std::atomic<bool> frameShown_{true};
    std::atomic<bool> followFaces_{false};
    FaceAnchors anchors_;             // under decorationsLock_
    std::vector<TrackedFace> faces_;  // the latest frame's faces on the camera frame, under decorationsLock_
    std::vector<std::uint64_t> onFaces_; // the stickers placed on a face present in the latest frame, likewise
    FaceView view_;                   // how that frame was shown, under decorationsLock_

    LogoCache logo_; // presenter only
};
