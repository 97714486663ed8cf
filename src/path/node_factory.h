// The pool of search nodes: allocated once per set-up, handed out in array
// order, so a search allocates nothing.
#pragma once
#include <cstddef>

#include "path/node.h"

class NodeFactory : NotCopied {
public:
    virtual ~NodeFactory();

    // Frees any previous pool and allocates n nodes (left uninitialised, so
    // the pages of a large pool are touched only as nodes are used).
    void Preallocate(size_t n);
    // The next free node, or null when the pool is used up.
    Node* Take() { return next < count ? &nodes[next++] : nullptr; }
    // Gives back the n nodes handed out last.
    void GiveBack(size_t n) { next = n < next ? next - n : 0; }
    void GiveBackAll() { next = 0; }

    Node* Base() const { return nodes; }
    size_t Count() const { return count; }
    size_t InUse() const { return next; }

private:
    Node* nodes = nullptr;
    size_t count = 0;
    size_t next = 0;
};
