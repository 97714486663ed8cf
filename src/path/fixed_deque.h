// A double-ended queue in a ring buffer of fixed capacity. Inserting or
// erasing in the middle copies the elements into a second buffer of the same
// size and swaps the two. A push or insert into a full deque, and a pop or
// erase on an empty one, does nothing.
#pragma once
#include <cstddef>
#include <utility>

template <typename T>
class FixedDeque {
public:
    FixedDeque() = default;
    virtual ~FixedDeque() {
        delete[] buffer;
        delete[] scratch;
    }
    FixedDeque(const FixedDeque&) = delete;
    FixedDeque& operator=(const FixedDeque&) = delete;

    // Drops the contents and allocates room for `capacity` elements.
    void SetCapacity(size_t newCapacity) {
        delete[] buffer;
        delete[] scratch;
        buffer = scratch = nullptr;
        capacity = 0;
        buffer = new T[newCapacity];
        scratch = new T[newCapacity];
        capacity = newCapacity;
        Clear();
    }
    void Clear() {
        head = tail = 0;
        isEmpty = true;
    }

    size_t Capacity() const { return capacity; }
    bool Empty() const { return isEmpty; }
    bool Full() const { return !isEmpty && head == tail; }
    size_t Size() const {
        if (isEmpty) return 0;
        return tail > head ? tail - head : tail + capacity - head;
    }

    // Element i counted from the front; i < Size().
    T& At(size_t i) { return buffer[Wrap(head + i)]; }
    T& Front() { return buffer[head]; }
    T& Back() { return buffer[Wrap(tail + capacity - 1)]; }

    void PushBack(const T& value) {
        if (capacity == 0 || Full()) return;
        buffer[tail] = value;
        tail = Wrap(tail + 1);
        isEmpty = false;
    }
    void PushFront(const T& value) {
        if (capacity == 0 || Full()) return;
        head = Wrap(head + capacity - 1);
        buffer[head] = value;
        isEmpty = false;
    }
    void PopBack() {
        if (isEmpty) return;
        tail = Wrap(tail + capacity - 1);
        isEmpty = head == tail;
    }
    void PopFront() {
        if (isEmpty) return;
        head = Wrap(head + 1);
        isEmpty = head == tail;
    }

    // Inserts before element i (i = Size() appends).
    void Insert(size_t i, const T& value) {
        const size_t n = Size();
        if (capacity == 0 || Full() || i > n) return;
        for (size_t k = 0; k < i; ++k) scratch[k] = At(k);
        scratch[i] = value;
        for (size_t k = i; k < n; ++k) scratch[k + 1] = At(k);
        Adopt(n + 1);
    }
    void Erase(size_t i) {
        const size_t n = Size();
        if (i >= n) return;
        for (size_t k = 0; k < i; ++k) scratch[k] = At(k);
        for (size_t k = i + 1; k < n; ++k) scratch[k - 1] = At(k);
        Adopt(n - 1);
    }

private:
    size_t Wrap(size_t i) const { return i >= capacity ? i - capacity : i; }
    // The scratch buffer holds the n elements from index 0: make it current.
    void Adopt(size_t n) {
        std::swap(buffer, scratch);
        head = 0;
        tail = Wrap(n);
        isEmpty = n == 0;
    }

    T* buffer = nullptr;
    T* scratch = nullptr;
    size_t capacity = 0;
    size_t head = 0, tail = 0;
    bool isEmpty = true;
};
