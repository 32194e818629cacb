#pragma once

#include <QImage>
#include <QString>

#include <memory>

// One file of the photos strip to be looked at: a still picture, an animated GIF or a video,
// read one frame at a time (only the frame shown is held, however long the clip). Animations and
// videos start over after their last frame. A file that cannot be read says so in its outcome;
// nothing about a file, however damaged, throws or stops the program.
class MediaClip {
public:
    enum class Kind { Still, Animation, Video };
    enum class Outcome {
        Shown,      // a frame is there
        Missing,    // no such file (moved, renamed or deleted)
        Unreadable, // damaged, or not a picture or video the program reads
        TooLarge,   // its pictures would take more memory than one decode may
    };

    explicit MediaClip(const QString& path);
    ~MediaClip();
    MediaClip(const MediaClip&) = delete;
    MediaClip& operator=(const MediaClip&) = delete;

    const QString& path() const { return path_; }
    Outcome outcome() const { return outcome_; }
    Kind kind() const { return kind_; }
    // More than one frame to show, one after the other.
    bool moving() const { return moving_; }
    // The frame now, as the file shows it (turned as its orientation says); null unless Shown.
    const QImage& frame() const { return frame_; }
    // How long the frame now stays before the next, in milliseconds.
    int frameMs() const { return frameMs_; }
    // Reads the next frame, the first again after the last. False when no frame could be read:
    // the frame now stays, and the clip no longer moves.
    bool Advance();

    // A video's rate when the file gives none, or one no camera has.
    static constexpr double kFallbackRate = 30.0;

private:
    void OpenVideo();
    void OpenImage();
    bool ReadVideoFrame();
    bool ReadImageFrame();

    QString path_;
    Outcome outcome_ = Outcome::Unreadable;
    Kind kind_ = Kind::Still;
    bool moving_ = false;
    QImage frame_;
    int frameMs_ = 0;
    struct Reader;
    std::unique_ptr<Reader> reader_;
};
