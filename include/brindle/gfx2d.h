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
