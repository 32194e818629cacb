#include "decorations/Photostrip.h"

#include "decorations/FolderScan.h"
#include "decorations/GifBadge.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <unordered_set>

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
    RequestInView();
    update();
}

bool Photostrip::HitTest(float x, float y)
{
    return x >= left_ && x < left_ + width_ && y >= top_ && y < top_ + height_;
}

QString Photostrip::PathAt(float x, float y) const
{
    if (x < left_ || x >= left_ + width_ || y < top_ || y >= top_ + height_)
        return {};
    for (const auto& photo : thumbnails_)
        if (photo->HitTest(x - static_cast<float>(left_), y - static_cast<float>(top_)))
            return photo->path();
    return {};
}

void Photostrip::TrackTap(const ContactRecord& contact)
{
    if (contact.flags & ContactDown) {
        // A release always starts a continuation, if only of no speed: only a row that still
        // has some way to go is gliding.
        const bool gliding = inertiaRunning_ && std::fabs(InertiaRemainingX()) > kTapSlop;
        tap_ = Tap{contact.identifier, contact.x, contact.y, false, gliding};
        return;
    }
    if (!tap_ || tap_->identifier != contact.identifier)
        return;
    if (std::abs(contact.x - tap_->x) > kTapSlop || std::abs(contact.y - tap_->y) > kTapSlop)
        tap_->moved = true;
    if (!(contact.flags & ContactUp))
        return;
    const Tap ended = *tap_;
    tap_.reset();
    // A drag is no tap, and neither is the press that stops a gliding row: a row is stopped to
    // look at it, not to take what happens to be under the finger.
    if (ended.moved || ended.stoppedRow)
        return;
    const QString path = PathAt(static_cast<float>(ended.x), static_cast<float>(ended.y));
    if (!path.isEmpty())
        Tapped(path, contact);
}

void Photostrip::Tapped(const QString& path, const ContactRecord& contact)
{
    const bool again = path == lastClickPath_
        && contact.time - lastClickTime_ <= static_cast<uint32_t>(QApplication::doubleClickInterval());
    lastClickPath_ = path;
    lastClickTime_ = contact.time;
    if (content_ == StripContent::Photos) {
        // A finger's tap opens at once; the mouse needs a double-click, so that a click that
        // stops a scrolling row opens nothing.
        const bool mouse = contact.identifier == 0;
        if (mouse && !again)
            return;
        lastClickPath_.clear();
        emit thumbnailActivated(path);
        return;
    }
    // A frame or add-on is taken at the first click. The second click of a double-click on it
    // (a habit from the photos strip) takes nothing more: two of the same sticker at once are
    // never meant.
    if (again)
        return;
    Highlight(path);
    emit thumbnailPicked(path, kind_);
}

bool Photostrip::OnWheel(const WheelTurn& turn)
{
    // Along the row: a vertical wheel moves it too. Away from the user and to the left both
    // bring the row's start into view.
    const bool touchpad = turn.pixelX != 0.0f || turn.pixelY != 0.0f;
    const float distance = touchpad
        ? turn.pixelX + turn.pixelY
        : (turn.angleX + turn.angleY) / kWheelNotch * kWheelNotchShare * static_cast<float>(width_);
    if (distance == 0.0f)
        return false;
    // A touchpad glides by itself, and a row held by a finger or the button must not glide away
    // under it: both move at once.
    if (touchpad || manipulation().contactCount() > 0) {
        StopInertia();
        ManipulationDelta(distance, 0.0f);
        update();
        return true;
    }
    GlideBy(distance);
    return true;
}

void Photostrip::GlideBy(float distance)
{
    // Whatever a fling or an earlier notch still had to go is added, so quick notches speed up;
    // a turn against the motion starts from where the row is.
    const float remaining = InertiaRemainingX();
    float total = distance;
    if ((remaining > 0.0f) == (distance > 0.0f))
        total += remaining;
    const float target = ClampedOffset(scrollOffset_ + total);
    total = target - scrollOffset_;
    if (total == 0.0f) {
        StopInertia();
        return;
    }
    // The speed that the drag's deceleration brings to rest after exactly this distance.
    const float speed = std::sqrt(2.0f * kDeceleration * std::fabs(total));
    StartInertia(total > 0.0f ? speed : -speed, 0.0f);
    lastScroll_ = total;
    restOffset_.reset();
    if (loadOnDemand_)
        restOffset_ = target;
    RequestInView();
}

