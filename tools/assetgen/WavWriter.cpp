#include "tools/assetgen/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kChannels = 1;
constexpr std::uint16_t kBitsPerSample = 16;
constexpr std::uint32_t kFmtChunkSize = 16;

void put16(QByteArray& out, std::uint16_t v)
{
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>(v >> 8));
}

void put32(QByteArray& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(static_cast<char>((v >> shift) & 0xff));
}

} // namespace

QByteArray encodeWav(const Clip& clip)
{
    constexpr std::uint16_t blockAlign = kChannels * kBitsPerSample / 8;
    const auto dataSize = static_cast<std::uint32_t>(clip.samples.size() * blockAlign);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(44 + dataSize));
    out.append("RIFF", 4);
    put32(out, 4 + (8 + kFmtChunkSize) + (8 + dataSize));
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    put32(out, kFmtChunkSize);
    put16(out, kFormatPcm);
    put16(out, kChannels);
    put32(out, Clip::kRate);
    put32(out, Clip::kRate * blockAlign);
    put16(out, blockAlign);
    put16(out, kBitsPerSample);
    out.append("data", 4);
    put32(out, dataSize);
    for (const double s : clip.samples) {
        const long v = std::lround(std::clamp(s, -1.0, 1.0) * 32767.0);
        put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return out;
}
