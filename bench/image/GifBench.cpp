// LoadGif against giflib's DGifSlurp on the same files, read from the page
// cache. The pictures are made with ImageMagick on first use and kept in the
// build tree; both decoders must agree on every pixel before anything is
// timed.
#include "image/Gif.h"

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Picture {
    const char* name;
    const char* convertArgs;  // everything between "convert" and the output file
};

const Picture kPictures[] = {
    {"photo256", "-seed 1 -size 1920x1080 plasma:fractal -colors 256"},
    {"photo256-interlaced", "-seed 1 -size 1920x1080 plasma:fractal -colors 256 -interlace GIF"},
    {"gradient16", "-size 1920x1080 gradient:red-blue -colors 16"},
    {"checker2", "-size 1920x1080 pattern:checkerboard -colors 2"},
    {"frames", "( -seed 2 -size 1920x1080 plasma:fractal -colors 256 -repage 1920x1080+0+0 )"
               " ( -seed 3 -size 800x600 plasma:fractal -colors 128 -repage 1920x1080+600+300 )"
               " ( -seed 4 -size 640x480 plasma:fractal -colors 64 -repage 1920x1080+1200+50 )"
               " ( -seed 5 -size 400x400 plasma:fractal -colors 256 -repage 1920x1080+100+650 )"},
};

std::string PathOf(const Picture& p) { return std::string(GIF_BENCH_DATA_DIR) + "/" + p.name + ".gif"; }

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

bool MakePicture(const Picture& p) {
    const std::string path = PathOf(p);
    if (Exists(path)) {
        return true;
    }
    std::string command = "mkdir -p '" GIF_BENCH_DATA_DIR "' && convert ";
    for (const char* c = p.convertArgs; *c; ++c) {
        // Parentheses reach ImageMagick unharmed by the shell.
        if (*c == '(' || *c == ')') {
            command += '\\';
        }
        command += *c;
    }
    command += " '" + path + ".tmp.gif' && mv '" + path + ".tmp.gif' '" + path + "'";
    if (std::system(command.c_str()) != 0 || !Exists(path)) {
        std::fprintf(stderr, "gif_bench: could not make %s with: %s\n", path.c_str(), command.c_str());
        return false;
    }
    return true;
}

// giflib's images drawn over one another into the logical screen; `covered`
// marks the bytes that some image wrote.
bool GiflibComposite(const std::string& path, int& width, int& height, std::vector<unsigned char>& pixels,
                     std::vector<bool>& covered) {
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
        if (gif) {
            DGifCloseFile(gif, &error);
        }
        return false;
    }
    width = gif->SWidth;
    height = gif->SHeight;
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    covered.assign(pixels.size(), false);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        for (int y = 0; y < d.Height; ++y) {
            for (int x = 0; x < d.Width; ++x) {
                if (d.Left + x < width && d.Top + y < height) {
                    const std::size_t at = static_cast<std::size_t>(d.Top + y) * static_cast<std::size_t>(width) +
                                           static_cast<std::size_t>(d.Left + x);
                    pixels[at] = image.RasterBits[y * d.Width + x];
                    covered[at] = true;
                }
            }
        }
    }
    DGifCloseFile(gif, &error);
    return true;
}

bool DecodersAgree(const Picture& p) {
    const std::string path = PathOf(p);
    int width = 0;
    int height = 0;
    std::vector<unsigned char> expected;
    std::vector<bool> covered;
    if (!GiflibComposite(path, width, height, expected, covered)) {
        std::fprintf(stderr, "gif_bench: giflib cannot read %s\n", path.c_str());
        return false;
    }
    int w = 0;
    int h = 0;
    unsigned char palette[768];
    unsigned char* buffer = LoadGif(path.c_str(), &w, &h, 0, 0, palette);
    bool same = buffer != nullptr && w == width && h == height;
    std::size_t mismatches = 0;
    for (std::size_t i = 0; same && i < expected.size(); ++i) {
        if (covered[i] && buffer[i] != expected[i]) {
            ++mismatches;
        }
    }
    std::free(buffer);
    if (!same || mismatches != 0) {
        std::fprintf(stderr, "gif_bench: LoadGif and giflib disagree on %s (%zu pixels differ)\n", path.c_str(),
                     mismatches);
        return false;
    }
    return true;
}

void BM_LoadGif(benchmark::State& state, std::string path) {
    unsigned char palette[768];
    for (auto _ : state) {
        int w = 0;
        int h = 0;
        unsigned char* buffer = LoadGif(path.c_str(), &w, &h, 0, 0, palette);
        benchmark::DoNotOptimize(buffer);
        std::free(buffer);
    }
}

void BM_Giflib(benchmark::State& state, std::string path) {
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK) {
            state.SkipWithError("giflib failed");
        }
        benchmark::DoNotOptimize(gif);
        if (gif) {
            DGifCloseFile(gif, &error);
        }
    }
}

// The console report, then each picture's medians side by side.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-22s %14s %14s %10s\n", "picture", "LoadGif cpu ms", "giflib cpu ms", "speed-up");
        for (const Picture& p : kPictures) {
            const auto ours = medians_.find(std::string("LoadGif/") + p.name);
            const auto theirs = medians_.find(std::string("giflib/") + p.name);
            if (ours == medians_.end() || theirs == medians_.end()) {
                continue;
            }
            // CPU time, in the benchmarks' unit (ms): the machine may be shared.
            std::printf("%-22s %14.3f %14.3f %9.2fx\n", p.name, ours->second, theirs->second,
                        theirs->second / ours->second);
        }
    }

private:
    std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
    for (const Picture& p : kPictures) {
        if (!MakePicture(p) || !DecodersAgree(p)) {
            return 1;
        }
    }
    for (const Picture& p : kPictures) {
        const std::string path = PathOf(p);
        benchmark::RegisterBenchmark((std::string("LoadGif/") + p.name).c_str(), BM_LoadGif, path)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(9)
            ->ReportAggregatesOnly(true);
        benchmark::RegisterBenchmark((std::string("giflib/") + p.name).c_str(), BM_Giflib, path)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(9)
            ->ReportAggregatesOnly(true);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
