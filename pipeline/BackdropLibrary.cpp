#include "pipeline/BackdropLibrary.h"

#include "decorations/FolderScan.h"
#include "pipeline/BackdropPlayer.h"

#include <QFile>
#include <QImageReader>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

const std::vector<QString>& BackdropExtensions()
{
    static const std::vector<QString> extensions { QStringLiteral(".jpg"), QStringLiteral(".jpeg"),
        QStringLiteral(".png"), QStringLiteral(".gif"), QStringLiteral(".mp4"), QStringLiteral(".webm"),
        QStringLiteral(".avi") };
    return extensions;
}

std::vector<BackdropEntry> ListBackdrops(const std::filesystem::path& shippedFolder,
    const std::filesystem::path& userFolder)
{
    QStringList extensions;
    for (const QString& extension : BackdropExtensions())
        extensions.push_back(extension);
    std::vector<BackdropEntry> entries;
    const auto add = [&](const std::filesystem::path& folder, bool shipped) {
        if (folder.empty())
            return;
        for (const QString& path : ScanFolder(folder, extensions)) {
            if (int(entries.size()) >= kMostBackdrops)
                return;
            entries.push_back({ path, shipped });
        }
    };
    add(shippedFolder, true);
    std::error_code error;
    // The same folder chosen as the user's lists its files once.
    if (userFolder.empty() || !std::filesystem::equivalent(shippedFolder, userFolder, error))
        add(userFolder, false);
    return entries;
}

QImage BackdropThumbnail(const QString& path, QSize size)
{
    QImage picture;
    if (IsBackdropVideo(path)) {
        cv::VideoCapture video(QFile::encodeName(path).toStdString(), cv::CAP_FFMPEG);
        cv::Mat frame;
        if (!video.isOpened() || !video.read(frame) || frame.empty() || frame.type() != CV_8UC3)
            return {};
        cv::Mat rgb;
        cv::cvtColor(frame, rgb, cv::COLOR_BGR2RGB);
        picture = QImage(rgb.data, rgb.cols, rgb.rows, int(rgb.step), QImage::Format_RGB888).copy();
    } else {
        QImageReader reader(path);
        reader.setDecideFormatFromContent(true);
        const QSize full = reader.size();
        // Decoded small where the format can, so a huge photo costs little.
        if (full.isValid() && !full.isEmpty())
            reader.setScaledSize(full.scaled(size, Qt::KeepAspectRatioByExpanding));
        picture = reader.read();
    }
    if (picture.isNull())
        return {};
    const QImage filled = picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    return filled.copy((filled.width() - size.width()) / 2, (filled.height() - size.height()) / 2, size.width(),
        size.height());
}
