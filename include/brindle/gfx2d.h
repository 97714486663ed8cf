// 2D graphics commands: the viewport, sprites, polygons, fonts and text.
#pragma once
#include <brindle/rtstring.h>

// The 2D viewport in window pixels from the top left; a width or height of
// 0 or less covers the whole screen (keeping x and y).
void SetViewport(double x, double y, double width, double height);

// Sprites: slots 0 ... 65535 (65520 ... 65535 hold the fonts). Commands
// given another slot number do nothing (and report 0).

// Loads a BMP (also from the media pack) into the slot, colour 0x8000FF transparent; a missing file changes nothing.
void LoadSprite(const RtString& fileName, double slot);
// Loads the BMP as LoadSprite does and makes its normal map for lighting; 1 on success, else 0 (also for a missing file).
double LoadNormalMapSprite(const RtString& fileName, double slot);
// Draws the sprite at its size with its top left corner at (x, y).
void DrawSprite(double slot, double x, double y);
// Draws the sprite stretched over the rectangle (both sizes negative: turned by 180 degrees).
void StretchSprite(double slot, double x, double y, double width, double height);
// Draws the sprite scaled about its centre by the two factors (no mirroring).
void ZoomSprite(double slot, double x, double y, double zoomX, double zoomY);
// Draws the sprite at (x, y) turned by the angle about its centre.
void RotateSprite(double slot, double x, double y, double angle);
// Draws the sprite turned by the angle and scaled by zoom (0 or less: natural size).
void RotoZoomSprite(double slot, double x, double y, double angle, double zoom);
// Writes the size of the slot's image in pixels.
void GetSpriteSize(double slot, double& width, double& height);
// 1 when the two sprites placed at their positions share an opaque pixel, else 0.
double SpriteCollision(double slotA, double xA, double yA, double slotB, double xB, double yB);

// A triangle fan, textured from the sprite (slot >= 0) or coloured (slot < 0).
// Starts a polygon (the vertices given before are dropped).
void StartPolygon(double slot);
// Adds a vertex: window position (whole pixels), position in the sprite image (pixels from its top left) and colour.
void PolygonVertex(double x, double y, double u, double v, double colour);
// Draws the polygon's vertices as one triangle fan.
void EndPolygon();

// Sets the sprite textures of the following 3D drawing (second slot: the second texture, -1 none); slot -1 untextures.
void SetTexture(double slot, double secondSlot);
// Non-zero: SetTexture binds the mipmapped textures, until the next ShowFrame resets it to 0.
void SetMipmapping(double on);

// Fonts 0 ... 15: 16 x 8 cells of characters 0 ... 127; black is transparent.
// Loads the BMP as the font (index clamped to 0 ... 15) and selects it; missing: the built-in font; undecodable: error 3, end.
void LoadFont(const RtString& fileName, double font);
// Selects the font (clamped to 0 ... 15) for the text commands.
void SetFont(double font);
// Writes the selected font's cell width and height in pixels.
void GetFontSize(double& width, double& height);
// Draws the text with its top left corner at (x, y), on one line.
void PrintText(const RtString& text, double x, double y);
// Draws the number as text (10 significant digits) at (x, y).
void PrintNumber(double number, double x, double y);
// Draws the text centred on the 3D point, facing the camera with size x cell width per character; size 0: flat on the screen above the point.
void PrintText3D(const RtString& text, double x, double y, double z, double size);

// Alpha mode and primitives. Colours are red + 256 green + 65536 blue;
// 0x8000FF (the sprite key colour) draws with alpha 0. Coordinates are
// viewport pixels; ones that are not finite numbers draw nothing.
// Blending from now on: a > 0 additive, a < 0 by source alpha, 0 off; level min(|a|, 1).
void SetAlphaMode(double a);
// Clears the back buffer's colours, not its depths (3D drawn again in the same frame needs ClearDepth), and empties background buffer 0 (no background behind frames).
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
