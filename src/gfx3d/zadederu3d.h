// Zadederu3D: the one 3D scene. It holds the object table, the projection
// and camera, culling, the per-object transform stack, lights, fog and the
// effect light, and draws meshes into the 2D renderer's context.
#pragma once
#include <cstdint>

#include "gfx3d/mesh.h"

class OpenGLZadederu;
struct Placement;

struct TransformEntry {
    int rotationCount;
    float rotations[16][4];  // angle in degrees, axis x, y, z
    float scale[3];
    float translation[3];

    void Reset() {
        rotationCount = 0;
        scale[0] = scale[1] = scale[2] = 1.0f;
        translation[0] = translation[1] = translation[2] = 0.0f;
    }
};

class Zadederu3D {
public:
    explicit Zadederu3D(OpenGLZadederu* renderer);
    virtual ~Zadederu3D();
    Zadederu3D(const Zadederu3D&) = delete;
    Zadederu3D& operator=(const Zadederu3D&) = delete;

    // Scene state.
    void SetShadowVolumeMode(bool on);
    void Enter3D(float nearPlane, float farPlane, float fieldOfView);
    void LookAt(const float eye[3], const float target[3], const float up[3]);
    void SetCamera(const float eye[3], const float target[3]);
    void SetCameraUp(const float up[3]);
    void SetCullMode(int mode);
    void SetFog(int colour, int mode, float a, float b);
    void SetLight(int index, int colour, const float position[3], const float direction[3],
                  float cutoff, bool markers);
    void SetTextureOffset(float u, float v);
    void ApplyTransformStack();
    TransformEntry& CurrentTransform() { return transformStack[transformTop]; }

    // Immediate-mode helpers.
    void DrawAxes(float x, float y, float z);
    void DrawLine3D(const float from[3], const float to[3], int colour, float width);
    void DrawPoint3D(const float at[3], int colour, float size);

    // Objects. Numbers outside 0..4095 give null (an empty slot).
    ObjectSlot* Slot(int object);
    void DrawSlot(int object, int frameF, int frameA, float weight, bool animate);
    int DrawMesh(MeshObjectX& mesh, int frameF, int frameA, float weight, bool animate);
    // Whether the frame's bounding sphere, placed by the transform stack,
    // may be seen by the camera (objects outside the view are not drawn).
    bool InView(const MeshFrame& frame) const;
    void BuildRampTexture(MeshObjectX& mesh);
    void BuildEdges(MeshObjectX& mesh);
    void MarkFacing(MeshObjectX& mesh, const GrowArray<MeshVertex>& triangles, const float light[3]);
    void DrawShadowVolume(MeshObjectX& mesh, const GrowArray<MeshVertex>& triangles,
                          const float light[3], bool caps);

    // Object files: 1 when the file gave the slot a drawable object, else 0
    // (the slot then holds one empty mesh).
    int LoadObjectFile(int object, const char* path);

    // Collision and picking. The object's placement is the transform stack
    // (without the camera); every mesh of the slot is tested.
    Placement ObjectPlacement() const;
    bool SphereHitsSlot(int object, int frame, float radius, Vec3 centre);
    bool BoxHitsSlot(int object, int frame, Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3);
    float RayHitsSlot(int object, int frame, Vec3 origin, Vec3 direction);
    // Window coordinates (y downwards) and depth of a point with the current
    // GL matrices and viewport, and back; false when it cannot be computed.
    bool ProjectPoint(const float point[3], double out[3]) const;
    bool UnprojectPoint(double wx, double wy, double depth, double out[3]) const;
    // Debug markers in the current colour and line width.
    void DrawWireSphere(Vec3 centre, float radius);
    void DrawWireBox(Vec3 centre, Vec3 a1, Vec3 a2, Vec3 a3);

    // Building from code.
    void StartObject(int object, int kind);
    void AddVertex(float x, float y, float z, float u, float v, uint32_t colour);
    void NewStrip(int kind);
    void EndObject();

    ObjectSlot objects[kObjectSlots];
    bool shadowVolumeMode;
    int8_t cullMode;
    TransformEntry transformStack[16];
    int transformTop;
    float cameraMatrix[16];
    float textureOffsetU, textureOffsetV;
    uint8_t lightMask;
    bool envMapping;
    OpenGLZadederu* renderer;
    bool effectEnabled;
    uint8_t effectKind;
    float effectLightPosition[3];
    float effectLightColour[3];
    float cameraUp[3];
    float cameraPosition[3];
    float cameraTarget[3];
    float viewConeTangent;
    float nearPlane, farPlane;
    int buildNormalsMode;
    int buildObject = -1;  // the object being built (StartObject), -1 when none

private:
    // Uploads src (count vertices) into the dynamic buffer: generated on first
    // use, mapped when possible, recreated otherwise.
    void FillDynamicBuffer(MeshObjectX& mesh, const MeshVertex* src, int count);
};

// Tangent of the half angle by the engine's odd polynomial.
float TanPolynomial(float x);
// The cone test's square root: an approximation from the float's bits.
float FastSqrt(float x);
