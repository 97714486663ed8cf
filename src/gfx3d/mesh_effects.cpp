// Effect drawing helpers: the cel-shading ramp texture and the stencil
// shadow volume (extruded silhouette and caps).
#include <vector>

#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/zadederu3d.h"
#include "platform/gl.h"

void Zadederu3D::BuildRampTexture(MeshObjectX& mesh) {
    if (mesh.rampTexture != 0) return;
    static const int intensity[16] = {100, 160, 160, 160, 160, 160, 160, 207,
                                      255, 255, 255, 255, 255, 255, 255, 255};
    int entries = mesh.colourTable.count;
    int height = 1;
    while (height < entries && height < 16384) height *= 2;
    if (height < entries) height = entries;
    std::vector<uint8_t> texels(static_cast<size_t>(height) * 16 * 4);
    for (int row = 0; row < height; ++row) {
        uint32_t colour = row < entries ? mesh.colourTable[row] : entries > 0 ? mesh.colourTable[0] : 0xFFFFFFu;
        uint8_t* out = &texels[static_cast<size_t>(row) * 64];
        for (int i = 0; i < 16; ++i) {
            int level = intensity[i];
            if (IsMarker(colour)) {
                out[4 * i] = out[4 * i + 1] = out[4 * i + 2] = static_cast<uint8_t>(level);
            } else {
                out[4 * i] = static_cast<uint8_t>((colour & 0xFF) * level / 255);
                out[4 * i + 1] = static_cast<uint8_t>(((colour >> 8) & 0xFF) * level / 255);
                out[4 * i + 2] = static_cast<uint8_t>(((colour >> 16) & 0xFF) * level / 255);
            }
            out[4 * i + 3] = 255;
        }
    }
    glGenTextures(1, &mesh.rampTexture);
    glBindTexture(GL_TEXTURE_2D, mesh.rampTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 16, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    renderer->glState.ForgetTextureBinding();  // the ramp is bound now
    mesh.rampStep = 1.0f / static_cast<float>(height);
}

void Zadederu3D::DrawShadowVolume(MeshObjectX& mesh, const GrowArray<MeshVertex>& triangles,
                                  const float light[3], bool caps) {
    int count = mesh.facing.count;
    // The volume's faces turn clockwise towards its outside whichever way
    // the object's own faces turn (its near side is made of the faces
    // turned to the light for one winding and of those turned away for the
    // other), so the two passes count with clockwise front faces whatever
    // the culling setting. The volume writes no colour; the front faces of
    // lit drawing are restored after it.
    GLint frontFace = GL_CCW;
    glGetIntegerv(GL_FRONT_FACE, &frontFace);
    glFrontFace(GL_CW);
    glDisable(GL_CULL_FACE);
    renderer->glState.Texturing(0, false);
    renderer->glState.Lighting(false);
    renderer->glState.BeforeDraw();
    glStencilFunc(GL_ALWAYS, 0, 0xFFFFFFFFu);
    auto extruded = [&](const float* v) {
        glVertex4f(v[0] - light[0], v[1] - light[1], v[2] - light[2], 0);
    };
    for (int pass = 0; pass < 2; ++pass) {
        glEnable(GL_CULL_FACE);
        if (pass == 0) {
            glCullFace(GL_BACK);
            glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
        } else {
            glCullFace(GL_FRONT);
            glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
        }
        glBegin(GL_QUADS);
        for (int t = 0; t < count; ++t) {
            if (!mesh.facing[t]) continue;
            for (int e = 0; e < 3; ++e) {
                if (!mesh.edges[3 * t + e].silhouette) continue;
                const float* va = triangles[3 * t + e].position;
                const float* vb = triangles[3 * t + (e + 1) % 3].position;
                glVertex3fv(vb);
                glVertex3fv(va);
                extruded(va);
                extruded(vb);
            }
        }
        glEnd();
        if (caps) {
            glBegin(GL_TRIANGLES);
            for (int t = 0; t < count; ++t) {
                for (int i = 0; i < 3; ++i) {
                    const float* v = triangles[3 * t + i].position;
                    if (mesh.facing[t]) glVertex3fv(v);
                    else extruded(v);
                }
            }
            glEnd();
        }
    }
    glFrontFace(static_cast<GLenum>(frontFace));
}
