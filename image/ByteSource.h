// Where the GIF decoder's bytes come from: a file, read through the system
// (the release links no C library stdio), or a block of memory.
#pragma once

#include <cstddef>

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to size bytes into buffer and returns how many; 0 at the end
    // of the data and after a read error.
    virtual std::size_t Read(unsigned char* buffer, std::size_t size) = 0;
};

// Bytes already in memory (the caller keeps them alive).
class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size)
        : m_data(static_cast<const unsigned char*>(data)), m_size(data ? size : 0) {}
    std::size_t Read(unsigned char* buffer, std::size_t size) override;

private:
    const unsigned char* m_data;
    std::size_t m_size;
    std::size_t m_position = 0;
};

// A file opened for reading: CreateFileA and ReadFile on Windows, stdio
// elsewhere. The decoder buffers, so each Read asks the system once.
class FileSource : public ByteSource {
public:
    explicit FileSource(const char* fileName);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    bool IsOpen() const { return m_handle != nullptr; }
    std::size_t Read(unsigned char* buffer, std::size_t size) override;

private:
    void* m_handle = nullptr;  // the system's handle, or the FILE
};
