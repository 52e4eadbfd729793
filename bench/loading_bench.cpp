// The loading jobs' path against the readers used directly, in one run.
//
// 1. Textures: 40 PNG pictures of 512 x 512 RGBA, each with a ".tex" script
//    of 20 areas, and 10 JPEG pictures of 1024 x 1024. Job path: a
//    cLoadTexture job per picture (LoadTextureFile: file choice, image
//    reader, texture, ".tex" script and sprite-area registry). Direct path:
//    the image reader and the texture made by hand. Reported: MB/s of image
//    data, time per job and the ratio. Goal: within 1.15x.
// 2. Sounds: 34 cLoadSound jobs against the sound reader and the sound
//    buffer made by hand.
//
// Rounds alternate between the two paths; the best round of each counts.
// Each round starts from fresh managers, so no texture is "already loaded".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/datamanager.h"
#include "engine/core/filename.h"
#include "engine/core/image.h"
#include "engine/core/script.h"
#include "engine/graphics/texture.h"
#include "engine/sound/sound.h"
#include "game/shell/bind_data.h"
#include "game/shell/loading.h"
#include "game/shell/texture_info.h"
#include "platform/audio_test_sounds.h"
#include "platform/fs.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

std::vector<uint8_t> Pixels(int w, int h, int channels, uint32_t seed)
{
    std::vector<uint8_t> p(static_cast<size_t>(w) * h * channels);
    uint32_t s = seed;
    for (size_t i = 0; i < p.size(); ++i) {
        // Smooth gradients with a little noise: compresses like artwork.
        s = s * 1664525u + 1013904223u;
        p[i] = static_cast<uint8_t>((i / channels % w) / 4 + (i / channels / w) / 8 + ((s >> 28) & 7));
    }
    return p;
}

struct cSet {
    std::vector<std::string> textures;  // paths without extension
    std::vector<std::string> sounds;
    double imageBytes = 0;  // pixels decoded per round
};

cSet Generate(const std::string& root)
{
    cSet set;
    for (int i = 0; i < 40; ++i) {
        const std::string name = "sheet" + std::to_string(i);
        vektest::WriteFile(root + "/texture/" + name + ".png",
                           vektest::MakePNG(512, 512, 6, 8, Pixels(512, 512, 4, i + 1)));
        std::string tex = "local t = cTextureInfo('" + name + "', false)\n";
        for (int a = 0; a < 20; ++a)
            tex += "t:AddNode('area" + std::to_string(a) + "', rectf(" + std::to_string((a % 5) * 0.2) + ", " +
                   std::to_string((a / 5) * 0.25) + ", 0.2, 0.25), 4, 2, 12)\n";
        vektest::WriteFile(root + "/texture/" + name + ".tex", tex);
        set.textures.push_back("{StaticPath}/texture/" + name);
        set.imageBytes += 512.0 * 512 * 4;
    }
    for (int i = 0; i < 10; ++i) {
        const std::string name = "back" + std::to_string(i);
        vektest::WriteFile(root + "/texture/" + name + ".jpg",
                           vektest::MakeJPEG(1024, 1024, 3, Pixels(1024, 1024, 3, 100 + i), 90));
        set.textures.push_back("{StaticPath}/texture/" + name);
        set.imageBytes += 1024.0 * 1024 * 3;
    }
    for (int i = 0; i < 34; ++i) {
        const std::string name = "sound" + std::to_string(i) + ".wav";
        vektest::WriteFile(root + "/sound/" + name, vektest::MakeConstantWav(22050, 1, 22050 / 2 + i * 500, 1000));
        set.sounds.push_back("{StaticPath}/sound/" + name);
    }
    return set;
}

// Fresh texture and sound tables and an empty sprite-area registry.
void FreshManagers()
{
    DestroyTextureInfos();
    vek::DestroyTextureManager();
    vek::DestroySoundManager();
    vek::CreateTextureManager();
    vek::CreateSoundManager();
    CreateTextureInfos();
}

double TextureJobs(const cSet& set)
{
    FreshManagers();
    cLoadingWidget widget(nullptr);
    const Clock::time_point start = Clock::now();
    for (const std::string& path : set.textures) new cLoadTexture(path);
    for (auto& job : widget.lstQueue) job->Load();
    const double seconds = Seconds(start);
    widget.lstQueue.clear();
    return seconds;
}

