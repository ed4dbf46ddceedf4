// CString: the framework's ANSI string, a value type over one heap block.
// It holds its own buffer rather than a std::string: the release links no
// prebuilt C++ library, whose string code is compiled for newer processors.
// It never throws: when memory runs out an assignment leaves it empty and an
// append leaves it as it was.
#pragma once

#include <cstdlib>
#include <cstring>

class CString {
public:
    CString() = default;
    CString(const char* text) { Assign(text, text ? std::strlen(text) : 0); }  // NOLINT: implicit like the original
    CString(const char* text, int length) { Assign(text, text && length > 0 ? static_cast<std::size_t>(length) : 0); }
    CString(const CString& other) { Assign(other.m_data, other.m_length); }
    CString(CString&& other) noexcept : m_data(other.m_data), m_length(other.m_length), m_capacity(other.m_capacity) {
        other.m_data = nullptr;
        other.m_length = other.m_capacity = 0;
    }
    ~CString() { std::free(m_data); }

    CString& operator=(const CString& other) {
        if (this != &other) Assign(other.m_data, other.m_length);
        return *this;
    }
    CString& operator=(CString&& other) noexcept {
        if (this != &other) {
            std::free(m_data);
            m_data = other.m_data;
            m_length = other.m_length;
            m_capacity = other.m_capacity;
            other.m_data = nullptr;
            other.m_length = other.m_capacity = 0;
        }
        return *this;
    }
    CString& operator=(const char* text) {
        Assign(text, text ? std::strlen(text) : 0);
        return *this;
    }
    CString& operator+=(const CString& other) {
        Append(other.m_data, other.m_length);
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) Append(text, std::strlen(text));
        return *this;
    }
    CString& operator+=(char c) {
        Append(&c, 1);
        return *this;
    }

    operator const char*() const { return m_data ? m_data : ""; }  // NOLINT: LPCTSTR conversion
    int GetLength() const { return static_cast<int>(m_length); }
    bool IsEmpty() const { return m_length == 0; }
    void Empty() {
        if (m_data) m_data[0] = '\0';
        m_length = 0;
    }
    char GetAt(int index) const { return m_data[static_cast<std::size_t>(index)]; }
    CString Left(int count) const {
        const std::size_t n = count <= 0 ? 0 : static_cast<std::size_t>(count) < m_length ? static_cast<std::size_t>(count)
                                                                                            : m_length;
        return CString(m_data, static_cast<int>(n));
    }

    friend CString operator+(const CString& a, const CString& b) {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const CString& a, const char* b) {
        CString r(a);
        r += b;
        return r;
    }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }
    friend bool operator==(const CString& a, const CString& b) {
        return a.m_length == b.m_length && (a.m_length == 0 || std::memcmp(a.m_data, b.m_data, a.m_length) == 0);
    }
    friend bool operator==(const CString& a, const char* b) {
        const char* text = b ? b : "";
        const std::size_t length = std::strlen(text);
        return a.m_length == length && (length == 0 || std::memcmp(a.m_data, text, length) == 0);
    }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    // Copies first into a fresh block, so that text may point into this string.
    void Assign(const char* text, std::size_t length) {
        char* block = length > 0 ? static_cast<char*>(std::malloc(length + 1)) : nullptr;
        if (block) {
            std::memcpy(block, text, length);
            block[length] = '\0';
        }
        std::free(m_data);
        m_data = block;
        m_length = block ? length : 0;
        m_capacity = m_length;
    }

    void Append(const char* text, std::size_t length) {
        if (length == 0 || length > kMaxLength - m_length) return;
        if (m_data == nullptr || m_length + length > m_capacity) {
            const std::size_t needed = m_length + length;
            const std::size_t capacity = m_capacity < kMaxLength / 2 && m_capacity * 2 > needed ? m_capacity * 2 : needed;
            char* block = static_cast<char*>(std::malloc(capacity + 1));
            if (block == nullptr) return;  // out of memory: the string keeps what it had
            if (m_length) std::memcpy(block, m_data, m_length);
            std::memcpy(block + m_length, text, length);  // before the old block goes: text may lie in it
            std::free(m_data);
            m_data = block;
            m_capacity = capacity;
        } else {
            std::memmove(m_data + m_length, text, length);
        }
        m_length += length;
        m_data[m_length] = '\0';
    }

    // Lengths stay far from the size type's end, so that no sum wraps.
    static constexpr std::size_t kMaxLength = static_cast<std::size_t>(-1) / 4;

    char* m_data = nullptr;
    std::size_t m_length = 0;
    std::size_t m_capacity = 0;
};
