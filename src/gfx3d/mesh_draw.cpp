// Drawing objects: frame choice and blending, the visibility cone, the fast
// path from a static buffer, the per-draw copy, sphere mapping and the
// effect paths (bump mapping, cel shading with outline, shadow volumes).
#include <algorithm>
#include <cstring>

#include "platform/gl_entry_points.h"
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/collision.h"
#include "gfx3d/scene_links.h"
#include "gfx3d/vector3.h"
#include "gfx3d/zadederu3d.h"
#include "lang/portable_maths.h"
#include "media/bmp_texture.h"
#include "platform/gl.h"

#ifndef GL_ARRAY_BUFFER_ARB
#define GL_ARRAY_BUFFER_ARB 0x8892
#define GL_STATIC_DRAW_ARB 0x88E4
#define GL_STREAM_DRAW_ARB 0x88E0
#define GL_WRITE_ONLY_ARB 0x88B9
#endif
#ifndef GL_COMBINE_ARB
#define GL_COMBINE_ARB 0x8570
#define GL_COMBINE_RGB_ARB 0x8571
#define GL_SOURCE0_RGB_ARB 0x8580
#define GL_SOURCE1_RGB_ARB 0x8581
#define GL_OPERAND0_RGB_ARB 0x8590
#define GL_OPERAND1_RGB_ARB 0x8591
#define GL_PRIMARY_COLOR_ARB 0x8577
#endif

namespace {

constexpr GLenum kDot3Rgb = 0x8740;
constexpr int kStride = static_cast<int>(sizeof(MeshVertex));


const void* Offset(const MeshVertex* base, size_t offset) {
    return reinterpret_cast<const char*>(base) + offset;
}

int Clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

void BindSpriteTexture(const OpenGLZadederu& r, int slot) {
    if (slot < 0 || slot >= kSpriteSlots) return;
    glBindTexture(GL_TEXTURE_2D, r.spriteTexture[slot][r.boundUseMip ? 1 : 0]);
}

bool HaveBufferObjects() { return glBindBufferARB && glGenBuffersARB && glBufferDataARB; }

}  // namespace

float FastSqrt(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    // Halving the exponent: (bits >> 1) - 0x1FC00000 + 0x3F800000. Masking the
    // intermediate to 31 bits (as the classic form does) turns results below 1
    // negative; the cone test squares the value, so the sign is dropped here.
    bits = (bits >> 1) + 0x1FC00000u;
    float out;
    std::memcpy(&out, &bits, sizeof out);
    return out;
}

// The frame's bounding sphere placed by the whole transform stack (every
// level, with its rotations and scales, as the object is drawn and as the
// collision tests place it), against a cone around the view axis.
bool Zadederu3D::InView(const MeshFrame& frame) const {
    const Placement place = ObjectPlacement();
    const float* m = place.m;
    float centre[3], dir[3], rel[3];
    for (int a = 0; a < 3; ++a) {
        centre[a] = m[a] * frame.centre[0] + m[4 + a] * frame.centre[1] + m[8 + a] * frame.centre[2] +
                    m[12 + a];
        dir[a] = cameraTarget[a] - cameraPosition[a];
    }
    // No level stretches the sphere by more than its largest scale factor
    // (rotations and moves keep its size), so their product bounds it.
    float stretch = 1;
    for (int i = 0; i <= transformTop; ++i) {
        const float* s = transformStack[i].scale;
        stretch *= std::max({maths::fabs(s[0]), maths::fabs(s[1]), maths::fabs(s[2])});
    }
    const float radius = frame.radius * stretch;
    Normalise(dir);
    for (int a = 0; a < 3; ++a) rel[a] = centre[a] - cameraPosition[a];
    const float along = Dot(dir, rel);
    if (along < 0) return Dot(rel, rel) <= radius * radius;
    float p[3] = {dir[0] * along, dir[1] * along, dir[2] * along};
    float off[3] = {rel[0] - p[0], rel[1] - p[1], rel[2] - p[2]};
    // Widened by 5 %: a margin for objects at the cone's edge and for the
    // approximate square root.
    const float cone = viewConeTangent * 1.05f * FastSqrt(Dot(p, p));
    return Dot(off, off) < radius * radius + cone * cone;
}