double TexturesDirect(const cSet& set)
{
    FreshManagers();
    const Clock::time_point start = Clock::now();
    for (const std::string& path : set.textures) {
        vek::filename file(path);
        file.replace_ext(path.find("back") != std::string::npos ? "jpg" : "png");
        vek::cImage image;
        if (vek::cDataManager::ReadImage(file, &image) == 0) new vek::cTexture(&image, file.name, false);
    }
    return Seconds(start);
}

double SoundJobs(const cSet& set)
{
    FreshManagers();
    cLoadingWidget widget(nullptr);
    const Clock::time_point start = Clock::now();
    for (const std::string& path : set.sounds) new cLoadSound(path, false);
    for (auto& job : widget.lstQueue) job->Load();
    const double seconds = Seconds(start);
    widget.lstQueue.clear();
    return seconds;
}

double SoundsDirect(const cSet& set)
{
    FreshManagers();
    const Clock::time_point start = Clock::now();
    for (const std::string& path : set.sounds) {
        vek::filename file(path);
        vek::cDataManager::cSampleTarget target;
        if (vek::cDataManager::ReadSoundBuffer(&target, file) == 0 && target.hHandle)
            new vek::cSoundManager::cSoundBuffer(file.name, target.hHandle, false);
    }
    return Seconds(start);
}

}  // namespace

int main()
{
    // A private home, a window system that needs no display and silent sound.
    const std::string root = vektest::MakeTempDir("loadbench");
    setenv("XDG_DATA_HOME", (root + "/share").c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const cSet set = Generate(root + "/data");

    vek::cGame::cSettings settings;
    settings.strName = "LoadingBench";
    auto engine = std::make_unique<vek::cGame>(settings);
    vek::SetPathMacro(vek::e_macroStaticPath, root + "/data");
    if (!vek::g_pScript || !RegisterDataClasses(vek::g_pScript) || !CreateTextureInfos()) {
        std::fprintf(stderr, "loading_bench: the engine did not start\n");
        return 1;
    }

    double bestJobs = 1e9, bestDirect = 1e9, bestSoundJobs = 1e9, bestSoundDirect = 1e9;
    for (int round = 0; round < 4; ++round) {
        // Which path goes first alternates, so neither always meets a cold cache.
        if (round % 2) {
            bestJobs = std::min(bestJobs, TextureJobs(set));
            bestDirect = std::min(bestDirect, TexturesDirect(set));
            bestSoundJobs = std::min(bestSoundJobs, SoundJobs(set));
            bestSoundDirect = std::min(bestSoundDirect, SoundsDirect(set));
        } else {
            bestDirect = std::min(bestDirect, TexturesDirect(set));
            bestJobs = std::min(bestJobs, TextureJobs(set));
            bestSoundDirect = std::min(bestSoundDirect, SoundsDirect(set));
            bestSoundJobs = std::min(bestSoundJobs, SoundJobs(set));
        }
    }
    const double mb = set.imageBytes / (1024.0 * 1024.0);
    std::printf("textures: %zu pictures, %.1f MB of pixels\n", set.textures.size(), mb);
    std::printf("  jobs:   %7.1f ms  %6.1f MB/s  %.2f ms per job\n", bestJobs * 1e3, mb / bestJobs,
                bestJobs * 1e3 / static_cast<double>(set.textures.size()));
    std::printf("  direct: %7.1f ms  %6.1f MB/s\n", bestDirect * 1e3, mb / bestDirect);
    std::printf("  ratio jobs / direct: %.3f  (goal: at most 1.15)\n", bestJobs / bestDirect);
    std::printf("sounds: %zu samples\n", set.sounds.size());
    std::printf("  jobs:   %7.2f ms  %.3f ms per job\n", bestSoundJobs * 1e3,
                bestSoundJobs * 1e3 / static_cast<double>(set.sounds.size()));
    std::printf("  direct: %7.2f ms\n", bestSoundDirect * 1e3);
    std::printf("  ratio jobs / direct: %.3f  (goal: at most 1.15)\n", bestSoundJobs / bestSoundDirect);
    DestroyTextureInfos();
    engine.reset();
    vek::platform::RemoveTree(root);
    return 0;
}
