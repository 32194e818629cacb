#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

class QTimer;

// The strip below the picture: a greeting gliding across a soft gradient. Both are drawn once
// into pixmaps, so a frame is two pixmap copies; only this strip repaints, about 30 times a
// second, and only while it is shown.
class CWelcomeMovie : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 33;
    static constexpr double kPixelsPerSecond = 60.0;

    explicit CWelcomeMovie(QWidget* parent = nullptr);

    // Starts the animation; it runs from then on whenever the strip is visible.
    void Play();
    bool playing() const { return playing_; }
    bool timerActive() const;

    // Draws one frame as it looks after elapsedMs of playing (the paint event uses the clock).
    void Paint(QPainter& painter, qint64 elapsedMs);
    // Left edge of the greeting after elapsedMs: it enters at the right edge and leaves at the
    // left, then comes round again.
    int TextLeft(qint64 elapsedMs) const;
    QString text() const { return text_; }
    static QString Greeting();
    QSize textSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The greeting follows the interface's language.
    void changeEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Draws the gradient and the greeting again when the strip's size has changed since; a
    // window dragged larger rebuilds them once per painted size, not per step.
    void EnsureCache() const;

    QString text_;
    QTimer* timer_ = nullptr;
    QElapsedTimer clock_;
    bool playing_ = false;
    mutable QSize cachedSize_;
    mutable qreal cachedRatio_ = 0.0;
    mutable QPixmap background_;
    mutable QPixmap greeting_;
};