void Zadederu3D::DrawSlot(int object, int frameF, int frameA, float weight, bool animate) {
    ObjectSlot* slot = Slot(object);
    if (!slot) return;
    int rememberedA = renderer->boundSlot, rememberedB = renderer->boundSecondSlot;
    for (MeshObjectX& mesh : slot->meshes) {
        if (slot->ownTextures)
            SceneBindSprite(*renderer, mesh.textureA, mesh.textureB, renderer->boundUseMip);
        DrawMesh(mesh, frameF, frameA, weight, animate);
    }
    if (slot->ownTextures) SceneBindSprite(*renderer, rememberedA, rememberedB, renderer->boundUseMip);
}

void Zadederu3D::FillDynamicBuffer(MeshObjectX& mesh, const MeshVertex* src, int count) {
    GLsizeiptrARB bytes = static_cast<GLsizeiptrARB>(count) * kStride;
    if (mesh.dynamicBuffer == 0) {
        glGenBuffersARB(1, &mesh.dynamicBuffer);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.dynamicBuffer);
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, src, GL_STREAM_DRAW_ARB);
        return;
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.dynamicBuffer);
    if (glMapBufferARB && glUnmapBufferARB) {
        void* mapped = glMapBufferARB(GL_ARRAY_BUFFER_ARB, GL_WRITE_ONLY_ARB);
        if (mapped) {
            std::memcpy(mapped, src, static_cast<size_t>(bytes));
            glUnmapBufferARB(GL_ARRAY_BUFFER_ARB);
            return;
        }
        // A failed mapping refills the buffer instead of dropping the draw.
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, src, GL_STREAM_DRAW_ARB);
        return;
    }
    glDeleteBuffersARB(1, &mesh.dynamicBuffer);
    glGenBuffersARB(1, &mesh.dynamicBuffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, mesh.dynamicBuffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, bytes, src, GL_STREAM_DRAW_ARB);
}

