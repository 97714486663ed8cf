// STAND-IN for LoadBmpTexture (media/bmp_texture.h), whose definition has
// not landed yet: the plain texture only, no mipmaps, no normal map. The
// sprite table calls this until then; delete both files afterwards.
#pragma once
#include <cstdint>

bool StandInLoadBmpTexture(const char* fileName, unsigned int* plainTexture, uint32_t keyColour,
                           bool nearestFiltering);
