#include "pipeline/record/GifPalette.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kCellCount = 1 << 15;
constexpr int kTableSize = 256;

int cellOf(QRgb c)
{
    return (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
}

bool isTransparent(QRgb c) { return qAlpha(c) < 128; }

// All pixels that fall into one 15-bit colour cell, with their exact colour sums.
struct Cell {
    int key = 0;
    std::uint64_t count = 0;
    std::uint64_t r = 0, g = 0, b = 0;
};

int channel(const Cell& c, int axis) { return (c.key >> (10 - 5 * axis)) & 31; }

struct Box {
    std::size_t begin = 0, end = 0;
    std::uint64_t count = 0;
    int longestAxis = 0;
    int range = 0;
};

Box measure(const std::vector<Cell>& cells, std::size_t begin, std::size_t end)
{
    Box box{begin, end, 0, 0, 0};
    std::array<int, 3> lo{31, 31, 31}, hi{0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.count += cells[i].count;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], channel(cells[i], a));
            hi[a] = std::max(hi[a], channel(cells[i], a));
        }
    }
    for (int a = 0; a < 3; ++a) {
        if (hi[a] - lo[a] > box.range) {
            box.range = hi[a] - lo[a];
            box.longestAxis = a;
        }
    }
    return box;
}

std::vector<Box> medianCut(std::vector<Cell>& cells, int maxBoxes)
{
    std::vector<Box> boxes{measure(cells, 0, cells.size())};
    while (static_cast<int>(boxes.size()) < maxBoxes) {
        // Split where it helps most: many pixels spread over a wide colour range.
        std::size_t pick = boxes.size();
        std::uint64_t best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const std::uint64_t score = boxes[i].count * static_cast<std::uint64_t>(boxes[i].range);
            if (boxes[i].end - boxes[i].begin > 1 && score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick == boxes.size())
            break;
        const Box box = boxes[pick];
        const int axis = box.longestAxis;
        std::sort(cells.begin() + box.begin, cells.begin() + box.end,
                  [axis](const Cell& x, const Cell& y) {
                      const int cx = channel(x, axis), cy = channel(y, axis);
                      return cx != cy ? cx < cy : x.key < y.key;
                  });
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            running += cells[i].count;
            if (running * 2 >= box.count) {
                split = i + 1;
                break;
            }
        }
        split = std::clamp(split, box.begin + 1, box.end - 1);
        boxes[pick] = measure(cells, box.begin, split);
        boxes.push_back(measure(cells, split, box.end));
    }
    return boxes;
}

QRgb meanColour(const std::vector<Cell>& cells, std::size_t begin, std::size_t end)
{
    std::uint64_t n = 0, r = 0, g = 0, b = 0;
    for (std::size_t i = begin; i < end; ++i) {
        n += cells[i].count;
        r += cells[i].r;
        g += cells[i].g;
        b += cells[i].b;
    }
    return qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((b + n / 2) / n));
}

int distance(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

IndexedFrames Quantise(const std::vector<QImage>& frames, bool reserveIndex)
{
    std::vector<QImage> argb;
    argb.reserve(frames.size());
    for (const QImage& f : frames)
        argb.push_back(f.convertToFormat(QImage::Format_ARGB32));

    std::vector<Cell> histogram(kCellCount);
    bool anyTransparent = false;
    for (const QImage& f : argb) {
        for (int y = 0; y < f.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(f.constScanLine(y));
            for (int x = 0; x < f.width(); ++x) {
                if (isTransparent(row[x])) {
                    anyTransparent = true;
                    continue;
                }
                Cell& c = histogram[cellOf(row[x])];
                c.count += 1;
                c.r += qRed(row[x]);
                c.g += qGreen(row[x]);
                c.b += qBlue(row[x]);
            }
        }
    }
    std::vector<Cell> cells;
    for (int key = 0; key < kCellCount; ++key) {
        if (histogram[key].count > 0) {
            histogram[key].key = key;
            cells.push_back(histogram[key]);
        }
    }

    IndexedFrames out;
    out.sourceTransparent = anyTransparent;
    const bool reserved = anyTransparent || reserveIndex;
    out.transparentIndex = reserved ? kTableSize - 1 : -1;
    const int usable = reserved ? kTableSize - 1 : kTableSize;
    if (!cells.empty()) {
        for (const Box& box : medianCut(cells, usable))
            out.colours.push_back(meanColour(cells, box.begin, box.end));
    }
    out.colours.resize(kTableSize, qRgb(0, 0, 0));

    // Each used cell goes to the table colour nearest to the cell's own mean colour.
    std::vector<std::uint8_t> lookup(kCellCount, 0);
    for (const Cell& c : cells) {
        const QRgb own = qRgb(int((c.r + c.count / 2) / c.count), int((c.g + c.count / 2) / c.count),
                              int((c.b + c.count / 2) / c.count));
        int best = 0;
        int bestDistance = distance(own, out.colours[0]);
        for (int i = 1; i < usable; ++i) {
            const int d = distance(own, out.colours[i]);
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        lookup[c.key] = static_cast<std::uint8_t>(best);
    }

    for (const QImage& f : argb) {
        std::vector<std::uint8_t> block(static_cast<std::size_t>(f.width()) * f.height());
        for (int y = 0; y < f.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(f.constScanLine(y));
            std::uint8_t* dst = block.data() + static_cast<std::size_t>(y) * f.width();
            for (int x = 0; x < f.width(); ++x)
                dst[x] = isTransparent(row[x]) ? std::uint8_t(out.transparentIndex)
                                               : lookup[cellOf(row[x])];
        }
        out.indices.push_back(std::move(block));
    }
    return out;
}
