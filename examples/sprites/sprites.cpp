// Sprites and primitives: balls bounce around the window, one turns and
// grows, a coloured polygon and lines frame the scene, and the balls that
// touch each other (SpriteCollision: opaque pixels, not rectangles) are
// marked with a white box. Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 60, 0, 0, 0, "Example: Sprites"};

namespace {
const double kBall = 1;          // the sprite slot of ball.bmp
const double kBalls = 6;
const double kGround = 0x402010;  // colours: red + 256 * green + 65536 * blue
const double kWhite = 0xFFFFFF;
NumberArray x, y, dx, dy;        // each ball's position and speed (pixels per ms)

void StartBalls(double width, double height) {
    DimArray(x, kBalls);
    DimArray(y, kBalls);
    DimArray(dx, kBalls);
    DimArray(dy, kBalls);
    for (double i = 0; i < kBalls; i = i + 1) {
        x(i) = 40 + Random(width - 80);
        y(i) = 60 + Random(height - 120);
        dx(i) = (Random(20) - 10) / 60;
        dy(i) = (Random(20) - 10) / 60;
    }
}

// Moves one ball by the frame's time, bouncing off the window's edges.
void MoveBall(double i, double ms, double width, double height, double size) {
    x(i) = x(i) + dx(i) * ms;
    y(i) = y(i) + dy(i) * ms;
    if (x(i) < 0 || x(i) > width - size) dx(i) = -dx(i);
    if (y(i) < 40 || y(i) > height - size) dy(i) = -dy(i);
}

void Box(double left, double top, double size) {
    DrawLine(left, top, left + size, top, kWhite);
    DrawLine(left + size, top, left + size, top + size, kWhite);
    DrawLine(left + size, top + size, left, top + size, kWhite);
    DrawLine(left, top + size, left, top, kWhite);
}

// A six-pointed fan of colours: each vertex brings its own colour and
// OpenGL blends them across the triangles. The vertices go round
// counter-clockwise on the screen: 2D drawing culls polygons wound the
// other way (they face away).
void DrawStar(double cx, double cy, double turn) {
    StartPolygon(-1);  // no sprite: a coloured polygon
    PolygonVertex(cx, cy, 0, 0, kWhite);
    for (double k = 0; k <= 12; k = k + 1) {
        double r = Mod(k, 2) == 0 ? 60 : 25;
        double colour = Mod(k, 3) == 0 ? 0x0000FF : (Mod(k, 3) == 1 ? 0x00FF00 : 0xFF8000);
        PolygonVertex(cx - r * Sin(k * 30 + turn), cy - r * Cos(k * 30 + turn), 0, 0, colour);
    }
    EndPolygon();
}
}  // namespace

void GameMain() {
    double width, height, size, unused;
    GetScreenSize(width, height);
    LoadSprite("ball.bmp", kBall);  // packed into the executable by the build
    GetSpriteSize(kBall, size, unused);
    StartBalls(width, height);
    double angle = 0;
    for (;;) {
        double ms = FrameDuration();
        angle = angle + ms / 10;
        FillRect(0, 0, width - 1, height - 1, kGround);
        DrawStar(width / 2, height / 2, angle);
        // A frame of lines and a dotted row of points.
        DrawLine(4, 36, width - 5, 36, kWhite);
        DrawLine(4, height - 5, width - 5, height - 5, kWhite);
        for (double px = 4; px < width; px = px + 8) DrawPoint(px, 40, 0x00FFFF);

        for (double i = 0; i < kBalls; i = i + 1) {
            MoveBall(i, ms, width, height, size);
            DrawSprite(kBall, x(i), y(i));
        }
        // The balls that overlap another one, pixel for pixel.
        for (double i = 0; i < kBalls; i = i + 1) {
            for (double j = i + 1; j < kBalls; j = j + 1) {
                if (SpriteCollision(kBall, x(i), y(i), kBall, x(j), y(j))) {
                    Box(x(i), y(i), size);
                    Box(x(j), y(j), size);
                }
            }
        }
        // One ball turning and pulsing, drawn at twice its size and more.
        RotoZoomSprite(kBall, width - 120, 80, angle, 2 + Sin(angle));
        RotateSprite(kBall, 80, height - 80, -angle);

        PrintText("Sprites and primitives", 8, 8);
        ShowFrame();
    }
}
