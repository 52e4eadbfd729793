#include "game/shell/loading.h"

#include <memory>
#include <vector>

#include "engine/app/game.h"
#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/image.h"
#include "engine/core/log.h"
#include "engine/core/script.h"
#include "engine/graphics/render.h"
#include "engine/graphics/texture.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/sysctrl.h"
#include "engine/gui/window.h"
#include "engine/sound/sound.h"
#include "game/shell/middle.h"
#include "game/world/effects.h"

namespace {

// One loading widget exists per run; the jobs queue on it.
cLoadingWidget* g_pLoadingWidget = nullptr;
// The job taken from the queue and not yet run.
std::unique_ptr<cLoadData> g_pCurrentJob;
// Updates on which a job has waited while a label exists.
int32_t g_iWaitCounter = 0;

// Jobs made while no loading widget exists never run; they are kept here
// only so that they are freed at exit.
std::vector<std::unique_ptr<cLoadData>>& OrphanJobs()
{
    static std::vector<std::unique_ptr<cLoadData>> jobs;
    return jobs;
}


} // namespace

int LoadTextureFile(const vek::filename& file)
{
    vek::filename chosen = file;
    if (chosen.ext.empty()) {
        vek::cFileSystem fs;
        chosen.replace_ext("png");
        if (!fs.Exist(chosen)) {
            chosen.replace_ext("jpg");
            if (!fs.Exist(chosen)) return vek::cDataManager::FileNotFound;
        }
    }
    vek::cImage image;
    const int result = vek::cDataManager::ReadImage(chosen, &image);
    if (result != vek::cDataManager::Ok) return result;
    // The texture manager owns the texture from its construction on.
    new vek::cTexture(&image, chosen.name, false);

    vek::filename script = chosen;
    script.replace_ext("tex");
    if (vek::cFileSystem().Exist(script))
        if (vek::cScript* host = vek::GetScript()) host->LoadFile(script);
    return vek::cDataManager::Ok;
}

// ---- jobs ----

cLoadData::cLoadData(const vek::string& path, bool reserved) : file(path), bReserved(reserved)
{
    if (g_pLoadingWidget) {
        g_pLoadingWidget->AddLoadData(this);
    } else {
        vek::LogWarning("cLoadData", "cLoadingWidget is unavailable. Memory leak!\n");
        OrphanJobs().emplace_back(this);
    }
}

cLoadTexture::cLoadTexture(const vek::string& path) : cLoadData(path, false) {}

void cLoadTexture::Load()
{
    // A texture of that name is loaded already, from whatever folder.
    if (vek::g_pTextureManager && vek::g_pTextureManager->Find(file.name) != 0) return;
    LoadTextureFile(file);
}

cLoadFont::cLoadFont(const vek::string& path) : cLoadData(path, false) {}

void cLoadFont::Load()
{
    vek::filename picture = file;
    picture.replace_ext("png");
    LoadTextureFile(picture);
    vek::filename description = file;
    description.replace_ext("lua");
    if (vek::cScript* host = vek::GetScript()) host->LoadFile(description);
}

cLoadSound::cLoadSound(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}

void cLoadSound::Load()
{
    vek::cDataManager::cSampleTarget target;
    target.uMaxPlay = uParameter;
    if (vek::cDataManager::ReadSoundBuffer(&target, file) != vek::cDataManager::Ok || !target.hHandle)
        return;
    // The sound manager's table owns the buffer from its construction on.
    new vek::cSoundManager::cSoundBuffer(file.name, target.hHandle, bReserved);
}

cLoadMusic::cLoadMusic(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}

cLoadMusic::cLoadMusic(const vek::string& name, const vek::string& path, int start, int length,
                       bool reserved)
    : cLoadData(path, reserved), strName(name), iStart(start), iLength(length)
{
}

void cLoadMusic::Load()
{
    vek::cSoundManager* sound = GetSoundManager();
    if (!sound || sound->m_MusicBuffers.Find(file.name) == 0) {
        vek::cDataManager::cMusicTarget target;
        if (vek::cDataManager::ReadMusicBuffer(&target, file) != vek::cDataManager::Ok || !target.hHandle)
            return;
        new vek::cSoundManager::cMusicBuffer(file.name, target.hHandle, bReserved);
    }
    if (!strName.empty())
        new vek::cMusic(strName, file.name, iStart, iLength, bReserved);
    else
        new vek::cMusic(file.name, file.name, bReserved);
}