void Photostrip::OnContact(const ContactRecord& contact)
{
    ReleaseRetired();
    TrackTap(contact);
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

float Photostrip::ClampedOffset(float candidate) const
{
    // The row may move right by at most 0.3 of the strip, and left until its end is at 0.7 of
    // the strip. A row shorter than that may still come back to where it starts, and a row
    // already beyond a limit (a strip made narrower) is not pulled back: either would make the
    // row jump at the first touch.
    const float w = static_cast<float>(width_);
    const float high = std::max(0.3f * w, scrollOffset_);
    const float low = std::min({0.7f * w - ThumbnailsExtent(), 0.0f, scrollOffset_});
    return std::clamp(candidate, low, high);
}

void Photostrip::ManipulationDelta(float dx, float)
{
    const float applied = ClampedOffset(scrollOffset_ + dx) - scrollOffset_;
    scrollOffset_ += applied;
    for (const auto& photo : thumbnails_)
        photo->Translate(applied, 0.0f);
    if (applied != 0.0f) {
        lastScroll_ = applied;
        RequestInView();
    }
}

void Photostrip::ManipulationStarted(float x, float y)
{
    restOffset_.reset();
    InertiaObj::ManipulationStarted(x, y);
}

void Photostrip::ManipulationCompleted()
{
    InertiaObj::ManipulationCompleted();
    restOffset_.reset();
    if (inertiaRunning_ && loadOnDemand_) {
        // The continuation is known from the release: decode for its resting place first, so
        // the thumbnails are there when the row stops.
        const float vx = manipulation().VelocityX();
        const float speed = std::hypot(vx, manipulation().VelocityY());
        if (speed > 0.0f) {
            const float travel = InertiaProcessor::StoppingDistance(speed, kDeceleration) * vx / speed;
            restOffset_ = ClampedOffset(scrollOffset_ + travel);
        }
    }
    RequestInView();
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
    // The registry holds only thumbnails: dropping them one by one would cost a search each.
    thumbnailTargets_.Clear();
    for (auto& photo : thumbnails_) {
        KillTimer(photo->timerId());
        retired_.push_back(std::move(photo));
    }
    thumbnails_.clear();
    indexOf_.clear();
    failed_.clear();
    restOffset_.reset();
    // Nothing decoded for the old row may reach the new one.
    if (loader_)
        loader_->Cancel();
}

void Photostrip::ReleaseRetired()
{
    retired_.clear();
}

void Photostrip::AppendThumbnail(std::unique_ptr<ConstrainedPhoto> photo)
{
    thumbnailTargets_.Add(photo.get());
    indexOf_.insert(photo->path(), thumbnails_.size());
    thumbnails_.push_back(std::move(photo));
}

void Photostrip::SetThumbnailCacheBytes(size_t bytes)
{
    DropBitmaps(decoded_.SetCapacity(bytes));
}

void Photostrip::DropBitmaps(const std::vector<QString>& paths)
{
    // The cache gave these up: the thumbnails must not keep their pixels alive either.
    for (const QString& path : paths) {
        auto it = indexOf_.constFind(path);
        if (it != indexOf_.constEnd())
            thumbnails_[*it]->SetBitmap(QImage());
    }
}

void Photostrip::RequestInView()
{
    if (!loadOnDemand_ || thumbnails_.empty())
        return;
    const float w = static_cast<float>(width_);
    const float h = thumbnails_.front()->height();
    // Thumbnails in x order (the row only ever moves as a whole) that overlap [from, to).
    std::vector<size_t> order;
    std::unordered_set<size_t> seen;
    auto addRange = [&](float from, float to, bool leftToRight) {
        const auto first = std::partition_point(
            thumbnails_.begin(), thumbnails_.end(),
            [from](const auto& p) { return p->x() + p->width() <= from; });
        std::vector<size_t> range;
        for (auto it = first; it != thumbnails_.end() && (*it)->x() < to; ++it)
            range.push_back(static_cast<size_t>(it - thumbnails_.begin()));
        if (!leftToRight)
            std::reverse(range.begin(), range.end());
        for (size_t i : range)
            if (seen.insert(i).second)
                order.push_back(i);
    };
    // The row moving left brings thumbnails in from the right, and the other way round.
    const bool towardsRight = lastScroll_ <= 0.0f;
    if (restOffset_) {
        const float shift = *restOffset_ - scrollOffset_;
        addRange(-shift, w - shift, towardsRight);
    }
    addRange(0.0f, w, towardsRight);
    if (towardsRight) {
        addRange(w, w + kAheadMargin * w, true);
        addRange(-kBehindMargin * w, 0.0f, false);
    } else {
        addRange(-kAheadMargin * w, 0.0f, false);
        addRange(w, w + kBehindMargin * w, true);
    }

    std::vector<QString> wanted;
    for (size_t i : order) {
        const QString& path = thumbnails_[i]->path();
        if (decoded_.Find(path) == nullptr && !failed_.contains(path))
            wanted.push_back(path);
    }
    // The first in order are the most wanted: they become the most recently shown.
    for (auto it = order.rbegin(); it != order.rend(); ++it)
        decoded_.Touch(thumbnails_[*it]->path());
    if (!loader_ && wanted.empty())
        return;
    if (!loader_) {
        loader_ = std::make_unique<ThumbnailLoader>(
            [this](const QString& path, float height, std::optional<PhotoThumbnail> thumbnail) {
                ThumbnailReady(path, height, std::move(thumbnail));
            });
    }
    loader_->Want(wanted, h);
}

void Photostrip::ThumbnailReady(const QString& path, float height,
                                std::optional<PhotoThumbnail> thumbnail)
{
    auto it = indexOf_.constFind(path);
    if (it == indexOf_.constEnd())
        return; // no longer in this row
    Photo& photo = *thumbnails_[*it];
    if (height != photo.height())
        return; // made for a height the row no longer has
    if (!thumbnail || thumbnail->width != photo.width()) {
        // Damaged past its header, or changed since the row was laid out: the placeholder
        // stays until the next fill, rather than a picture that overlaps its neighbours.
        failed_.insert(path);
        return;
    }
    photo.SetBitmap(thumbnail->bitmap);
    DropBitmaps(decoded_.Insert(path, std::move(*thumbnail)));
    update();
}

void Photostrip::WaitForThumbnails()
{
    if (loader_)
        loader_->WaitUntilIdle();
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

void Photostrip::SetEmptyText(const QString& text)
{
    if (emptyText_ == text)
        return;
    emptyText_ = text;
    update();
}

bool Photostrip::Highlight(const QString& path)
{
    // The saved file's path may be spelt otherwise than the listed one (a relative folder, a
    // trailing separator, a link).
    QString found;
    if (indexOf_.contains(path)) {
        found = path;
    } else {
        const QString clean = QDir::cleanPath(path);
        const QString canonical = QFileInfo(path).canonicalFilePath();
        for (const auto& photo : thumbnails_) {
            if (QDir::cleanPath(photo->path()) == clean
                || (!canonical.isEmpty() && QFileInfo(photo->path()).canonicalFilePath() == canonical)) {
                found = photo->path();
                break;
            }
        }
    }
    if (found.isEmpty())
        return false;
    highlightPath_ = found;
    highlightStart_ = HighlightNow();
    if (!highlightTimer_) {
        highlightTimer_ = new QTimer(this);
        highlightTimer_->setInterval(40);
        connect(highlightTimer_, &QTimer::timeout, this, [this] {
            if (HighlightNow() - highlightStart_ >= kHighlightMs)
                EndHighlight();
            update();
        });
    }
    highlightTimer_->start();
    update();
    return true;
}

void Photostrip::EndHighlight()
{
    highlightPath_.clear();
    if (highlightTimer_)
        highlightTimer_->stop();
}

void Photostrip::PaintHighlight(QPainter& painter, const Photo& photo) const
{
    // Full strength for the first two thirds, then fading out.
    const double age = static_cast<double>(HighlightNow() - highlightStart_) / kHighlightMs;
    const double strength = age < 2.0 / 3.0 ? 1.0 : std::clamp(3.0 * (1.0 - age), 0.0, 1.0);
    if (strength <= 0.0)
        return;
    const qreal pen = std::max(3.0, photo.height() * 0.04);
    QColor glow(255, 200, 40); // warm gold, apart from every strip's own colours
    glow.setAlphaF(static_cast<float>(strength));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(glow, pen));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(pen / 2.0, pen / 2.0, photo.width() - pen, photo.height() - pen),
                            pen, pen);
    painter.restore();
}

