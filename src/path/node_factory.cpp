#include "path/node_factory.h"

#include <new>

NodeFactory::~NodeFactory() { delete[] nodes; }

void NodeFactory::Preallocate(size_t n) {
    delete[] nodes;
    nodes = nullptr;
    count = next = 0;
    nodes = new Node[n];  // default-initialised: no writes
    count = n;
}
