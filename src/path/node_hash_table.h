// The closed table: nodes by cell, chained through Node::hashNext.
//
// The bucket of (x, y) is (x AND xMask) OR ((y AND yMask) << xBits). Resize
// gives the square table of 2^bits buckets (bits/2 bits per axis);
// ResizeForGrid gives each axis the bits that cover the grid, so every cell
// has a bucket of its own and a look-up costs one step whatever the grid.
#pragma once
#include <cstddef>
#include <cstdint>

#include "path/node.h"

class NodeHashTable : NotCopied {
public:
    virtual ~NodeHashTable();

    // 2^bits buckets, bits limited to 0..24 and rounded down to even.
    void Resize(int bits);
    // Enough buckets for a width x height grid to give each cell its own
    // (up to 2^26 buckets; larger grids share buckets).
    void ResizeForGrid(int width, int height);

    size_t Bucket(int32_t x, int32_t y) const {
        return (static_cast<uint32_t>(x) & xMask) |
               ((static_cast<size_t>(static_cast<uint32_t>(y) & yMask)) << xBits);
    }

    // Starts fetching the bucket of a cell into the cache.
    void Prefetch(int32_t x, int32_t y) const { __builtin_prefetch(buckets + Bucket(x, y)); }
    // Puts the node at the head of its bucket unless it is already there.
    void Insert(Node* node);
    // The node of (x, y), or null; remembers where it was for RemoveFound.
    Node* Find(int32_t x, int32_t y);
    // Unlinks the node the last successful Find returned.
    void RemoveFound();
    // Empties every bucket.
    void Clear();

    size_t BucketCount() const { return bucketCount; }
    size_t Size() const { return size; }
    int Bits() const { return xBits + yBits; }

private:
    void Allocate(int bitsX, int bitsY);

    Node** buckets = nullptr;
    size_t bucketCount = 0;
    size_t size = 0;
    int xBits = 0, yBits = 0;
    uint32_t xMask = 0, yMask = 0;
    Node** foundLink = nullptr;  // the link that points at the found node
};
