// Loads each picture file named on the command line once through
// LoadPictureFile and says what came of it: a program for a heap profiler
// (heaptrack, valgrind --tool=massif) to measure a decode's peak heap by.
//   picture_heap FILE...
#include "image/Picture.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        int width = 0;
        int height = 0;
        unsigned char palette[768];
        unsigned char* buffer = LoadPictureFile(argv[i], &width, &height, 0, 0, palette);
        if (buffer == nullptr) {
            std::printf("%s: refused\n", argv[i]);
            ++failures;
        } else {
            std::printf("%s: %d x %d\n", argv[i], width, height);
        }
        std::free(buffer);
    }
    return failures == 0 ? 0 : 1;
}
