#include "decorations/ImageEx.h"

#include <QImageReader>
#include <QMetaObject>
#include <QPainter>
#include <QPalette>
#include <QWidget>

namespace {
constexpr int kFallbackDelayMs = 80;
}

int ImageEx::EffectiveDelayMs(uint32_t hundredths)
{
    const uint64_t ms = static_cast<uint64_t>(hundredths) * 10;
    if (ms < 10 || ms > 5000)
        return kFallbackDelayMs;
    return static_cast<int>(ms);
}

ImageEx::ImageEx(const QString& path)
    : pauseEvent_(std::make_unique<ManualResetEvent>(true))
    , exitEvent_(std::make_unique<ManualResetEvent>(false))
{
    LoadFile(path);
}

ImageEx::ImageEx(std::vector<QImage> frames, std::vector<uint32_t> delays)
    : frames_(std::move(frames))
    , pauseEvent_(std::make_unique<ManualResetEvent>(true))
    , exitEvent_(std::make_unique<ManualResetEvent>(false))
{
    ready_ = !frames_.empty() && !frames_.front().isNull();
    if (!ready_) {
        frames_.clear();
        return;
    }
    if (frames_.size() > 1) {
        delays.resize(frames_.size(), 0); // missing delays fall back to 80 ms
        frameDelays_ = std::move(delays);
    }
}

ImageEx::~ImageEx()
{
    Stop();
}

void ImageEx::LoadFile(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    std::vector<uint32_t> delays;
    while (true) {
        QImage frame = reader.read();
        if (frame.isNull())
            break;
        // Premultiplied frames paint fastest and keep their transparency.
        frames_.push_back(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        // Qt reports the delay that follows the frame just read, in milliseconds.
        const int delayMs = reader.nextImageDelay();
        delays.push_back(delayMs > 0 ? static_cast<uint32_t>(delayMs / 10) : 0);
        if (!reader.supportsAnimation())
            break;
    }
    ready_ = !frames_.empty();
    if (frames_.size() > 1)
        frameDelays_ = std::move(delays);
}

int ImageEx::width() const
{
    return frames_.empty() ? 0 : frames_.front().width();
}

int ImageEx::height() const
{
    return frames_.empty() ? 0 : frames_.front().height();
}

bool ImageEx::Animate()
{
    mode = AdvanceOnly;
    if (!ready_ || frames_.size() < 2 || thread_.joinable())
        return false;
    return StartThread();
}

bool ImageEx::AnimateInto()
{
    if (frames_.size() < 2 || thread_.joinable())
        return false;
    return StartThread();
}

bool ImageEx::StartThread()
{
    if (!pauseEvent_ || !exitEvent_)
        return false; // stopped images do not animate again
    try {
        thread_ = std::thread(&ImageEx::ThreadMain, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void ImageEx::Pause()
{
    if (frames_.size() <= 1 || !pauseEvent_)
        return;
    if (!paused_)
        pauseEvent_->Reset();
    paused_ = true;
}

void ImageEx::Resume()
{
    if (frames_.size() <= 1 || !pauseEvent_)
        return;
    if (paused_)
        pauseEvent_->Set();
    paused_ = false;
}

void ImageEx::Stop()
{
    if (thread_.joinable()) {
        if (frames_.size() > 1 && paused_) {
            pauseEvent_->Set();
            paused_ = false;
        }
        exitEvent_->Set();
        thread_.join();
    }
    pauseEvent_.reset();
    exitEvent_.reset();
    frameDelays_.clear();
}

void ImageEx::ThreadMain()
{
    {
        std::scoped_lock lock(frameLock_);
        currentFrame_ = 0;
    }
    while (Step()) {
    }
}

bool ImageEx::Step()
{
    pauseEvent_->Wait();
    if (mode == PaintIntoWindow && targetWindow != nullptr) {
        QWidget* window = targetWindow;
        QRect area;
        {
            std::scoped_lock lock(frameLock_);
            area = targetRect;
        }
        // Only the interface thread paints; ask the window for a repaint of the area.
        QMetaObject::invokeMethod(window, [window, area] { window->update(area); }, Qt::QueuedConnection);
    }
    const uint32_t index = currentFrame_.load();
    const uint32_t stored = index < frameDelays_.size() ? frameDelays_[index] : 0;
    if (exitEvent_->WaitFor(std::chrono::milliseconds(EffectiveDelayMs(stored))))
        return false;
    std::scoped_lock lock(frameLock_);
    currentFrame_ = (index + 1) % static_cast<uint32_t>(frames_.size());
    return true;
}

QImage ImageEx::ActiveFrame() const
{
    std::scoped_lock lock(frameLock_);
    if (frames_.empty())
        return {};
    return frames_[currentFrame_.load()];
}

void ImageEx::DrawAt(QPainter& painter, int x, int y) const
{
    std::scoped_lock lock(frameLock_);
    if (!frames_.empty())
        painter.drawImage(x, y, frames_[currentFrame_.load()]);
}

void ImageEx::DrawInto(QPainter& painter, const QRect& target) const
{
    std::scoped_lock lock(frameLock_);
    if (!frames_.empty())
        painter.drawImage(target, frames_[currentFrame_.load()]);
}

void ImageEx::SetTargetRect(const QRect& rect)
{
    std::scoped_lock lock(frameLock_);
    targetRect = rect;
}

void ImageEx::PaintInto(QPainter& painter) const
{
    std::scoped_lock lock(frameLock_);
    if (frames_.empty())
        return;
    const QImage& frame = frames_[currentFrame_.load()];
    QImage surface(frame.size(), QImage::Format_RGB32);
    surface.fill(targetWindow ? targetWindow->palette().color(QPalette::Base) : QColor(Qt::white));
    {
        QPainter surfacePainter(&surface);
        surfacePainter.drawImage(0, 0, frame);
    }
    const bool smooth = painter.testRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(targetRect, surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
