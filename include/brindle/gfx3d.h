// Commands of the 3D engine: scene (projection, camera, culling, transform
// stack, lights, fog, helpers), building objects from code, drawing objects,
// object files, collision and picking.
// Angles are in degrees; colours are RGB integers with red in the low byte.
#pragma once
#include <brindle/rtstring.h>

// Scene.

// Starts 3D drawing: a perspective of the near and far planes and vertical field of view; culling and lights off.
void Enter3DMode(double nearPlane, double farPlane, double fieldOfView);
// Back to 2D drawing over the whole window.
void Leave3DMode();
// Places the camera at (x, y, z) looking at the target; empties the transform stack.
void SetCamera(double x, double y, double z, double targetX, double targetY, double targetZ);
// The camera's up direction for the next SetCamera (at first 0, 1, 0).
void SetCameraUp(double x, double y, double z);
// Face culling: 0 off, above 0 clockwise faces are front, below 0 counter-clockwise.
void SetCulling(double mode);
// Adds a rotation by the angle about the axis to the current transform (at most 16).
void AddRotation(double angle, double x, double y, double z);
// Sets the current transform's translation, dropping its rotations.
void SetTranslation(double x, double y, double z);
// Sets the current transform's scale factors, dropping its rotations.
void SetScale(double x, double y, double z);
// Starts a transform placed within the current one (16 levels).
void PushTransform();
// Back to the enclosing transform (at the outermost: nothing).
void PopTransform();
// Non-zero: objects are drawn sphere-mapped with the texture (reflections).
void SetEnvironmentMap(double on);
// Adds (u, v) to the texture coordinates of the objects drawn.
void SetTextureOffset(double u, double v);
// Light 0 ... 7 as a light shining along the view; colour 0 ... 0xFFFFFF.
void SetHeadLight(double index, double colour);
// Light 0 ... 7 at (x, y, z): cutoff 0 off, 180 directional along dir, up to 90 a spot, else a point light; a negative index sets the effect light (-1 bump mapping, -3 shadow volumes, others cel shading). With -3 (any culling) objects drawn only mark their shadows, darkened when the light goes off again (cutoff 0), at Leave3DMode or at ShowFrame; draw the objects themselves with the effect off.
void SetLight(double index, double colour, double x, double y, double z, double dirX, double dirY,
              double dirZ, double cutoff);
// Fog of the colour (-1: off): mode 0 linear from a to b (both 0: the near and far planes), else exponential with density a.
void SetFog(double colour, double mode, double a, double b);
// Draws the x (red), y (green) and z (blue) axes as arrows at the point.
void DrawAxes(double x, double y, double z);
// Draws a line between the two points (width 1 ... 512 pixels).
void DrawLine3D(double x1, double y1, double z1, double x2, double y2, double z2, double colour,
                double width);
// Draws a point (size 1 ... 512 pixels).
void DrawPoint3D(double x, double y, double z, double colour, double size);
// Clears the depth buffer, so what follows is drawn over the scene (ClearScreen does not: an object drawn twice in one frame needs this in between).
void ClearDepth();
// Draws the sprite at the point, facing the camera, scaled.
void DrawBillboard(double sprite, double x, double y, double z, double scale);

// Building objects from code.

// Normals of objects built from code: 0 none, 1 per face, 2 smoothed (the default).
void SetBuildNormals(double mode);
// Starts building object 0 ... 4095 from code as a triangle strip.
void StartObject(double object);
// Adds a vertex to the object being built: position, texture position and colour.
void AddVertex(double x, double y, double z, double u, double v, double colour);
// Starts a new triangle strip in the object being built.
void NewStrip();
// Finishes the object being built (with 2 or fewer vertices: empty); it can then be drawn.
void EndObject();

// Drawing objects; both return 0.

// Draws the object's frame, placed by the transform stack, with the textures set.
double DrawObject(double object, double frame);
// Draws the object blended between two frames by the weight 0 ... 1; animate non-zero: the weight is the position between the frames.
double DrawObjectBlend(double object, double frame, double otherFrame, double weight,
                       double animate);

// Object files (on disk or in the executable's media pack).

// Loads a packed or text object file into the object; 1 on success, else 0.
double LoadObject(const RtString& fileName, double object);
// Writes the object in the packed format; always 1.
double SaveObject(const RtString& fileName, double object);

// Collision and picking, with the object placed by the transform stack.

// 1 when the sphere touches a triangle of the object's frame, else 0.
double CollideSphere(double object, double frame, double radius, double x, double y, double z);
// 1 when the upright box (width along x and z, height along y) centred at
// (x, y, z) touches a triangle of the object's frame, else 0.
double CollideBox(double object, double frame, double x, double y, double z, double width,
                  double height);
// Distance along the direction to the nearest hit in front of the origin,
// else the negative distance to the nearest hit behind it, else 0.
double CollideRay(double object, double frame, double x, double y, double z, double dirX,
                  double dirY, double dirZ);
// Window position (pixels, y downwards) and depth 0..1 of a 3D point; the
// outputs stay unchanged when it cannot be projected.
void WorldToScreen(double x, double y, double z, double& screenX, double& screenY, double& depth);
// The 3D point at a window position and depth; outputs unchanged on failure.
void ScreenToWorld(double screenX, double screenY, double depth, double& x, double& y, double& z);
