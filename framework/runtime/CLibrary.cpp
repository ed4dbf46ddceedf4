// The C library functions the release's code calls, or GCC emits calls to
// (block copies and fills), under their C names: the implementations are
// CFunctions.cpp's, tested natively. This file is compiled freestanding, so
// that GCC does not turn these into calls to themselves.
#include <cstddef>

#include "framework/runtime/CFunctions.h"
#include "framework/runtime/X87.h"

extern "C" {

void* memcpy(void* destination, const void* source, std::size_t count) {
    return crt::memcpy(destination, source, count);
}
void* memmove(void* destination, const void* source, std::size_t count) {
    return crt::memmove(destination, source, count);
}
void* memset(void* destination, int value, std::size_t count) { return crt::memset(destination, value, count); }
int memcmp(const void* a, const void* b, std::size_t count) { return crt::memcmp(a, b, count); }
void* memchr(const void* block, int value, std::size_t count) { return crt::memchr(block, value, count); }
std::size_t strlen(const char* text) { return crt::strlen(text); }
std::size_t strnlen(const char* text, std::size_t limit) { return crt::strnlen(text, limit); }
int strcmp(const char* a, const char* b) { return crt::strcmp(a, b); }
int strncmp(const char* a, const char* b, std::size_t count) { return crt::strncmp(a, b, count); }
char* strchr(const char* text, int value) { return crt::strchr(text, value); }
char* strrchr(const char* text, int value) { return crt::strrchr(text, value); }
char* strncpy(char* destination, const char* source, std::size_t count) {
    return crt::strncpy(destination, source, count);
}

int abs(int value) { return value < 0 ? -value : value; }
long labs(long value) { return value < 0 ? -value : value; }

void srand(unsigned int seed) { crt::srand(seed); }
int rand() { return crt::rand(); }

double cos(double x) { return X87Cos(x); }
double sin(double x) { return X87Sin(x); }

// GCC joins a cos and a sin of the same angle into one call of this.
void sincos(double x, double* sine, double* cosine) {
    *sine = X87Sin(x);
    *cosine = X87Cos(x);
}

}  // extern "C"
