// The engine's collections: value arrays, pointer arrays and pointer maps keyed
// by a 32-bit code. A pointer container built with the reference flag only
// points at its elements; otherwise it owns them and deletes them on removal.
#pragma once

#include <cstdint>
#include <map>
#include <type_traits>
#include <vector>

template <class A, class B>
struct tuple2 {
    A first;
    B second;
};

template <class T>
struct rawVector3 {
    T x, y, z;
};

template <class T>
struct rawVector4 {
    T x, y, z, w;
};

// Deletes one owned element: objects through their destructor, character
// strings as arrays, untyped blocks as plain memory.
template <class T>
void ds_delete_element(T* element)
{
    if constexpr (std::is_void_v<T>)
        ::operator delete(element);
    else if constexpr (std::is_same_v<std::remove_cv_t<T>, char>)
        delete[] element;
    else
        delete element;
}

template <class T>
class DSParray {
public:
    explicit DSParray(bool reference = false) : reference(reference) {}
    DSParray(const DSParray&) = delete;
    DSParray& operator=(const DSParray& source)
    {
        if (&source == this) return *this;
        clear();
        for (T* element : source.elements)
            elements.push_back(reference ? element : new T(*element));
        return *this;
    }
    virtual ~DSParray() { clear(); }

    uint32_t count() const { return uint32_t(elements.size()); }
    T* get(uint32_t index) const { return index < elements.size() ? elements[index] : nullptr; }
    bool is_reference() const { return reference; }

    // position -1 appends; 0..count inserts before that index.
    T* insert(T* element, int position = -1)
    {
        if (position < -1 || position > int(elements.size())) return nullptr;
        if (position == -1)
            elements.push_back(element);
        else
            elements.insert(elements.begin() + position, element);
        return element;
    }

    bool erase(uint32_t index, bool keep = false)
    {
        if (index >= elements.size()) return false;
        T* element = elements[index];
        elements.erase(elements.begin() + index);
        if (!reference && !keep) ds_delete_element(element);
        return true;
    }

    void clear()
    {
        std::vector<T*> removed;
        removed.swap(elements);
        if (!reference)
            for (T* element : removed) ds_delete_element(element);
    }

private:
    std::vector<T*> elements;
    bool reference;
};

template <class T>
class DSPrefArray : public DSParray<T> {
public:
    DSPrefArray() : DSParray<T>(true) {}
    ~DSPrefArray() override = default;
    // Takes the same pointers as any source array of the same type.
    using DSParray<T>::operator=;
};

template <class T>
class DSPhashMap {
public:
    using Entries = std::map<uint32_t, T*>;

    explicit DSPhashMap(bool reference = false) : reference(reference) {}
    DSPhashMap(const DSPhashMap&) = delete;
    DSPhashMap& operator=(const DSPhashMap&) = delete;
    virtual ~DSPhashMap() { clear(); }

    T* find(uint32_t key) const
    {
        auto found = entries.find(key);
        return found == entries.end() ? nullptr : found->second;
    }

    // An existing key keeps its value; null adds nothing.
    T* insert(T* value, uint32_t key)
    {
        if (value) entries.emplace(key, value);
        return value;
    }

    // Empties the map, deleting the values it owns.
    void clear()
    {
        if (!reference)
            for (auto& entry : entries)
                if (entry.second) ds_delete_element(entry.second);
        entries.clear();
    }

    uint32_t count() const { return uint32_t(entries.size()); }
    bool is_reference() const { return reference; }
    // Entries in ascending key order.
    const Entries& walk() const { return entries; }

protected:
    Entries entries;
    bool reference;
};

template <class T>
class DSPrefHashMap : public DSPhashMap<T> {
public:
    DSPrefHashMap() : DSPhashMap<T>(true) {}
    ~DSPrefHashMap() override = default;
};

template <class T>
class DSarray {
public:
    DSarray() = default;
    DSarray(uint32_t count, const T* values) : elements(values, values + count) {}
    virtual ~DSarray() = default;

    uint32_t count() const { return uint32_t(elements.size()); }
    T get(uint32_t index) const { return index < elements.size() ? elements[index] : T(); }
    T* data() { return elements.data(); }
    void add(const T& value) { elements.push_back(value); }
    bool remove(uint32_t index)
    {
        if (index >= elements.size()) return false;
        elements.erase(elements.begin() + index);
        return true;
    }
    void clear() { elements.clear(); }

private:
    std::vector<T> elements;
};

// A map whose removals are deferred: keys marked for removal are erased at the
// next collection, and their objects deleted unless the map only refers to them.
template <class T>
class DSPhashMapGarbageCollected : public DSPhashMap<T> {
public:
    explicit DSPhashMapGarbageCollected(bool reference = false) : DSPhashMap<T>(reference) {}
    ~DSPhashMapGarbageCollected() override = default;

    void mark_for_removal(uint32_t key) { pending.add(key); }
    void collect()
    {
        for (uint32_t i = 0; i < pending.count(); ++i) {
            auto found = this->entries.find(pending.get(i));
            if (found == this->entries.end()) continue;
            T* object = found->second;
            this->entries.erase(found);
            if (!this->reference) ds_delete_element(object);
        }
        pending.clear();
    }

private:
    DSarray<uint32_t> pending;
};
