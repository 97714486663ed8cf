// Engine operations on the sprite table of the renderer: binding, loading,
// drawing, collision, the polygon batch. Slots passed here are 0 ... 65535
// (the commands reject others); BindSprite also takes negative "none" values.
#pragma once
#include "gfx2d/opengl_zadederu.h"

constexpr int kFirstFontSlot = 65520;  // slots 65520 ... 65535 hold the 16 fonts
constexpr int kSpriteKeyColour = 0x8000FF;

// Binds the slot's texture (plain or mipmapped) for drawing; with a second
// slot, unit 0 carries the second slot's texture and unit 1 the first's.
void BindSprite(OpenGLZadederu& r, int slot, int secondSlot, int useMip);
// Deletes the slot's textures and alpha mask; the image size stays.
void DeleteSprite(OpenGLZadederu& r, int slot);
// Loads a BMP into the slot; false (the slot left empty) when its size cannot
// be read or its pixels cannot be decoded.
bool LoadSpriteImage(OpenGLZadederu& r, int slot, const char* fileName, int keyColour,
                     bool makeNormalMap);
// Reads the slot's alpha channel once; null for an empty slot.
const uint8_t* MakeAlphaMask(OpenGLZadederu& r, int slot);

void DrawSpriteImage(OpenGLZadederu& r, int slot, float x, float y);
void StretchSprite(OpenGLZadederu& r, int slot, float x, float y, float width, float height);
void RotateSprite(OpenGLZadederu& r, int slot, float x, float y, float angle);

struct RotoZoomOptions {
    float angle;  // degrees
    int width;    // <= 0: the image's
    int height;
    int colour;   // 0x00BBGGRR; 0 keeps the sprite's own colours
};
void RotoZoomSprite(OpenGLZadederu& r, int slot, float x, float y, const RotoZoomOptions& options);

// A camera-facing quad standing on (x, y, z), half its pixel size times scale.
void DrawBillboardSprite(OpenGLZadederu& r, int slot, float x, float y, float z, float scale);

bool SpriteCollision(OpenGLZadederu& r, int slotA, int xA, int yA, int slotB, int xB, int yB);

// The polygon batch (r.polygonBatch.Reset starts one): a vertex, then the fan.
void AddPolygonVertex(OpenGLZadederu& r, int x, int y, float u, float v, int colour);
void DrawPolygonBatch(OpenGLZadederu& r);

// Empties every slot and every background buffer.
void ClearAllImages(OpenGLZadederu& r);
