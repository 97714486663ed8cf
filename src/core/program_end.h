// The one way out of a running game, and runtime error numbers.
#pragma once

[[noreturn]] void EndProgram();

// EndProgram's steps that belong to the subsystems above core, in the order
// it takes them. Start-up fills them in (SetEndSteps); an empty step is
// skipped.
struct EndSteps {
    void (*stopMusic)() = nullptr;       // before the end trace is written
    void (*releaseDevices)() = nullptr;  // after it: input, sound, network, media packs
};
void SetEndSteps(const EndSteps& steps);
