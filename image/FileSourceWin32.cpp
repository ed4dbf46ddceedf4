// The file source of the Windows builds: the system's own file functions.
#include "image/ByteSource.h"

#include <windows.h>

FileSource::FileSource(const char* fileName) {
    if (fileName == nullptr) return;
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) m_handle = file;
}

FileSource::~FileSource() {
    if (m_handle != nullptr) CloseHandle(m_handle);
}

std::size_t FileSource::Read(unsigned char* buffer, std::size_t size) {
    if (m_handle == nullptr) return 0;
    // ReadFile counts in DWORDs; the decoder asks for a few kilobytes at a time.
    const DWORD ask = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(m_handle, buffer, ask, &got, nullptr)) return 0;
    return got <= ask ? got : 0;
}
