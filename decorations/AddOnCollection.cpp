#include "decorations/AddOnCollection.h"

#include "decorations/ImageFileReader.h"

#include <QPainter>

#include <algorithm>
#include <ctime>
#include <random>

AddOnRecord AddOnRecord::Load(const QString& path, DecorationKind kind)
{
    return Load(path, kind, QSize()).record;
}

AddOnRecord::Loaded AddOnRecord::Load(const QString& path, DecorationKind kind, QSize area,
                                      std::shared_ptr<ImageEx> playing)
{
    Loaded loaded;
    AddOnRecord& record = loaded.record;
    if (kind == DecorationKind::Gif) {
        if (playing) {
            record.animation = std::move(playing);
        } else {
            auto animation = std::make_shared<ImageEx>(path, area);
            if (animation->loadOutcome() == ImageEx::LoadOutcome::TooLarge) {
                loaded.outcome = AddOnOutcome::TooLarge;
                return loaded;
            }
            animation->Animate();
            record.animation = std::move(animation);
        }
        record.width = record.animation->width();
        record.height = record.animation->height();
        loaded.outcome = record.animation->ready() ? AddOnOutcome::Added : AddOnOutcome::Unreadable;
    } else {
        const StillImage still = ReadStillImage(path, area);
        if (still.outcome == StillImage::TooLarge) {
            loaded.outcome = AddOnOutcome::TooLarge;
            return loaded;
        }
        record.still = still.image;
        record.width = record.still.width();
        record.height = record.still.height();
        loaded.outcome = record.still.isNull() ? AddOnOutcome::Unreadable : AddOnOutcome::Added;
    }
    return loaded;
}

void AddOnRecord::Draw(QPainter& painter) const
{
    const int w = bounds.right - bounds.left;
    const int h = bounds.bottom - bounds.top;
    if (w == width && h == height) {
        if (animation)
            animation->DrawAt(painter, x, y);
        else if (!still.isNull())
            painter.drawImage(x, y, still);
        return;
    }
    // Scaled with the face it follows.
    if (w <= 0 || h <= 0)
        return;
    const QRect target(x, y, w, h);
    if (animation) {
        animation->DrawInto(painter, target);
    } else if (!still.isNull()) {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, still);
        painter.restore();
    }
}

namespace {
AddOnCollection::Generator TimeSeededGenerator()
{
    return [engine = std::mt19937(static_cast<std::uint32_t>(std::time(nullptr)))]() mutable {
        return static_cast<std::uint32_t>(engine());
    };
}
} // namespace

AddOnCollection::AddOnCollection(Generator generator)
    : generator_(generator ? std::move(generator) : TimeSeededGenerator())
{
}

AddOnCollection::~AddOnCollection()
{
    ClearAddOns();
}

AddOnOutcome AddOnCollection::AddAddOn(const QString& path, int kind)
{
    if (!IsDecorationKind(kind))
        return AddOnOutcome::UnknownKind;
    const auto decorationKind = static_cast<DecorationKind>(kind);
    const QSize area(areaWidth, areaHeight);
    AddOnRecord::Loaded loaded =
        AddOnRecord::Load(path, decorationKind, area, PlayingAnimation(path, area));
    if (loaded.outcome != AddOnOutcome::TooLarge)
        Insert(std::move(loaded.record), decorationKind);
    return loaded.outcome;
}

std::shared_ptr<ImageEx> AddOnCollection::PlayingAnimation(const QString& path, QSize area) const
{
    for (const AddOnRecord& record : animated_)
        if (record.animation && record.animation->SameSource(path, area))
            return record.animation;
    return nullptr;
}

std::uint64_t AddOnCollection::Insert(AddOnRecord record, DecorationKind kind)
{
    record.serial = ++lastSerial_;
    const std::uint64_t serial = record.serial;
    const int32_t freeWidth = areaWidth - record.width;
    const int32_t freeHeight = areaHeight - record.height;
    record.x = 0;
    record.y = 0;
    if (freeWidth > 0 && freeHeight > 0) {
        const std::uint32_t xDraw = generator_();
        const std::uint32_t yDraw = generator_();
        // A free extent of exactly one pixel leaves no room to choose: that axis stays at 0.
        if (freeWidth > 1)
            record.x = static_cast<int32_t>(xDraw % static_cast<std::uint32_t>(freeWidth - 1));
        if (freeHeight > 1)
            record.y = static_cast<int32_t>(yDraw % static_cast<std::uint32_t>(freeHeight - 1));
    }
    record.hovered = false;
    record.moving = false;
    record.bounds = {record.x, record.y, record.x + record.width, record.y + record.height};
    if (kind == DecorationKind::Gif) {
        // Still records follow the animated ones in the combined index: keep naming the same one.
        if (hoveredIndex_ >= animatedCount())
            ++hoveredIndex_;
        animated_.push_back(std::move(record));
    } else {
        still_.push_back(std::move(record));
    }
    return serial;
}

std::vector<AddOnRecord> AddOnCollection::TakeAll()
{
    std::vector<AddOnRecord> taken = std::move(animated_);
    taken.reserve(taken.size() + still_.size());
    for (AddOnRecord& record : still_)
        taken.push_back(std::move(record));
    animated_.clear();
    still_.clear();
    hoveredIndex_ = -1;
    dragging_ = false;
    return taken;
}

