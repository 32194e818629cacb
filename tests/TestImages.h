#pragma once

// Test images written to disk: solid PNGs and small animated GIFs (Qt reads GIFs but cannot
// write them, so a minimal GIF89a writer lives here).

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace testimages {

inline bool WritePng(const QString& path, int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    return image.save(path, "PNG");
}

// Solid frames of w × h in one of four palette colours; index 3 is transparent. Delays are in
// hundredths of a second.
struct GifFrame {
    int colourIndex;
    uint16_t delay;
};

inline bool WriteGif(const QString& path, int w, int h, const std::vector<GifFrame>& frames,
                     const QColor palette[3])
{
    QByteArray out("GIF89a");
    auto put16 = [&out](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    put16(w);
    put16(h);
    out.append(char(0x91)); // global colour table of 4 entries
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 3; ++i) {
        out.append(char(palette[i].red()));
        out.append(char(palette[i].green()));
        out.append(char(palette[i].blue()));
    }
    out.append(QByteArray(3, 0));
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (const GifFrame& frame : frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(char(0x09)); // restore to background, transparent index given
        put16(frame.delay);
        out.append(char(3));
        out.append(char(0));
        out.append(char(0x2C));
        put16(0);
        put16(0);
        put16(w);
        put16(h);
        out.append(char(0));
        out.append(char(2)); // minimum code size: 3-bit codes, clear 4, end 5
        // A clear code before every pixel keeps the code width at 3 bits.
        QByteArray data;
        uint32_t bits = 0;
        int count = 0;
        auto putCode = [&](uint32_t code) {
            bits |= code << count;
            count += 3;
            while (count >= 8) {
                data.append(char(bits & 0xFF));
                bits >>= 8;
                count -= 8;
            }
        };
        for (int i = 0; i < w * h; ++i) {
            putCode(4);
            putCode(static_cast<uint32_t>(frame.colourIndex));
        }
        putCode(5);
        if (count > 0)
            data.append(char(bits & 0xFF));
        for (qsizetype at = 0; at < data.size(); at += 255) {
            const QByteArray block = data.mid(at, 255);
            out.append(char(block.size()));
            out.append(block);
        }
        out.append(char(0));
    }
    out.append(char(0x3B));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

// A GIF whose every frame is w × h when decoded but whose file stays tiny: each frame draws one
// red pixel on a black ground, frame i at (i mod w, 0), and leaves it there, so frame i shows
// i + 1 red pixels at the start of the top row. Delays in hundredths of a second.
inline bool WriteSparseGif(const QString& path, int w, int h, int frames, uint16_t delay)
{
    QByteArray out("GIF89a");
    auto put16 = [&out](int v) {
        out.append(char(v & 0xFF));
        out.append(char((v >> 8) & 0xFF));
    };
    put16(w);
    put16(h);
    out.append(char(0x80)); // global colour table of 2 entries
    out.append(char(0));    // background: index 0
    out.append(char(0));
    out.append("\x00\x00\x00\xFF\x00\x00", 6); // black, red
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < frames; ++i) {
        out.append("\x21\xF9\x04\x04", 4); // kept in place for the next frame
        put16(delay);
        out.append(char(0));
        out.append(char(0));
        out.append(char(0x2C));
        put16(i % w);
        put16(0);
        put16(1);
        put16(1);
        out.append(char(0));
        out.append(char(2));                 // 3-bit codes: clear 4, end 5
        out.append("\x02\x4C\x01\x00", 4); // clear, index 1, end
    }
    out.append(char(0x3B));
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

} // namespace testimages
