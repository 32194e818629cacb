#include "pipeline/record/GifEncoder.h"

#include "pipeline/record/GifPalette.h"

#include <gif_lib.h>

#include <algorithm>
#include <memory>

namespace {

int appendBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

// Smallest rectangle holding every index that differs from the previous frame.
Rect changedRect(const std::vector<std::uint8_t>& previous, const std::vector<std::uint8_t>& current,
                 int width, int height)
{
    int left = width, top = height, right = -1, bottom = -1;
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            if (previous[row + x] != current[row + x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        return {0, 0, 1, 1}; // unchanged frame: a GIF frame cannot be empty
    return {left, top, right - left + 1, bottom - top + 1};
}

bool putLoopExtension(GifFileType* gif)
{
    // NETSCAPE2.0 application block, sub-block 1 with a loop count of 0: loop for ever.
    static const char kApplication[] = "NETSCAPE2.0";
    const GifByteType loop[3] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK
        && EGifPutExtensionBlock(gif, 11, kApplication) == GIF_OK
        && EGifPutExtensionBlock(gif, 3, loop) == GIF_OK
        && EGifPutExtensionTrailer(gif) == GIF_OK;
}

} // namespace

QByteArray EncodeGif(const std::vector<QImage>& frames, const std::vector<int>& delays, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QByteArray();
    };
    if (frames.empty() || frames.size() != delays.size())
        return fail(QStringLiteral("an animation needs one delay per frame"));
    const int width = frames.front().width();
    const int height = frames.front().height();
    for (const QImage& f : frames) {
        if (f.width() != width || f.height() != height)
            return fail(QStringLiteral("all frames must have the same size"));
    }

    // Opaque animations keep one index free to mean "as in the previous frame": later frames
    // then store only the changed rectangle, with long runs of that index that pack well.
    const IndexedFrames indexed = Quantise(frames, true);
    const bool transparent = indexed.sourceTransparent;
    const int unchanged = indexed.transparentIndex;

    QByteArray bytes;
    int code = 0;
    GifHandle gif(EGifOpen(&bytes, appendBytes, &code));
    if (!gif)
        return fail(QString::fromUtf8(GifErrorString(code)));
    auto gifFailed = [&gif, &fail]() { return fail(QString::fromUtf8(GifErrorString(gif->Error))); };

    std::vector<GifColorType> table(indexed.colours.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        table[i].Red = GifByteType(qRed(indexed.colours[i]));
        table[i].Green = GifByteType(qGreen(indexed.colours[i]));
        table[i].Blue = GifByteType(qBlue(indexed.colours[i]));
    }
    ColorMapObject* map = GifMakeMapObject(int(table.size()), table.data());
    if (!map)
        return fail(QStringLiteral("out of memory"));
    EGifSetGifVersion(gif.get(), true);
    const int background = transparent ? indexed.transparentIndex : 0;
    const bool screenOk = EGifPutScreenDesc(gif.get(), width, height, 8, background, map) == GIF_OK;
    GifFreeMapObject(map); // the screen descriptor keeps its own copy
    if (!screenOk)
        return gifFailed();
    if (frames.size() > 1 && !putLoopExtension(gif.get()))
        return gifFailed();

    std::vector<GifPixelType> line(static_cast<std::size_t>(width));
    for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
        const auto& current = indexed.indices[i];
        const bool delta = !transparent && i > 0;
        Rect rect{0, 0, width, height};
        if (delta)
            rect = changedRect(indexed.indices[i - 1], current, width, height);

        GraphicsControlBlock control{};
        control.DisposalMode = transparent ? DISPOSE_BACKGROUND : DISPOSE_DO_NOT;
        control.UserInputFlag = false;
        control.DelayTime = delays[i];
        control.TransparentColor = (transparent || delta) ? indexed.transparentIndex : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK)
            return gifFailed();
        if (EGifPutImageDesc(gif.get(), rect.left, rect.top, rect.width, rect.height, false, nullptr)
            != GIF_OK)
            return gifFailed();
        for (int y = rect.top; y < rect.top + rect.height; ++y) {
            const std::size_t start = static_cast<std::size_t>(y) * width + rect.left;
            for (int x = 0; x < rect.width; ++x) {
                const std::uint8_t index = current[start + x];
                line[x] = (delta && indexed.indices[i - 1][start + x] == index) ? GifPixelType(unchanged) : index;
            }
            if (EGifPutLine(gif.get(), line.data(), rect.width) != GIF_OK)
                return gifFailed();
        }
    }
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &code) != GIF_OK)
        return fail(QString::fromUtf8(GifErrorString(code)));
    return bytes;
}
