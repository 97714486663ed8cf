// Building objects from code: strips of vertices between StartObject and
// EndObject become a packed, normal-mapped, expanded mesh.
#include "gfx3d/zadederu3d.h"

namespace {

uint32_t MarkerFor(int kind) {
    if (kind == 0) return kListMarker;
    if (kind == 2) return kFanMarker;
    return kStripMarker;
}

MeshVertex MarkerVertex(int kind) {
    MeshVertex v{};
    v.colour = MarkerFor(kind);
    v.rgb[0] = v.rgb[1] = v.rgb[2] = 1.0f;
    return v;
}

}  // namespace

void Zadederu3D::StartObject(int object, int kind) {
    ObjectSlot* slot = Slot(object);
    if (!slot) {
        // Vertices for an object number out of range go nowhere.
        buildObject = -1;
        return;
    }
    slot->ready = false;
    slot->ownTextures = false;
    // A rebuild starts from a fresh mesh: no frames, colours or GL names of
    // the earlier object survive (a kept static buffer would draw the old
    // shape).
    slot->meshes.Clear();
    slot->meshes.Reserve(2);
    buildObject = object;
    MeshObjectX& mesh = slot->meshes.Emplace();
    MeshFrame& frame = mesh.frames.Emplace();
    frame.vertices.Append(MarkerVertex(kind));
}

void Zadederu3D::AddVertex(float x, float y, float z, float u, float v, uint32_t colour) {
    if (buildObject == -1) return;
    MeshVertex vertex{};
    vertex.position[0] = x;
    vertex.position[1] = y;
    vertex.position[2] = z;
    vertex.texCoord[0] = u;
    vertex.texCoord[1] = v;
    vertex.colour = colour;
    if (IsMarker(colour)) {
        vertex.rgb[0] = vertex.rgb[1] = vertex.rgb[2] = 1.0f;
    } else {
        vertex.rgb[0] = (colour & 0xFF) / 255.0f;
        vertex.rgb[1] = ((colour >> 8) & 0xFF) / 255.0f;
        vertex.rgb[2] = ((colour >> 16) & 0xFF) / 255.0f;
    }
    objects[buildObject].meshes[0].frames[0].vertices.Append(vertex);
}

void Zadederu3D::NewStrip(int kind) {
    if (buildObject == -1) return;
    objects[buildObject].meshes[0].frames[0].vertices.Append(MarkerVertex(kind));
}

void Zadederu3D::EndObject() {
    if (buildObject == -1) return;
    ObjectSlot& slot = objects[buildObject];
    slot.ready = true;
    slot.ownTextures = false;
    MeshObjectX& mesh = slot.meshes[0];
    if (mesh.frames.count >= 1 && mesh.frames[0].vertices.count > 2) {
        PackMesh(mesh);
        if (buildNormalsMode == 1) ComputeNormals(mesh, true, false, false);
        else if (buildNormalsMode == 2) ComputeNormals(mesh, true, true, false);
        mesh.Expand();
        ComputeBounds(mesh);
    } else {
        mesh.Clear();
    }
    buildObject = -1;
}

ObjectSlot* Zadederu3D::Slot(int object) {
    if (object < 0 || object >= kObjectSlots) return nullptr;
    return &objects[object];
}
