#include "pipeline/compose/LogoCache.h"

#include <system_error>

LogoCache::LogoCache(QString path) : path_(std::move(path)) {}

const QImage& LogoCache::Current()
{
    const std::filesystem::path file(path_.toStdU16String());
    std::error_code error;
    const auto modified = std::filesystem::last_write_time(file, error);
    const std::uintmax_t size = error ? 0 : std::filesystem::file_size(file, error);
    const bool exists = !error;

    if (known_ && exists == exists_ && (!exists || (modified == modified_ && size == size_)))
        return image_;

    known_ = true;
    exists_ = exists;
    modified_ = modified;
    size_ = size;
    image_ = QImage();
    if (exists_) {
        QImage loaded(path_);
        if (!loaded.isNull())
            image_ = loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    return image_;
}
