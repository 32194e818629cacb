#include "decorations/ImageEx.h"

#include "decorations/ImageFileReader.h"

#include <QMetaObject>
#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <chrono>

namespace {
constexpr int kFallbackDelayMs = 80;

} // namespace

int ImageEx::EffectiveDelayMs(uint32_t hundredths)
{
    const uint64_t ms = static_cast<uint64_t>(hundredths) * 10;
    if (ms < 10 || ms > 5000)
        return kFallbackDelayMs;
    return static_cast<int>(ms);
}

ImageEx::ImageEx(const QString& path, QSize fitInside)
    : pauseEvent_(std::make_unique<ManualResetEvent>(true))
    , exitEvent_(std::make_unique<ManualResetEvent>(false))
    , path_(path)
    , fitInside_(fitInside)
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
    outcome_ = LoadOutcome::Loaded;
    size_ = frames_.front().size();
    if (frames_.size() > 1) {
        delays.resize(frames_.size(), 0); // missing delays fall back to 80 ms
        frameDelays_ = std::move(delays);
    }
}

ImageEx::~ImageEx()
{
    Stop();
}

QImage ImageEx::Prepared(const QImage& decoded) const
{
    // Premultiplied frames paint fastest and keep their transparency.
    QImage frame = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (frame.size() != size_)
        frame = frame.scaled(size_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return frame;
}

void ImageEx::LoadFile(const QString& path)
{
    if (const std::optional<FileStamp> stamp = StatFile(path))
        stamp_ = *stamp;
    auto source = std::make_unique<ImageFileReader>(path);
    const QSize natural = source->ShownSize();
    if (!source->isOpen() || natural.isEmpty())
        return;
    // The header tells how much one frame makes; nothing is decoded beyond the budget.
    if (!WithinDecodeBudget(natural)) {
        outcome_ = LoadOutcome::TooLarge;
        return;
    }
    size_ = FittedSize(natural, fitInside_);
    QImageReader& reader = source->reader();
    std::vector<uint32_t> delays;
    qint64 scanned = 0;
    qint64 kept = 0;
    bool whole = true;
    while (true) {
        const QImage decoded = reader.read();
        if (decoded.isNull())
            break;
        scanned += decoded.sizeInBytes();
        if (scanned > kLoadScanBytes) {
            frames_.clear();
            size_ = QSize(0, 0);
            outcome_ = LoadOutcome::TooLarge;
            return;
        }
        kept += qint64{size_.width()} * size_.height() * 4;
        whole = whole && kept <= kWholeAnimationBytes;
        // Beyond the budget only the first frames stay; the rest are decoded when they come.
        frames_.push_back(whole || frames_.size() <= kFramesAhead ? Prepared(decoded) : QImage());
        // Qt reports the delay that follows the frame just read, in milliseconds.
        const int delayMs = reader.nextImageDelay();
        delays.push_back(delayMs > 0 ? static_cast<uint32_t>(delayMs / 10) : 0);
        if (!reader.supportsAnimation())
            break;
    }
    ready_ = !frames_.empty();
    if (!ready_) {
        size_ = QSize(0, 0);
        return;
    }
    outcome_ = LoadOutcome::Loaded;
    for (size_t i = kFramesAhead + 1; !whole && i < frames_.size(); ++i)
        frames_[i] = QImage(); // dropped before the budget was seen to be exceeded
    if (frames_.size() > 1)
        frameDelays_ = std::move(delays);
    if (whole || frames_.size() <= kFramesAhead + 1)
        return;
    // The file stays open, so a file replaced meanwhile still gives the frames it had. The
    // frames held are passed over.
    if (!source->Rewind())
        return;
    for (uint32_t i = 0; i <= kFramesAhead; ++i)
        source->reader().read();
    nextDecoded_ = kFramesAhead + 1;
    source_ = std::move(source);
}

QImage ImageEx::DecodeNext(uint32_t* index)
{
    QImage decoded = source_->reader().read();
    if (decoded.isNull() && nextDecoded_ != 0 && source_->Rewind()) {
        nextDecoded_ = 0; // the file ended sooner than at loading: from the first frame again
        decoded = source_->reader().read();
    }
    if (decoded.isNull())
        return {};
    *index = nextDecoded_;
    if (++nextDecoded_ == frameCount()) {
        nextDecoded_ = 0;
        source_->Rewind();
    }
    return Prepared(decoded);
}

void ImageEx::DecodeAhead(uint32_t active)
{
    const uint32_t n = frameCount();
    for (uint32_t k = 1; k <= kFramesAhead; ++k) {
        const uint32_t wanted = (active + k) % n;
        {
            std::scoped_lock lock(frameLock_);
            if (!frames_[wanted].isNull())
                continue;
        }
        // The file is read in order; frames between are decoded only to be passed.
        for (uint32_t guard = 0; guard < n; ++guard) {
            uint32_t index = 0;
            QImage frame = DecodeNext(&index);
            if (frame.isNull())
                return; // unreadable now: the held frames go on showing
            if (index == wanted) {
                std::scoped_lock lock(frameLock_);
                frames_[index] = std::move(frame);
                break;
            }
        }
    }
}

qint64 ImageEx::heldBytes() const
{
    std::scoped_lock lock(frameLock_);
    qint64 bytes = 0;
    for (const QImage& frame : frames_)
        bytes += frame.sizeInBytes();
    return bytes;
}

bool ImageEx::SameSource(const QString& path, QSize fitInside) const
{
    if (!ready_ || path_.isEmpty() || path != path_ || fitInside != fitInside_)
        return false;
    const std::optional<FileStamp> stamp = StatFile(path);
    return stamp && stamp->size == stamp_.size && stamp->modified == stamp_.modified;
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
    source_.reset(); // the active frame stays drawable
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
    auto wait = std::chrono::milliseconds(EffectiveDelayMs(stored));
    if (streaming()) {
        // Decoding ahead takes its time out of the delay of the frame on show.
        const auto started = std::chrono::steady_clock::now();
        DecodeAhead(index);
        wait -= std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
        wait = std::max(wait, std::chrono::milliseconds(0));
    }
    if (exitEvent_->WaitFor(wait))
        return false;
    std::scoped_lock lock(frameLock_);
    const uint32_t next = (index + 1) % static_cast<uint32_t>(frames_.size());
    if (frames_[next].isNull())
        return true; // not decoded (the file became unreadable): the frame on show stays
    currentFrame_ = next;
    if (streaming())
        frames_[index] = QImage(); // behind the active frame now
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
