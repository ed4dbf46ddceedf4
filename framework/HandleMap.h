// The framework's tables from a system handle to the object that wraps it: a
// sorted array searched by halving. A process has a handful of windows and
// device contexts, and the table is a plain block of the C heap, so the
// release links no prebuilt container code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

// How every handle table grows: the C heap's realloc. Process-wide, so that
// the Windows unit tests can be a system whose heap is full.
extern void* (*g_handleTableRealloc)(void* block, std::size_t size);

template <class Handle, class Object>
class CHandleMap {
public:
    struct Entry {
        Handle handle;
        Object* object;
    };

    CHandleMap() = default;
    CHandleMap(const CHandleMap&) = delete;
    CHandleMap& operator=(const CHandleMap&) = delete;
    ~CHandleMap() { std::free(m_entries); }

    // The object of handle, or null.
    Object* Find(Handle handle) const {
        const std::size_t at = LowerBound(handle);
        return at < m_count && m_entries[at].handle == handle ? m_entries[at].object : nullptr;
    }

    // The entry's object pointer for handle, made null when the handle is
    // new; null when the table cannot grow.
    Object** Slot(Handle handle) {
        const std::size_t at = LowerBound(handle);
        if (at < m_count && m_entries[at].handle == handle) return &m_entries[at].object;
        if (m_count == m_capacity) {
            const std::size_t capacity = m_capacity ? m_capacity * 2 : 8;
            if (capacity > SIZE_MAX / sizeof(Entry)) return nullptr;
            void* grown = g_handleTableRealloc(m_entries, capacity * sizeof(Entry));
            if (grown == nullptr) return nullptr;
            m_entries = static_cast<Entry*>(grown);
            m_capacity = capacity;
        }
        for (std::size_t k = m_count; k > at; --k) m_entries[k] = m_entries[k - 1];
        m_entries[at] = Entry{handle, nullptr};
        ++m_count;
        return &m_entries[at].object;
    }

    void Remove(Handle handle) {
        const std::size_t at = LowerBound(handle);
        if (at >= m_count || m_entries[at].handle != handle) return;
        for (std::size_t k = at + 1; k < m_count; ++k) m_entries[k - 1] = m_entries[k];
        --m_count;
    }

    void Clear() { m_count = 0; }
    std::size_t Size() const { return m_count; }
    Entry* begin() { return m_entries; }
    Entry* end() { return m_entries + m_count; }

private:
    static std::uintptr_t Key(Handle handle) { return reinterpret_cast<std::uintptr_t>(handle); }

    // The first entry whose handle is not below handle.
    std::size_t LowerBound(Handle handle) const {
        std::size_t low = 0, high = m_count;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (Key(m_entries[middle].handle) < Key(handle))
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    Entry* m_entries = nullptr;
    std::size_t m_count = 0;
    std::size_t m_capacity = 0;
};
