// BMP images as OpenGL textures, and textures and the screen back to BMP.
#pragma once
#include <cstdint>
#include <functional>

#include "media/bmp_file.h"
#include "media/bmp_tiles.h"

// Decodes the region of fileName (width or height 0: the whole image) into a
// plain texture and, when mipmappedTexture is given, a mipmapped one. Key
// colour: blue * 65536 + green * 256 + red. The output names are written
// only on success (true). opacity (when given) gets the texture's
// TextureOpacity.
bool LoadBmpTexture(const char* fileName, int regionX, int regionY, int regionWidth,
                    int regionHeight, unsigned int* plainTexture, unsigned int* mipmappedTexture,
                    uint32_t keyColour, bool useKey, bool makeNormalMap, bool nearestFiltering,
                    uint8_t* opacity = nullptr);

// How much of a texture is opaque (alpha 255): 0 not known to be, 1 the
// image's region, 2 every texel (and so every mipmap level).
enum TextureOpacity : uint8_t { kOpacityUnknown = 0, kOpaqueImage = 1, kOpaqueTexture = 2 };
uint8_t OpacityOf(const uint8_t* rgba, int textureWidth, int textureHeight, int imageWidth,
                  int imageHeight);

// Cuts the BMP into 64 x 64 tile textures (linear filtering, wrapping,
// no mipmaps) as CutBmpIntoTiles does, reading the file once; made receives
// each texture. grid gets the tile grid's size. False (and an error-log
// line) when the file cannot be read or decoded.
bool LoadBmpTileTextures(const char* fileName, uint32_t keyColour, int maxColumns, int maxRows,
                         const std::function<void(int column, int row, unsigned int texture)>& made,
                         BmpTileGrid& grid);

// Unpack settings for tightly packed rows: alignment 1, no row length or skips.
void UnpackTightly();
// A new texture name, bound, wrapping on both axes, with the given filters.
unsigned int NewTexture(int minFilter, int magFilter);

// The back buffer, screenWidth x screenHeight, as a 24-bit BMP.
bool SaveScreenBmp(const char* fileName);
// The image of a sprite slot, read back from its plain texture.
bool SaveSpriteBmp(int slot, const char* fileName);
