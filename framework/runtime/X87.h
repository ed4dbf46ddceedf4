// The x87 unit as the release uses it. The release's floating point runs on
// the x87 (an i486 has nothing else); the 64-bit build's runs in SSE2 double
// precision. With the x87 rounding every result to double as well, both
// builds compute the same doubles.
#pragma once

// Sets the x87 control word the platform's own C run-time starts programs
// with: 53-bit precision, round to nearest, all exceptions masked. Without it
// a program starts at 64-bit precision, and sums kept in x87 registers come
// out differently from the same sums in double. Harmless where doubles do not
// live on the x87 (x86_64, which keeps them in SSE2 registers).
void SetX87DoublePrecision();

// The control word as it stands now (for tests); 0 where there is no x87.
unsigned short X87ControlWord();

// cos and sin by the x87's FCOS and FSIN, which every i387 and i486 has,
// with the argument reduced by FPREM1 when it lies beyond their range
// (|x| >= 2^63). On other processors the C library's.
double X87Cos(double x);
double X87Sin(double x);
