#include "decorations/Photostrip.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

struct GradientStops {
    QRgb main;        // at 0.8, opaque
    QRgb other;
    double otherAt;
    double otherAlpha;
};

GradientStops StopsFor(StripPlacement placement)
{
    switch (placement) {
    case StripPlacement::Top: return {0xEE82EE, 0xFF00FF, 0.4, 0.5};    // Violet, Magenta
    case StripPlacement::Middle: return {0x87CEFA, 0x00BFFF, 0.4, 0.7}; // LightSkyBlue, DeepSkyBlue
    case StripPlacement::Bottom: break;
    }
    return {0xE6E6FA, 0x7B68EE, 0.2, 0.5}; // Lavender, MediumSlateBlue
}

} // namespace

Photostrip::Photostrip(QWidget* parent, int width, int height, int top, StripPlacement placement,
                       StripContent content, int32_t kind)
    : QWidget(parent), InertiaObj(static_cast<PhotoHost&>(*this), 0), content_(content),
      placement_(placement), kind_(kind), width_(width), height_(height), top_(top)
{
    setObjectName(QStringLiteral("Photostrip"));
    setGeometry(left_, top_, width_, height_);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Input reaches the strip only through the pane's overlay.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    clock_.start();
}

Photostrip::~Photostrip()
{
    ClearStrip();
    retired_.clear();
    for (auto& [id, timer] : timers_)
        timer->stop();
}

void Photostrip::Place(int width, int height, int top)
{
    width_ = width;
    height_ = height;
    top_ = top;
    setGeometry(left_, top_, width_, height_);
    update();
}

bool Photostrip::HitTest(float x, float y)
{
    return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
}

void Photostrip::OnContact(const ContactRecord& contact)
{
    ReleaseRetired();
    Feed(contact);
    ContactRecord local = contact;
    local.x -= left_;
    local.y -= top_;
    if (contact.flags & ContactDown)
        thumbnailTargets_.HitTest(contact.identifier, static_cast<float>(local.x),
                                  static_cast<float>(local.y));
    if (ITouchTarget* thumbnail = thumbnailTargets_.Find(contact.identifier))
        thumbnail->OnContact(local);
    if (contact.flags & ContactUp)
        thumbnailTargets_.Erase(contact.identifier);
    update();
}

float Photostrip::ThumbnailsExtent() const
{
    float total = 0.0f;
    for (const auto& photo : thumbnails_)
        total += photo->width() + kThumbnailGap;
    return std::max(total - kThumbnailGap, 0.0f);
}

void Photostrip::ManipulationDelta(float dx, float)
{
    // The row may move right by at most 0.3 of the strip, and left until its end is at 0.7 of
    // the strip; a short row ends at that second limit.
    const float w = static_cast<float>(width_);
    float candidate = scrollOffset_ + dx;
    if (candidate > 0.3f * w)
        candidate = 0.3f * w;
    if (candidate < 0.7f * w - ThumbnailsExtent())
        candidate = 0.7f * w - ThumbnailsExtent();
    const float applied = candidate - scrollOffset_;
    scrollOffset_ += applied;
    for (const auto& photo : thumbnails_)
        photo->Translate(applied, 0.0f);
}

void Photostrip::Tick(int64_t nowMs)
{
    ReleaseRetired();
    // Index loop: a pick during a tick may not change the list, but stay safe if it does.
    for (size_t i = 0; i < thumbnails_.size(); ++i)
        thumbnails_[i]->TimerTick(nowMs);
    TimerTick(nowMs);
    update();
}

void Photostrip::StartTimer(int timerId)
{
    QTimer*& timer = timers_[timerId];
    if (!timer) {
        timer = new QTimer(this);
        timer->setInterval(kTimerIntervalMs);
        connect(timer, &QTimer::timeout, this, [this] { Tick(clock_.elapsed()); });
    }
    timer->start();
}

void Photostrip::KillTimer(int timerId)
{
    auto it = timers_.find(timerId);
    if (it != timers_.end())
        it->second->stop();
}

bool Photostrip::TimerActive(int timerId) const
{
    auto it = timers_.find(timerId);
    return it != timers_.end() && it->second->isActive();
}

void Photostrip::ClearStrip()
{
    for (auto& photo : thumbnails_) {
        KillTimer(photo->timerId());
        thumbnailTargets_.Remove(photo.get());
        thumbnailTargets_.RemoveContactsOf(photo.get());
        retired_.push_back(std::move(photo));
    }
    thumbnails_.clear();
}

void Photostrip::ReleaseRetired()
{
    retired_.clear();
}

void Photostrip::AppendThumbnail(std::unique_ptr<ConstrainedPhoto> photo)
{
    thumbnailTargets_.Add(photo.get());
    thumbnails_.push_back(std::move(photo));
}

void Photostrip::ThumbnailLeftBounds(Photo& photo, bool duringInertia)
{
    // A thumbnail that inertia carries across the line is not picked.
    if (!duringInertia)
        Pick(photo);
}

void Photostrip::Pick(Photo& photo)
{
    // End the thumbnail's drag as if the finger had been lifted; the finger goes on scrolling
    // the strip only.
    ContactRecord release = photo.lastContact();
    thumbnailTargets_.Erase(release.identifier);
    release.flags = (release.flags | ContactUp) & ~(ContactDown | ContactMove);
    photo.OnContact(release);

    if (content_ == StripContent::Frames || content_ == StripContent::AddOns) {
        const QString path = photo.path(); // the handler may reload the strip
        emit thumbnailPicked(path, kind_);
    }
}

void Photostrip::Paint(QPainter& painter) const
{
    painter.fillRect(QRect(0, 0, width_, height_), Qt::black);
    const GradientStops stops = StopsFor(placement_);
    QLinearGradient gradient(width_ / 2.0, 0.0, width_ / 2.0, height_);
    QColor main = QColor::fromRgb(stops.main);
    QColor other = QColor::fromRgb(stops.other);
    other.setAlphaF(static_cast<float>(stops.otherAlpha));
    gradient.setColorAt(0.8, main);
    gradient.setColorAt(stops.otherAt, other);
    gradient.setSpread(QGradient::PadSpread);
    painter.fillRect(QRect(0, 0, width_, height_), gradient);

    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const auto& photo : thumbnails_) {
        if (!(left_ < photo->x() + photo->width() && left_ + width_ > photo->x()))
            continue;
        painter.setTransform(QTransform::fromTranslate(photo->x(), photo->y()));
        painter.drawImage(QPointF(0.0, 0.0), photo->bitmap());
        painter.resetTransform();
    }
}

void Photostrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}
