// Writes seed inputs for the fuzz targets: seeds DIR writes DIR/bmp/*,
// DIR/pack/*, DIR/wav/*, DIR/ini/*, DIR/line_file/*, DIR/net_message/*,
// DIR/http_headers/*, DIR/object_packed/*, DIR/object_text/*,
// DIR/command_line/* and DIR/lzo1x/*, small valid inputs of each kind that
// the fuzzer mutates.
#include <cstdio>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx3d/object_file.h"
#include "media/pack_format.h"
#include "net/net_message.h"
#include "pack_compress.h"

namespace {

void Write(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    if (!f) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

std::vector<uint8_t> Bmp(int width, int height, int bits, int paletteEntries) {
    const uint32_t row = (static_cast<uint32_t>(width * bits / 8) + 3u) & ~3u;
    const uint32_t offset = 54 + 4 * paletteEntries;
    std::vector<uint8_t> f;
    f.push_back('B');
    f.push_back('M');
    Put(f, offset + row * (height < 0 ? -height : height), 4);
    Put(f, 0, 4);
    Put(f, offset, 4);
    Put(f, 40, 4);
    Put(f, static_cast<uint32_t>(width), 4);
    Put(f, static_cast<uint32_t>(height), 4);
    Put(f, 1, 2);
    Put(f, static_cast<uint32_t>(bits), 2);
    for (int i = 0; i < 6; ++i) Put(f, 0, 4);
    for (int i = 0; i < paletteEntries; ++i) Put(f, 0x00FF00u * i + 0x8000FFu * (i & 1), 4);
    for (uint32_t i = 0; i < row * (height < 0 ? -height : height); ++i)
        f.push_back(static_cast<uint8_t>(i * 37 % (paletteEntries ? paletteEntries : 256)));
    return f;
}

// A 32-bit file with bit-field masks (red, green, blue) after its header.
std::vector<uint8_t> BitFieldBmp(int width, int height, uint32_t red, uint32_t green, uint32_t blue) {
    std::vector<uint8_t> f = Bmp(width, height, 32, 3);  // room for the masks
    for (int i = 0; i < 4; ++i) f[30 + i] = i == 0 ? 3 : 0;  // compression: bit fields
    const uint32_t masks[3] = {red, green, blue};
    for (int m = 0; m < 3; ++m)
        for (int i = 0; i < 4; ++i) f[54 + 4 * m + i] = static_cast<uint8_t>(masks[m] >> (8 * i));
    return f;
}

std::vector<uint8_t> Pack(bool fromEnd) {
    std::vector<uint8_t> f(8, 'H');
    struct E {
        std::string name;
        std::vector<uint8_t> stored;
        int64_t start;
    };
    std::vector<E> entries = {{"smalfont.bmp", {}, 0}, {"a.txt", {}, 0}};
    std::string text = "abcabcabcabcabcabcabc hello hello hello";
    for (E& e : entries) {
        pack::CompressContent(reinterpret_cast<const uint8_t*>(text.data()), text.size(), e.stored);
        e.start = static_cast<int64_t>(f.size());
        f.insert(f.end(), e.stored.begin(), e.stored.end());
    }
    int64_t directory = static_cast<int64_t>(f.size());
    size_t total = f.size() + 1 + 4;
    for (E& e : entries) total += 1 + e.name.size() + 8;
    for (E& e : entries) {
        f.push_back(static_cast<uint8_t>(e.name.size()));
        f.insert(f.end(), e.name.begin(), e.name.end());
        Put(f, static_cast<uint32_t>(fromEnd ? e.start - static_cast<int64_t>(total) : e.start), 4);
        Put(f, static_cast<uint32_t>(e.stored.size()), 4);
    }
    f.push_back(0);
    Put(f, static_cast<uint32_t>(fromEnd ? directory - static_cast<int64_t>(total) : directory), 4);
    return f;
}

// A PCM WAV file; `fact` adds a "fact" and an odd-sized "LIST" chunk.
std::vector<uint8_t> Wav(int channels, int rate, int bits, int frames, bool fact) {
    const int align = channels * bits / 8;
    std::vector<uint8_t> f = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    Put(f, 16, 4);
    Put(f, 1, 2);
    Put(f, channels, 2);
    Put(f, rate, 4);
    Put(f, rate * align, 4);
    Put(f, align, 2);
    Put(f, bits, 2);
    if (fact) {
        f.insert(f.end(), {'f', 'a', 'c', 't', 4, 0, 0, 0, 1, 0, 0, 0});
        f.insert(f.end(), {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'I', 'N', 'F', 'O', 'x', 0});
    }
    f.insert(f.end(), {'d', 'a', 't', 'a'});
    Put(f, frames * align, 4);
    for (int i = 0; i < frames * align; ++i) f.push_back(static_cast<uint8_t>(i * 29));
    const uint32_t riff = static_cast<uint32_t>(f.size() - 8);
    for (int i = 0; i < 4; ++i) f[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return f;
}

// Two frames of a strip of quads and a fan, packed the way objects are
// saved.
std::vector<uint8_t> PackedObject() {
    MeshObjectX mesh;
    for (int f = 0; f < 2; ++f) {
        MeshFrame& frame = mesh.frames.Emplace();
        MeshVertex v{};
        v.colour = kStripMarker;
        frame.vertices.Append(v);
        for (int i = 0; i < 8; ++i) {
            v = MeshVertex{};
            v.position[0] = static_cast<float>(i / 2);
            v.position[1] = static_cast<float>(i % 2) * (1 + f);
            v.position[2] = static_cast<float>(f);
            v.texCoord[0] = i * 0.125f;
            v.colour = i < 4 ? 0xFFFFFFu : 0x8040FFu;
            frame.vertices.Append(v);
        }
        v = MeshVertex{};
        v.colour = kFanMarker;
        frame.vertices.Append(v);
        for (int i = 0; i < 4; ++i) {
            v = MeshVertex{};
            v.position[0] = static_cast<float>(i & 1);
            v.position[2] = static_cast<float>(i >> 1) + 2;
            v.colour = 0x00FF00u;
            frame.vertices.Append(v);
        }
    }
    PackMesh(mesh);
    ComputeNormals(mesh, true, true, false);
    return PackedObjectBytes(mesh);
}

std::vector<uint8_t> Text(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path dir(argv[1]);
    fs::create_directories(dir / "bmp");
    fs::create_directories(dir / "pack");
    fs::create_directories(dir / "wav");
    Write(dir / "bmp" / "rgb24.bmp", Bmp(5, 3, 24, 0));
    Write(dir / "bmp" / "rgb32.bmp", Bmp(4, -2, 32, 0));
    Write(dir / "bmp" / "pal8.bmp", Bmp(7, 4, 8, 16));
    Write(dir / "bmp" / "fields32.bmp", BitFieldBmp(3, -3, 0xFF, 0xFF00, 0xFF0000));
    Write(dir / "bmp" / "fields555.bmp", BitFieldBmp(4, 2, 0x7C00, 0x3E0, 0x1F));
    Write(dir / "pack" / "start.pack", Pack(false));
    Write(dir / "pack" / "end.pack", Pack(true));
    Write(dir / "wav" / "stereo16.wav", Wav(2, 22050, 16, 40, false));
    Write(dir / "wav" / "mono8.wav", Wav(1, 11025, 8, 31, true));
    Write(dir / "wav" / "mono16.wav", Wav(1, 44100, 16, 50, true));
    fs::create_directories(dir / "ini");
    fs::create_directories(dir / "line_file");
    const std::string ini =
        "; settings\r\ntop=1\r\n[Game Options]\r\nspeed = 3\r\n[]\r\nname=Ada\r\n"
        "[Sound]\nVolume=80\t\n\tMusic on\n[x]]\n=anon\n";
    Write(dir / "ini" / "game.ini", std::vector<uint8_t>(ini.begin(), ini.end()));
    const std::string lines = "one\r\ntwo\n\n  \n\t\r\n" + std::string(1030, 'L') + "\r\nlast";
    Write(dir / "line_file" / "scores.txt", std::vector<uint8_t>(lines.begin(), lines.end()));
    fs::create_directories(dir / "net_message");
    fs::create_directories(dir / "http_headers");
    PlayerData player;
    player.name = "Seed";
    Write(dir / "net_message" / "join", WriteNetMessage(NetMessage{kNetJoin, 0, -1, WritePlayerData(player)}));
    Write(dir / "net_message" / "text", WriteNetMessage(NetMessage{kNetText, -1, 101, "hello"}));
    Write(dir / "net_message" / "answer", WriteNetMessage(NetMessage{kNetCountRequest, 101, 0, Int32Payload(3)}));
    std::string response = "\x05\x30HTTP/1.0 200 OK\r\nServer: x\r\n\r\nbody\n\n";
    Write(dir / "http_headers" / "crlf", std::vector<uint8_t>(response.begin(), response.end()));
    fs::create_directories(dir / "object_packed");
    fs::create_directories(dir / "object_text");
    Write(dir / "object_packed" / "strips.obj", PackedObject());
    Write(dir / "object_text" / "quad.txt",
          Text("DDDA 1\n# a quad in two frames\n4 0 0 1 0 1 1 0 1\n"
               "1 255 128 64 4 0 0 1 1 2 2 3 3\n"
               "2 4 0 0 0 1 0 0 1 1 0 0 1 0\n4 0 0 1 1 0 1 1 1 1 0 1 1\n"));
    Write(dir / "object_text" / "untextured.txt",
          Text("DDDA 0.5 0 2 10 20 30 3 0 0 1 0 2 0 40 50 60 3 2 0 1 0 3 0\r\n1 4 0 0 0 1 0 0 0 1 0 1 1 1"));
    fs::create_directories(dir / "command_line");
    Write(dir / "command_line" / "quoting",
          Text("\"C:\\Program Files\\tool.exe\" a\\\\\"b c\" \"\" d\\\"e \"f\"\"g\" ; rm x"));
    // LZO1X streams behind the two bytes that size the output.
    fs::create_directories(dir / "lzo1x");
    std::vector<uint8_t> text = Text("abcabcabcabcabcabcabc hello hello hello, and a torus");
    std::vector<uint8_t> stored;
    for (int copies = 1; copies <= 3; copies += 2) {
        std::vector<uint8_t> content;
        for (int i = 0; i < copies * 40; ++i) content.insert(content.end(), text.begin(), text.end());
        pack::CompressContent(content.data(), content.size(), stored);
        std::vector<uint8_t> seed = {static_cast<uint8_t>(content.size()), static_cast<uint8_t>(content.size() >> 8)};
        seed.insert(seed.end(), stored.begin() + 4, stored.end());
        Write(dir / "lzo1x" / ("text" + std::to_string(copies)), seed);
    }
    return 0;
}
