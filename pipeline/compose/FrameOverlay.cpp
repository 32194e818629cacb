#include "pipeline/compose/FrameOverlay.h"

#include "decorations/ImageFileReader.h"

#include <QPainter>

FrameOverlay::~FrameOverlay()
{
    if (std::unique_ptr<ImageEx> gif = Clear())
        gif->Pause();
}

std::unique_ptr<ImageEx> FrameOverlay::LoadAnimated(const QString& path)
{
    auto gif = std::make_unique<ImageEx>(path);
    gif->Animate();
    return gif;
}

QImage FrameOverlay::LoadStill(const QString& path)
{
    return ReadStillImage(path).image;
}

std::unique_ptr<ImageEx> FrameOverlay::ReplaceAnimated(std::unique_ptr<ImageEx> gif)
{
    std::unique_ptr<ImageEx> old = std::move(frameGif_);
    frameGif_ = std::move(gif);
    frameKind_ = DecorationKind::Gif;
    scaled_.clear();
    scaledBytes_ = 0;
    return old;
}

void FrameOverlay::ReplaceStill(QImage png)
{
    framePng_ = std::move(png);
    frameKind_ = DecorationKind::Png;
    scaled_.clear();
    scaledBytes_ = 0;
}

void FrameOverlay::SetFrameImage(const QString& path, int kind)
{
    if (kind == static_cast<int>(DecorationKind::Png)) {
        ReplaceStill(LoadStill(path));
    } else if (kind == static_cast<int>(DecorationKind::Gif)) {
        if (std::unique_ptr<ImageEx> old = ReplaceAnimated(LoadAnimated(path)))
            old->Pause();
    }
}

std::unique_ptr<ImageEx> FrameOverlay::Clear()
{
    std::unique_ptr<ImageEx> old = std::move(frameGif_);
    framePng_ = QImage();
    frameKind_.reset();
    scaled_.clear();
    scaledBytes_ = 0;
    return old;
}

const QImage& FrameOverlay::Scaled(const QImage& source, QSize size)
{
    if (size != scaledSize_) {
        scaled_.clear();
        scaledBytes_ = 0;
        scaledSize_ = size;
    }
    const int64_t key = source.cacheKey();
    auto found = scaled_.find(key);
    if (found != scaled_.end())
        return found->second;
    QImage scaled = source.size() == size ? source
                                          : source.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    scaled = scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    scaledBytes_ += static_cast<std::size_t>(scaled.sizeInBytes());
    return scaled_.emplace(key, std::move(scaled)).first->second;
}

void FrameOverlay::Draw(QPainter& painter, QSize size)
{
    if (frameKind_ == DecorationKind::Png) {
        if (!framePng_.isNull())
            painter.drawImage(0, 0, Scaled(framePng_, size));
        return;
    }
    if (frameKind_ != DecorationKind::Gif || !frameGif_ || !frameGif_->ready())
        return;
    // The frame thread may move on meanwhile; the frame taken here is drawn whole.
    const QImage active = frameGif_->ActiveFrame();
    const std::size_t frameBytes = static_cast<std::size_t>(size.width()) * static_cast<std::size_t>(size.height()) * 4;
    const bool fits = scaledSize_ != size || scaled_.count(active.cacheKey()) != 0
        || scaledBytes_ + frameBytes <= kScaledCacheBudget;
    if (fits) {
        painter.drawImage(0, 0, Scaled(active, size));
    } else {
        painter.drawImage(QRect(QPoint(0, 0), size), active);
    }
}
