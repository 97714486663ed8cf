// The frame-rate floor for Glimmerball's scene: the same picture drawn by a
// plain SDL2 + OpenGL program doing only what the picture needs. Every
// state that never changes is set once before the loop (texture
// environment replace, sphere-map generation, the torus's buffer and
// arrays, culling); each frame clears only the depth buffer (the background
// covers every pixel), draws the background quad, the torus from one vertex
// buffer with sphere-map texture generation, and the counter's glyphs in the
// game's font with the alpha test, in the game's order, then swaps.
// Usage: plain_torus WIDTH HEIGHT SECONDS MEDIA-DIR
// Prints frames per second and CPU milliseconds per frame (all threads).
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Texture {
    GLuint name = 0;
    float s = 1, t = 1;  // the image's extent in texture coordinates
};

// A BMP as an RGBA texture (image in the bottom-left corner, power-of-two
// sizes), black made transparent when asked (the font).
Texture LoadTexture(const std::string& path, bool blackTransparent, GLint filter) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (!loaded) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        std::exit(1);
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ABGR8888, 0);
    int w = 2, h = 2;
    while (w < rgba->w) w *= 2;
    while (h < rgba->h) h *= 2;
    std::vector<uint32_t> texels(size_t(w) * h, 0);
    for (int y = 0; y < rgba->h; ++y) {  // bottom row first, as OpenGL wants
        auto* row = reinterpret_cast<uint32_t*>(static_cast<char*>(rgba->pixels) + y * rgba->pitch);
        uint32_t* out = &texels[size_t(rgba->h - 1 - y) * w];
        for (int x = 0; x < rgba->w; ++x) {
            uint32_t p = row[x] | 0xFF000000u;
            out[x] = blackTransparent && (p & 0xFFFFFF) == 0 ? 0 : p;
        }
    }
    Texture t;
    t.s = float(rgba->w) / w;
    t.t = float(rgba->h) / h;
    glGenTextures(1, &t.name);
    glBindTexture(GL_TEXTURE_2D, t.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(loaded);
    return t;
}

struct Vertex {
    float x, y, z, nx, ny, nz;
};

