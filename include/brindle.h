// Brindle: the public interface for game programs. Every command of the
// language under its own name; numbers are doubles, texts RtString.
#pragma once

// BRINDLE_VERSION_MAJOR, _MINOR, _PATCH and _STRING ("0.2.0"): the version of
// Brindle the game is built with (written by the build).
#include <brindle_version.h>

#include <brindle/rtstring.h>
#include <brindle/game.h>
#include <brindle/core.h>
#include <brindle/arrays.h>
#include <brindle/gfx3d.h>
#include <brindle/maths.h>
#include <brindle/strings.h>
#include <brindle/text.h>
#include <brindle/path.h>
#include <brindle/media.h>
#include <brindle/input.h>
#include <brindle/gfx2d.h>
#include <brindle/sound.h>
#include <brindle/files.h>
#include <brindle/net.h>
