// Sound effects: 128 slots (0 ... 127) of WAV sounds, each with up to four
// voices so that one effect can overlap itself. Music and video: one music
// file looping in the background, and videos played in the window.
// Start-up opens the sound device in the background, so that the first
// frame never waits for it; the first LoadSound, PlaySound or StopAllSounds
// that comes before the device is open waits until it is (or has failed),
// then does what it does with a device opened during start-up.
#pragma once
#include <brindle/rtstring.h>

// Loads a PCM WAV file (8 or 16 bits, mono or stereo) into the slot with 1 ... 4 voices; 1 on success, else 0.
double LoadSound(const RtString& fileName, double slot, double voices);
// Plays the slot once (slot above 127 plays 127; pan -1 left ... 1 right; volume 0 ... 1); 1 when it started, else 0.
double PlaySound(double slot, double pan, double volume);
// Stops every voice of every slot and rewinds it; returns nothing.
void StopAllSounds();

// Stops and closes the music, if any; returns nothing.
void StopMusic();
// Stops the music, then plays the file looping in the background; 0 when it started, 0 when not found, else the media layer's error code.
double PlayMusic(const RtString& fileName);
// Plays the video scaled into the window, again and again until a key or mouse button; returns nothing.
void PlayVideo(const RtString& fileName);
// Plays the video scaled into the window once, or until a key or mouse button; returns nothing.
void PlayVideoOnce(const RtString& fileName);
