#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QFile;

// File names are bytes on this platform, and a name that is not valid UTF-8 (one written in
// Latin-1 or GBK by another system) does not survive Qt's own decoding: the QString it gives
// opens nothing. Such a name is carried with each byte that is not part of valid UTF-8 as one
// character U+DC80..U+DCFF, which no decoded name contains, so the bytes come back exactly.
// Paths carried that way open only through the functions here.

// The name (or path) for these bytes; valid UTF-8 gives the usual text.
QString FileNameFromBytes(const QByteArray& bytes);
// The bytes the name (or path) stands for.
QByteArray FileNameToBytes(const QString& name);
// Whether the path holds bytes that are not UTF-8 (and so needs the functions here to open).
bool HasRawBytes(const QString& path);
// The name as the user reads it: each raw byte shown as its Latin-1 character.
QString ReadableFileName(const QString& name);

// The address of a local file for the desktop to open, its raw bytes percent-encoded as such.
QUrl FileUrl(const QString& path);

// The file opened for reading; null when it cannot be opened.
std::unique_ptr<QFile> OpenForReading(const QString& path);

struct FileStamp {
    qint64 size = -1;
    QDateTime modified;
};
// Size and time of a regular file (a link to one counts); nothing for anything else.
std::optional<FileStamp> StatFile(const QString& path);
