// The open nodes of a search, taken lowest f first and, among equal f, in the
// order they were queued (a node queued again counts as queued anew).
//
// That is the order of an array kept sorted by f where a node goes in behind
// the nodes of equal f, but the array costs a linear scan to find a cell and
// a copy of the tail to insert. Here the nodes sit in a 4-ary heap keyed by
// (f, queue number) and every cell knows its heap slot, so finding, queueing
// and removing cost O(1) to O(log n) at any size. Keys are unique, so the
// order taken does not depend on the heap's layout. f is never negative, so
// the bits of the float order like the number and the key is one integer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "path/node.h"

class OpenQueue : NotCopied {
public:
    virtual ~OpenQueue();

    // Empty queue of `capacity` nodes over a width x height grid; the nodes
    // queued come from the array at `pool`.
    void Setup(size_t capacity, int32_t width, int32_t height, Node* pool);
    void Clear();

    bool Empty() const { return size == 0; }
    bool Full() const { return size >= capacity; }
    size_t Size() const { return size; }
    size_t Capacity() const { return capacity; }

    // Queues a node with its f set, behind the queued nodes of equal f.
    // A full queue refuses (returns false).
    bool Insert(Node* node);
    // The queued node of the cell (inside the grid), or null.
    Node* Find(int32_t x, int32_t y) const {
        uint32_t s = slotOf[Cell(x, y)];
        return s ? pool + heap[s - 1].node : nullptr;
    }
    // A queued node whose f was changed: queued anew with its new f, as if
    // removed and inserted again.
    void Requeue(Node* node);
    // The cell of the lowest node (the queue is not empty).
    uint32_t LowestCell() const { return heap[0].cell; }
    // Starts fetching the slot of a cell into the cache.
    void Prefetch(size_t cell) const { __builtin_prefetch(slotOf + cell); }
    // Removes and returns the lowest node; null when empty.
    Node* PopLowest();
    // Removes a queued node.
    void Erase(Node* node);

    // Every queued node, in no particular order.
    template <typename Visit>
    void ForEach(Visit visit) const {
        for (size_t i = 0; i < size; ++i) visit(pool + heap[i].node);
    }

    // For tests: the next queue number, to exercise its renumbering.
    void SetNextNumberForTest(uint32_t n) { nextNumber = n; }

private:
    // 16 bytes: the cell is kept here so that sifting never reads the node.
    struct Entry {
        uint64_t key;   // f bits << 32 | queue number
        uint32_t cell;
        uint32_t node;  // index in the pool
    };
    static constexpr size_t kArity = 4;  // shallower than binary; children share a cache line

    size_t Cell(int32_t x, int32_t y) const {
        return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
    }
    uint64_t NextKey(float f);
    void Renumber();
    void Place(size_t i, const Entry& e) {
        heap[i] = e;
        slotOf[e.cell] = static_cast<uint32_t>(i + 1);
    }
    void SiftUp(size_t i, Entry e);
    void SiftDown(size_t i, Entry e);
    void RemoveAt(size_t i);

    Entry MakeEntry(Node* node) {
        return Entry{NextKey(node->f), static_cast<uint32_t>(Cell(node->x, node->y)),
                     static_cast<uint32_t>(node - pool)};
    }

    Entry* heap = nullptr;
    Node* pool = nullptr;
    uint32_t* slotOf = nullptr;  // per cell: heap index + 1, 0 = not queued
    size_t cells = 0;
    size_t capacity = 0;
    size_t size = 0;
    int32_t width = 0;
    uint32_t nextNumber = 0;
};
