#pragma once

#include <QString>

#include <opencv2/core.hpp>

#include <functional>
#include <memory>

// Where a recording's pictures go: one encoder writing one file. Used from one thread at a time.
class VideoSink {
public:
    virtual ~VideoSink() = default;
    // Opens path for BGR pictures of frameSize at fps. Returns the codec's name as the user
    // should read it ("H.264"), or an empty string when no codec could be opened.
    virtual QString Open(const QString& path, double fps, cv::Size frameSize) = 0;
    // False when the picture could not be written.
    virtual bool Write(const cv::Mat& bgr) = 0;
    // Finishes the file. False when what is on disk is not a complete, readable video.
    virtual bool Close() = 0;
};

using VideoSinkFactory = std::function<std::unique_ptr<VideoSink>()>;

// The name of the codec the recorder prefers; any other is a fallback worth telling the user.
inline const char* const kPreferredVideoCodec = "H.264";

// OpenCV's video writer: H.264 in MP4 when the writer offers it, otherwise MPEG-4 Part 2.
std::unique_ptr<VideoSink> MakeOpenCvVideoSink();

// True when the file opens as a video and its first picture reads (an MP4 whose writer never
// finished it has no index and does not open).
bool IsPlayableVideo(const QString& path);
