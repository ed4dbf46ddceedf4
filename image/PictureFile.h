// Reading a picture file's bytes: its first few to recognise the format, or
// all of it into memory for a decoder that works on memory. Both go through
// FileSource, the system's file functions in the release.
#pragma once

#include <cstddef>

// Reads up to count bytes from the start of fileName into bytes. Returns how
// many were read (fewer for a shorter file), or -1 when it cannot be opened.
int ReadFileStart(const char* fileName, unsigned char* bytes, int count);

// Reads the whole of fileName into a block from ImageAlloc (the caller frees
// it with ImageFree) and stores its length in *size. Null when the file
// cannot be opened, is empty, or is longer than maxBytes; the block grows with
// the bytes actually read and never beyond maxBytes.
unsigned char* ReadWholeFile(const char* fileName, std::size_t maxBytes, std::size_t* size);
