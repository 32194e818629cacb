#include "decorations/AddOnCollection.h"

#include <QPainter>

#include <cstdlib>

AddOnRecord AddOnRecord::Load(const QString& path, DecorationKind kind)
{
    AddOnRecord record;
    if (kind == DecorationKind::Gif) {
        record.animation = std::make_unique<ImageEx>(path);
        record.animation->Animate();
        record.width = record.animation->width();
        record.height = record.animation->height();
    } else {
        QImage image(path);
        if (!image.isNull())
            record.still = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        record.width = record.still.width();
        record.height = record.still.height();
    }
    return record;
}

void AddOnRecord::Draw(QPainter& painter) const
{
    if (animation)
        animation->DrawAt(painter, x, y);
    else if (!still.isNull())
        painter.drawImage(x, y, still);
}

AddOnCollection::AddOnCollection(Clock clock)
    : clock_(clock ? std::move(clock) : Clock([] { return std::time(nullptr); }))
{
}

AddOnCollection::~AddOnCollection()
{
    ClearAddOns();
}

bool AddOnCollection::AddAddOn(const QString& path, int kind)
{
    if (!IsDecorationKind(kind))
        return false;
    const auto decorationKind = static_cast<DecorationKind>(kind);
    Insert(AddOnRecord::Load(path, decorationKind), decorationKind);
    return true;
}

void AddOnCollection::Insert(AddOnRecord record, DecorationKind kind)
{
    const int32_t freeWidth = areaWidth - record.width;
    const int32_t freeHeight = areaHeight - record.height;
    record.x = 0;
    record.y = 0;
    if (freeWidth > 0 && freeHeight > 0) {
        // Reseeding with the time in seconds puts two equal-sized add-ons picked within one
        // second on the same spot; users know this behaviour, so it stays.
        std::srand(static_cast<unsigned>(clock_()));
        const int xDraw = std::rand();
        const int yDraw = std::rand();
        // A free extent of exactly one pixel leaves no room to choose: that axis stays at 0.
        if (freeWidth > 1)
            record.x = xDraw % (freeWidth - 1);
        if (freeHeight > 1)
            record.y = yDraw % (freeHeight - 1);
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
    for (AddOnRecord& record : TakeAll()) {
        if (record.animation) {
            record.animation->Pause();
            record.animation->Stop();
        }
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

    // The first record in list order under the pointer wins, even where a later one is drawn
    // over it.
    hoveredIndex_ = -1;
    bool hit = false;
    const int32_t total = animatedCount() + stillCount();
    for (int32_t i = 0; i < total; ++i) {
        AddOnRecord& record = *RecordAt(i);
        if (!hit && record.bounds.Contains(px, py)) {
            record.moving = false;
            record.hovered = true;
            hoveredIndex_ = i;
            hit = true;
        } else {
            record.hovered = false;
        }
    }
    return hit;
}

void AddOnCollection::PointerDown()
{
    if (hoveredIndex_ != -1)
        dragging_ = true;
}

void AddOnCollection::PointerUp()
{
    if (hoveredIndex_ == -1)
        return;
    if (AddOnRecord* record = RecordAt(hoveredIndex_))
        record->moving = false;
    dragging_ = false;
    hoveredIndex_ = -1;
}

void AddOnCollection::Draw(QPainter& painter) const
{
    for (const AddOnRecord& record : animated_)
        record.Draw(painter);
    for (const AddOnRecord& record : still_)
        record.Draw(painter);
}
