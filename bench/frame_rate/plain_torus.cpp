// The frame-rate floor for Glimmerball's scene: the same picture drawn with
// plain OpenGL and SDL2 and nothing else — the background stretched over the
// window, the torus from a vertex buffer with sphere-map texture generation.
// Usage: plain_torus WIDTH HEIGHT SECONDS MEDIA-DIR
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

GLuint LoadTexture(const std::string& path) {
    SDL_Surface* loaded = SDL_LoadBMP(path.c_str());
    if (!loaded) {
        std::fprintf(stderr, "cannot load %s\n", path.c_str());
        std::exit(1);
    }
    SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ABGR8888, 0);
    int w = 2, h = 2;
    while (w < rgba->w) w *= 2;
    while (h < rgba->h) h *= 2;
    std::vector<unsigned> texels(w * h, 0);
    for (int y = 0; y < rgba->h; ++y)  // bottom row first, as OpenGL wants
        std::memcpy(&texels[(rgba->h - 1 - y) * w],
                    static_cast<char*>(rgba->pixels) + y * rgba->pitch, rgba->w * 4);
    GLuint name;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    SDL_FreeSurface(rgba);
    SDL_FreeSurface(loaded);
    return name;
}

struct Vertex {
    float x, y, z, nx, ny, nz, u, v;
};

// The same strips as the game's torus (tube 3, ring 10, 22 x 22), as triangles.
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
                Vertex v;
                v.x = float(std::sin(e) * r);
                v.y = float(tube * std::sin(t));
                v.z = float(std::cos(e) * r);
                v.nx = float(std::sin(e) * std::cos(t));
                v.ny = float(std::sin(t));
                v.nz = float(std::cos(e) * std::cos(t));
                v.u = float((k + f) / rings * 2);
                v.v = float(-(1 - f * 2));
                strip.push_back(v);
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
    GLuint back = LoadTexture(media + "/back.bmp");
    GLuint reflect = LoadTexture(media + "/reflect.bmp");
    std::vector<Vertex> torus = Torus();
    GLuint buffer;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, torus.size() * sizeof(Vertex), torus.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    Uint64 start = SDL_GetPerformanceCounter(), freq = SDL_GetPerformanceFrequency();
    long frames = 0;
    double angle = 0, last = 0;
    for (;;) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (e.type == SDL_QUIT) return 0;
        double now = double(SDL_GetPerformanceCounter() - start) / freq;
        if (now >= seconds) break;
        angle += (now - last) * 1000 / 30;
        last = now;

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, width, -height, 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, back);
        float s = 640.0f / 1024, t = 480.0f / 512;
        glBegin(GL_TRIANGLE_FAN);
        glTexCoord2f(0, 0); glVertex2f(0, -height);
        glTexCoord2f(s, 0); glVertex2f(width, -height);
        glTexCoord2f(s, t); glVertex2f(width, 0);
        glTexCoord2f(0, t); glVertex2f(0, 0);
        glEnd();

        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        double f = 1 * std::tan(45 * M_PI / 360), aspect = double(width) / height;
        glFrustum(-aspect * f, aspect * f, -f, f, 1, 250);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        // Eye (0, 10, 50) looking at the origin.
        glRotated(std::atan2(10, 50) * 180 / M_PI, 1, 0, 0);
        glTranslated(0, -10, -50);
        glRotated(80, 1, 0, 0);
        glRotated(angle, 0, 1, 0.1);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glBindTexture(GL_TEXTURE_2D, reflect);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), nullptr);
        glNormalPointer(GL_FLOAT, sizeof(Vertex), reinterpret_cast<void*>(12));
        glDrawArrays(GL_TRIANGLES, 0, GLsizei(torus.size()));
        glDisableClientState(GL_NORMAL_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glDisable(GL_CULL_FACE);

        SDL_GL_SwapWindow(window);
        ++frames;
    }
    double elapsed = double(SDL_GetPerformanceCounter() - start) / freq;
    std::printf("%.1f\n", frames / elapsed);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
