// A* pathfinding at scale: the planner (and the FindPath command) against
// Boost.Graph's astar_search on a graph built once from the grid, a plain
// std::priority_queue A* with arrays indexed by cell (the floor), and the
// plain sorted-deque search the planner replaced. Square grids with 20 %
// blocked cells and costs 1..9, from (0, 0) to the far corner, weight 0.5
// (f = (g + h) / 2, ordered like g + h with the Manhattan estimate).
//
// Prints the medians of 7 repetitions (CPU time, the cases interleaved in a
// random order), their spread and ratios, and the path cost each
// implementation found.
#include <benchmark/benchmark.h>
#include <brindle/arrays.h>
#include <brindle/path.h>

#include <boost/graph/astar_search.hpp>
#include <boost/graph/compressed_sparse_row_graph.hpp>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <queue>
#include <random>
#include <string>
#include <vector>

#include "../tests/path/plain_astar.h"
#include "path/planner.h"
#include "median_reporter.h"

namespace {

struct Grid {
    int size = 0;
    std::vector<double> costs;  // as given to the planner
    std::vector<float> cell;    // normalised entry cost, -1 blocked
    PlanRequest request{};
    NumberArray costArray;
};

std::map<int, std::unique_ptr<Grid>> grids;

bool Reachable(const Grid& g) {
    std::vector<char> seen(g.cell.size());
    std::vector<int> stack{0};
    seen[0] = 1;
    const int n = g.size;
    while (!stack.empty()) {
        int c = stack.back();
        stack.pop_back();
        if (c == n * n - 1) return true;
        int x = c % n, y = c / n;
        int nb[4][2] = {{x, y - 1}, {x + 1, y}, {x - 1, y}, {x, y + 1}};
        for (auto& p : nb) {
            if (p[0] < 0 || p[1] < 0 || p[0] >= n || p[1] >= n) continue;
            int v = p[1] * n + p[0];
            if (seen[v] || g.cell[v] < 0) continue;
            seen[v] = 1;
            stack.push_back(v);
        }
    }
    return false;
}

Grid& GridOf(int n) {
    auto& slot = grids[n];
    if (slot) return *slot;
    slot = std::make_unique<Grid>();
    Grid& g = *slot;
    g.size = n;
    for (unsigned seed = 1;; ++seed) {
        std::mt19937 rng(seed * 7919u + static_cast<unsigned>(n));
        std::uniform_real_distribution<double> unit(0, 1);
        g.costs.assign(static_cast<size_t>(n) * n, 0);
        for (double& c : g.costs) c = unit(rng) < 0.2 ? 0 : 1 + static_cast<int>(rng() % 9);
        g.costs.front() = 1;
        g.costs.back() = 1;
        g.cell.resize(g.costs.size());
        for (size_t i = 0; i < g.costs.size(); ++i)
            g.cell[i] = g.costs[i] > 0 ? static_cast<float>(g.costs[i] / 9.0 + 1.0) : -1.0f;
        if (Reachable(g)) break;
    }
    PlanRequest& r = g.request;
    r = PlanRequest{};
    r.goalX = r.goalY = n - 1;
    r.diagonalCost = 1;
    r.hashBits = 8;
    r.weight = 0.5f;
    r.width = r.height = n;
    r.costs = g.costs.data();
    DimArray(g.costArray, n, n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) g.costArray(x, y) = g.costs[static_cast<size_t>(y) * n + x];
    return g;
}

double CostOfCells(const Grid& g, const std::vector<int>& cells) {
    double sum = 0;
    for (size_t i = 1; i < cells.size(); ++i) sum += g.cell[cells[i]];
    return sum;
}

int Manhattan(int cell, int n) { return (n - 1 - cell % n) + (n - 1 - cell / n); }

// --- the planner -----------------------------------------------------------

std::vector<int> RunPlanner(const Grid& g) {
    AStarPlanner planner;
    planner.Setup(g.request);
    planner.BeginSearch();
    planner.Search();
    std::vector<int> cells;
    for (Node* node = planner.Path(); node; node = node->parent)
        cells.push_back(node->y * g.size + node->x);
    planner.ClearSearch();
    return {cells.rbegin(), cells.rend()};
}

std::vector<int> RunFindPath(Grid& g) {
    NumberArray path;
    const int n = static_cast<int>(FindPath(g.costArray, path, 0.5, 0, 0, g.size - 1, g.size - 1));
    std::vector<int> cells;
    for (int i = 0; i < n; ++i)
        cells.push_back(static_cast<int>(path(i, 1)) * g.size + static_cast<int>(path(i, 0)));
    return cells;
}

std::vector<int> RunPlain(const Grid& g) {
    PlainAStar plain;
    plain.Setup(g.request);
    plain.Run();
    std::vector<int> cells;
    for (auto [x, y] : plain.Cells()) cells.push_back(y * g.size + x);
    return cells;
}

// --- the floor: std::priority_queue, arrays by cell, lazy deletion ----------

std::vector<int> RunQueueFloor(const Grid& g) {
    const int n = g.size;
    const size_t cells = static_cast<size_t>(n) * n;
    const int start = 0, goal = static_cast<int>(cells) - 1;
    std::vector<float> dist(cells, std::numeric_limits<float>::infinity());
    std::vector<int> parent(cells, -1);
    std::vector<unsigned char> closed(cells, 0);
    using Item = std::pair<float, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> open;
    dist[start] = 0;
    open.push({static_cast<float>(Manhattan(start, n)), start});
    while (!open.empty()) {
        const int u = open.top().second;
        open.pop();
        if (closed[u]) continue;
        closed[u] = 1;
        if (u == goal) break;
        const int x = u % n, y = u / n;
        const int nb[4] = {y > 0 ? u - n : -1, x + 1 < n ? u + 1 : -1, x > 0 ? u - 1 : -1,
                           y + 1 < n ? u + n : -1};
        for (int v : nb) {
            if (v < 0 || closed[v] || g.cell[v] < 0) continue;
            const float d = dist[u] + g.cell[v];
            if (d < dist[v]) {
                dist[v] = d;
                parent[v] = u;
                open.push({d + static_cast<float>(Manhattan(v, n)), v});
            }
        }
    }
    std::vector<int> path;
    if (!closed[goal]) return path;
    for (int c = goal; c >= 0; c = parent[c]) path.push_back(c);
    return {path.rbegin(), path.rend()};
}

// --- Boost.Graph ------------------------------------------------------------

struct EdgeCost {
    float weight;
};
using BoostGraph = boost::compressed_sparse_row_graph<boost::directedS, boost::no_property, EdgeCost>;
using Vertex = boost::graph_traits<BoostGraph>::vertex_descriptor;

std::map<int, std::unique_ptr<BoostGraph>> boostGraphs;

BoostGraph& BoostGraphOf(const Grid& g) {
    auto& slot = boostGraphs[g.size];
    if (slot) return *slot;
    const int n = g.size;
    std::vector<std::pair<int, int>> edges;
    std::vector<EdgeCost> weights;
    for (int u = 0; u < n * n; ++u) {
        if (g.cell[u] < 0) continue;
        const int x = u % n, y = u / n;
        const int nb[4] = {y > 0 ? u - n : -1, x + 1 < n ? u + 1 : -1, x > 0 ? u - 1 : -1,
                           y + 1 < n ? u + n : -1};
        for (int v : nb) {
            if (v < 0 || g.cell[v] < 0) continue;
            edges.push_back({u, v});
            weights.push_back({g.cell[v]});
        }
    }
    slot = std::make_unique<BoostGraph>(boost::edges_are_sorted, edges.begin(), edges.end(),
                                        weights.begin(), static_cast<size_t>(n) * n);
    return *slot;
}

struct ManhattanEstimate : boost::astar_heuristic<BoostGraph, float> {
    explicit ManhattanEstimate(int n) : n(n) {}
    float operator()(Vertex v) const { return static_cast<float>(Manhattan(static_cast<int>(v), n)); }
    int n;
};

struct FoundGoal {};

struct StopAtGoal : boost::default_astar_visitor {
    explicit StopAtGoal(Vertex goal) : goal(goal) {}
    void examine_vertex(Vertex u, const BoostGraph&) const {
        if (u == goal) throw FoundGoal{};
    }
    Vertex goal;
};

std::vector<int> RunBoost(const Grid& g) {
    const BoostGraph& graph = BoostGraphOf(g);
    const size_t cells = static_cast<size_t>(g.size) * g.size;
    const Vertex start = 0, goal = cells - 1;
    std::vector<Vertex> predecessor(cells);
    std::vector<float> distance(cells), rank(cells);
    std::vector<boost::default_color_type> color(cells);
    auto index = get(boost::vertex_index, graph);
    try {
        boost::astar_search(
            graph, start, ManhattanEstimate(g.size),
            boost::weight_map(get(&EdgeCost::weight, graph))
                .predecessor_map(boost::make_iterator_property_map(predecessor.begin(), index))
                .distance_map(boost::make_iterator_property_map(distance.begin(), index))
                .rank_map(boost::make_iterator_property_map(rank.begin(), index))
                .color_map(boost::make_iterator_property_map(color.begin(), index))
                .visitor(StopAtGoal(goal)));
        return {};
    } catch (const FoundGoal&) {
    }
    std::vector<int> path;
    for (Vertex v = goal;; v = predecessor[v]) {
        path.push_back(static_cast<int>(v));
        if (v == start) break;
    }
    return {path.rbegin(), path.rend()};
}

// --- registration and report -------------------------------------------------

using Runner = std::vector<int> (*)(Grid&);
std::vector<int> PlannerRunner(Grid& g) { return RunPlanner(g); }
std::vector<int> PlainRunner(Grid& g) { return RunPlain(g); }
std::vector<int> QueueRunner(Grid& g) { return RunQueueFloor(g); }
std::vector<int> BoostRunner(Grid& g) { return RunBoost(g); }

struct Peer {
    const char* name;
    Runner run;
};
const Peer kPeers[] = {{"planner", PlannerRunner}, {"FindPath", RunFindPath},
                       {"boost_astar", BoostRunner}, {"pq_floor", QueueRunner},
                       {"plain_deque", PlainRunner}};

std::map<std::string, double> pathCosts;

void Register(int n, bool withPlain) {
    Grid& g = GridOf(n);
    BoostGraphOf(g);
    for (const Peer& peer : kPeers) {
        if (!withPlain && std::string(peer.name) == "plain_deque") continue;
        const std::string name = std::string(peer.name) + "/" + std::to_string(n);
        WithSpread(benchmark::RegisterBenchmark(name.c_str(), [&g, peer, name](benchmark::State& state) {
            std::vector<int> cells;
            for (auto _ : state) {
                cells = peer.run(g);
                benchmark::DoNotOptimize(cells.data());
            }
            pathCosts[name] = CostOfCells(g, cells);
        }))->Unit(benchmark::kMillisecond)->ReportAggregatesOnly(true)->MinTime(0.3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The plain search is quadratic: at 1024 x 1024 one run takes minutes,
    // so it is measured there only when asked (--plain-1024; with
    // --benchmark_filter=plain_deque/1024 --benchmark_repetitions=1 for one run).
    bool plain1024 = false;
    std::vector<char*> args;
    bool repetitionsGiven = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--plain-1024") plain1024 = true;
        else args.push_back(argv[i]);
        repetitionsGiven |= arg.rfind("--benchmark_repetitions", 0) == 0;
    }
    char sevenRepetitions[] = "--benchmark_repetitions=7";
    if (!repetitionsGiven) args.push_back(sevenRepetitions);
    InitializeInterleaved(static_cast<int>(args.size()), args.data());
    for (int n : {64, 256}) Register(n, true);
    Register(1024, plain1024);

    MedianReporter reporter({}, MedianReporter::Time::Cpu);
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\nMedians of the repetitions (CPU ms) and ratios; path cost of each:\n");
    for (int n : {64, 256, 1024}) {
        auto at = [&](const char* peer) {
            auto it = reporter.medians.find(std::string(peer) + "/" + std::to_string(n));
            return it == reporter.medians.end() ? 0.0 : it->second;
        };
        const double ours = at("planner");
        if (ours == 0) continue;
        std::printf("%4d x %-4d planner %9.3f  FindPath %9.3f  boost %9.3f  pq floor %9.3f  plain %9.3f\n",
                    n, n, ours, at("FindPath"), at("boost_astar"), at("pq_floor"), at("plain_deque"));
        std::printf("            boost/planner %.2f  pq_floor/planner %.2f  plain/planner %.1f\n",
                    at("boost_astar") / ours, at("pq_floor") / ours,
                    at("plain_deque") > 0 ? at("plain_deque") / ours : 0.0);
        // Each median with the lowest and highest repetition; the ratio of
        // FindPath (the command, with its set-up and the path array) to the
        // floor, with the range the repetitions allow.
        auto low = [&](const char* peer) {
            auto it = reporter.lows.find(std::string(peer) + "/" + std::to_string(n));
            return it == reporter.lows.end() ? 0.0 : it->second;
        };
        auto high = [&](const char* peer) {
            auto it = reporter.highs.find(std::string(peer) + "/" + std::to_string(n));
            return it == reporter.highs.end() ? 0.0 : it->second;
        };
        std::printf("            spread (lowest-highest): planner %.3f-%.3f  FindPath %.3f-%.3f  pq floor %.3f-%.3f\n",
                    low("planner"), high("planner"), low("FindPath"), high("FindPath"), low("pq_floor"),
                    high("pq_floor"));
        if (at("pq_floor") > 0 && high("pq_floor") > 0 && low("pq_floor") > 0)
            std::printf("            FindPath/pq_floor %.2f (%.2f-%.2f)  planner/pq_floor %.2f\n",
                        at("FindPath") / at("pq_floor"), low("FindPath") / high("pq_floor"),
                        high("FindPath") / low("pq_floor"), ours / at("pq_floor"));
        std::printf("            path cost:");
        for (const Peer& peer : kPeers) {
            auto it = pathCosts.find(std::string(peer.name) + "/" + std::to_string(n));
            if (it != pathCosts.end()) std::printf(" %s %.4f", peer.name, it->second);
        }
        std::printf("\n");
    }
    return 0;
}
