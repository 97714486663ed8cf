// The scene's state operations: projection, camera, culling, transforms,
// lights, fog, the shadow-volume pass and the immediate-mode helpers.
#include "gfx2d/opengl_zadederu.h"
#include "gfx3d/scene_links.h"
#include "gfx3d/vector3.h"
#include "gfx3d/zadederu3d.h"
#include "lang/portable_maths.h"
#include "platform/gl.h"
#include "platform/gl_entry_points.h"

namespace {

void ColourFloats(int colour, float out[3]) {
    out[0] = (colour & 0xFF) / 255.0f;
    out[1] = ((colour >> 8) & 0xFF) / 255.0f;
    out[2] = ((colour >> 16) & 0xFF) / 255.0f;
}


}  // namespace

float TanPolynomial(float x) {
    float x2 = x * x;
    return x * (1.0f + x2 * (0.3333314f +
                             x2 * (0.1333924f +
                                   x2 * (0.05337406f +
                                         x2 * (0.02456509f + x2 * (0.002900525f + x2 * 0.009516809f))))));
}

void Zadederu3D::SetShadowVolumeMode(bool on) {
    if (on == shadowVolumeMode) return;
    shadowVolumeMode = on;
    if (on) {
        glShadeModel(GL_FLAT);
        renderer->glState.MakePendingClear();  // before the colours are masked
        renderer->glState.DepthMayChange();
        glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
        glEnable(GL_STENCIL_TEST);
        glDepthMask(GL_FALSE);
        glStencilFunc(GL_ALWAYS, 0, 0);
        glStencilOp(GL_KEEP, GL_KEEP, GL_INVERT);
        return;
    }
    glCullFace(GL_BACK);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LEQUAL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    renderer->SetViewport2D(0, 0, 0, 0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    renderer->alphaLevel = 0.5f;
    renderer->glState.Colour(0.5f, 0.5f, 0.5f, 0.5f);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NOTEQUAL, 0, 0xFFFFFFFFu);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    // Black at half alpha over every pixel of the screen whose stencil value
    // is not 0 (the 2D view now spans the whole screen).
    SceneFillRect(*renderer, 0, 0, static_cast<float>(renderer->screenWidth),
                  static_cast<float>(renderer->screenHeight), 0);
    glDisable(GL_BLEND);
    renderer->alphaLevel = 1.0f;
    renderer->glState.Colour(1, 1, 1, 1);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LESS);
    glDisable(GL_STENCIL_TEST);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
}

void Zadederu3D::Enter3D(float nearPlane_, float farPlane_, float fieldOfView) {
    SetShadowVolumeMode(false);
    // The visibility cone is 5 degrees wider than the view. 57.29578 is
    // degrees per radian; 1.553343 rad (89 degrees) caps the cone short of
    // the tangent's pole at 90.
    float cone = fieldOfView + 5.0f;
    viewConeTangent = cone <= 89.0f ? maths::tan(cone / 57.29578f) : maths::tan(1.553343f);
    cameraUp[0] = 0;
    cameraUp[1] = 1;
    cameraUp[2] = 0;
    nearPlane = nearPlane_;
    farPlane = farPlane_;

    OpenGLZadederu& r = *renderer;
    glViewport(r.viewportX, r.screenHeight - r.viewportY - r.viewportHeight, r.viewportWidth,
               r.viewportHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    float aspect = static_cast<float>(r.viewportWidth) / static_cast<float>(r.viewportHeight);
    const float pi = 3.1415927f;
    if (fieldOfView > 0) {
        float f = nearPlane * TanPolynomial(fieldOfView * pi / 360.0f);
        glFrustum(-aspect * f, aspect * f, -f, f, nearPlane, farPlane);
    } else {
        float f = nearPlane * TanPolynomial(-fieldOfView * pi / 360.0f) * 100.0f;
        glOrtho(-aspect * f, aspect * f, -f, f, nearPlane, farPlane);
        viewConeTangent = maths::tan(1.553343f);  // orthographic: the widest cone
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    SceneBindSprite(r, -1, -1, 0);

    glEnable(GL_DEPTH_TEST);
    r.glState.DepthMayChange();
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    r.glState.AlphaTest(true);
    r.glState.AlphaReference(0);
    r.glState.Colour(1, 1, 1, 1);
    glClearColor(0, 0, 0, 1);
    DisableUnusedFixedFunctions(r.glState);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DITHER);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_FOG_HINT, GL_NICEST);

    glGetFloatv(GL_MODELVIEW_MATRIX, cameraMatrix);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    cullMode = 0;
    glDisable(GL_CULL_FACE);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);

    textureOffsetU = textureOffsetV = 0;
    envMapping = false;
    effectEnabled = false;
    transformTop = 0;
}