cLoadStream::cLoadStream(const vek::string& path, bool reserved) : cLoadData(path, reserved) {}

void cLoadStream::Load()
{
    vek::cSoundManager* sound = GetSoundManager();
    if (!sound || sound->m_StreamBuffers.Find(file.name) == 0) {
        vek::cDataManager::cStreamTarget target;
        if (vek::cDataManager::ReadStreamBuffer(&target, file) != vek::cDataManager::Ok || !target.hHandle) {
            delete[] target.pData;
            return;
        }
        new vek::cSoundManager::cStreamBuffer(file.name, target.hHandle, target.pData, bReserved);
    }
    // A stream loaded before gets one more music entry of the same name.
    new vek::cMusic(file.name, bReserved);
}

// ---- the loading widget ----

cLoadingWidget* GetLoadingWidget() { return g_pLoadingWidget; }

cLoadingWidget::cLoadingWidget(cMiddle* game) : vek::cWidget("loading"), pGame(game)
{
    g_pLoadingWidget = this;
}

cLoadingWidget::~cLoadingWidget()
{
    if (!lstQueue.empty() || g_pCurrentJob)
        vek::LogWarning("cLoadingWidget", "~cLoadingWidget: not all data was loaded.\n");
    lstQueue.clear();
    g_pCurrentJob.reset();
    g_iWaitCounter = 0;
    if (g_pLoadingWidget == this) g_pLoadingWidget = nullptr;
}

int cLoadingWidget::AddLoadData(cLoadData* job)
{
    lstQueue.emplace_back(job);
    fQueued = static_cast<float>(lstQueue.size());
    return static_cast<int>(lstQueue.size());
}

void cLoadingWidget::OnActivate()
{
    pProgress = nullptr;
    pLabel = nullptr;
    if (vek::cGUI* gui = vek::GetEngineGUI()) {
        // An absent window is the GUI's default window, which has neither
        // control.
        if (vek::cWindow* window = gui->GetWindow(static_cast<unsigned>(gui->FindWindow("loading")))) {
            if (const int at = window->FindControl("progress"))
                pProgress = dynamic_cast<vek::cProgressBarSysCtrl*>(window->GetControl(static_cast<unsigned>(at)));
            if (pProgress) pProgress->SetValue(0.0f);
            if (const int at = window->FindControl("label"))
                pLabel = dynamic_cast<vek::cLabelCtrl*>(window->GetControl(static_cast<unsigned>(at)));
        }
        gui->ShowWindow("loading");
    }
    if (vek::cScript* host = vek::GetScript()) host->LoadFile(vek::filename("{StaticPath}/conf/loading.lua"));
    fTaken = 0.0f;
    bFinishPending = true;
}

void cLoadingWidget::OnDeactivate()
{
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->HideWindow("loading");
}

void cLoadingWidget::Update(float)
{
    if (lstQueue.empty() && !g_pCurrentJob) {
        if (bFinishPending && pGame) {
            bFinishPending = false;
            pGame->FinishInit();
        }
        return;
    }
    if (pLabel && g_pCurrentJob) {
        ++g_iWaitCounter;
        if (g_iWaitCounter % 6 != 0) return;
    }
    if (g_pCurrentJob) {
        // The job is owned here while it runs: a job that throws or that
        // queues further jobs cannot leave it behind.
        std::unique_ptr<cLoadData> job = std::move(g_pCurrentJob);
        job->Load();
        return;
    }
    g_pCurrentJob = std::move(lstQueue.front());
    lstQueue.pop_front();
    if (pLabel) pLabel->SetText(g_pCurrentJob->file.path);
    if (pProgress && fQueued > 0.0f) pProgress->SetValue(fTaken / fQueued);
    fTaken += 1.0f;
}

void cLoadingWidget::Draw()
{
    if (vek::g_pRender) {
        const float* colour = pGame ? pGame->m_afBackColor : nullptr;
        vek::g_pRender->SetClearColor(colour ? colour[0] : 0.0f, colour ? colour[1] : 0.0f,
                                      colour ? colour[2] : 0.0f, 1.0f);
        vek::g_pRender->Clear();
        vek::g_pRender->SetMaterialColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
    if (vek::cGUI* gui = vek::GetEngineGUI()) gui->Draw();
}
