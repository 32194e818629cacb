#include "pipeline/compose/OverlayStore.h"

#include "pipeline/compose/Overlays.h"

#include <QPainter>

#include <algorithm>

namespace {
// Callers pause an animation before stopping it; the destructor then ends its thread.
void PauseAndRelease(std::unique_ptr<ImageEx> image)
{
    if (image) {
        image->Pause();
        image->Stop();
    }
}

void PauseAndRelease(std::vector<AddOnRecord> records)
{
    AddOnCollection::Release(std::move(records));
}
} // namespace

OverlayStore::OverlayStore(const QString& logoPath, AddOnCollection::Generator generator)
    : addOns_(std::move(generator))
    , logo_(logoPath)
{
}

OverlayStore::~OverlayStore()
{
    ReleaseAll();
}

void OverlayStore::DrawOverlays(QImage& picture, const std::vector<std::uint64_t>& beneath)
{
    QImage logo;
    if (logoShown_)
        logo = logo_.Current();
    std::scoped_lock lock(decorationsLock_);
    OverlayLayers layers;
    layers.logo = logo.isNull() ? nullptr : &logo;
    layers.frame = frameShown_ ? &frame_ : nullptr;
    layers.addOns = addOns_.shown() ? &addOns_ : nullptr;
    layers.addOnsLeftOut = beneath;
    ::DrawOverlays(picture, layers);
}

std::vector<std::uint64_t> OverlayStore::DrawFaceStickersInto(cv::Mat& frame)
{
    std::vector<std::uint64_t> drawn;
    if (!followFaces_ || frame.empty() || frame.type() != CV_8UC3)
        return drawn;
    std::scoped_lock lock(decorationsLock_);
    if (!followFaces_ || onFaces_.empty() || !addOns_.shown())
        return drawn;
    // The frame's own pixels, painted in place.
    QImage target(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step), QImage::Format_BGR888);
    QPainter painter(&target);
    auto draw = [&](const AddOnRecord& record) {
        if (record.moving || std::find(onFaces_.begin(), onFaces_.end(), record.serial) == onFaces_.end())
            return;
        record.Draw(painter);
        drawn.push_back(record.serial);
    };
    // The order the overlays draw them in, so that overlapping stickers stack the same.
    for (const AddOnRecord& record : addOns_.animated())
        draw(record);
    for (const AddOnRecord& record : addOns_.still())
        draw(record);
    return drawn;
}

void OverlayStore::SetFrameImage(const QString& path, int kind)
{
    if (kind == static_cast<int>(DecorationKind::Png)) {
        QImage png = FrameOverlay::LoadStill(path);
        std::scoped_lock lock(decorationsLock_);
        frame_.ReplaceStill(std::move(png));
    } else if (kind == static_cast<int>(DecorationKind::Gif)) {
        std::unique_ptr<ImageEx> gif = FrameOverlay::LoadAnimated(path);
        std::unique_ptr<ImageEx> old;
        {
            std::scoped_lock lock(decorationsLock_);
            old = frame_.ReplaceAnimated(std::move(gif));
        }
        PauseAndRelease(std::move(old));
    }
}

AddOnOutcome OverlayStore::AddAddOn(const QString& path, int kind, int areaWidth, int areaHeight)
{
    if (!IsDecorationKind(kind))
        return AddOnOutcome::UnknownKind;
    const auto decorationKind = static_cast<DecorationKind>(kind);
    const QSize area(areaWidth, areaHeight);
    std::shared_ptr<ImageEx> playing;
    {
        std::scoped_lock lock(decorationsLock_);
        playing = addOns_.PlayingAnimation(path, area);
    }
    AddOnRecord::Loaded loaded = AddOnRecord::Load(path, decorationKind, area, std::move(playing));
    if (loaded.outcome == AddOnOutcome::TooLarge)
        return loaded.outcome;
    std::scoped_lock lock(decorationsLock_);
    addOns_.areaWidth = areaWidth;
    addOns_.areaHeight = areaHeight;
    const std::uint64_t serial = addOns_.Insert(std::move(loaded.record), decorationKind);
    if (followFaces_)
        Anchor(serial);
    return loaded.outcome;
}

void OverlayStore::ClearAddOns()
{
    std::vector<AddOnRecord> removed;
    {
        std::scoped_lock lock(decorationsLock_);
        removed = addOns_.TakeAll();
        anchors_.Clear();
    }
    PauseAndRelease(std::move(removed));
}

