// The picture path on a 1920 x 1080 photo, side by side: a JPEG and a PNG
// decoded by stb_image and reduced to 256 colours, against the same picture
// as a 256-colour GIF read by LoadGif; and the two halves of the path apart.
// The pictures are made on first use (scripts/make-photo.sh) and kept in the
// build tree. Before timing, the reduction's error on the photo is printed
// beside ImageMagick's own reduction to 256 colours (the GIF).
#include "image/Gif.h"
#include "image/ImageMemory.h"
#include "image/Picture.h"
#include "image/Quantize.h"
#include "image/StbDecode.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const kFormats[] = {"jpg", "png", "gif"};

std::string PathOf(const char* format) { return std::string(PICTURE_BENCH_DATA_DIR) + "/photo." + format; }

bool MakePhotos() {
    for (const char* format : kFormats) {
        const std::string path = PathOf(format);
        struct stat st;
        if (stat(path.c_str(), &st) == 0 && st.st_size > 0) {
            continue;
        }
        const std::string command = "mkdir -p '" PICTURE_BENCH_DATA_DIR "' && bash '" PICTURE_BENCH_SCRIPT
                                    "' 1920x1080 '" + path + ".tmp." + format + "' && mv '" + path + ".tmp." +
                                    format + "' '" + path + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "picture_bench: could not make %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Mean and largest channel error of a 256-colour picture against the truth.
void PrintError(const char* what, const unsigned char* indices, const unsigned char* palette,
                const unsigned char* rgba, std::size_t pixels) {
    double sum = 0;
    int worst = 0;
    for (std::size_t i = 0; i < pixels; ++i) {
        for (int c = 0; c < 3; ++c) {
            const int e = std::abs(palette[3 * indices[i] + c] - rgba[4 * i + c]);
            sum += e;
            worst = e > worst ? e : worst;
        }
    }
    std::printf("%-36s mean error %.2f, largest %d (levels of 255 per channel)\n", what, sum / (3.0 * pixels), worst);
}

bool PrintQuality() {
    const std::vector<unsigned char> png = ReadAll(PathOf("png"));
    int w = 0, h = 0;
    unsigned char* truth = StbDecodeRgba(png.data(), static_cast<int>(png.size()), &w, &h);
    if (truth == nullptr) {
        return false;
    }
    const std::size_t pixels = static_cast<std::size_t>(w) * h;
    std::vector<unsigned char> indices(pixels);
    unsigned char palette[768] = {};
    const int colors = QuantizeColors(truth, pixels, indices.data(), palette);
    std::printf("photo %dx%d: reduced to %d colours\n", w, h, colors);
    PrintError("median cut (ours), from the PNG", indices.data(), palette, truth, pixels);
    int gw = 0, gh = 0;
    unsigned char gifPalette[768] = {};
    unsigned char* gif = LoadGif(PathOf("gif").c_str(), &gw, &gh, 0, 0, gifPalette);
    if (gif != nullptr && gw == w && gh == h) {
        PrintError("ImageMagick -colors 256 (the GIF)", gif, gifPalette, truth, pixels);
    }
    std::free(gif);
    ImageFree(truth);
    return true;
}

void BM_LoadPictureFile(benchmark::State& state, std::string path) {
    unsigned char palette[768];
    for (auto _ : state) {
        int w = 0, h = 0;
        unsigned char* buffer = LoadPictureFile(path.c_str(), &w, &h, 1920, 1080, palette);
        if (buffer == nullptr) state.SkipWithError("no picture");
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
}

void BM_DecodeOnly(benchmark::State& state, std::string path) {
    const std::vector<unsigned char> bytes = ReadAll(path);
    for (auto _ : state) {
        int w = 0, h = 0;
        unsigned char* rgba = StbDecodeRgba(bytes.data(), static_cast<int>(bytes.size()), &w, &h);
        if (rgba == nullptr) state.SkipWithError("no picture");
        benchmark::DoNotOptimize(rgba);
        ImageFree(rgba);
    }
}

void BM_QuantizeOnly(benchmark::State& state) {
    const std::vector<unsigned char> bytes = ReadAll(PathOf("png"));
    int w = 0, h = 0;
    unsigned char* rgba = StbDecodeRgba(bytes.data(), static_cast<int>(bytes.size()), &w, &h);
    const std::size_t pixels = static_cast<std::size_t>(w) * h;
    std::vector<unsigned char> indices(pixels);
    unsigned char palette[768];
    for (auto _ : state) {
        benchmark::DoNotOptimize(QuantizeColors(rgba, pixels, indices.data(), palette));
    }
    ImageFree(rgba);
}

}  // namespace

int main(int argc, char** argv) {
    if (!MakePhotos() || !PrintQuality()) {
        return 1;
    }
    auto add = [](const std::string& name, auto* function, auto... args) {
        benchmark::RegisterBenchmark(name.c_str(), function, args...)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(5)
            ->ReportAggregatesOnly(true);
    };
    add("Load/jpeg (decode + reduce)", BM_LoadPictureFile, PathOf("jpg"));
    add("Load/png (decode + reduce)", BM_LoadPictureFile, PathOf("png"));
    add("Load/gif (LoadGif)", BM_LoadPictureFile, PathOf("gif"));
    add("DecodeOnly/jpeg", BM_DecodeOnly, PathOf("jpg"));
    add("DecodeOnly/png", BM_DecodeOnly, PathOf("png"));
    benchmark::RegisterBenchmark("ReduceOnly/photo", BM_QuantizeOnly)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
