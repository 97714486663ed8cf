// BMP images as OpenGL textures, and textures and the screen back to BMP.
#pragma once
#include <cstdint>

#include "media/bmp_file.h"

// Decodes the region of fileName (width or height 0: the whole image) into a
// plain texture and, when mipmappedTexture is given, a mipmapped one. Key
// colour: blue * 65536 + green * 256 + red. The output names are written
// only on success (true).
bool LoadBmpTexture(const char* fileName, int regionX, int regionY, int regionWidth,
                    int regionHeight, unsigned int* plainTexture, unsigned int* mipmappedTexture,
                    uint32_t keyColour, bool useKey, bool makeNormalMap, bool nearestFiltering);

// The back buffer, screenWidth x screenHeight, as a 24-bit BMP.
bool SaveScreenBmp(const char* fileName);
// The image of a sprite slot, read back from its plain texture.
bool SaveSpriteBmp(int slot, const char* fileName);
