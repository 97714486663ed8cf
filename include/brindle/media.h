// Commands that write images: the screen and sprites as 24-bit BMP files.
#pragma once
#include <brindle/rtstring.h>

// Writes the back buffer (the frame being drawn); 1 when the file was written completely, else 0.
double SaveScreen(const RtString& fileName);
// Writes the sprite slot's image; 1 on success, 0 otherwise.
double SaveSprite(double slot, const RtString& fileName);
