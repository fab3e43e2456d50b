// The PNG decoder and conversion against libpng on the same files: a
// photo-like 1024 x 768 RGB picture, a 260 x 260 RGB picture (the size the
// player shows) and a 260 x 260 palette picture. Each side decodes into a
// buffer it keeps between runs; libpng also turns RGB into B, G, R as the
// bitmap does. At the end the ratio of our time to libpng's is printed.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "media/png_convert.h"
#include "media/png_decoder.h"
#include "package/resource_store.h"

namespace {

using Bytes = std::vector<unsigned char>;

void writeToMemory(png_structp png, png_bytep data, png_size_t n) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}
void flushMemory(png_structp) {}

// Smooth colour fields with grain, as a photograph has; libpng's default
// filters and compression.
Bytes encodePicture(uint32_t width, uint32_t height, bool palette) {
    uint32_t state = 12345;
    auto noise = [&] {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 13) - 6;
    };
    int channels = palette ? 1 : 3;
    std::vector<Bytes> rows(height, Bytes(size_t(width) * channels));
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c) {
                double fx = x / double(width), fy = y / double(height);
                double v = 128 + 60 * std::sin(6.0 * fx + 2.0 * c + 3.0 * fy) + 40 * std::cos(9.0 * fy * (c + 1) - 4.0 * fx) +
                           20 * std::sin(40.0 * fx * fy);
                int value = static_cast<int>(v) + (palette ? 0 : noise());
                if (palette) value = (value / 8) * 8 + (x / 37 + y / 29) % 8;  // 256 indices in bands
                rows[y][size_t(x) * channels + c] = static_cast<unsigned char>(value < 0 ? 0 : value > 255 ? 255 : value);
            }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) return Bytes();
    png_set_write_fn(png, &out, writeToMemory, flushMemory);
    png_set_IHDR(png, info, width, height, 8, palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> plte(256);
    for (int i = 0; i < 256; ++i)
        plte[i] = png_color{static_cast<png_byte>(i), static_cast<png_byte>(255 - i), static_cast<png_byte>(i / 2)};
    if (palette) png_set_PLTE(png, info, plte.data(), 256);
    png_write_info(png, info);
    for (Bytes& row : rows) png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

const Bytes& picture(const std::string& name) {
    static std::map<std::string, Bytes> pictures = {
        {"photo_1024x768", encodePicture(1024, 768, false)},
        {"rgb_260x260", encodePicture(260, 260, false)},
        {"palette_260x260", encodePicture(260, 260, true)},
    };
    return pictures.at(name);
}

void decodeOurs(benchmark::State& state, const std::string& name) {
    const Bytes& file = picture(name);
    MemoryResourceStore store;
    store.add(KERBO_TYPE_RCDATA, 1, file.data(), static_cast<uint32_t>(file.size()));
    Bytes bits;
    for (auto _ : state) {
        PngResourceDecoder decoder;
        init(decoder);
        if (!openResource(decoder, &store, 1) || !decode(decoder)) {
            state.SkipWithError("decode failed");
            break;
        }
        PngBitmapInfo info;
        pngBitmapInfo(decoder, info);
        bits.resize(pngBitmapBitsSize(info));
        if (!pngConvert(decoder, bits.data(), static_cast<uint32_t>(bits.size()))) state.SkipWithError("convert failed");
        release(decoder);
        benchmark::DoNotOptimize(bits.data());
    }
    state.SetLabel(std::to_string(file.size()) + " bytes");
}

struct MemoryReader {
    const Bytes* file;
    size_t at;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t n) {
    MemoryReader* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (r->at + n > r->file->size()) png_error(png, "read past end");
    std::memcpy(out, r->file->data() + r->at, n);
    r->at += n;
}

void decodeLibpng(benchmark::State& state, const std::string& name) {
    const Bytes& file = picture(name);
    Bytes pixels;
    std::vector<png_bytep> rows;
    for (auto _ : state) {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png))) {
            state.SkipWithError("libpng failed");
            break;
        }
        MemoryReader reader{&file, 0};
        png_set_read_fn(png, &reader, readFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_update_info(png, info);
        size_t rowBytes = (png_get_rowbytes(png, info) + 3) & ~size_t(3);
        uint32_t height = png_get_image_height(png, info);
        pixels.resize(rowBytes * height);
        rows.resize(height);
        for (uint32_t y = 0; y < height; ++y) rows[y] = pixels.data() + y * rowBytes;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(pixels.data());
    }
}

const char* const kPictures[] = {"photo_1024x768", "rgb_260x260", "palette_260x260"};

// Keeps the best CPU time per iteration of each benchmark over its
// repetitions (the least disturbed by other work on the machine) to print the
// ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            std::string name = run.run_name.function_name;
            double t = run.GetAdjustedCPUTime();
            if (!times.count(name) || t < times[name]) times[name] = t;
        }
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    for (const char* name : kPictures) {
        benchmark::RegisterBenchmark((std::string("ours/") + name).c_str(), decodeOurs, std::string(name))
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(5);
        benchmark::RegisterBenchmark((std::string("libpng/") + name).c_str(), decodeLibpng, std::string(name))
            ->Unit(benchmark::kMicrosecond)
            ->Repetitions(5);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nCPU time of our decoder over libpng's, best of 5 (targets: 2.5 for the photo, 1.3 for the others):\n");
    for (const char* name : kPictures) {
        auto ours = reporter.times.find(std::string("ours/") + name);
        auto theirs = reporter.times.find(std::string("libpng/") + name);
        if (ours == reporter.times.end() || theirs == reporter.times.end()) continue;
        std::printf("  %-16s %.2f\n", name, ours->second / theirs->second);
    }
    benchmark::Shutdown();
    return 0;
}