void Photostrip::PaintEmptyText(QPainter& painter) const
{
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(std::clamp(height_ / 18.0, 8.0, 11.0));
    painter.setFont(font);
    const int margin = std::max(8, width_ / 20);
    const QRect area(margin, 0, std::max(0, width_ - 2 * margin), height_);
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    // On a light card, so that it reads the same over the dark and the light parts of every
    // strip's gradient.
    const QRectF text = painter.boundingRect(QRectF(area), flags, emptyText_);
    const qreal pad = painter.fontMetrics().height() * 0.6;
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(text.adjusted(-pad, -pad * 0.6, pad, pad * 0.6), pad, pad);
    painter.setPen(QColor(40, 36, 70));
    painter.drawText(area, flags, emptyText_);
    painter.restore();
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

    if (thumbnails_.empty() && !emptyText_.isEmpty()) {
        PaintEmptyText(painter);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const auto& photo : thumbnails_) {
        if (!(left_ < photo->x() + photo->width() && left_ + width_ > photo->x()))
            continue;
        painter.setTransform(QTransform::fromTranslate(photo->x(), photo->y()));
        if (photo->bitmap().isNull()) {
            PaintPlaceholder(painter, *photo, placement_);
        } else {
            painter.drawImage(QPointF(0.0, 0.0), photo->bitmap());
            // Videos carry their film badge in the bitmap; an animated GIF among the photos
            // says what it is too (the frames and add-ons strips list GIFs as pictures).
            if (content_ == StripContent::Photos && IsGifFile(photo->path()))
                DrawGifBadge(painter, QRectF(0.0, 0.0, photo->width(), photo->height()));
        }
        if (!highlightPath_.isEmpty() && photo->path() == highlightPath_)
            PaintHighlight(painter, *photo);
        painter.resetTransform();
    }
}