// The same strips as the game's torus (tube 3, ring 10, 22 x 22), as
// triangles with the game's winding.
std::vector<Vertex> Torus() {
    const double tube = 3, ring = 10, rings = 22, sides = 22, deg = 57.2957795;
    std::vector<Vertex> strip, triangles;
    for (int i = 0; i < rings; ++i) {
        strip.clear();
        for (int j = 0; j <= sides; ++j) {
            double f = j / sides;
            for (int k = i + 1; k >= i; --k) {
                double t = (j % int(sides)) / sides * 360 / deg;
                double e = ((k % int(rings)) + f) / rings * 360 / deg;
                double r = std::cos(t) * tube + ring;
                strip.push_back({float(std::sin(e) * r), float(tube * std::sin(t)),
                                 float(std::cos(e) * r), float(std::sin(e) * std::cos(t)),
                                 float(std::sin(t)), float(std::cos(e) * std::cos(t))});
            }
        }
        for (size_t n = 2; n < strip.size(); ++n) {
            bool odd = n % 2;
            triangles.push_back(strip[odd ? n - 1 : n - 2]);
            triangles.push_back(strip[odd ? n - 2 : n - 1]);
            triangles.push_back(strip[n]);
        }
    }
    return triangles;
}

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Column-major orthographic projection of the game's 2D view.
void Ortho(int width, int height, float m[16]) {
    std::memset(m, 0, 16 * sizeof(float));
    m[0] = 2.0f / width;
    m[5] = 2.0f / height;
    m[10] = -1;
    m[12] = -1;
    m[13] = 1;
    m[15] = 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: plain_torus WIDTH HEIGHT SECONDS MEDIA-DIR\n");
        return 2;
    }
    int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    double seconds = std::atof(argv[3]);
    std::string media = argv[4];
    SDL_Init(SDL_INIT_VIDEO);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_Window* window = SDL_CreateWindow("plain torus", SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_OPENGL);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    SDL_GL_SetSwapInterval(0);
    auto glGenBuffers = reinterpret_cast<PFNGLGENBUFFERSPROC>(SDL_GL_GetProcAddress("glGenBuffers"));
    auto glBindBuffer = reinterpret_cast<PFNGLBINDBUFFERPROC>(SDL_GL_GetProcAddress("glBindBuffer"));
    auto glBufferData = reinterpret_cast<PFNGLBUFFERDATAPROC>(SDL_GL_GetProcAddress("glBufferData"));

    Texture back = LoadTexture(media + "/back.bmp", false, GL_LINEAR);
    Texture reflect = LoadTexture(media + "/reflect.bmp", false, GL_LINEAR);
    Texture font = LoadTexture(media + "/smalfont.bmp", true, GL_NEAREST);
    std::vector<Vertex> torus = Torus();
    GLuint buffer;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(torus.size() * sizeof(Vertex)), torus.data(), GL_STATIC_DRAW);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Vertex), nullptr);
    glNormalPointer(GL_FLOAT, sizeof(Vertex), reinterpret_cast<void*>(12));

    // State that holds for the whole run.
    glViewport(0, 0, width, height);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glFrontFace(GL_CW);  // the game's culling of the torus
    glAlphaFunc(GL_GREATER, 0.15f);
    glDisable(GL_DITHER);
    float ortho[16], perspective[16];
    Ortho(width, height, ortho);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double f = std::tan(45 * M_PI / 360), aspect = double(width) / height;
    glFrustum(-aspect * f, aspect * f, -f, f, 1, 250);
    glGetFloatv(GL_PROJECTION_MATRIX, perspective);
    glMatrixMode(GL_MODELVIEW);

    Uint64 freq = SDL_GetPerformanceFrequency();
    Uint64 start = SDL_GetPerformanceCounter();
    double cpuStart = CpuSeconds();
    long frames = 0;
    double angle = 0, last = 0;
    char counter[32] = "FPS: 0.0";
    for (;;) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) return 0;
        double now = double(SDL_GetPerformanceCounter() - start) / freq;
        if (now >= seconds) break;
        angle += (now - last) * 1000 / 30;
        last = now;

        glClear(GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(ortho);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glBindTexture(GL_TEXTURE_2D, back.name);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex2f(0, -height);
        glTexCoord2f(back.s, 0);
        glVertex2f(width, -height);
        glTexCoord2f(back.s, back.t);
        glVertex2f(width, 0);
        glTexCoord2f(0, back.t);
        glVertex2f(0, 0);
        glEnd();

        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(perspective);
        glMatrixMode(GL_MODELVIEW);
        // Eye (0, 10, 50) looking at the origin.
        glRotated(std::atan2(10, 50) * 180 / M_PI, 1, 0, 0);
        glTranslated(0, -10, -50);
        glRotated(80, 1, 0, 0);
        glRotated(angle, 0, 1, 0.1);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glBindTexture(GL_TEXTURE_2D, reflect.name);
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(torus.size()));
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);

        // The counter: 16 x 16 cells of a 16 x 8 grid, at (100, 0).
        if (frames % 64 == 0 && now > 0)
            std::snprintf(counter, sizeof counter, "FPS: %.1f", frames / now);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(ortho);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glBindTexture(GL_TEXTURE_2D, font.name);
        glEnable(GL_ALPHA_TEST);
        glBegin(GL_QUADS);
        float x = 100, cs = font.s / 16, ct = font.t / 8;
        for (const char* c = counter; *c; ++c, x += 16) {
            float s = (*c % 16) * cs, t = font.t - (*c / 16 + 1) * ct;
            glTexCoord2f(s, t);
            glVertex2f(x, -16);
            glTexCoord2f(s + cs, t);
            glVertex2f(x + 16, -16);
            glTexCoord2f(s + cs, t + ct);
            glVertex2f(x + 16, 0);
            glTexCoord2f(s, t + ct);
            glVertex2f(x, 0);
        }
        glEnd();
        glDisable(GL_ALPHA_TEST);

        SDL_GL_SwapWindow(window);
        ++frames;
    }
    double elapsed = double(SDL_GetPerformanceCounter() - start) / freq;
    double cpu = CpuSeconds() - cpuStart;
    std::printf("%.1f %.2f\n", frames / elapsed, frames ? cpu * 1000 / frames : 0.0);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
