#include "support/fixture_pack.h"

#include <png.h>

#include <cctype>
#include <cstdio>
#include <utility>

#include "platform/audio_test_sounds.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace vektest {

namespace {

const char* const kMacro = "{StaticPath}/";

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The file's name part: what the loaders name the resource by.
std::string NamePart(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A number as Lua reads it back exactly enough for the tests.
std::string LuaNumber(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

std::string LuaString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

std::vector<uint8_t> QuadrantPixels(int w, int h)
{
    std::vector<uint8_t> pixels;
    pixels.reserve(static_cast<size_t>(w) * static_cast<size_t>(h) * 4);
    for (int row = 0; row < h; ++row) {
        for (int col = 0; col < w; ++col) {
            const bool top = row < h / 2, left = col < w / 2;
            uint8_t r = 255, g = 255, b = 255;
            if (top && left) g = b = 0;
            else if (top) r = b = 0;
            else if (left) r = g = 0;
            pixels.insert(pixels.end(), {r, g, b, 255});
        }
    }
    return pixels;
}

FixturePack::FixturePack(std::string staticDir) : m_strDir(std::move(staticDir)) {}

std::string FixturePack::File(const std::string& path, const std::string& bytes)
{
    const std::string lower = Lower(path);
    if (!WriteFile(Native(lower), bytes)) m_bOk = false;
    return kMacro + lower;
}

std::string FixturePack::Texture(const std::string& path, int w, int h, const std::vector<PackArea>& areas,
                                 PackImage kind)
{
    const std::string lower = Lower(path);
    const std::vector<uint8_t> rgba = QuadrantPixels(w, h);
    if (kind == PackImage::Png) {
        File(lower + ".png", MakePNG(w, h, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba));
    } else {
        std::vector<uint8_t> rgb;
        rgb.reserve(rgba.size() / 4 * 3);
        for (size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
        File(lower + ".jpg", MakeJPEG(w, h, 3, rgb));
    }
    if (!areas.empty()) {
        std::string tex = "local info = cTextureInfo(" + LuaString(NamePart(lower)) + ", false)\n";
        for (const PackArea& a : areas)
            tex += "info:AddNode(" + LuaString(a.name) + ", recti(" + std::to_string(a.x) + ", " +
                   std::to_string(a.y) + ", " + std::to_string(a.w) + ", " + std::to_string(a.h) + "), " +
                   std::to_string(a.columns) + ", " + std::to_string(a.rows) + ", " + LuaNumber(a.rate) +
                   ")\n";
        File(lower + ".tex", tex);
    }
    const std::string engine = kMacro + lower;
    m_Jobs.push_back("cLoadTexture(" + LuaString(engine) + ")");
    return engine;
}

std::string FixturePack::Sound(const std::string& path, size_t frames)
{
    std::vector<int> samples(frames);
    for (size_t i = 0; i < frames; ++i) samples[i] = (i / 25) % 2 ? 8000 : -8000;
    const std::string engine = File(path + ".wav", MakeWav(22050, 1, 16, samples));
    m_Jobs.push_back("cLoadSound(" + LuaString(engine) + ", false)");
    return engine;
}

std::string FixturePack::Module(const std::string& path)
{
    const std::string engine = File(path + ".mod", MakeModule(6, 125));
    m_Jobs.push_back("cLoadMusic(" + LuaString(engine) + ", false)");
    return engine;
}

std::string FixturePack::Stream(const std::string& path)
{
    const std::string ogg = RepoFile("tests/data/audio/tone_22k_mono.ogg");
    if (ogg.empty()) m_bOk = false;
    const std::string engine = File(path + ".ogg", ogg);
    m_Jobs.push_back("cLoadStream(" + LuaString(engine) + ", false)");
    return engine;
}

std::string FixturePack::Font(const std::string& path, int width)
{
    constexpr int kCell = 16, kWide = 256, kHigh = 128;
    const std::string lower = Lower(path);
    const std::string name = NamePart(lower);
    std::vector<uint8_t> rgba(static_cast<size_t>(kWide) * kHigh * 4, 0);
    for (int i = 0; i < 96; ++i) {
        const int x0 = (i % 16) * kCell, y0 = (i / 16) * kCell;
        for (int y = y0; y < y0 + kCell; ++y)
            for (int x = x0; x < x0 + width && x < x0 + kCell; ++x)
                for (int c = 0; c < 4; ++c) rgba[(static_cast<size_t>(y) * kWide + static_cast<size_t>(x)) * 4 + size_t(c)] = 255;
    }
    File(lower + ".png", MakePNG(kWide, kHigh, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba));
    const std::string w = std::to_string(width);
    File(lower + ".lua", "local font = cFont(" + LuaString(name) + ")\n"
                         "font:Init(" + LuaString(name) + ", \"\", 0, 16)\n"
                         "font:Texture(" + LuaString(name) + ", 256, 128)\n"
                         "font:Transform(0, 1, 1)\n"
                         "for c = 32, 127 do\n"
                         "  local i = c - 32\n"
                         "  font:Char(string.char(c), " + w + ", recti((i % 16) * 16, math.floor(i / 16) * 16, " +
                             w + ", 16), 0, " + std::to_string(width + 1) + ")\n"
                         "end\n");
    const std::string engine = kMacro + lower;
    m_Jobs.push_back("cLoadFont(" + LuaString(engine) + ")");
    return engine;
}

std::string FixturePack::GuiScript(const std::string& name, const std::string& body)
{
    return File("gui/" + name + ".lua", "function FillWindow(window)\n" + body + "\nend\n");
}

std::string FixturePack::LoadingScript()
{
    std::string text;
    for (const std::string& job : m_Jobs) text += job + "\n";
    return File("conf/loading.lua", text);
}

} // namespace vektest
