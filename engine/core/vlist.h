#pragma once
// An owning list of objects that hands out a stable id per object, so that
// objects can name one another by id and tell whether the one they name
// still exists. Element 0, the first one added, is the owner's null object:
// every id that names nothing (removed, or never handed out) yields it, so
// callers need no null checks. Ids are never reused while the list lives;
// only Clear starts them again at 1. Elements are deleted through their
// virtual destructor.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <list>
#include <vector>

namespace vek {

template <class T>
class vlist_ptr {
    using list_type = std::list<T*>;

public:
    using const_iterator = typename list_type::const_iterator;

    vlist_ptr() = default;
    virtual ~vlist_ptr()
    {
        Clear();
        if (!m_List.empty()) {
            T* null = m_List.front();
            m_List.clear();
            m_Index.clear();
            delete null;
        }
    }
    vlist_ptr(const vlist_ptr&) = delete;
    vlist_ptr& operator=(const vlist_ptr&) = delete;

    // Takes ownership; appends the object and returns its id.
    uint32_t Add(T* object)
    {
        m_List.push_back(object);
        m_Index.push_back(std::prev(m_List.end()));
        return m_uNextId++;
    }

    // Unlinks the object of that id without deleting it; the id then names
    // element 0. Ignored while Clear runs (so that objects deleted by Clear
    // may unregister themselves), for element 0 itself and for ids that name
    // nothing.
    void Remove(uint32_t id)
    {
        if (m_bBusy || m_List.empty() || id >= m_uNextId) return;
        const auto first = m_List.begin();
        if (m_Index[id] == first) return;
        m_List.erase(m_Index[id]);
        m_Index[id] = first;
    }

    // The object of a live id; element 0 otherwise; null only when empty.
    T* Get(uint32_t id) const
    {
        if (m_List.empty()) return nullptr;
        if (id >= m_uNextId) return m_List.front();
        return *m_Index[id];
    }

    // Whether the id names a live object other than element 0.
    bool IsValid(uint32_t id) const { return !m_List.empty() && Get(id) != m_List.front(); }

    // Deletes every element but element 0; ids start again at 1.
    void Clear()
    {
        if (m_List.empty()) return;
        m_bBusy = true;
        // Detach the elements first: a destructor that looks the list up
        // must not see a half-deleted element.
        list_type doomed;
        doomed.splice(doomed.end(), m_List, std::next(m_List.begin()), m_List.end());
        // Every id names element 0 while they go: a destructor that looks up
        // another element by id must not get one already deleted.
        m_Index.assign(m_Index.size(), m_List.begin());
        for (T* object : doomed) delete object;
        m_Index.assign(1, m_List.begin());
        m_uNextId = 1;
        m_bBusy = false;
    }

    // The id the next Add hands out.
    uint32_t NextId() const { return m_uNextId; }
    // Elements held, element 0 included.
    size_t Size() const { return m_List.size(); }

    // Insertion order, beginning with element 0.
    const_iterator begin() const { return m_List.begin(); }
    const_iterator end() const { return m_List.end(); }

private:
    list_type m_List;
    std::vector<typename list_type::iterator> m_Index;
    uint32_t m_uNextId = 0;
    bool m_bBusy = false;
};

} // namespace vek
