// The planner's containers: the fixed deque, the closed table, the open queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "path/fixed_deque.h"
#include "path/node_hash_table.h"
#include "path/open_queue.h"

namespace {

std::vector<int> Contents(FixedDeque<int>& d) {
    std::vector<int> v;
    for (size_t i = 0; i < d.Size(); ++i) v.push_back(d.At(i));
    return v;
}

TEST(FixedDeque, FollowsADequeThroughWrapAroundInsertAndErase) {
    std::mt19937 rng(11);
    FixedDeque<int> d;
    d.SetCapacity(7);
    std::deque<int> model;
    for (int step = 0; step < 20000; ++step) {
        const int op = static_cast<int>(rng() % 6);
        const int value = static_cast<int>(rng() % 1000);
        const bool full = model.size() == 7;
        switch (op) {
            case 0: d.PushBack(value); if (!full) model.push_back(value); break;
            case 1: d.PushFront(value); if (!full) model.push_front(value); break;
            case 2: d.PopBack(); if (!model.empty()) model.pop_back(); break;
            case 3: d.PopFront(); if (!model.empty()) model.pop_front(); break;
            case 4: {
                const size_t i = rng() % (model.size() + 1);
                d.Insert(i, value);
                if (!full) model.insert(model.begin() + static_cast<long>(i), value);
                break;
            }
            case 5:
                if (!model.empty()) {
                    const size_t i = rng() % model.size();
                    d.Erase(i);
                    model.erase(model.begin() + static_cast<long>(i));
                }
                break;
        }
        ASSERT_EQ(d.Size(), model.size()) << "step " << step;
        ASSERT_EQ(d.Empty(), model.empty());
        ASSERT_EQ(Contents(d), std::vector<int>(model.begin(), model.end())) << "step " << step;
        if (!model.empty()) {
            ASSERT_EQ(d.Front(), model.front());
            ASSERT_EQ(d.Back(), model.back());
        }
    }
}

TEST(FixedDeque, FullRefusesAndEmptyIgnoresPops) {
    FixedDeque<int> d;
    d.SetCapacity(3);
    d.PopBack();
    d.PopFront();
    d.Erase(0);
    EXPECT_TRUE(d.Empty());
    d.PushBack(1);
    d.PushBack(2);
    d.PushFront(0);
    EXPECT_TRUE(d.Full());
    d.PushBack(9);
    d.PushFront(9);
    d.Insert(1, 9);
    EXPECT_EQ(Contents(d), (std::vector<int>{0, 1, 2}));
    d.Insert(5, 9);  // past the end: nothing
    d.PopFront();
    d.Insert(5, 9);
    EXPECT_EQ(Contents(d), (std::vector<int>{1, 2}));

    FixedDeque<int> none;
    none.SetCapacity(0);
    none.PushBack(1);
    none.Insert(0, 1);
    EXPECT_TRUE(none.Empty());
}

Node MakeNode(int x, int y) { return Node{nullptr, x, y, 0, 0, nullptr}; }

TEST(NodeHashTable, ResizeLimitsAndEvensTheBits) {
    NodeHashTable t;
    t.Resize(8);
    EXPECT_EQ(t.BucketCount(), 256u);
    t.Resize(7);
    EXPECT_EQ(t.BucketCount(), 64u);
    t.Resize(31);
    EXPECT_EQ(t.BucketCount(), size_t{1} << 24);
    t.Resize(-3);
    EXPECT_EQ(t.BucketCount(), 1u);
}

TEST(NodeHashTable, HashIsTheMaskedCoordinates) {
    NodeHashTable t;
    t.Resize(8);  // 4 bits per axis
    EXPECT_EQ(t.Bucket(3, 5), 3u | (5u << 4));
    EXPECT_EQ(t.Bucket(19, 37), 3u | (5u << 4));
    EXPECT_EQ(t.Bucket(15, 15), 255u);
}

TEST(NodeHashTable, ChainsFindAndUnlinkTheRightNode) {
    NodeHashTable t;
    t.Resize(2);  // four buckets: long chains
    std::vector<Node> nodes;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) nodes.push_back(MakeNode(x, y));
    for (Node& n : nodes) t.Insert(&n);
    t.Insert(&nodes[7]);  // already there: no second link
    EXPECT_EQ(t.Size(), 36u);
    for (Node& n : nodes) EXPECT_EQ(t.Find(n.x, n.y), &n);
    EXPECT_EQ(t.Find(6, 0), nullptr);

    // Unlink from the head, the middle and the tail of chains.
    std::set<std::pair<int, int>> removed;
    for (int i : {35, 0, 14, 21, 8, 30}) {
        ASSERT_EQ(t.Find(nodes[i].x, nodes[i].y), &nodes[i]);
        t.RemoveFound();
        removed.insert({nodes[i].x, nodes[i].y});
    }
    EXPECT_EQ(t.Size(), 30u);
    for (Node& n : nodes) {
        const bool gone = removed.count({n.x, n.y}) != 0;
        EXPECT_EQ(t.Find(n.x, n.y), gone ? nullptr : &n) << n.x << "," << n.y;
    }
    t.Clear();
    EXPECT_EQ(t.Size(), 0u);
    EXPECT_EQ(t.Find(1, 1), nullptr);
}

