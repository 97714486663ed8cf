// Commands that build objects from code.
#include <brindle/gfx3d.h>

#include "core/runtime_state.h"
#include "gfx3d/command_args.h"


void SetBuildNormals(double mode) { runtime.scene.buildNormalsMode = TruncSaturated(mode) % 3; }

void StartObject(double object) { runtime.scene.StartObject(TruncSaturated(object), 1); }

void AddVertex(double x, double y, double z, double u, double v, double colour) {
    runtime.scene.AddVertex(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                            static_cast<float>(u), static_cast<float>(v), Low32Bits(colour));
}

void NewStrip() { runtime.scene.NewStrip(1); }

void EndObject() { runtime.scene.EndObject(); }