void Photostrip::PaintPlaceholder(QPainter& painter, const Photo& photo, StripPlacement placement)
{
    // A soft card in the strip's own colours with a small picture sign: something is coming.
    const GradientStops stops = StopsFor(placement);
    const QRectF card(2.0, 2.0, std::max(0.0f, photo.width() - 4.0f),
                      std::max(0.0f, photo.height() - 4.0f));
    const qreal radius = std::min(card.width(), card.height()) * 0.08;
    QColor fill = QColor::fromRgb(stops.main);
    fill.setAlphaF(0.55f);
    QColor ink = QColor::fromRgb(stops.other);
    ink.setAlphaF(0.6f);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(ink, 1.5));
    painter.setBrush(fill);
    painter.drawRoundedRect(card, radius, radius);

    const qreal side = std::min(card.width(), card.height()) * 0.25;
    const QRectF sign(card.center().x() - side / 2.0, card.center().y() - side * 0.375, side,
                      side * 0.75);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(sign, side * 0.08, side * 0.08);
    QPainterPath hills;
    hills.moveTo(sign.left() + side * 0.1, sign.bottom() - side * 0.1);
    hills.lineTo(sign.left() + side * 0.4, sign.top() + side * 0.35);
    hills.lineTo(sign.left() + side * 0.6, sign.top() + side * 0.5);
    hills.lineTo(sign.left() + side * 0.72, sign.top() + side * 0.4);
    hills.lineTo(sign.right() - side * 0.1, sign.bottom() - side * 0.1);
    hills.closeSubpath();
    painter.setBrush(ink);
    painter.setPen(Qt::NoPen);
    painter.drawPath(hills);
    painter.drawEllipse(QPointF(sign.right() - side * 0.25, sign.top() + side * 0.22), side * 0.08,
                        side * 0.08);
    painter.restore();
}

void Photostrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Paint(painter);
}
