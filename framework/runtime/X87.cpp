#include "framework/runtime/X87.h"

#if !(defined(__i386__) || defined(__x86_64__))
#include <cmath>
#endif

namespace {
// Precision control (bits 8-9) 10: 53-bit mantissa; rounding (bits 10-11) 00:
// nearest; exception masks (bits 0-5) all set.
constexpr unsigned short kDoublePrecisionControl = 0x027F;
}  // namespace

#if defined(__i386__) || defined(__x86_64__)

void SetX87DoublePrecision() {
    const unsigned short word = kDoublePrecisionControl;
    __asm__ volatile("fldcw %0" : : "m"(word));
}

unsigned short X87ControlWord() {
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return word;
}

// C2 (status bit 10) set after FCOS/FSIN means the argument was out of range
// and left as it was; FPREM1 by 2 pi (repeated while C2 says it is partial)
// brings it into range. One body for both, named by its instruction.
#define ORVANE_X87_TRIG(op)            \
    op "\n\t"                          \
       "fnstsw %%ax\n\t"               \
       "testw $0x400, %%ax\n\t"        \
       "jz 1f\n\t"                     \
       "fldpi\n\t"                     \
       "fadd %%st(0), %%st\n\t"        \
       "fxch %%st(1)\n"                 \
       "2:\n\t"                        \
       "fprem1\n\t"                    \
       "fnstsw %%ax\n\t"               \
       "testw $0x400, %%ax\n\t"        \
       "jnz 2b\n\t"                    \
       "fstp %%st(1)\n\t" op "\n"      \
       "1:"

double X87Cos(double x) {
    long double r;
    __asm__(ORVANE_X87_TRIG("fcos") : "=t"(r) : "0"(static_cast<long double>(x)) : "ax", "cc");
    return static_cast<double>(r);
}

double X87Sin(double x) {
    long double r;
    __asm__(ORVANE_X87_TRIG("fsin") : "=t"(r) : "0"(static_cast<long double>(x)) : "ax", "cc");
    return static_cast<double>(r);
}

#else

void SetX87DoublePrecision() {}
unsigned short X87ControlWord() { return 0; }
double X87Cos(double x) { return std::cos(x); }
double X87Sin(double x) { return std::sin(x); }

#endif
