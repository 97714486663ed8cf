// 2D graphics commands: the viewport, sprites, polygons, fonts and text.
#pragma once
#include <brindle/rtstring.h>

// The 2D viewport in window pixels from the top left; a width or height of
// 0 or less covers the whole screen (keeping x and y).
void SetViewport(double x, double y, double width, double height);

// Sprites: slots 0 ... 65535 (65520 ... 65535 hold the fonts). Commands
// given another slot number do nothing (and report 0).
void LoadSprite(const RtString& fileName, double slot);
double LoadNormalMapSprite(const RtString& fileName, double slot);
void DrawSprite(double slot, double x, double y);
void StretchSprite(double slot, double x, double y, double width, double height);
void ZoomSprite(double slot, double x, double y, double zoomX, double zoomY);
void RotateSprite(double slot, double x, double y, double angle);
void RotoZoomSprite(double slot, double x, double y, double angle, double zoom);
void GetSpriteSize(double slot, double& width, double& height);
double SpriteCollision(double slotA, double xA, double yA, double slotB, double xB, double yB);

// A textured (slot >= 0) or coloured (slot < 0) triangle fan.
void StartPolygon(double slot);
void PolygonVertex(double x, double y, double u, double v, double colour);
void EndPolygon();

// Textures for 3D drawing; -1 untextures.
void SetTexture(double slot, double secondSlot);
void SetMipmapping(double on);

// Fonts 0 ... 15 and text.
void LoadFont(const RtString& fileName, double font);
void SetFont(double font);
void GetFontSize(double& width, double& height);
void PrintText(const RtString& text, double x, double y);
void PrintNumber(double number, double x, double y);
void PrintText3D(const RtString& text, double x, double y, double z, double size);

// Alpha mode and primitives. Colours are red + 256 green + 65536 blue;
// 0x8000FF (the sprite key colour) draws with alpha 0. Coordinates are
// viewport pixels; ones that are not finite numbers draw nothing.
// Blending from now on: a > 0 additive, a < 0 by source alpha, 0 off; level min(|a|, 1).
void SetAlphaMode(double a);
// Clears the back buffer and empties background buffer 0 (no background behind frames).
void ClearScreen();
// Draws one pixel.
void DrawPoint(double x, double y, double colour);
// Draws a line including both end pixels.
void DrawLine(double x1, double y1, double x2, double y2, double colour);
// Fills the pixels between the two corners inclusive (one pair equal, not both: nothing).
void FillRect(double x1, double y1, double x2, double y2, double colour);
// The back buffer's colour at window pixel (x, y), ignoring the viewport; 0 off the screen.
double GetPixel(double x, double y);

// Background buffers: buffer 0 is drawn behind every frame.
// Loads a BMP as background buffer 0 and draws it (missing: nothing; undecodable: error 3, end).
void LoadBackground(const RtString& fileName);
// Cross-fades from the screen to the BMP over about fifty frames, which becomes buffer 0.
void FadeToBackground(const RtString& fileName);
// Copies the back buffer into background buffer 0.
void GrabBackground();
// Copies a screen rectangle into a sprite slot; 1, or 0 for a slot outside 0 ... 65535.
double GrabSprite(double slot, double x, double y, double width, double height);
