#pragma once
// A static data folder made on the spot: textures with their ".tex" areas,
// sound samples, a tracker module, a stream, bitmap fonts, GUI scripts and
// the loading script, written below the folder "{StaticPath}" points to.
//
// Paths are given relative to that folder, in lower case and without
// extension ("texture/gui/buttons"); each writer adds the extensions it
// writes and returns the engine path of the resource ("{StaticPath}/..."),
// in the form a loading job takes. Everything written is remembered in
// order, so that LoadingScript can queue a job for each resource.
#include <cstdint>
#include <string>
#include <vector>

namespace vektest {

// One area of a texture's ".tex" script, in pixels of the texture (pixel y
// runs up from the bottom row, as uv's v does).
struct PackArea {
    std::string name;
    int x = 0, y = 0, w = 0, h = 0;
    int columns = 1;
    int rows = 1;
    float rate = 30.0f;
};

enum class PackImage { Png, Jpeg };

class FixturePack {
public:
    // staticDir: the native folder "{StaticPath}" stands for.
    explicit FixturePack(std::string staticDir);

    // A w x h picture in four quadrants, top left red, top right green,
    // bottom left blue, bottom right white (opaque), as "<path>.png" or
    // "<path>.jpg"; with areas also "<path>.tex", which makes the texture's
    // cTextureInfo (named by the file's name part) and adds each area in the
    // pixel form. Returns "{StaticPath}/<path>" (no extension: the loader
    // finds the picture).
    std::string Texture(const std::string& path, int w, int h, const std::vector<PackArea>& areas = {},
                        PackImage kind = PackImage::Png);

    // A 16-bit mono WAV of `frames` samples of a square wave at 22050 Hz, as
    // "<path>.wav". Returns the engine path with the extension.
    std::string Sound(const std::string& path, size_t frames = 2205);
    // A small 4-channel module (three orders), as "<path>.mod".
    std::string Module(const std::string& path);
    // The OGG tone of tests/data/audio, as "<path>.ogg" (needs VEK_REPO_DIR
    // to point at the repository, as ctest sets it; fails otherwise).
    std::string Stream(const std::string& path);

    // A bitmap font: "<path>.png", 256 x 128, with the characters 32 to 127
    // in a 16 x 6 grid of 16-pixel cells (each glyph a white box of `width`
    // pixels on transparent black), and "<path>.lua" building the cFont
    // named by the file's name part: line height 16, each of those
    // characters `width` wide advancing width + 1. Returns
    // "{StaticPath}/<path>", the form a font job takes.
    std::string Font(const std::string& path, int width = 10);

    // "gui/<name>.lua" defining FillWindow(window) with `body` inside (a
    // bare script: no controls unless the body makes them). Returns its
    // engine path.
    std::string GuiScript(const std::string& name, const std::string& body = "");

    // "conf/loading.lua" with one job per texture, font, sound, module and
    // stream written so far, in the order written: cLoadTexture(path),
    // cLoadFont(path), cLoadSound(path, false), cLoadMusic(path, false),
    // cLoadStream(path, false). Returns its engine path.
    std::string LoadingScript();

    // Any file below the folder (path with its extension). Returns its
    // engine path.
    std::string File(const std::string& path, const std::string& bytes);

    // False once any write failed.
    bool Ok() const { return m_bOk; }
    const std::string& Dir() const { return m_strDir; }
    // The native path of a file below the folder.
    std::string Native(const std::string& path) const { return m_strDir + "/" + path; }
    // The loading script's lines so far, one per resource.
    const std::vector<std::string>& Jobs() const { return m_Jobs; }

private:
    std::string m_strDir;
    std::vector<std::string> m_Jobs;
    bool m_bOk = true;
};

// The quadrant picture of FixturePack::Texture as R G B A bytes, top row first.
std::vector<uint8_t> QuadrantPixels(int w, int h);

} // namespace vektest
