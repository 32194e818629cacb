#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <filesystem>

// The logo file kept decoded between frames. Every call looks at the file's modification time
// and size (one cheap stat) and decodes it again only when they changed, so a replaced logo shows
// from the next frame on.
class LogoCache {
public:
    explicit LogoCache(QString path = {});

    const QString& path() const { return path_; }

    // The logo, premultiplied; a null image when the file is missing or does not decode.
    const QImage& Current();

private:
    QString path_;
    bool known_ = false; // the fields below describe a stat already made
    bool exists_ = false;
    std::filesystem::file_time_type modified_{};
    std::uintmax_t size_ = 0;
    QImage image_;
};
