#pragma once
// Loading jobs and the loading screen. Between the splash screen and the
// main menu the game loads its resources behind the widget "loading": on
// activation it runs "{StaticPath}/conf/loading.lua", whose job objects
// queue themselves on it; it then runs one job every few frames, showing
// each job's path and the progress in the window "loading", and tells the
// game object once the queue is empty.
//
// LoadTextureFile is the image loader of the texture and font jobs, the
// splash screen and the shell's system images.
#include <cstdint>
#include <list>
#include <memory>

#include "engine/core/filename.h"
#include "engine/core/vekstring.h"
#include "engine/gui/widget.h"

class cMiddle;

namespace vek {
class cScript;
}

namespace vek {
class cLabelCtrl;
class cProgressBarSysCtrl;
}

// Finds the image (a path without extension tries ".png", then ".jpg"),
// makes the texture named by the file's name part and runs the ".tex"
// script beside it when there is one. 0 when the texture was made, 2 when
// no file was found (nothing logged), otherwise the image reader's code.
int LoadTextureFile(const vek::filename& file);

// A loading job. Joins the loading widget's queue from its constructor;
// the widget owns and deletes it.
class cLoadData {
public:
    virtual ~cLoadData() = default;
    cLoadData(const cLoadData&) = delete;
    cLoadData& operator=(const cLoadData&) = delete;

    // Loads the resource; failures are the readers' to report.
    virtual void Load() {}

    vek::filename file;
    bool bReserved = false;

protected:
    cLoadData(const vek::string& path, bool reserved);
};

class cLoadTexture : public cLoadData {
public:
    explicit cLoadTexture(const vek::string& path);
    void Load() override;
    // Stored only; loading does not read it.
    virtual void SetParameters(int value) { iParameter = value; }

    int32_t iParameter = 0;
};

class cLoadFont : public cLoadData {
public:
    explicit cLoadFont(const vek::string& path);
    void Load() override;
};

class cLoadSound : public cLoadData {
public:
    cLoadSound(const vek::string& path, bool reserved);
    void Load() override;
    // The sample's maximum number of simultaneous playbacks.
    virtual void SetParameters(unsigned value) { uParameter = value; }

    uint32_t uParameter = 1;
};

class cLoadMusic : public cLoadData {
public:
    // The music is named by the file.
    cLoadMusic(const vek::string& path, bool reserved);
    // A named music over a part of the module.
    cLoadMusic(const vek::string& name, const vek::string& path, int start, int length,
               bool reserved);
    void Load() override;

    vek::string strName;
    int32_t iStart = 0;
    int32_t iLength = 0;
};

class cLoadStream : public cLoadData {
public:
    cLoadStream(const vek::string& path, bool reserved);
    void Load() override;
};

class cLoadingWidget : public vek::cWidget {
public:
    // Becomes the process-wide loading widget; game is told when loading is
    // complete.
    explicit cLoadingWidget(cMiddle* game);
    // Reports and frees jobs that never ran; clears the process-wide
    // widget, so a job made later is refused instead of queued on freed
    // memory.
    ~cLoadingWidget() override;

    void Draw() override;
    void Update(float elapsed) override;
    void OnActivate() override;
    void OnDeactivate() override;
    // Takes ownership; returns the queue length.
    virtual int AddLoadData(cLoadData* job);

    cMiddle* pGame = nullptr;
    std::list<std::unique_ptr<cLoadData>> lstQueue;
    vek::cProgressBarSysCtrl* pProgress = nullptr;
    vek::cLabelCtrl* pLabel = nullptr;
    float fTaken = 0.0f;
    float fQueued = 0.0f;
    bool bFinishPending = true;
};

// The loading widget while it exists.
cLoadingWidget* GetLoadingWidget();

// Registers the Lua classes of the jobs (cLoadData and its five kinds).
bool RegisterLoadingClasses(vek::cScript* script);
