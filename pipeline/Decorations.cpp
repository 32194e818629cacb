#include "pipeline/Decorations.h"

#include "pipeline/Overlays.h"

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
    for (AddOnRecord& record : records)
        PauseAndRelease(std::move(record.animation));
}
} // namespace

Decorations::Decorations(const QString& logoPath, AddOnCollection::Generator generator)
    : addOns_(std::move(generator))
    , logo_(logoPath)
{
}

Decorations::~Decorations()
{
    ReleaseAll();
}

void Decorations::DrawOverlays(QImage& picture)
{
    QImage logo;
    if (logoShown_) {
        std::scoped_lock lock(logoLock_);
        logo = logo_.Current();
    }
    std::scoped_lock lock(decorationsLock_);
    OverlayLayers layers;
    layers.logo = logo.isNull() ? nullptr : &logo;
    layers.frame = frameShown_ ? &frame_ : nullptr;
    layers.addOns = addOns_.shown() ? &addOns_ : nullptr;
    ::DrawOverlays(picture, layers);
}

void Decorations::SetFrameImage(const QString& path, int kind)
{
    if (kind == FrameOverlay::Still) {
        QImage png = FrameOverlay::LoadStill(path);
        std::scoped_lock lock(decorationsLock_);
        frame_.ReplaceStill(std::move(png));
    } else if (kind == FrameOverlay::Animated) {
        std::unique_ptr<ImageEx> gif = FrameOverlay::LoadAnimated(path);
        std::unique_ptr<ImageEx> old;
        {
            std::scoped_lock lock(decorationsLock_);
            old = frame_.ReplaceAnimated(std::move(gif));
        }
        PauseAndRelease(std::move(old));
    }
}

bool Decorations::AddAddOn(const QString& path, int kind, int areaWidth, int areaHeight)
{
    if (!IsDecorationKind(kind))
        return false;
    const auto decorationKind = static_cast<DecorationKind>(kind);
    AddOnRecord record = AddOnRecord::Load(path, decorationKind);
    std::scoped_lock lock(decorationsLock_);
    addOns_.areaWidth = areaWidth;
    addOns_.areaHeight = areaHeight;
    addOns_.Insert(std::move(record), decorationKind);
    return true;
}

void Decorations::ClearAddOns()
{
    std::vector<AddOnRecord> removed;
    {
        std::scoped_lock lock(decorationsLock_);
        removed = addOns_.TakeAll();
    }
    PauseAndRelease(std::move(removed));
}

bool Decorations::ToggleLogoShown()
{
    // Only the interface thread writes the flags; the worker reads them whole.
    const bool shown = !logoShown_.load();
    logoShown_.store(shown);
    return shown;
}

bool Decorations::ToggleFrameShown()
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

bool Decorations::ToggleAddOnsShown()
{
    std::scoped_lock lock(decorationsLock_);
    addOns_.ToggleAddOnsShown();
    return addOns_.shown();
}

bool Decorations::addOnsShown() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.shown();
}

void Decorations::ResumeFrameAnimation()
{
    std::scoped_lock lock(decorationsLock_);
    if (ImageEx* gif = frame_.frameGif())
        gif->Resume();
}

void Decorations::ReleaseAll()
{
    std::vector<AddOnRecord> removed;
    std::unique_ptr<ImageEx> gif;
    {
        std::scoped_lock lock(decorationsLock_);
        removed = addOns_.TakeAll();
        gif = frame_.Clear();
    }
    PauseAndRelease(std::move(removed));
    PauseAndRelease(std::move(gif));
}

bool Decorations::PointerMove(int px, int py)
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.PointerMove(px, py);
}

void Decorations::PointerDown()
{
    std::scoped_lock lock(decorationsLock_);
    addOns_.PointerDown();
}

void Decorations::PointerUp()
{
    std::scoped_lock lock(decorationsLock_);
    addOns_.PointerUp();
}

bool Decorations::dragging() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.dragging();
}

int Decorations::hoveredIndex() const
{
    std::scoped_lock lock(decorationsLock_);
    return addOns_.hoveredIndex();
}

int Decorations::frameKind() const
{
    std::scoped_lock lock(decorationsLock_);
    return frame_.frameKind();
}

void Decorations::SetLogoPath(const QString& path)
{
    std::scoped_lock lock(logoLock_);
    logo_.SetPath(path);
}
