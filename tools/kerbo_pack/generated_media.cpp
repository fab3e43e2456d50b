#include "tools/kerbo_pack/generated_media.h"

#include <cmath>
#include <cstring>

namespace {

void putLittle(std::vector<unsigned char>* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<unsigned char>(value >> (8 * i)));
}
void putBig32(std::vector<unsigned char>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<unsigned char>(value >> shift));
}
// Byte by byte: GCC 12 mistakes a four-byte range insert into a small vector
// for an overflow (-Wstringop-overflow).
void putTag(std::vector<unsigned char>* out, const char* tag) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<unsigned char>(tag[i]));
}
void setLittle32(std::vector<unsigned char>* out, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) (*out)[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t crc32(const unsigned char* bytes, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return crc ^ 0xFFFFFFFFu;
}

void putPngChunk(std::vector<unsigned char>* out, const char* type, const std::vector<unsigned char>& data) {
    putBig32(out, static_cast<uint32_t>(data.size()));
    size_t start = out->size();
    putTag(out, type);
    out->insert(out->end(), data.begin(), data.end());
    putBig32(out, crc32(out->data() + start, out->size() - start));
}

// A zlib stream of stored DEFLATE blocks.
std::vector<unsigned char> zlibStored(const std::vector<unsigned char>& data) {
    std::vector<unsigned char> out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = data.size() - at < 65535 ? data.size() - at : 65535;
        out.push_back(at + n == data.size() ? 1 : 0);
        putLittle(&out, static_cast<uint32_t>(n), 2);
        putLittle(&out, static_cast<uint32_t>(~n & 0xFFFF), 2);
        out.insert(out.end(), data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < data.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : data) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(&out, (b << 16) | a);
    return out;
}

bool inDisc(int x, int y, int cx, int cy, int radius) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

}  // namespace

std::vector<unsigned char> makeDiscPng(int width, int height, Rgb ground, Rgb disc) {
    std::vector<unsigned char> rows;
    int radius = (width < height ? width : height) * 3 / 8;
    for (int y = 0; y < height; ++y) {
        rows.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            const Rgb& c = inDisc(x, y, width / 2, height / 2, radius) ? disc : ground;
            rows.push_back(c.red);
            rows.push_back(c.green);
            rows.push_back(c.blue);
        }
    }
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    putBig32(&header, static_cast<uint32_t>(width));
    putBig32(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
    putPngChunk(&png, "IHDR", header);
    putPngChunk(&png, "IDAT", zlibStored(rows));
    putPngChunk(&png, "IEND", {});
    return png;
}

std::vector<unsigned char> makeToneWav(int frequency, int milliseconds) {
    const uint32_t rate = 8000;
    const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::vector<unsigned char> wav;
    putTag(&wav, "RIFF");
    putLittle(&wav, 36 + samples, 4);
    putTag(&wav, "WAVE");
    putTag(&wav, "fmt ");
    putLittle(&wav, 16, 4);
    putLittle(&wav, 1, 2);     // PCM
    putLittle(&wav, 1, 2);     // mono
    putLittle(&wav, rate, 4);  // samples a second
    putLittle(&wav, rate, 4);  // bytes a second
    putLittle(&wav, 1, 2);     // block alignment
    putLittle(&wav, 8, 2);     // bits a sample
    putTag(&wav, "data");
    putLittle(&wav, samples, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        double phase = 2 * 3.14159265358979 * frequency * i / rate;
        wav.push_back(static_cast<unsigned char>(128 + 60 * std::sin(phase)));
    }
    if (samples % 2) wav.push_back(0);  // chunks are padded to an even size
    return wav;
}

std::vector<unsigned char> makeDiscAvi(int width, int height, int frameCount, Rgb ground, Rgb disc) {
    const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t frameSize = stride * static_cast<uint32_t>(height);
    const uint32_t w = static_cast<uint32_t>(width), h = static_cast<uint32_t>(height);
    const uint32_t frames = static_cast<uint32_t>(frameCount);
    std::vector<unsigned char> avi;
    putTag(&avi, "RIFF");
    putLittle(&avi, 0, 4);  // set at the end
    putTag(&avi, "AVI ");

    putTag(&avi, "LIST");
    putLittle(&avi, 4 + 8 + 56 + 12 + 8 + 56 + 8 + 40, 4);
    putTag(&avi, "hdrl");
    putTag(&avi, "avih");
    putLittle(&avi, 56, 4);
    const uint32_t mainHeader[14] = {200000, frameSize * 5, 0, 0x10 /* has an index */, frames, 0, 1, frameSize,
                                     w, h, 0, 0, 0, 0};
    for (uint32_t v : mainHeader) putLittle(&avi, v, 4);
    putTag(&avi, "LIST");
    putLittle(&avi, 4 + 8 + 56 + 8 + 40, 4);
    putTag(&avi, "strl");
    putTag(&avi, "strh");
    putLittle(&avi, 56, 4);
    putTag(&avi, "vids");
    putTag(&avi, "DIB ");
    const uint32_t streamHeader[10] = {0, 0, 0, 1, 5, 0, frames, frameSize, 0xFFFFFFFFu, 0};
    // flags, priority and language, initial frames, scale, rate, start,
    // length, buffer size, quality, sample size
    for (uint32_t v : streamHeader) putLittle(&avi, v, 4);
    putLittle(&avi, 0, 2);
    putLittle(&avi, 0, 2);
    putLittle(&avi, w, 2);
    putLittle(&avi, h, 2);
    putTag(&avi, "strf");
    putLittle(&avi, 40, 4);
    const uint32_t bitmapHeader[] = {40, w, h};
    for (uint32_t v : bitmapHeader) putLittle(&avi, v, 4);
    putLittle(&avi, 1, 2);   // planes
    putLittle(&avi, 24, 2);  // bits a pixel
    const uint32_t rest[] = {0, frameSize, 0, 0, 0, 0};
    for (uint32_t v : rest) putLittle(&avi, v, 4);

    putTag(&avi, "LIST");
    size_t moviSize = avi.size();
    putLittle(&avi, 0, 4);
    size_t movi = avi.size();
    putTag(&avi, "movi");
    std::vector<uint32_t> offsets;
    int radius = (width < height ? width : height) / 3;
    for (int f = 0; f < frameCount; ++f) {
        offsets.push_back(static_cast<uint32_t>(avi.size() - movi));
        putTag(&avi, "00db");
        putLittle(&avi, frameSize, 4);
        int cx = radius + (width - 2 * radius) * f / (frameCount > 1 ? frameCount - 1 : 1);
        for (int y = height - 1; y >= 0; --y) {  // bottom-up rows, B G R
            for (int x = 0; x < width; ++x) {
                const Rgb& c = inDisc(x, y, cx, height / 2, radius) ? disc : ground;
                avi.push_back(c.blue);
                avi.push_back(c.green);
                avi.push_back(c.red);
            }
            for (uint32_t pad = w * 3; pad < stride; ++pad) avi.push_back(0);
        }
    }
    setLittle32(&avi, moviSize, static_cast<uint32_t>(avi.size() - movi));
    putTag(&avi, "idx1");
    putLittle(&avi, 16 * frames, 4);
    for (uint32_t offset : offsets) {
        putTag(&avi, "00db");
        putLittle(&avi, 0x10, 4);  // a key frame
        putLittle(&avi, offset, 4);
        putLittle(&avi, frameSize, 4);
    }
    setLittle32(&avi, 4, static_cast<uint32_t>(avi.size() - 8));
    return avi;
}
