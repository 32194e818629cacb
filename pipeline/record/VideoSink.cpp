#include "pipeline/record/VideoSink.h"

#include <QFile>
#include <QFileInfo>

#include <opencv2/videoio.hpp>

namespace {

struct Codec {
    char fourcc[5];
    const char* name;
};

// "H264" is what some writers call the same codec as "avc1".
constexpr Codec kCodecs[] = {
    {"avc1", kPreferredVideoCodec},
    {"H264", kPreferredVideoCodec},
    {"mp4v", "MPEG-4"},
};

class OpenCvVideoSink : public VideoSink {
public:
    QString Open(const QString& path, double fps, cv::Size frameSize) override
    {
        path_ = path;
        const std::string file = QFile::encodeName(path).toStdString();
        // FFmpeg first: it writes MP4 wherever OpenCV has it; other back ends only after it.
        for (const int backend : {int(cv::CAP_FFMPEG), int(cv::CAP_ANY)}) {
            for (const Codec& codec : kCodecs) {
                const int fourcc = cv::VideoWriter::fourcc(codec.fourcc[0], codec.fourcc[1], codec.fourcc[2],
                                                           codec.fourcc[3]);
                if (writer_.open(file, backend, fourcc, fps, frameSize, true) && writer_.isOpened()) {
                    backend_ = backend;
                    return QString::fromLatin1(codec.name);
                }
                writer_.release();
                QFile::remove(path); // a failed attempt may leave an empty file behind
            }
        }
        return {};
    }

    bool Write(const cv::Mat& bgr) override
    {
        if (!writer_.isOpened())
            return false;
        // The writer reports nothing; a failed write surfaces when the file is checked on Close.
        writer_.write(bgr);
        return true;
    }

    bool Close() override
    {
        if (!writer_.isOpened())
            return false;
        writer_.release();
        if (QFileInfo(path_).size() <= 0)
            return false;
        // A file cut short (a full disk while the index was written) does not open again.
        cv::VideoCapture check(QFile::encodeName(path_).toStdString(), backend_);
        return check.isOpened() && check.get(cv::CAP_PROP_FRAME_COUNT) > 0;
    }

private:
    QString path_;
    int backend_ = cv::CAP_ANY;
    cv::VideoWriter writer_;
};

} // namespace

std::unique_ptr<VideoSink> MakeOpenCvVideoSink()
{
    return std::make_unique<OpenCvVideoSink>();
}

bool IsPlayableVideo(const QString& path)
{
    cv::VideoCapture capture(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
    cv::Mat first;
    return capture.isOpened() && capture.read(first) && !first.empty();
}
