#include "decorations/Photo.h"

#include <QTransform>

Photo::Photo(PhotoHost& host, int sequence, float x, float y, float height)
    : InertiaObj(host, sequence), x_(x), y_(y), host_(host), height_(height), homeY_(y)
{
}

void Photo::SetThumbnail(const QImage& bitmap, float width, const QString& path)
{
    bitmap_ = bitmap;
    width_ = width;
    path_ = path;
}

void Photo::OnContact(const ContactRecord& contact)
{
    lastContact_ = contact;
    Feed(contact);
}

bool Photo::HitTest(float x, float y)
{
    bool invertible = false;
    const QTransform toLocal = QTransform::fromTranslate(x_, y_).inverted(&invertible);
    if (!invertible)
        return false;
    const QPointF local = toLocal.map(QPointF(x, y));
    return local.x() >= 0.0 && local.x() < width_ && local.y() > 0.0 && local.y() < height_;
}

void Photo::ManipulationDelta(float dx, float dy)
{
    Translate(dx, dy);
}

bool Photo::OutsidePickBounds() const
{
    const CornerBounds& b = pickBounds_;
    return x_ >= static_cast<float>(b.xMax) || x_ <= static_cast<float>(b.xMin) ||
           y_ >= static_cast<float>(b.yMax) || y_ <= static_cast<float>(b.yMin);
}

void Photo::Translate(float dx, float dy)
{
    const bool wasOutside = OutsidePickBounds();
    x_ += dx;
    y_ += dy;
    if (!wasOutside && OutsidePickBounds())
        host_.ThumbnailLeftBounds(*this, inertiaRunning_);
}
