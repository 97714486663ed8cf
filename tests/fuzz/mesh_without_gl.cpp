// Fuzz targets and the seed writer use meshes without a GL context: there
// are no buffer objects or textures to release.
#include "gfx3d/mesh.h"

void MeshObjectX::ReleaseGpu() { staticBuffer = dynamicBuffer = rampTexture = 0; }
void MeshObjectX::DropStaticBuffer() { staticBuffer = 0; }
