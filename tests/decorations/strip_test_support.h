#pragma once

#include "QtTestApp.h"
#include "TestImages.h"

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

// A one-colour, one-frame GIF of the given size.
inline bool WriteTestGif(const QString& path, int width, int height, QColor colour)
{
    const QColor palette[3] = { colour, colour, colour };
    return testimages::WriteGif(path, width, height, { { 0, 0 } }, palette);
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