bool OverlayStore::RemoveAddOn()
{
    std::vector<AddOnRecord> removed;
    {
        std::scoped_lock lock(decorationsLock_);
        const std::uint64_t serial = addOns_.removable();
        if (serial == 0)
            return false;
        removed = addOns_.Take(serial);
        anchors_.Detach(serial);
    }
    PauseAndRelease(std::move(removed));
    return true;
}

bool OverlayStore::RemoveFrame()
{
    std::unique_ptr<ImageEx> old;
    {
        std::scoped_lock lock(decorationsLock_);
        if (!frame_.frameKind())
            return false;
        old = frame_.Clear();
    }
    PauseAndRelease(std::move(old));
    return true;
}

bool OverlayStore::ToggleLogoShown()
{
    // Only the interface thread writes the flags; the presenter reads them whole.
    const bool shown = !logoShown_.load();
    logoShown_.store(shown);
    return shown;
}

bool OverlayStore::ToggleFrameShown()
{
    std::scoped_lock lock(decorationsLock_);
    const bool shown = !frameShown_.load();
    frameShown_.store(shown);
    if (ImageEx* gif = frame_.frameGif()) {
        if (shown)
            gif->Resume();
        else
            gif->Pause();
    }
    return shown;
}

bool OverlayStore::ToggleAddOnsShown()
{
    std::scoped_lock lock(decorationsLock_);
    addOns_.ToggleAddOnsShown();
    return addOns_.shown();
}

bool OverlayStore::addOnsShown() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.shown();
}

void OverlayStore::ResumeFrameAnimation()
{
    std::scoped_lock lock(decorationsLock_);
    if (ImageEx* gif = frame_.frameGif())
        gif->Resume();
}

void OverlayStore::ReleaseAll()
{
    std::vector<AddOnRecord> removed;
    std::unique_ptr<ImageEx> gif;
    {
        std::scoped_lock lock(decorationsLock_);
        removed = addOns_.TakeAll();
        anchors_.Clear();
        gif = frame_.Clear();
    }
    PauseAndRelease(std::move(removed));
    PauseAndRelease(std::move(gif));
}

bool OverlayStore::PointerMove(int px, int py)
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.PointerMove(px, py);
}

void OverlayStore::PointerDown()
{
    std::scoped_lock lock(decorationsLock_);
    addOns_.PointerDown();
}

void OverlayStore::PointerUp()
{
    std::scoped_lock lock(decorationsLock_);
    const std::uint64_t moved = addOns_.PointerUp();
    if (moved != 0 && followFaces_)
        Anchor(moved);
}

void OverlayStore::Anchor(std::uint64_t serial)
{
    if (const AddOnRecord* record = addOns_.Find(serial)) {
        const AddOnBounds& b = record->bounds;
        const cv::Rect2d shown(b.left, b.top, b.right - b.left, b.bottom - b.top);
        anchors_.Drop(serial, view_.ToCamera(shown), faces_);
    }
}

bool OverlayStore::ToggleFollowFaces()
{
    std::scoped_lock lock(decorationsLock_);
    const bool on = !followFaces_.load();
    followFaces_.store(on);
    anchors_.Clear();
    faces_.clear();
    onFaces_.clear();
    return on;
}

void OverlayStore::FollowFaces(const std::vector<TrackedFace>& cameraFaces, const FaceView& view)
{
    if (!followFaces_)
        return;
    std::scoped_lock lock(decorationsLock_);
    // Checked again under the lock: the command may have just been turned off.
    if (!followFaces_)
        return;
    faces_ = cameraFaces;
    view_ = view;
    onFaces_.clear();
    if (anchors_.empty())
        return;
    for (const FaceAnchors::Placement& p : anchors_.Follow(cameraFaces)) {
        onFaces_.push_back(p.sticker);
        // Rounded only once it is in the picture: a zoom would magnify the camera's rounding.
        const cv::Rect r = FaceAnchors::WholePixels(view.ToPicture(p.exact));
        addOns_.PlaceAt(p.sticker, { r.x, r.y, r.x + r.width, r.y + r.height });
    }
}

FaceView OverlayStore::faceView() const
{
    std::scoped_lock lock(decorationsLock_);
    return view_;
}

bool OverlayStore::followsFace(std::uint64_t serial) const
{
    std::scoped_lock lock(decorationsLock_);
    return anchors_.attached(serial);
}

bool OverlayStore::dragging() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.dragging();
}

int OverlayStore::hoveredIndex() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.hoveredIndex();
}

std::optional<DecorationKind> OverlayStore::frameKind() const
{
    std::scoped_lock lock(decorationsLock_);
    return frame_.frameKind();
}
