// Commands of the 3D engine: scene (projection, camera, culling, transform
// stack, lights, fog, helpers), building objects from code, drawing objects.
// Angles are in degrees; colours are RGB integers with red in the low byte.
#pragma once

// Scene.
void Enter3DMode(double nearPlane, double farPlane, double fieldOfView);
void Leave3DMode();
void SetCamera(double x, double y, double z, double targetX, double targetY, double targetZ);
void SetCameraUp(double x, double y, double z);
void SetCulling(double mode);
void AddRotation(double angle, double x, double y, double z);
void SetTranslation(double x, double y, double z);
void SetScale(double x, double y, double z);
void PushTransform();
void PopTransform();
void SetEnvironmentMap(double on);
void SetTextureOffset(double u, double v);
void SetHeadLight(double index, double colour);
void SetLight(double index, double colour, double x, double y, double z, double dirX, double dirY,
              double dirZ, double cutoff);
void SetFog(double colour, double mode, double a, double b);
void DrawAxes(double x, double y, double z);
void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double colour,
                double width);
void DrawPoint3D(double x, double y, double z, double colour, double size);
void ClearDepth();
void DrawBillboard(double sprite, double x, double y, double z, double scale);

// Building objects from code.
void SetBuildNormals(double mode);
void StartObject(double object);
void AddVertex(double x, double y, double z, double u, double v, double colour);
void NewStrip();
void EndObject();

// Drawing objects; both return 0.
double DrawObject(double object, double frame);
double DrawObjectBlend(double object, double frame, double otherFrame, double weight,
                       double animate);
