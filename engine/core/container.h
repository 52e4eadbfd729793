#pragma once
// The managers' table of owned, named resources addressed by id (their index
// in the table). Id 0 holds the manager's default object, named "unnamed",
// so a lookup that finds nothing still yields something drawable or
// playable. Objects are added by their own constructors and stay until the
// table is destroyed; ids are never reused.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vek {

// Every stored class names itself through GetName() (by reference or by
// value); a lookup compares exactly (same length, same bytes).
template <class T>
bool ContainerNameIs(const T& object, const std::string& name)
{
    return object.GetName() == name;
}

template <class T>
class cContainerPtr {
public:
    using iterator = typename std::vector<T*>::iterator;
    using const_iterator = typename std::vector<T*>::const_iterator;

    // One empty entry at id 0, waiting for the default object.
    explicit cContainerPtr(size_t reserve = 10)
    {
        m_Entries.reserve(reserve > 0 ? reserve : 1);
        m_Entries.push_back(nullptr);
    }
    ~cContainerPtr()
    {
        for (T*& entry : m_Entries) {
            delete entry;
            entry = nullptr;
        }
    }
    cContainerPtr(const cContainerPtr&) = delete;
    cContainerPtr& operator=(const cContainerPtr&) = delete;

    // Takes ownership. With the reserved flag the object fills the next
    // reserved slot at the front (slot 0 only) while one is free; otherwise
    // it is appended. Returns its id.
    uint32_t Add(T* object, bool reserved)
    {
        if (reserved && m_uReservedCursor < m_uReservedCount) {
            const uint32_t id = m_uReservedCursor++;
            m_Entries[id] = object;  // the reserved slots exist from construction, empty
            return id;
        }
        m_Entries.push_back(object);
        return static_cast<uint32_t>(m_Entries.size() - 1);
    }

    // The object of that id; the default object (id 0) when the entry is
    // empty or the id lies beyond the table (ids also come from scripts and
    // data). Null only while the default object does not exist.
    T* Get(uint32_t id) const
    {
        if (id < m_Entries.size() && m_Entries[id]) return m_Entries[id];
        return m_Entries.empty() ? nullptr : m_Entries[0];
    }

    // The entry itself, possibly null (for walking the table).
    T* At(uint32_t id) const { return id < m_Entries.size() ? m_Entries[id] : nullptr; }

    // Position of the first non-empty entry with exactly this name (same
    // length, same bytes, case-sensitive), or end().
    const_iterator Search(const std::string& name) const
    {
        for (auto it = m_Entries.begin(); it != m_Entries.end(); ++it)
            if (*it && ContainerNameIs(**it, name)) return it;
        return m_Entries.end();
    }

    // Id of the first entry with the name; 0 when there is none (which is
    // also the default object's id).
    uint32_t Find(const std::string& name) const
    {
        const auto it = Search(name);
        return it == m_Entries.end() ? 0u : static_cast<uint32_t>(it - m_Entries.begin());
    }

    T* Default() const { return m_Entries.empty() ? nullptr : m_Entries[0]; }
    uint32_t Count() const { return static_cast<uint32_t>(m_Entries.size()); }

    const_iterator begin() const { return m_Entries.begin(); }
    const_iterator end() const { return m_Entries.end(); }

private:
    std::vector<T*> m_Entries;
    uint32_t m_uReservedCursor = 0;
    uint32_t m_uReservedCount = 1;
};

} // namespace vek
