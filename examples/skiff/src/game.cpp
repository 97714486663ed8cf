// A game in progress: the player's own, one with a network partner, or the
// attract mode's demo that plays itself. The world moves in fixed steps of
// 1/60 s whatever the frame rate, so a demo from the same seed plays the
// same way on any machine.
#include <cmath>

#include "skiff.h"

namespace skiff {

bool showFps = false;
bool networkUsed = false;

namespace {
const char* kArenaFile = "arena.bmp";
const char* kFromFile = "fade.bmp";
constexpr double kStepMs = 1000.0 / 60;
constexpr uint32_t kDemoSeed = 20240611;
constexpr int kDemoTicks = 60 * 60;

// Fades from what is drawn on the screen now into the world's arena,
// which then stays behind every frame as background 0. Both pictures go
// through files: the screen as a sprite, the arena as the background.
void FadeToArena(const World& world) {
    SaveScreen(kFromFile);
    LoadSprite(kFromFile, kOldArena);
    BuildArenaPicture(world);
    SaveScreen(kArenaFile);
    DrawSprite(kOldArena, 0, 0);
    FadeToBackground(kArenaFile);
}

void TitleCard(const std::string& text) {
    DrawSprite(kTitle, 0, 0);
    Banner(text);
}

// Frames per second and the longest frame, written to the log about once
// a second.
struct FrameCounter {
    double since = 0, longest = 0;
    int frames = 0;
    double shown = 0;
    void Count(const char* what, double frameMs) {
        frames++;
        if (frameMs > longest) longest = frameMs;
        double now = ElapsedTime();
        if (since == 0) since = now;
        if (now - since >= 1000) {
            shown = frames * 1000 / (now - since);
            Log(std::string("fps ") + what + " " + Fmt(shown) + " longest " + Fmt(longest));
            frames = 0;
            since = now;
            longest = 0;
        }
        if (showFps) {
            SetFont(kFontDefault);
            PrintText(RtString("FPS ") + FormatNumber(0, 1, shown), 560, 466);
            SetFont(kFontText);
        }
    }
};

std::string Position(const Skiff& s) { return Fmt(s.x) + " " + Fmt(s.y); }

// What the attract mode logs at a few steps: enough of the state to see
// that two demos played alike.
void LogDemo(const World& w) {
    if (w.tick != 120 && w.tick != 300 && w.tick != 600 && w.tick != 1200) return;
    double sum = 0;
    for (const Snapper& s : w.snappers) sum += s.x * 7 + s.y * 13;
    Log("attract tick " + std::to_string(w.tick) + " skiff " + Position(w.skiffs[0]) + " score " +
        std::to_string(w.score) + " snappers " + std::to_string(w.snappers.size()) + " sum " + Fmt(sum));
}

int FileFor(int level, int count) { return (level - 1) % count + 1; }

enum class Mode { kPlay, kAttract };

// Runs the world until the game ends; true when the attract mode was
// interrupted by the player.
bool RunWorld(World& world, Mode mode, Partner*& partner, int me) {
    int levels = partner ? kBuiltInLevels : LevelCount();
    Device device = kKeyboard;
    std::vector<int> route;
    int routeAge = 0, leftTicks = 0;
    std::string leftName;
    double clock = 0;
    FrameCounter counter;
    bool interrupted = false;
    for (;;) {
        ReadInputEdges();
        Steer steer[2];
        if (mode == Mode::kAttract) {
            if (AnyInput() || TypedChar() != "") {
                interrupted = true;
                break;
            }
        } else {
            if (Pressed(kEsc)) break;
            steer[me] = ReadSteer(world, me, device);
        }
        double frameMs = FrameDuration();
        clock += frameMs;
        if (clock > 100) clock = 100;  // after a long pause, do not race to catch up
        bool wasClearing = world.clearTicks > 0;
        for (; clock >= kStepMs; clock -= kStepMs) {
            if (mode == Mode::kAttract) steer[0] = Autopilot(world, route, routeAge);
            world.Step(steer);
            for (Skiff& s : world.skiffs) s.leaving = s.leaving > 0 ? s.leaving - 1.0 / 60 : 0;
            if (leftTicks > 0) leftTicks--;
            if (mode == Mode::kAttract) LogDemo(world);
            else if (world.tick % 30 == 0)
                Log("tick " + std::to_string(world.tick) + " me " + Position(world.skiffs[me]) +
                    (world.skiffs[1 - me].present ? " peer " + Position(world.skiffs[1 - me]) : "") +
                    " score " + std::to_string(world.score));
        }
        int next = 0;
        if (partner) {
            next = Exchange(*partner, world, me);
            if (PartnerGone(*partner)) {
                leftName = PartnerName(*partner);
                Log("partner left " + leftName);
                Skiff& other = world.skiffs[1 - me];
                other.leaving = other.present ? 1 : 0;
                other.present = other.alive = false;
                leftTicks = 180;
                // Alone now: this program runs the snappers itself.
                world.simulateSnappers = true;
                LeaveGame(partner);
            }
        }
        for (const Event& e : world.events) Play(e.sound, e.x);
        world.events.clear();
        if (world.simulateSnappers && wasClearing && world.clearTicks == 0) next = world.level + 1;
        if (next > 0) {
            // On to the next level, keeping score and lives.
            DrawWorld(world, me);
            Banner("LEVEL " + std::to_string(next));
            if (!world.Load(FileFor(next, levels), world.rng)) break;
            world.level = next;
            Log("level " + std::to_string(next) + " " + world.name);
            FadeToArena(world);
            continue;
        }
        if (world.overTicks > 150 || (mode == Mode::kAttract && world.tick >= kDemoTicks)) break;

        DrawWorld(world, me);
        if (partner)
            for (const Shot& s : PartnerShots(*partner)) DrawSprite(me == 0 ? kShotB : kShotA, s.x - 4, kTop + s.y - 4);
        DrawStatus(world, me, mode == Mode::kAttract ? "DEMO - PRESS A KEY" : "");
        if (world.clearTicks > 0) Banner("LEVEL CLEAR");
        else if (world.overTicks > 0) Banner("GAME OVER");
        else if (leftTicks > 0) Banner(leftName.substr(0, 12) + " LEFT");
        else if (world.tick < 90) Banner(world.name.substr(0, 18));
        counter.Count(mode == Mode::kAttract ? "attract" : "play", frameMs);
        ShowFrame();
    }
    // Back to the title picture.
    DrawWorld(world, me);
    DrawStatus(world, me, "");
    FadeToBackground("title.bmp");
    ClearScreen();
    return interrupted;
}
}  // namespace

void RunGame(int level, Partner* partner, int me) {
    World world;
    world.skiffs[0].present = true;
    if (partner) {
        networkUsed = true;
        world.skiffs[1].present = true;
        world.local[0] = me == 0;
        world.local[1] = me == 1;
        world.simulateSnappers = me == 0;
        world.skiffs[me].name = options.name;
        world.skiffs[1 - me].name = PartnerName(*partner);
    }
    int levels = partner ? kBuiltInLevels : LevelCount();
    if (level < 1) level = 1;
    if (!world.Load(FileFor(level, levels), uint32_t(ElapsedTime())) && !world.Load(1, 1)) return;
    world.level = level;
    Log("game level " + std::to_string(level) + " " + world.name + (partner ? " with " + PartnerName(*partner) : ""));
    TitleCard(world.name.substr(0, 18));
    FadeToArena(world);
    StartMusic();
    RunWorld(world, Mode::kPlay, partner, me);
    if (partner) LeaveGame(partner);
    StopMusic();
    Log("game over score " + std::to_string(world.score));
    if (Qualifies(LoadScores(), world.score)) {
        std::string name = AskText("HIGH SCORE " + std::to_string(world.score), options.name);
        AddScore(world.score, name);
        if (name != options.name) {
            options.name = name;
            SaveOptions();
        }
        ScoresScreen(8);
    }
}

bool RunAttract() {
    World world;
    world.skiffs[0].present = true;
    world.skiffs[0].name = "DEMO";
    if (!world.Load(1, kDemoSeed)) return false;
    Log("attract starts");
    TitleCard("DEMO");
    FadeToArena(world);
    // Input is what changes from now on (a pointer already over the window is none).
    ReadInputEdges();
    Partner* none = nullptr;
    bool interrupted = RunWorld(world, Mode::kAttract, none, 0);
    Log(interrupted ? "attract interrupted" : "attract ends");
    return interrupted;
}

}  // namespace skiff
