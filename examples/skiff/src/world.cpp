// The world of one level: loading it from its line file, and one step of
// its rules (skiffs, shots, snappers that hunt the skiffs along paths,
// pickups, sinking and the end of the level).
#include <cmath>

#include "skiff.h"

namespace skiff {
namespace {
constexpr double kSkiffHalf = 8;  // the hull's box for rock collisions
constexpr double kSkiffSpeed = 2.2, kShotSpeed = 6;
constexpr int kShotTicks = 50, kReloadTicks = 12, kMaxShots = 4;
constexpr int kPlanEvery = 40;  // ticks between a snapper's plans

double CellX(int cell) { return (cell % kCols) * kTile + kTile / 2; }
double CellY(int cell) { return (cell / kCols) * kTile + kTile / 2; }
int CellAt(double x, double y) {
    int cx = int(x) / kTile, cy = int(y) / kTile;
    if (cx < 0) cx = 0;
    if (cx >= kCols) cx = kCols - 1;
    if (cy < 0) cy = 0;
    if (cy >= kRows) cy = kRows - 1;
    return cy * kCols + cx;
}

// The unit vector of each heading, from the runtime's degree functions.
double HeadX(int h) { return Cos(h * 22.5); }
double HeadY(int h) { return Sin(h * 22.5); }
int HeadingOf(double dx, double dy) {
    int h = int(std::floor(ArcTan2(dy, dx) / 22.5 + 0.5));
    return (h % 16 + 16) % 16;
}

int SnapperFrame(const World& w, const Snapper& s) { return (w.tick / 12 + s.id) % 2; }
double SkiffSlot(int i, const Skiff& s) { return (i == 0 ? kSkiffA : kSkiffB) + s.heading; }
}  // namespace

bool IsRock(char tile) { return tile == '#'; }

RtString LevelFile(int level) {
    if (level <= kBuiltInLevels) return RtString("level") + level + ".txt";
    return RtString("extra") + (level - kBuiltInLevels) + ".txt";
}

int LevelCount() {
    int n = kBuiltInLevels;
    while (n - kBuiltInLevels < kMaxExtraLevels && FileExists(LevelFile(n + 1)) != 0) n++;
    return n;
}

bool World::Load(int number, uint32_t seed) { return LoadFile(LevelFile(number), number, seed); }

bool World::LoadFile(const RtString& file, int number, uint32_t seed) {
    int startCount = 0;
    spawns.clear();
    pickups.clear();
    for (int r = 0; r < kRows; r++) {
        RtString line = ReadLineText(file, r);
        if (line.length() != kCols) {
            Log("level " + std::to_string(number) + " refused: row " + std::to_string(r) + " is not " +
                std::to_string(kCols) + " tiles");
            return false;
        }
        for (int c = 0; c < kCols; c++) {
            char t = line.Text()[c];
            int cell = r * kCols + c;
            switch (t) {
            case 'S': starts[0] = cell; startCount++; break;
            case 'T': starts[1] = cell; break;
            case 'E': spawns.push_back(cell); break;
            case '*': case '+': pickups.push_back({cell, t, true}); break;
            case '#': case '.': case '%': break;
            default:
                Log("level " + std::to_string(number) + " refused: unknown tile at row " + std::to_string(r));
                return false;
            }
            tiles[r][c] = t;
        }
    }
    if (startCount != 1 || spawns.empty() || GemsLeft() == 0) {
        Log("level " + std::to_string(number) + " refused: it needs one S, an E and a gem");
        return false;
    }
    bool second = false;
    for (int r = 0; r < kRows; r++)
        for (int c = 0; c < kCols; c++) second = second || tiles[r][c] == 'T';
    if (!second) starts[1] = starts[0];
    RtString title = ReadLineText(file, kRows);
    name = title == "NO_DATA" || title == "NO_FILE" ? "Level " + std::to_string(number) : title.Text();

    DimArray(costs, kCols, kRows);
    for (int r = 0; r < kRows; r++)
        for (int c = 0; c < kCols; c++)
            costs(c, r) = IsRock(tiles[r][c]) ? 0 : tiles[r][c] == '%' ? 4 : 1;

    level = number;
    rng = seed;
    shots.clear();
    snappers.clear();
    blasts.clear();
    spawnTicks = 120;
    clearTicks = 0;
    for (int i = 0; i < 2; i++) {
        Skiff& s = skiffs[i];
        s.x = CellX(starts[i]);
        s.y = CellY(starts[i]);
        s.heading = 0;
        s.alive = s.present && s.lives > 0;
        s.safeTicks = 90;
        s.respawnTicks = 0;
    }
    return true;
}

int World::GemsLeft() const {
    int n = 0;
    for (const Pickup& p : pickups) n += p.live && p.kind == '*';
    return n;
}

int World::Random(int n) {
    rng = rng * 1664525u + 1013904223u;
    return int((rng >> 8) % uint32_t(n));
}

bool World::Blocked(double x, double y, double half) const {
    if (x - half < 0 || y - half < 0 || x + half >= kArenaW || y + half >= kArenaH) return true;
    for (double cy : {y - half, y + half})
        for (double cx : {x - half, x + half})
            if (IsRock(tiles[int(cy) / kTile][int(cx) / kTile])) return true;
    return false;
}

void World::Step(const Steer steer[2]) {
    tick++;
    for (int i = 0; i < 2; i++)
        if (local[i]) MoveSkiff(i, steer[i]);
    MoveShots();
    if (simulateSnappers) MoveSnappers();
    for (int i = 0; i < 2; i++) {
        if (!local[i]) continue;
        TouchPickups(i);
        CheckSkiffHit(i);
    }
    for (size_t b = 0; b < blasts.size();) {
        if (++blasts[b].age > 30) blasts.erase(blasts.begin() + b);
        else b++;
    }
    if (!simulateSnappers) return;
    if (clearTicks > 0) clearTicks--;
    else if (GemsLeft() == 0) {
        clearTicks = 150;
        score += 250;
        Emit(kSndClear, kArenaW / 2);
    }
    bool anyone = false;
    for (const Skiff& s : skiffs) anyone = anyone || (s.present && (s.alive || s.lives > 0));
    overTicks = anyone ? 0 : overTicks + 1;
}

void World::MoveSkiff(int i, const Steer& steer) {
    Skiff& s = skiffs[i];
    if (!s.present) return;
    if (!s.alive) {
        if (s.lives > 0 && s.respawnTicks > 0 && --s.respawnTicks == 0) {
            s.x = CellX(starts[i]);
            s.y = CellY(starts[i]);
            s.alive = true;
            s.safeTicks = 120;
        }
        return;
    }
    if (s.safeTicks > 0) s.safeTicks--;
    double dx = steer.dx, dy = steer.dy, length = std::sqrt(dx * dx + dy * dy);
    if (length > 1) {
        dx /= length;
        dy /= length;
    }
    if (length > 0.2) s.heading = HeadingOf(dx, dy);
    double speed = tiles[int(s.y) / kTile][int(s.x) / kTile] == '%' ? kSkiffSpeed / 2 : kSkiffSpeed;
    if (!Blocked(s.x + dx * speed, s.y, kSkiffHalf)) s.x += dx * speed;
    if (!Blocked(s.x, s.y + dy * speed, kSkiffHalf)) s.y += dy * speed;

    if (s.reload > 0) s.reload--;
    int mine = 0;
    for (const Shot& shot : shots) mine += shot.owner == i;
    if (steer.fire && s.reload == 0 && mine < kMaxShots) {
        double hx = HeadX(s.heading), hy = HeadY(s.heading);
        shots.push_back({s.x + hx * 12, s.y + hy * 12, hx * kShotSpeed, hy * kShotSpeed, i, kShotTicks});
        s.reload = kReloadTicks;
        Emit(kSndShot, s.x);
    }
}

void World::MoveShots() {
    for (size_t n = 0; n < shots.size();) {
        Shot& shot = shots[n];
        shot.x += shot.dx;
        shot.y += shot.dy;
        bool gone = --shot.ticks <= 0;
        if (!gone && Blocked(shot.x, shot.y, 1)) {
            blasts.push_back({shot.x, shot.y, 12, false});
            gone = true;
        }
        for (size_t k = 0; !gone && k < snappers.size(); k++) {
            Snapper& s = snappers[k];
            // Pixel-exact: the shot's ball against the snapper's frame.
            if (SpriteCollision(shot.owner == 0 ? kShotA : kShotB, shot.x - 4, shot.y - 4,
                                kSnapper + SnapperFrame(*this, s), s.x - 12, s.y - 12) != 0) {
                Kill(s, shot.owner);
                gone = true;
            }
        }
        if (gone) shots.erase(shots.begin() + n);
        else n++;
    }
}

void World::Kill(Snapper& s, int by, bool quiet) {
    blasts.push_back({s.x, s.y, 0, true});
    if (!quiet) Emit(kSndBoom, s.x);
    if (by >= 0) score += 100;
    if (!simulateSnappers) kills.push_back(s.id);  // the host decides; it is gone here already
    snappers.erase(snappers.begin() + (&s - snappers.data()));
}

int World::TargetFor(const Snapper& s) const {
    int best = -1;
    double bestDistance = 0;
    for (int i = 0; i < 2; i++) {
        const Skiff& k = skiffs[i];
        if (!k.present || !k.alive) continue;
        double d = std::fabs(k.x - s.x) + std::fabs(k.y - s.y);
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void World::Plan(Snapper& s) {
    s.planAge = 0;
    s.wantsPlan = false;
    s.path.clear();
    int target = TargetFor(s);
    if (target < 0) return;
    int from = CellAt(s.x, s.y), to = CellAt(skiffs[target].x, skiffs[target].y);
    NumberArray path;
    // A weight of 0.3 leans towards the cheapest way (round the reeds)
    // while still heading for the skiff first.
    double n = FindPath(costs, path, 0.3, from % kCols, from / kCols, to % kCols, to / kCols);
    for (int i = 1; i < int(n); i++) s.path.push_back(int(path(i, 1)) * kCols + int(path(i, 0)));
}

void World::MoveSnappers() {
    if (clearTicks > 0) return;  // the level is won: they stop
    // At most one path is planned per step, taking the snappers in turn,
    // so a crowd of them never costs one frame much.
    for (size_t n = 0; n < snappers.size(); n++) {
        Snapper& s = snappers[(planCursor + n) % snappers.size()];
        if (s.wantsPlan || s.planAge >= kPlanEvery) {
            Plan(s);
            planCursor = int((planCursor + n + 1) % snappers.size());
            break;
        }
    }
    double speed = std::fmin(1.0 + 0.15 * level, 2.0);
    for (Snapper& s : snappers) {
        s.planAge++;
        double tx, ty;
        if (!s.path.empty()) {
            tx = CellX(s.path.front());
            ty = CellY(s.path.front());
        } else {
            int target = TargetFor(s);
            if (target < 0 || CellAt(skiffs[target].x, skiffs[target].y) != CellAt(s.x, s.y)) continue;
            tx = skiffs[target].x;  // in the same cell: straight at it
            ty = skiffs[target].y;
        }
        double dx = tx - s.x, dy = ty - s.y, d = std::sqrt(dx * dx + dy * dy);
        if (d <= speed) {
            s.x = tx;
            s.y = ty;
            if (!s.path.empty()) s.path.erase(s.path.begin());
        } else {
            s.x += dx / d * speed;
            s.y += dy / d * speed;
        }
    }
    Spawn();
}

void World::Spawn() {
    if (--spawnTicks > 0) return;
    spawnTicks = level < 6 ? 240 - level * 25 : 90;
    size_t most = size_t(level + 3 < 8 ? level + 3 : 8);
    if (snappers.size() >= most) return;
    int first = Random(int(spawns.size()));
    for (size_t n = 0; n < spawns.size(); n++) {
        int cell = spawns[(first + n) % spawns.size()];
        bool near = false;
        for (const Skiff& k : skiffs)
            near = near || (k.alive && std::fabs(k.x - CellX(cell)) + std::fabs(k.y - CellY(cell)) < 128);
        if (near) continue;
        Snapper s;
        s.id = nextId++;
        s.x = CellX(cell);
        s.y = CellY(cell);
        snappers.push_back(s);
        return;
    }
}

void World::TouchPickups(int i) {
    Skiff& s = skiffs[i];
    if (!s.alive) return;
    for (size_t n = 0; n < pickups.size(); n++) {
        Pickup& p = pickups[n];
        if (!p.live) continue;
        double px = CellX(p.cell) - 8, py = CellY(p.cell) - 8;
        if (SpriteCollision(SkiffSlot(i, s), s.x - 12, s.y - 12, p.kind == '*' ? kGem : kBuoy, px, py) == 0)
            continue;
        p.live = false;
        if (!simulateSnappers) claims.push_back(int(n));
        if (p.kind == '*') {
            score += 50;
            Emit(kSndGem, s.x);
        } else {
            if (s.lives < 5) s.lives++;
            Emit(kSndLife, s.x);
        }
    }
}

void World::CheckSkiffHit(int i) {
    Skiff& s = skiffs[i];
    if (!s.alive || s.safeTicks > 0) return;
    for (Snapper& n : snappers) {
        if (SpriteCollision(SkiffSlot(i, s), s.x - 12, s.y - 12, kSnapper + SnapperFrame(*this, n), n.x - 12,
                            n.y - 12) == 0)
            continue;
        blasts.push_back({s.x, s.y, 0, true});
        Emit(kSndHurt, s.x);
        s.alive = false;
        s.lives--;
        s.respawnTicks = s.lives > 0 ? 90 : 0;
        Kill(n, -1);
        return;
    }
}

Steer Autopilot(World& world, std::vector<int>& route, int& routeAge) {
    Steer steer;
    Skiff& me = world.skiffs[0];
    if (!me.alive) return steer;
    // A snapper near: turn to it and fire; back off when it comes close.
    const Snapper* nearest = nullptr;
    double nearestD = 0;
    for (const Snapper& s : world.snappers) {
        double d = std::hypot(s.x - me.x, s.y - me.y);
        if (!nearest || d < nearestD) {
            nearest = &s;
            nearestD = d;
        }
    }
    if (nearest && nearestD < 140) {
        double dx = (nearest->x - me.x) / nearestD, dy = (nearest->y - me.y) / nearestD;
        if (nearestD < 56) {
            steer.dx = -dx;
            steer.dy = -dy;
        } else {
            steer.dx = dx * 0.3;
            steer.dy = dy * 0.3;
            steer.fire = HeadingOf(dx, dy) == me.heading;
        }
        return steer;
    }
    // Otherwise along a planned route to the nearest pickup.
    int here = CellAt(me.x, me.y);
    if (--routeAge <= 0 || route.empty()) {
        routeAge = 60;
        route.clear();
        int best = -1, bestD = 0;
        for (const Pickup& p : world.pickups) {
            if (!p.live) continue;
            int d = std::abs(p.cell % kCols - here % kCols) + std::abs(p.cell / kCols - here / kCols);
            if (best < 0 || d < bestD) {
                best = p.cell;
                bestD = d;
            }
        }
        if (best >= 0) {
            NumberArray path;
            double n = FindPath(world.costs, path, 0.3, here % kCols, here / kCols, best % kCols, best / kCols);
            for (int i = 1; i < int(n); i++) route.push_back(int(path(i, 1)) * kCols + int(path(i, 0)));
        }
    }
    if (route.empty()) return steer;
    double dx = CellX(route.front()) - me.x, dy = CellY(route.front()) - me.y;
    if (std::fabs(dx) < 3 && std::fabs(dy) < 3) {
        route.erase(route.begin());
        return steer;
    }
    double d = std::sqrt(dx * dx + dy * dy);
    steer.dx = dx / d;
    steer.dy = dy / d;
    return steer;
}

}  // namespace skiff