void AddOnCollection::ClearAddOns()
{
    Release(TakeAll());
}

void AddOnCollection::Release(std::vector<AddOnRecord> records)
{
    for (AddOnRecord& record : records) {
        // A shared animation plays on while another copy shows it.
        if (record.animation && record.animation.use_count() == 1) {
            record.animation->Pause();
            record.animation->Stop();
        }
        record.animation.reset();
    }
}

void AddOnCollection::ToggleAddOnsShown()
{
    shown_ = !shown_;
    for (AddOnRecord& record : animated_) {
        if (shown_)
            record.animation->Resume();
        else
            record.animation->Pause();
    }
}

AddOnRecord* AddOnCollection::RecordAt(int32_t index)
{
    if (index < 0)
        return nullptr;
    if (index < animatedCount())
        return &animated_[static_cast<size_t>(index)];
    index -= animatedCount();
    if (index < stillCount())
        return &still_[static_cast<size_t>(index)];
    return nullptr;
}

bool AddOnCollection::PointerMove(int px, int py)
{
    if (dragging_) {
        AddOnRecord* record = RecordAt(hoveredIndex_);
        if (record == nullptr)
            return true;
        // An add-on pulled wholly off the picture could be neither seen nor grabbed again.
        if (areaWidth > 0)
            px = std::clamp(px, 0, areaWidth - 1);
        if (areaHeight > 0)
            py = std::clamp(py, 0, areaHeight - 1);
        AddOnBounds& b = record->bounds;
        const int32_t w = b.right - b.left;
        const int32_t h = b.bottom - b.top;
        b.left = px - w / 2;
        b.top = py - h / 2;
        b.right = b.left + w;
        b.bottom = b.top + h;
        record->x = b.left;
        record->y = b.top;
        record->moving = true;
        return true;
    }

    // Drawing follows the combined index, so the last record under the pointer is the one seen.
    hoveredIndex_ = -1;
    for (int32_t i = animatedCount() + stillCount() - 1; i >= 0; --i) {
        AddOnRecord& record = *RecordAt(i);
        if (hoveredIndex_ == -1 && record.bounds.Contains(px, py)) {
            record.moving = false;
            record.hovered = true;
            hoveredIndex_ = i;
        } else {
            record.hovered = false;
        }
    }
    return hoveredIndex_ != -1;
}

void AddOnCollection::PointerDown()
{
    if (hoveredIndex_ == -1)
        return;
    dragging_ = true;
    if (const AddOnRecord* record = RecordAt(hoveredIndex_))
        lastGrabbed_ = record->serial;
}

std::vector<AddOnRecord> AddOnCollection::Take(std::uint64_t serial)
{
    std::vector<AddOnRecord> taken;
    for (std::vector<AddOnRecord>* list : { &animated_, &still_ }) {
        const auto it = std::find_if(list->begin(), list->end(),
            [serial](const AddOnRecord& record) { return record.serial == serial; });
        if (it == list->end())
            continue;
        taken.push_back(std::move(*it));
        list->erase(it);
        // The combined indices after it moved down: no index may name another record now.
        hoveredIndex_ = -1;
        dragging_ = false;
        break;
    }
    return taken;
}

std::uint64_t AddOnCollection::removable() const
{
    if (hoveredIndex_ >= 0 && hoveredIndex_ < animatedCount())
        return animated_[static_cast<size_t>(hoveredIndex_)].serial;
    if (hoveredIndex_ >= animatedCount() && hoveredIndex_ < animatedCount() + stillCount())
        return still_[static_cast<size_t>(hoveredIndex_ - animatedCount())].serial;
    return lastGrabbed_ != 0 && Find(lastGrabbed_) != nullptr ? lastGrabbed_ : 0;
}

std::uint64_t AddOnCollection::PointerUp()
{
    if (hoveredIndex_ == -1)
        return 0;
    std::uint64_t moved = 0;
    if (AddOnRecord* record = RecordAt(hoveredIndex_)) {
        if (record->moving)
            moved = record->serial;
        record->moving = false;
    }
    dragging_ = false;
    hoveredIndex_ = -1;
    return moved;
}

const AddOnRecord* AddOnCollection::Find(std::uint64_t serial) const
{
    for (int32_t i = 0; i < animatedCount() + stillCount(); ++i) {
        const AddOnRecord& record = i < animatedCount() ? animated_[size_t(i)] : still_[size_t(i - animatedCount())];
        if (record.serial == serial)
            return &record;
    }
    return nullptr;
}

bool AddOnCollection::PlaceAt(std::uint64_t serial, const AddOnBounds& bounds)
{
    // The collection owns its records; Find only hands them out read-only.
    AddOnRecord* record = const_cast<AddOnRecord*>(Find(serial));
    if (record == nullptr || record->moving)
        return false;
    record->bounds = bounds;
    record->x = bounds.left;
    record->y = bounds.top;
    return true;
}

void AddOnCollection::Draw(QPainter& painter, const std::vector<std::uint64_t>& leaveOut) const
{
    auto left = [&leaveOut](const AddOnRecord& record) {
        return std::find(leaveOut.begin(), leaveOut.end(), record.serial) != leaveOut.end();
    };
    for (const AddOnRecord& record : animated_)
        if (!left(record))
            record.Draw(painter);
    for (const AddOnRecord& record : still_)
        if (!left(record))
            record.Draw(painter);
}
