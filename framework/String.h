// CString: the framework's ANSI string, a thin value type over std::string.
#pragma once

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit like the original
    CString(const char* text, int length) : m_text(text, text + length) {}

    CString& operator=(const char* text) {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const char* text) {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(char c) {
        m_text += c;
        return *this;
    }

    operator const char*() const { return m_text.c_str(); }  // NOLINT: LPCTSTR conversion
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    char GetAt(int index) const { return m_text[static_cast<std::size_t>(index)]; }
    CString Left(int count) const {
        return CString(m_text.substr(0, count < 0 ? 0 : static_cast<std::size_t>(count)).c_str());
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
    friend bool operator==(const CString& a, const CString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const CString& a, const char* b) { return a.m_text == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }

private:
    std::string m_text;
};
