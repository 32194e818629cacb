#include "ui/FileNameBytes.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

constexpr char16_t kRawByteBase = 0xDC00; // a raw byte b ≥ 0x80 is carried as kRawByteBase + b

bool IsRawByte(QChar c)
{
    return c.unicode() >= kRawByteBase + 0x80 && c.unicode() <= kRawByteBase + 0xFF;
}

// Length of the valid UTF-8 sequence at s[i], or 0 when none starts there.
int Utf8SequenceAt(const QByteArray& s, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = at(i);
    if (b < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            low = 0xA0; // no overlong forms
        if (b == 0xED)
            high = 0x9F; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            low = 0x90;
        if (b == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char c = at(i + k);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
            return 0;
    }
    return length;
}

#ifndef _WIN32
std::filesystem::path NativePath(const QString& path)
{
    return std::filesystem::path(FileNameToBytes(path).toStdString());
}
#endif

} // namespace

QString FileNameFromBytes(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int length = Utf8SequenceAt(bytes, i);
        if (length == 0) {
            name.append(QChar(kRawByteBase + static_cast<unsigned char>(bytes[i])));
            ++i;
            continue;
        }
        name.append(QString::fromUtf8(bytes.constData() + i, length));
        i += length;
    }
    return name;
}

QByteArray FileNameToBytes(const QString& name)
{
    if (!HasRawBytes(name))
        return QFile::encodeName(name);
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsRawByte(name[i]))
            continue;
        bytes.append(name.mid(from, i - from).toUtf8());
        if (i < name.size())
            bytes.append(static_cast<char>(name[i].unicode() - kRawByteBase));
        from = i + 1;
    }
    return bytes;
}

bool HasRawBytes(const QString& path)
{
    return std::any_of(path.begin(), path.end(), IsRawByte);
}

QString ReadableFileName(const QString& name)
{
    QString readable = name;
    for (QChar& c : readable)
        if (IsRawByte(c))
            c = QChar(static_cast<char16_t>(c.unicode() - kRawByteBase));
    return readable;
}

QUrl FileUrl(const QString& path)
{
    if (!HasRawBytes(path))
        return QUrl::fromLocalFile(path);
    // Bytes that are no UTF-8 stay percent-encoded in the address; the opener decodes them
    // back to the same bytes.
    return QUrl::fromEncoded("file://" + FileNameToBytes(path).toPercentEncoding("/"));
}

std::unique_ptr<QFile> OpenForReading(const QString& path)
{
    auto file = std::make_unique<QFile>();
#ifndef _WIN32
    if (HasRawBytes(path)) {
        const int fd = ::open(FileNameToBytes(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return nullptr;
        if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return nullptr;
        }
        return file;
    }
#endif
    file->setFileName(path);
    if (!file->open(QIODevice::ReadOnly))
        return nullptr;
    return file;
}

std::optional<FileStamp> StatFile(const QString& path)
{
#ifndef _WIN32
    if (HasRawBytes(path)) {
        std::error_code error;
        const std::filesystem::path native = NativePath(path);
        if (!std::filesystem::is_regular_file(native, error))
            return std::nullopt;
        const auto size = std::filesystem::file_size(native, error);
        const auto time = std::filesystem::last_write_time(native, error);
        if (error)
            return std::nullopt;
        const auto since = std::chrono::file_clock::to_sys(time).time_since_epoch();
        return FileStamp{static_cast<qint64>(size),
                         QDateTime::fromMSecsSinceEpoch(
                             std::chrono::duration_cast<std::chrono::milliseconds>(since).count())};
    }
#endif
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return FileStamp{info.size(), info.lastModified()};
}