int Zadederu3D::DrawMesh(MeshObjectX& mesh, int frameF, int frameA, float weight, bool animate) {
    if (mesh.frames.count == 0 || mesh.frames[0].packed.count == 0) return 0;
    OpenGLZadederu& r = *renderer;

    // Frame choice: the drawn vertices are from + (to - from) * toWeight,
    // except that a weight of exactly 0 draws `to` as it is (no blending).
    int frameCount = mesh.frames.count;
    int from, to;
    float toWeight;
    if (!animate) {
        from = frameA;
        to = frameF;
        toWeight = weight != weight ? 0.0f : weight;  // not a number counts as 0
    } else {
        toWeight = weight == 1.0f ? 1.0f : maths::fmod(weight, 1.0f);
        if (toWeight != toWeight) toWeight = 0;  // not a number: also an infinite weight
        // In floats: the frame difference of extreme numbers overflows an int.
        float pos = static_cast<float>(frameF) +
                    (static_cast<float>(frameA) - static_cast<float>(frameF)) * toWeight;
        // Beyond -1 ... frameCount every choice ends in the same clamped
        // frame; the clamp keeps the conversion to int defined.
        pos = std::clamp(pos, -1.0f, static_cast<float>(frameCount));
        float whole = maths::trunc(pos);
        int wholeFrame = static_cast<int>(whole);
        float fraction = pos - whole;
        if (frameF < frameA) {
            to = wholeFrame;
            from = wholeFrame + 1;
            toWeight = 1.0f - fraction;
        } else if (frameF > frameA) {
            to = wholeFrame + 1;
            from = wholeFrame;
            toWeight = fraction;
            // Landing on a whole frame draws that frame, not the next one.
            if (toWeight == 0.0f) to = wholeFrame;
        } else {
            to = from = frameF;
            toWeight = 0;
        }
    }
    from = Clamp(from, 0, frameCount - 1);
    to = Clamp(to, 0, frameCount - 1);
    MeshFrame& toFrame = mesh.frames[to];
    MeshFrame& fromFrame = mesh.frames[from];

    if (!InView(toFrame)) return 0;

    r.glState.Colour(r.alphaLevel, r.alphaLevel, r.alphaLevel, r.alphaLevel);
    // Meshes modulate their textures by vertex colours and lights (2D
    // drawing may have left unit 0 replacing). A mesh without either, in
    // opaque white, replaces instead: the same pixels for less work.
    const bool plainColour = !effectEnabled && !mesh.usesVertexColours && lightMask == 0;
    if (plainColour)
        r.glState.TextureInCurrentColour();
    else
        r.glState.TextureModulated();

    if (effectEnabled) {
        if (effectKind == 2) {
            ComputeNormals(mesh, true, false, false);
            BuildRampTexture(mesh);
        } else if (effectKind == 1) {
            ComputeNormals(mesh, true, buildNormalsMode == 2, true);
        } else if (effectKind == 3) {
            ComputeNormals(mesh, true, false, false);
            BuildEdges(mesh);
        }
    }
    if (mesh.drawVertices.count == 0) mesh.Expand();

    // Vertices to draw: never more than every list involved holds.
    int count = mesh.drawVertices.count;
    if (toFrame.triangleVertices.count < count) count = toFrame.triangleVertices.count;
    if (toWeight != 0 && fromFrame.triangleVertices.count < count) count = fromFrame.triangleVertices.count;
    if (count <= 0) return 0;

    bool effectPath = effectEnabled && glMultiTexCoord2fARB != nullptr;
    float lightObject[3] = {0, 0, 0};
    if (effectPath) {
        // The effect light in object space: rigid inverse of the placement.
        float m[16];
        glPushMatrix();
        glLoadIdentity();
        ApplyTransformStack();
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        glPopMatrix();
        float d[3] = {effectLightPosition[0] - m[12], effectLightPosition[1] - m[13],
                      effectLightPosition[2] - m[14]};
        for (int a = 0; a < 3; ++a)
            lightObject[a] = m[4 * a] * d[0] + m[4 * a + 1] * d[1] + m[4 * a + 2] * d[2];
        if (effectKind == 3) {
            glPushMatrix();
            glLoadMatrixf(cameraMatrix);
            ApplyTransformStack();
            MarkFacing(mesh, toFrame.triangleVertices, lightObject);
            DrawShadowVolume(mesh, toFrame.triangleVertices, lightObject, true);
            glPopMatrix();
            return 0;
        }
    }

    const MeshVertex* source;
    unsigned int* buffer;
    bool fastPath = !effectPath && toWeight == 0 && textureOffsetU == 0 && textureOffsetV == 0;
    if (fastPath) {
        source = toFrame.triangleVertices.data;
        buffer = to == 0 ? &mesh.staticBuffer : &mesh.dynamicBuffer;
    } else {
        MeshVertex* out = mesh.drawVertices.data;
        const MeshVertex* toVertices = toFrame.triangleVertices.data;
        const MeshVertex* fromVertices = fromFrame.triangleVertices.data;
        for (int k = 0; k < count; ++k) {
            MeshVertex& v = out[k];
            v = toVertices[k];
            if (toWeight != 0) {
                // Exact at both ends: a weight of 1 gives `to`, 0 would give `from`.
                const MeshVertex& before = fromVertices[k];
                const MeshVertex& after = toVertices[k];
                for (int a = 0; a < 3; ++a) {
                    v.position[a] =
                        before.position[a] * (1 - toWeight) + after.position[a] * toWeight;
                    v.normal[a] = before.normal[a] * (1 - toWeight) + after.normal[a] * toWeight;
                }
            }
            if (effectPath) {
                float toLight[3] = {lightObject[0] - v.position[0],
                                    lightObject[1] - v.position[1],
                                    lightObject[2] - v.position[2]};
                Normalise(toLight);
                if (effectKind == 1) {
                    v.lightVector[0] = Dot(fromVertices[k].tangent, toLight) * 0.5f + 0.5f;
                    v.lightVector[1] = Dot(fromVertices[k].binormal, toLight) * 0.5f + 0.5f;
                    v.lightVector[2] = Dot(v.normal, toLight) * 0.5f + 0.5f;
                } else if (effectKind == 2) {
                    float toward[3] = {v.position[0] - v.normal[0], v.position[1] - v.normal[1],
                                       v.position[2] - v.normal[2]};
                    Normalise(toward);
                    float s = Dot(toLight, toward);
                    v.binormal[0] = s < 0.05f ? 0.05f : s > 0.95f ? 0.95f : s;
                    v.binormal[1] = (static_cast<float>(v.colourIndex) + 0.5f) * mesh.rampStep;
                }
            }
            v.texCoord[0] += textureOffsetU;
            v.texCoord[1] += textureOffsetV;
        }
        source = mesh.drawVertices.data;
        buffer = &mesh.dynamicBuffer;
    }

    // Buffer objects when available; array pointers become offsets.
    const MeshVertex* base = source;
    if (HaveBufferObjects()) {
        if (buffer == &mesh.dynamicBuffer) {
            FillDynamicBuffer(mesh, source, count);
        } else if (*buffer == 0) {
            glGenBuffersARB(1, buffer);
            glBindBufferARB(GL_ARRAY_BUFFER_ARB, *buffer);
            glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(count) * kStride, source,
                            GL_STATIC_DRAW_ARB);
        } else {
            glBindBufferARB(GL_ARRAY_BUFFER_ARB, *buffer);
        }
        base = nullptr;
    }

    int spriteA = r.boundSlot, spriteB = r.boundSecondSlot;
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, position)));
    bool rebind = false;  // restore the sprite binding after the ramp or the outline
    if (!effectPath) {
        if (spriteA >= 0) {
            if (spriteB >= 0 && glClientActiveTextureARB) {
                glClientActiveTextureARB(GL_TEXTURE1_ARB);
                glActiveTextureARB(GL_TEXTURE1_ARB);
                BindSpriteTexture(r, spriteB);
                glEnableClientState(GL_TEXTURE_COORD_ARRAY);
                glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, texCoord)));
                glClientActiveTextureARB(GL_TEXTURE0_ARB);
                glActiveTextureARB(GL_TEXTURE0_ARB);
            }
            BindSpriteTexture(r, spriteA);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, texCoord)));
        }
        if (mesh.usesVertexColours) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(3, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, rgb)));
        }
    } else if (effectKind == 1) {
        glClientActiveTextureARB(GL_TEXTURE1_ARB);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, texCoord)));
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
        glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, kDot3Rgb);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_PRIMARY_COLOR_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB_ARB, GL_SRC_COLOR);
        glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_TEXTURE);
        glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND1_RGB_ARB, GL_SRC_COLOR);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, texCoord)));
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, lightVector)));
    } else if (effectKind == 2) {
        rebind = true;
        glClientActiveTextureARB(GL_TEXTURE1_ARB);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glBindTexture(GL_TEXTURE_2D, mesh.rampTexture);
        glEnable(GL_TEXTURE_2D);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, binormal)));
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
        glActiveTextureARB(GL_TEXTURE0_ARB);
        if (spriteA >= 0) {
            BindSpriteTexture(r, spriteA);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, texCoord)));
        }
    }

    glEnable(GL_COLOR_MATERIAL);
    glPushMatrix();
    glLoadMatrixf(cameraMatrix);
    ApplyTransformStack();
    if (lightMask != 0 || envMapping) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, kStride, Offset(base, offsetof(MeshVertex, normal)));
        if (envMapping) {
            glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
        }
    }
    // A texture opaque in every texel, alone and in the current colour: no
    // fragment can fail the alpha test, wherever the mesh samples it.
    const int plainSlot = spriteA >= 0 && spriteA < kSpriteSlots ? spriteA : -1;
    if (plainColour && plainSlot >= 0 && spriteB < 0 && r.opacity[plainSlot] == kOpaqueTexture)
        r.glState.BeforeImageDraw(1, false);
    else
        r.glState.BeforeDraw();
    glDrawArrays(GL_TRIANGLES, 0, count);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisableClientState(GL_VERTEX_ARRAY);
    if (glClientActiveTextureARB) {
        glClientActiveTextureARB(GL_TEXTURE1_ARB);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glClientActiveTextureARB(GL_TEXTURE0_ARB);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    if (glBindBufferARB) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);

    if (effectEnabled && effectKind == 2 && cullMode != 0) {
        // Outline: the mesh pushed out along its normals, back faces only,
        // in black; its thickness follows the object's distance from the eye.
        const TransformEntry& level0 = transformStack[0];
        float rel[3];
        for (int a = 0; a < 3; ++a)
            rel[a] = level0.translation[a] + toFrame.centre[a] - cameraPosition[a];
        float t = maths::sqrt(Dot(rel, rel)) * viewConeTangent * 0.003f / level0.scale[1];
        if (!(t > toFrame.radius / 8)) {
            if (!(t >= 1e-7f)) t = 1e-7f;  // also a scale of 0 at distance 0
            MeshVertex* out = mesh.drawVertices.data;
            if (fastPath) {
                for (int k = 0; k < count; ++k) out[k] = toFrame.triangleVertices[k];
            }
            for (int k = 0; k < count; ++k)
                for (int a = 0; a < 3; ++a) out[k].position[a] += t * out[k].normal[a];
            SetCullMode(-cullMode);
            const MeshVertex* outlineBase = out;
            if (HaveBufferObjects()) {
                FillDynamicBuffer(mesh, out, count);
                outlineBase = nullptr;
            }
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, kStride, Offset(outlineBase, offsetof(MeshVertex, position)));
            if (glActiveTextureARB) {
                glActiveTextureARB(GL_TEXTURE1_ARB);
                glDisable(GL_TEXTURE_2D);
                glActiveTextureARB(GL_TEXTURE0_ARB);
            }
            glDisable(GL_TEXTURE_2D);
            glEnable(GL_COLOR_MATERIAL);
            glDisable(GL_LIGHTING);
            glColor3f(0, 0, 0);
            glDepthFunc(GL_LEQUAL);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            r.glState.BeforeDraw();
            glDrawArrays(GL_TRIANGLES, 0, count);
            glDisable(GL_BLEND);
            glDepthFunc(GL_LESS);
            glDisableClientState(GL_VERTEX_ARRAY);
            if (glBindBufferARB) glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
            rebind = true;
            // Lights stay on for the objects drawn after this one.
            if (lightMask != 0) glEnable(GL_LIGHTING);
            SetCullMode(-cullMode);
        }
    }
    // Neither the ramp nor untextured units stay for later draws.
    if (rebind) SceneBindSprite(r, r.boundSlot, r.boundSecondSlot, r.boundUseMip);

    if (glActiveTextureARB) {
        glActiveTextureARB(GL_TEXTURE1_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glActiveTextureARB(GL_TEXTURE0_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    glPopMatrix();
    // Units, bindings, modes and the lighting switch were set directly
    // above, and the colour array left the current colour undefined.
    r.glState.Forget();
    r.glState.Colour(r.alphaLevel, r.alphaLevel, r.alphaLevel, r.alphaLevel);
    return 0;
}
