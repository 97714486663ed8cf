// Skiff: a top-down arena game for one player or two over the network.
// Shared declarations of the game's parts: the world (levels, skiffs, shots,
// snappers, pickups and their rules), drawing, sound, settings, the network
// partner and the game's own log.
#pragma once
#include <brindle.h>

#include <cstdint>
#include <string>
#include <vector>

namespace skiff {

// The arena: 20 x 14 tiles of 32 pixels under a 32-pixel status bar.
constexpr int kCols = 20, kRows = 14, kTile = 32, kTop = 32;
constexpr int kArenaW = kCols * kTile, kArenaH = kRows * kTile;
constexpr int kTickMs = 1000 / 60;  // the world moves in steps of 1/60 s
constexpr int kBuiltInLevels = 3, kMaxExtraLevels = 6;

// Sprite slots, fonts, objects and sound slots.
enum Slot {
    kSkiffA = 1,    // 16 headings of the first player's skiff
    kSkiffB = 17,   // and of the second's
    kSnapper = 40,  // two frames
    kShotA = 50, kShotB, kGem, kBuoy, kSpark, kWater, kReeds, kRock, kTitle,
    kOldArena,      // the arena left behind, while the next one fades in
};
enum Font { kFontDefault = 0, kFontText = 1, kFontBig = 2 };
constexpr double kLogo = 1;  // the title's 3D object
enum Sound { kSndShot, kSndBoom, kSndGem, kSndLife, kSndHurt, kSndClick, kSndSelect, kSndClear };

// Tiles of a level file: one row of 20 tiles per line, 14 lines, then the
// level's name. '#' rock, '.' open water, '%' reeds (slow), 'S' and 'T'
// where the first and second skiff start, 'E' where snappers come from,
// '*' a gem, '+' a buoy (an extra life).
bool IsRock(char tile);

struct Skiff {
    double x = 0, y = 0;   // centre, arena pixels
    int heading = 0;       // 0 ... 15, 22.5 degrees each, clockwise from east
    int lives = 3;
    bool present = false;  // in the game (a partner may not have joined)
    bool alive = false;    // on the water (not sunk, waiting or out of lives)
    int safeTicks = 0;     // blinking and untouchable after a start
    int respawnTicks = 0;  // sunk: back at the start when this reaches 0
    int reload = 0;
    double leaving = 0;    // a partner who left: 1 ... 0 while it fades out
    std::string name;
};

struct Shot {
    double x, y, dx, dy;
    int owner;  // 0 or 1: which skiff fired it
    int ticks;  // left to live
};

struct Snapper {
    int id;
    double x, y;
    std::vector<int> path;  // cells (y * kCols + x) still to visit
    int planAge = 0;        // ticks since its path was planned
    bool wantsPlan = true;
};

struct Pickup {
    int cell;
    char kind;  // '*' gem or '+' buoy
    bool live;
};

struct Blast {
    double x, y;
    int age;
    bool big;
};

// What a skiff is told to do in one step: a direction (length 0 ... 1) and
// whether to fire.
struct Steer {
    double dx = 0, dy = 0;
    bool fire = false;
};

// Things that happened in a step, for sound (and the partner).
struct Event {
    Sound sound;
    double x;
};

class World {
public:
    // Loads level n (1 ... kBuiltInLevels, then the extra levels fetched);
    // false when the file is missing or not a valid level.
    bool Load(int level, uint32_t seed);
    bool LoadFile(const RtString& file, int level, uint32_t seed);
    void Step(const Steer steer[2]);
    // Parts of a step, for a partner who receives the snappers instead.
    void MoveSkiff(int i, const Steer& steer);
    void MoveShots();
    void MoveSnappers();
    void TouchPickups(int i);
    void CheckSkiffHit(int i);

    int level = 0;
    std::string name;
    char tiles[kRows][kCols] = {};
    NumberArray costs;  // [column][row] for FindPath: 0 rock, 1 water, 4 reeds
    Skiff skiffs[2];
    int starts[2] = {0, 0};
    std::vector<int> spawns;
    std::vector<Shot> shots;
    std::vector<Snapper> snappers;
    std::vector<Pickup> pickups;
    std::vector<Blast> blasts;
    std::vector<Event> events;
    std::vector<int> kills;   // snappers a partner's skiff sank, for the host
    std::vector<int> claims;  // pickups a partner's skiff took, for the host
    bool local[2] = {true, false};  // the skiffs this program steers
    int score = 0;
    int tick = 0;
    int nextId = 1;
    int spawnTicks = 120;
    int planCursor = 0;
    int clearTicks = 0;  // the level is won: the next one comes at 0
    int overTicks = 0;   // every skiff is out of lives
    bool simulateSnappers = true;  // false on a partner who joined
    uint32_t rng = 1;