TEST(NodeHashTable, GridSizedTableGivesEveryCellItsOwnBucket) {
    for (auto [w, h] : {std::pair{1, 1}, {3, 1}, {1, 1000}, {37, 129}, {1024, 1024}, {5000, 3}}) {
        NodeHashTable t;
        t.ResizeForGrid(w, h);
        EXPECT_GE(t.BucketCount(), static_cast<size_t>(w) * h);
        EXPECT_LE(t.BucketCount(), 4 * static_cast<size_t>(w) * h);
        std::set<size_t> seen;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) seen.insert(t.Bucket(x, y));
        EXPECT_EQ(seen.size(), static_cast<size_t>(w) * h) << w << "x" << h;
    }
}

// The open queue against the order it stands for: lowest f first, equal f in
// the order of queueing, a requeued node counting as queued anew.
TEST(OpenQueue, PopsInSortedArrayOrderUnderRandomUse) {
    std::mt19937 rng(5);
    const int w = 13, h = 11;
    std::vector<Node> nodes(w * h);
    for (int i = 0; i < w * h; ++i) nodes[i] = MakeNode(i % w, i / w);
    OpenQueue q;
    q.Setup(static_cast<size_t>(w) * h, w, h, nodes.data());
    // Model: (f, number) -> node.
    std::map<std::pair<float, long>, Node*> model;
    std::map<Node*, std::pair<float, long>> keyOf;
    long number = 0;
    for (int step = 0; step < 50000; ++step) {
        Node* n = &nodes[rng() % nodes.size()];
        const float f = static_cast<float>(rng() % 8) * 0.5f;  // many ties
        const int op = static_cast<int>(rng() % 4);
        if (op == 0) {
            ASSERT_EQ(q.Empty(), model.empty());
            Node* popped = q.PopLowest();
            if (model.empty()) {
                ASSERT_EQ(popped, nullptr);
                continue;
            }
            Node* expected = model.begin()->second;
            ASSERT_EQ(popped, expected) << "step " << step;
            keyOf.erase(expected);
            model.erase(model.begin());
        } else if (keyOf.count(n)) {
            ASSERT_EQ(q.Find(n->x, n->y), n);
            model.erase(keyOf[n]);
            if (op == 1) {
                q.Erase(n);
                keyOf.erase(n);
                ASSERT_EQ(q.Find(n->x, n->y), nullptr);
            } else {
                n->f = f;
                q.Requeue(n);
                keyOf[n] = {f, number++};
                model[keyOf[n]] = n;
            }
        } else {
            ASSERT_EQ(q.Find(n->x, n->y), nullptr);
            n->f = f;
            ASSERT_TRUE(q.Insert(n));
            keyOf[n] = {f, number++};
            model[keyOf[n]] = n;
        }
        ASSERT_EQ(q.Size(), model.size());
    }
}

TEST(OpenQueue, RenumberingKeepsTheOrderOfEqualPriorities) {
    std::vector<Node> nodes;
    for (int i = 0; i < 40; ++i) nodes.push_back(MakeNode(i, 0));
    OpenQueue q;
    q.Setup(40, 40, 1, nodes.data());
    q.SetNextNumberForTest(UINT32_MAX - 10);
    for (int i = 0; i < 40; ++i) {  // numbers run out after 10 of them
        nodes[i].f = static_cast<float>(i % 3);
        ASSERT_TRUE(q.Insert(&nodes[i]));
    }
    std::vector<int> order;
    while (Node* n = q.PopLowest()) order.push_back(n->x);
    std::vector<int> expected;
    for (int f = 0; f < 3; ++f)
        for (int i = 0; i < 40; ++i)
            if (i % 3 == f) expected.push_back(i);
    EXPECT_EQ(order, expected);
}

TEST(OpenQueue, FullQueueRefusesAndClearEmptiesEveryCell) {
    std::vector<Node> nodes;
    for (int i = 0; i < 4; ++i) nodes.push_back(MakeNode(i, 0));
    OpenQueue q;
    q.Setup(3, 4, 1, nodes.data());
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(q.Insert(&nodes[i]));
    EXPECT_FALSE(q.Insert(&nodes[3]));
    EXPECT_EQ(q.Find(3, 0), nullptr);
    EXPECT_EQ(q.Size(), 3u);
    q.Clear();
    EXPECT_TRUE(q.Empty());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(q.Find(i, 0), nullptr);
    EXPECT_EQ(q.PopLowest(), nullptr);
}

}  // namespace
