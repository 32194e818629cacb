#pragma once

#include "QtTestApp.h"

#include "decorations/ContactRecord.h"

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>

inline void EnsureStripTestApp()
{
    EnsureQtApp();
}

inline ContactRecord MakeContact(uint32_t id, uint32_t flags, int x, int y, uint32_t time)
{
    ContactRecord c;
    c.identifier = id;
    c.flags = flags;
    c.x = x;
    c.y = y;
    c.time = time;
    return c;
}

// Qt has no GIF writer: a one-colour GIF of the given size, each pixel a literal LZW code with a
// clear code every two pixels so that every code stays 3 bits wide.
inline bool WriteTestGif(const QString& path, int width, int height, QColor colour)
{
    QByteArray gif("GIF89a");
    auto le16 = [&](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    le16(width);
    le16(height);
    gif.append(char(0x80)); // global colour table of 2 entries
    gif.append(char(0));
    gif.append(char(0));
    gif.append(char(colour.red()));
    gif.append(char(colour.green()));
    gif.append(char(colour.blue()));
    gif.append(3, char(0));
    gif.append(',');
    le16(0);
    le16(0);
    le16(width);
    le16(height);
    gif.append(char(0));
    gif.append(char(2)); // minimum code size
    QByteArray codes;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](uint32_t code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            codes.append(char(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        if (i % 2 == 0)
            put(4); // clear
        put(0);
    }
    put(5); // end
    if (count > 0)
        codes.append(char(bits & 0xFF));
    for (int at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));
    gif.append(';');
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(gif) == gif.size();
}

// Writes a plain image file of the given size; the format follows the file name.
inline bool WriteTestImage(const QString& path, int width, int height,
                           QColor colour = QColor(200, 120, 40))
{
    if (path.endsWith(QLatin1String(".gif"), Qt::CaseInsensitive))
        return WriteTestGif(path, width, height, colour);
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path);
}
