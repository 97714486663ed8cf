#include "path/node_hash_table.h"

#include <cstdlib>
#include <cstring>
#include <new>

NodeHashTable::~NodeHashTable() { std::free(buckets); }

void NodeHashTable::Allocate(int bitsX, int bitsY) {
    std::free(buckets);
    buckets = nullptr;
    bucketCount = size = 0;
    foundLink = nullptr;
    xBits = bitsX;
    yBits = bitsY;
    xMask = (uint32_t{1} << bitsX) - 1;
    yMask = (uint32_t{1} << bitsY) - 1;
    size_t n = size_t{1} << (bitsX + bitsY);
    // calloc: a large table is mapped zeroed and touched only where used.
    buckets = static_cast<Node**>(std::calloc(n, sizeof(Node*)));
    if (!buckets) throw std::bad_alloc();
    bucketCount = n;
}

void NodeHashTable::Resize(int bits) {
    if (bits > 24) bits = 24;
    if (bits < 0) bits = 0;
    bits &= ~1;
    Allocate(bits / 2, bits / 2);
}

namespace {
int BitsFor(int n) {
    int bits = 0;
    while (bits < 30 && (int64_t{1} << bits) < n) ++bits;
    return bits;
}
}  // namespace

void NodeHashTable::ResizeForGrid(int width, int height) {
    int bx = BitsFor(width), by = BitsFor(height);
    // Beyond 2^26 buckets cells share them; take the bits off the longer axis.
    while (bx + by > 26) {
        if (bx >= by) --bx; else --by;
    }
    Allocate(bx, by);
}

void NodeHashTable::Insert(Node* node) {
    Node** head = &buckets[Bucket(node->x, node->y)];
    for (Node* n = *head; n; n = n->hashNext)
        if (n == node) return;
    node->hashNext = *head;
    *head = node;
    ++size;
}

Node* NodeHashTable::Find(int32_t x, int32_t y) {
    Node** link = &buckets[Bucket(x, y)];
    for (Node* n = *link; n; link = &n->hashNext, n = n->hashNext) {
        if (n->x == x && n->y == y) {
            foundLink = link;
            return n;
        }
    }
    return nullptr;
}

void NodeHashTable::RemoveFound() {
    if (!foundLink || !*foundLink) return;
    Node* n = *foundLink;
    *foundLink = n->hashNext;
    n->hashNext = nullptr;
    foundLink = nullptr;
    --size;
}

void NodeHashTable::Clear() {
    const size_t bytes = bucketCount * sizeof(Node*);
    if (bytes > (size_t{1} << 20)) {
        // A fresh zeroed mapping is cheaper than writing every page.
        std::free(buckets);
        buckets = static_cast<Node**>(std::calloc(bucketCount, sizeof(Node*)));
        if (!buckets) {
            bucketCount = 0;
            throw std::bad_alloc();
        }
    } else if (buckets) {
        std::memset(buckets, 0, bytes);
    }
    size = 0;
    foundLink = nullptr;
}
