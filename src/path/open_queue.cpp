#include "path/open_queue.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <vector>

OpenQueue::~OpenQueue() {
    std::free(heap);
    std::free(slotOf);
}

void OpenQueue::Setup(size_t newCapacity, int32_t gridWidth, int32_t gridHeight, Node* nodes) {
    std::free(heap);
    std::free(slotOf);
    heap = nullptr;
    slotOf = nullptr;
    capacity = size = cells = 0;
    width = gridWidth;
    pool = nodes;
    nextNumber = 0;
    size_t n = static_cast<size_t>(gridWidth) * static_cast<size_t>(gridHeight);
    if (newCapacity > SIZE_MAX / sizeof(Entry)) throw std::bad_alloc();
    // Untouched until used; the slot table is mapped zeroed.
    heap = static_cast<Entry*>(std::malloc(std::max<size_t>(newCapacity, 1) * sizeof(Entry)));
    slotOf = static_cast<uint32_t*>(std::calloc(std::max<size_t>(n, 1), sizeof(uint32_t)));
    if (!heap || !slotOf) throw std::bad_alloc();
    capacity = newCapacity;
    cells = n;
}

void OpenQueue::Clear() {
    for (size_t i = 0; i < size; ++i) slotOf[heap[i].cell] = 0;
    size = 0;
    nextNumber = 0;
}

uint64_t OpenQueue::NextKey(float f) {
    if (nextNumber == UINT32_MAX) Renumber();
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    bits &= 0x7FFFFFFFu;  // -0 sorts as 0
    return (static_cast<uint64_t>(bits) << 32) | nextNumber++;
}

// Queue numbers ran out: number the queued nodes afresh, 0.., keeping their
// order, which leaves the heap order as it was.
void OpenQueue::Renumber() {
    std::vector<size_t> order(size);
    for (size_t i = 0; i < size; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        return static_cast<uint32_t>(heap[a].key) < static_cast<uint32_t>(heap[b].key);
    });
    uint32_t n = 0;
    for (size_t i : order) heap[i].key = (heap[i].key & 0xFFFFFFFF00000000ull) | n++;
    nextNumber = n;
}

void OpenQueue::SiftUp(size_t i, Entry e) {
    while (i > 0) {
        size_t parent = (i - 1) / kArity;
        if (heap[parent].key <= e.key) break;
        Place(i, heap[parent]);
        i = parent;
    }
    Place(i, e);
}

void OpenQueue::SiftDown(size_t i, Entry e) {
    for (;;) {
        size_t first = kArity * i + 1;
        if (first >= size) break;
        size_t last = first + kArity < size ? first + kArity : size;
        size_t child = first;
        for (size_t c = first + 1; c < last; ++c)
            if (heap[c].key < heap[child].key) child = c;
        if (e.key <= heap[child].key) break;
        Place(i, heap[child]);
        i = child;
    }
    Place(i, e);
}

bool OpenQueue::Insert(Node* node) {
    if (size >= capacity) return false;
    SiftUp(size, MakeEntry(node));
    ++size;
    return true;
}

void OpenQueue::Requeue(Node* node) {
    size_t i = slotOf[Cell(node->x, node->y)] - 1;
    Entry e = MakeEntry(node);
    // Numbers grow, so the key can rise even when f does not.
    if (e.key < heap[i].key) SiftUp(i, e);
    else SiftDown(i, e);
}

void OpenQueue::RemoveAt(size_t i) {
    slotOf[heap[i].cell] = 0;
    --size;
    if (i == size) return;
    Entry last = heap[size];
    if (i > 0 && last.key < heap[(i - 1) / kArity].key) SiftUp(i, last);
    else SiftDown(i, last);
}

// Taking the lowest moves the hole at the root down along the lowest
// children to a leaf, then lifts the last entry from there: the last entry
// nearly always belongs near the bottom, so this saves a comparison per level
// and the branch that mispredicts on it.
Node* OpenQueue::PopLowest() {
    if (size == 0) return nullptr;
    Node* lowest = pool + heap[0].node;
    slotOf[heap[0].cell] = 0;
    --size;
    if (size == 0) return lowest;
    const Entry last = heap[size];
    size_t hole = 0;
    for (;;) {
        const size_t first = kArity * hole + 1;
        if (first >= size) break;
        const size_t end = first + kArity < size ? first + kArity : size;
        size_t child = first;
        for (size_t c = first + 1; c < end; ++c)
            child = heap[c].key < heap[child].key ? c : child;
        Place(hole, heap[child]);
        hole = child;
    }
    SiftUp(hole, last);
    return lowest;
}

void OpenQueue::Erase(Node* node) {
    uint32_t s = slotOf[Cell(node->x, node->y)];
    if (s && pool + heap[s - 1].node == node) RemoveAt(s - 1);
}