void Zadederu3D::LookAt(const float eye[3], const float target[3], const float up[3]) {
    float f[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
    NormaliseUnlessZero(f);
    float s[3];
    Cross(up, f, s);
    NormaliseUnlessZero(s);
    float u[3];
    Cross(f, s, u);
    NormaliseUnlessZero(u);
    // Rows s, u, f in column-major storage.
    const float m[16] = {s[0], u[0], f[0], 0, s[1], u[1], f[1], 0,
                         s[2], u[2], f[2], 0, 0,    0,    0,    1};
    glMultMatrixf(m);
    glTranslatef(-eye[0], -eye[1], -eye[2]);
}

void Zadederu3D::SetCamera(const float eye[3], const float target[3]) {
    for (int a = 0; a < 3; ++a) {
        cameraPosition[a] = eye[a];
        cameraTarget[a] = target[a];
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    LookAt(eye, target, cameraUp);
    glGetFloatv(GL_MODELVIEW_MATRIX, cameraMatrix);
    transformTop = 0;
    transformStack[0].Reset();
}

void Zadederu3D::SetCameraUp(const float up[3]) {
    cameraUp[0] = up[0];
    cameraUp[1] = up[1];
    cameraUp[2] = up[2];
}

void Zadederu3D::SetCullMode(int mode) {
    cullMode = static_cast<int8_t>(mode);
    if (mode == 0) {
        glDisable(GL_CULL_FACE);
    } else if (mode == 1) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CW);
    } else if (mode == -1) {
        glEnable(GL_CULL_FACE);
        glFrontFace(GL_CCW);
    }
}

void Zadederu3D::SetFog(int colour, int mode, float a, float b) {
    if (colour == -1) {
        glDisable(GL_FOG);
        return;
    }
    glEnable(GL_FOG);
    if (mode != 0) {
        glFogi(GL_FOG_MODE, GL_EXP);
        glFogf(GL_FOG_DENSITY, a);
    } else {
        if (a == 0 && b == 0) {
            a = nearPlane;
            b = farPlane;
        }
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogf(GL_FOG_START, a);
        glFogf(GL_FOG_END, b);
    }
    float rgb[3];
    ColourFloats(colour, rgb);
    const float fogColour[4] = {rgb[0], rgb[1], rgb[2], 0};
    glFogfv(GL_FOG_COLOR, fogColour);
}

void Zadederu3D::SetLight(int index, int colour, const float position[3],
                          const float direction[3], float cutoff, bool markers) {
    float rgb[3];
    ColourFloats(colour, rgb);
    if (index < 0) {
        effectEnabled = cutoff != 0;
        for (int a = 0; a < 3; ++a) {
            effectLightPosition[a] = position[a];
            effectLightColour[a] = rgb[a];
        }
        if (index == -3) {
            effectKind = 3;
            SetShadowVolumeMode(cutoff != 0);
        } else if (index == -1) {
            effectKind = 1;
        } else {
            effectKind = 2;
        }
        return;
    }
    int n = index & 7;
    GLenum light = GL_LIGHT0 + n;
    if (cutoff == 0) {
        glDisable(light);
        lightMask &= static_cast<uint8_t>(~(1u << n));
        if (lightMask == 0) renderer->glState.Lighting(false);
        return;
    }
    renderer->glState.Lighting(true);
    glEnable(light);
    lightMask |= static_cast<uint8_t>(1u << n);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_DIFFUSE);
    const float diffuse[4] = {rgb[0], rgb[1], rgb[2], 1};
    const float noSpecular[4] = {0, 0, 0, 1};
    glLightfv(light, GL_DIFFUSE, diffuse);

    bool head = position[0] == 0 && position[1] == 0 && position[2] == 0 && direction[0] == 0 &&
                direction[1] == 0 && direction[2] == 0;
    if (head) {
        glPushMatrix();
        glLoadIdentity();
        const float along[4] = {0, 0, 1, 0};
        glLightfv(light, GL_POSITION, along);
        glPopMatrix();
        glLightfv(light, GL_SPECULAR, noSpecular);
        glLightf(light, GL_SPOT_CUTOFF, 180);
        return;
    }
    float dir[3] = {direction[0], direction[1], direction[2]};
    if (cutoff == 180) {
        glLightf(light, GL_SPOT_CUTOFF, 180);
        float toward[3] = {-dir[0], -dir[1], -dir[2]};
        Normalise(toward);
        const float pos[4] = {toward[0], toward[1], toward[2], 0};
        glLightfv(light, GL_POSITION, pos);
        glLightfv(light, GL_SPECULAR, noSpecular);
    } else if (cutoff <= 90) {
        glLightf(light, GL_SPOT_CUTOFF, cutoff);
        Normalise(dir);
        const float pos[4] = {position[0], position[1], position[2], 1};
        glLightfv(light, GL_POSITION, pos);
        glLightfv(light, GL_SPOT_DIRECTION, dir);
        glLightfv(light, GL_SPECULAR, diffuse);
    } else {
        glLightf(light, GL_SPOT_CUTOFF, 180);
        const float pos[4] = {position[0], position[1], position[2], 1};
        glLightfv(light, GL_POSITION, pos);
        glLightfv(light, GL_SPECULAR, diffuse);
    }
    if (markers) {
        DrawPoint3D(position, 255 | 200 << 8 | 128 << 16, 40);
        if (cutoff <= 90) {
            float to[3] = {position[0] + 500 * dir[0], position[1] + 500 * dir[1],
                           position[2] + 500 * dir[2]};
            DrawLine3D(position, to, 225 | 170 << 8 | 108 << 16, 3);
        }
    }
}

