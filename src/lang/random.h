// The random generator behind Random: ISAAC with 32-bit words and a 256-word
// state. Start-up seeds it with the time.
#pragma once
#include <cstdint>

struct IsaacState {
    uint32_t results[256];
    uint32_t memory[256];
    uint32_t a, b, c;
    uint32_t resultCount;
};

extern IsaacState randomState;

// Sets the generator to the state the seed alone defines.
void SeedRandom(uint32_t seed);
// The seed start-up takes from the time in milliseconds: its low 32 bits,
// which keep changing however long the machine has been up.
uint32_t TimeSeed(double milliseconds);
// One full generation step: all 256 result words anew.
void IsaacGenerate(IsaacState& state);
