// GrowArray: the engine's list type. Storage starts at the initial capacity
// and then grows by a fixed step, relocating element by element, so that a
// list of meshes (which own GL names) moves its elements instead of copying.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

template <typename T>
class GrowArray {
public:
    explicit GrowArray(int growthStep = 128, int initial = 512)
        : growth(growthStep), initialCapacity(initial) {}
    ~GrowArray() { Free(); }

    // Deep copy: a copied frame owns its own lists.
    GrowArray(const GrowArray& other) : growth(other.growth), initialCapacity(other.initialCapacity) {
        CopyFrom(other);
    }
    GrowArray& operator=(const GrowArray& other) {
        if (this != &other) {
            Free();
            growth = other.growth;
            initialCapacity = other.initialCapacity;
            CopyFrom(other);
        }
        return *this;
    }
    GrowArray(GrowArray&& other) noexcept
        : data(other.data), count(other.count), capacity(other.capacity),
          growth(other.growth), initialCapacity(other.initialCapacity) {
        other.data = nullptr;
        other.count = other.capacity = 0;
    }
    GrowArray& operator=(GrowArray&& other) noexcept {
        if (this != &other) {
            Free();
            data = other.data;
            count = other.count;
            capacity = other.capacity;
            growth = other.growth;
            initialCapacity = other.initialCapacity;
            other.data = nullptr;
            other.count = other.capacity = 0;
        }
        return *this;
    }

    T& Append(const T& value) {
        if (count == capacity) {
            // The value may live in this array: copy it before relocating.
            T copy(value);
            Grow(capacity == 0 ? initialCapacity : capacity + growth);
            return *new (data + count++) T(std::move(copy));
        }
        return *new (data + count++) T(value);
    }
    T& Append(T&& value) {
        if (count == capacity) {
            T moved(std::move(value));
            Grow(capacity == 0 ? initialCapacity : capacity + growth);
            return *new (data + count++) T(std::move(moved));
        }
        return *new (data + count++) T(std::move(value));
    }
    template <typename... Args>
    T& Emplace(Args&&... args) {
        if (count == capacity) Grow(capacity == 0 ? initialCapacity : capacity + growth);
        return *new (data + count++) T(std::forward<Args>(args)...);
    }

    // Makes room for at least n elements; reallocates only when needed.
    void Reserve(int n) {
        if (capacity < n) Grow(n);
    }

    // Destroys the elements and keeps the storage.
    void Clear() {
        while (count > 0) data[--count].~T();
    }

    // Destroys the elements from the last to the first and frees the storage.
    void Free() {
        Clear();
        ::operator delete(static_cast<void*>(data));
        data = nullptr;
        capacity = 0;
    }

    // Shrinks the count to n (n <= count), destroying the dropped tail.
    void Truncate(int n) {
        while (count > n) data[--count].~T();
    }

    T& operator[](int i) { return data[i]; }
    const T& operator[](int i) const { return data[i]; }
    T* begin() { return data; }
    T* end() { return data + count; }
    const T* begin() const { return data; }
    const T* end() const { return data + count; }
    bool Empty() const { return count == 0; }

    T* data = nullptr;
    int count = 0;
    int capacity = 0;
    int growth;
    int initialCapacity;

private:
    void Grow(int newCapacity) {
        // A block too large for the address space fails like any allocation
        // (on the 32-bit target the byte count would otherwise wrap around).
        if (static_cast<size_t>(newCapacity) > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        T* block = static_cast<T*>(::operator new(sizeof(T) * static_cast<size_t>(newCapacity)));
        for (int i = 0; i < count; ++i) {
            new (block + i) T(std::move(data[i]));
            data[i].~T();
        }
        ::operator delete(static_cast<void*>(data));
        data = block;
        capacity = newCapacity;
    }
    void CopyFrom(const GrowArray& other) {
        data = nullptr;
        count = capacity = 0;
        if (other.count == 0) return;
        Grow(other.capacity);
        for (int i = 0; i < other.count; ++i) new (data + i) T(other.data[i]);
        count = other.count;
    }
};