void Zadederu3D::SetTextureOffset(float u, float v) {
    textureOffsetU = u;
    textureOffsetV = v;
}

void Zadederu3D::ApplyTransformStack() {
    for (int i = 0; i <= transformTop; ++i) {
        const TransformEntry& e = transformStack[i];
        glTranslatef(e.translation[0], e.translation[1], e.translation[2]);
        for (int r = e.rotationCount - 1; r >= 0; --r)
            glRotatef(e.rotations[r][0], e.rotations[r][1], e.rotations[r][2], e.rotations[r][3]);
        glScalef(e.scale[0], e.scale[1], e.scale[2]);
    }
}

void Zadederu3D::DrawAxes(float x, float y, float z) {
    glPushMatrix();
    glLoadMatrixf(cameraMatrix);
    glTranslatef(x, y, z);
    glScalef(20, 20, 20);
    struct Axis {
        float colour[3];
        float tip[3];
        float barbs[4][3];
    };
    const Axis axes[3] = {
        {{1, 0, 0}, {1, 0, 0}, {{0.75f, 0.25f, 0}, {0.75f, -0.25f, 0}, {0.75f, 0, 0.25f}, {0.75f, 0, -0.25f}}},
        {{0, 1, 0}, {0, 1, 0}, {{0, 0.75f, 0.25f}, {0, 0.75f, -0.25f}, {0.25f, 0.75f, 0}, {-0.25f, 0.75f, 0}}},
        {{0, 0, 1}, {0, 0, 1}, {{0.25f, 0, 0.75f}, {-0.25f, 0, 0.75f}, {0, 0.25f, 0.75f}, {0, -0.25f, 0.75f}}},
    };
    for (const Axis& a : axes) {
        renderer->glState.Colour(a.colour[0], a.colour[1], a.colour[2], 1);
        renderer->glState.BeforeDraw();
        glBegin(GL_LINE_STRIP);
        glVertex3f(0, 0, 0);
        glVertex3fv(a.tip);
        glVertex3fv(a.barbs[0]);
        glVertex3fv(a.barbs[1]);
        glVertex3fv(a.tip);
        glVertex3fv(a.barbs[2]);
        glVertex3fv(a.barbs[3]);
        glVertex3fv(a.tip);
        glEnd();
    }
    glPopMatrix();
}

namespace {

// Shared frame of the line and point helpers. The marker's colour reaches
// the lit material through colour tracking; the tracking switch and the
// material are restored afterwards and the current colour goes back to the
// alpha level (which, with tracking on, is also the material's colour
// again), so what is drawn next keeps its own colours.
template <typename Draw>
void DrawMarker(OpenGLZadederu& r, int colour, Draw draw) {
    glPushAttrib(GL_LIGHTING_BIT);
    glPushMatrix();
    glEnable(GL_COLOR_MATERIAL);
    float rgb[3];
    ColourFloats(colour, rgb);
    r.glState.Colour(rgb[0], rgb[1], rgb[2], 1);
    // Markers are drawn in plain colour: a bound sprite's texturing is
    // switched off around them.
    bool textured = r.boundSlot >= 0;
    if (textured) r.glState.Texturing(0, false);
    r.glState.BeforeDraw();
    draw();
    if (textured) r.glState.Texturing(0, true);
    glPopMatrix();
    glPopAttrib();  // the lighting switch as it was: the record still holds
    r.glState.Colour(r.alphaLevel, r.alphaLevel, r.alphaLevel, r.alphaLevel);
}

}  // namespace

void Zadederu3D::DrawLine3D(const float from[3], const float to[3], int colour, float width) {
    DrawMarker(*renderer, colour, [&] {
        glEnable(GL_LINE_SMOOTH);
        glLineWidth(width);
        glBegin(GL_LINES);
        glVertex3fv(from);
        glVertex3fv(to);
        glEnd();
        glLineWidth(1);
        glDisable(GL_LINE_SMOOTH);
    });
}

void Zadederu3D::DrawPoint3D(const float at[3], int colour, float size) {
    DrawMarker(*renderer, colour, [&] {
        glEnable(GL_POINT_SMOOTH);
        glPointSize(size);
        glBegin(GL_POINTS);
        glVertex3fv(at);
        glEnd();
        glPointSize(1);
        glDisable(GL_POINT_SMOOTH);
    });
}