    int GemsLeft() const;
    int Random(int n);  // 0 ... n - 1, the world's own generator
    bool Blocked(double x, double y, double half) const;
    void Kill(Snapper& s, int by, bool quiet = false);
    void Spawn();
    void Plan(Snapper& s);
    int TargetFor(const Snapper& s) const;
    void Emit(Sound sound, double x) { events.push_back({sound, x}); }
};

// The autopilot of the attract mode: steers skiff 0 from the world alone,
// so a demo with the same seed plays the same way every time.
Steer Autopilot(World& world, std::vector<int>& route, int& routeAge);

// Level files: the name of level n (built-in or fetched) as the lookup
// finds it.
RtString LevelFile(int level);
int LevelCount();  // built-in levels plus the extra levels on disk

// Settings kept in skiff.ini.
struct Options {
    int volume = 80;  // sound effects, percent
    bool music = true;
    bool wasd = false;  // steering keys: WASD and Ctrl instead of the arrows and Space
    bool mouse = true;  // the mouse may steer
    bool fullscreen = false;
    bool intro = true;
    bool attract = true;  // the demo after ten idle seconds on the title
    std::string name;
    std::string address = "127.0.0.1";  // the last partner joined
    int port = 27013;
    std::string levelServer = "127.0.0.1";  // where extra levels come from
    int levelPort = 8000;
    std::string levelPath = "/skiff/extra.txt";
};
extern Options options;
void LoadOptions();
void SaveOptions();

// The high-score table: scores.txt, one "score name" per line, best first.
struct Score {
    int score;
    std::string name;
};
std::vector<Score> LoadScores();
bool Qualifies(const std::vector<Score>& table, int score);
void AddScore(int score, const std::string& name);

// The game's log (--log FILE): one line per event, for players who want to
// know what happened and for the tests.
void OpenLog(const std::string& path);
void Log(const std::string& line);
bool Logging();
std::string Fmt(double value);  // a number as the log writes it

// Makes the next line-file read come from disk and writes a changed file.
void ReleaseLineFile();

// Sound with the player's volume, panned by the x position on screen.
void Play(Sound sound, double x);
void StartMusic();

// Input: keys pressed this frame (not held from before), any input at all.
bool Pressed(int key);
void ReadInputEdges();
bool AnyInput();
bool Clicked();  // the left mouse button went down
bool MouseMoved();
double MouseX();
double MouseY();
int MenuMove();    // -1 up, 1 down (keys or joystick), else 0
int MenuAdjust();  // -1 left, 1 right
bool MenuSelect(); // Return, Space or the joystick's first button
enum Device { kKeyboard, kMouse, kJoystick };
Steer ReadSteer(const World& world, int me, Device& device);

// Drawing.
void LoadMedia();
void PrepareLogo();
void DrawLogo(double angle);
void BuildArenaPicture(const World& world);
void DrawWorld(const World& world, int me);
void DrawStatus(const World& world, int me, const std::string& note);
void CentreText(const std::string& text, double y, int font);
void Banner(const std::string& text);

// The network partner.
struct Partner;
// Hosting: waits in a lobby for a partner; false when the player gives up.
bool HostGame(Partner*& partner);
bool JoinGame(Partner*& partner, const std::string& address);
// One frame of a game with a partner: sends this side's skiff and shots
// (and, on the host, the snappers and pickups), applies what arrived.
// Returns the level the host went on to, or 0.
int Exchange(Partner& partner, World& world, int me);
bool PartnerGone(const Partner& partner);
const std::string& PartnerName(const Partner& partner);
const std::vector<Shot>& PartnerShots(const Partner& partner);
// Says goodbye to the partner and forgets it.
void LeaveGame(Partner*& partner);

// Screens.
extern bool showFps;      // a frame counter in the corner (--fps)
extern bool networkUsed;  // a network game ran: no downloads until restart
void TitleScreen();  // never returns: Quit ends the program
void RunGame(int level, Partner* partner, int me);
bool RunAttract();  // true when the player interrupted it
void OptionsScreen();
void ScoresScreen(double seconds);
void FetchExtraLevels();
std::string AskText(const std::string& prompt, const std::string& start);

// Keys (DirectInput scan codes).
enum Key {
    kEsc = 1, kOne = 2, kBackspace = 14, kTab = 15, kQ = 16, kW = 17, kE = 18, kReturn = 28,
    kCtrl = 29, kA = 30, kS = 31, kD = 32, kH = 35, kJ = 36, kO = 24, kP = 25, kSpace = 57,
    kUp = 200, kLeft = 203, kRight = 205, kDown = 208, kPadEnter = 156,
};

}  // namespace skiff
