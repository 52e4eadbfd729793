#include "engine/graphics/scene.h"

#include <cmath>
#include <limits>

#include "engine/core/numeric.h"
#include "engine/core/log.h"

namespace vek {

cMaterialManager* g_pMaterialManager = nullptr;
cMeshManager* g_pMeshManager = nullptr;
cSceneManager* g_pSceneManager = nullptr;

namespace {

constexpr float kCameraFrameTime = 1.0f / 30.0f;

// Whole frames of a camera path; paths from bad data may be absurdly long.
int32_t CameraFrames(float length)
{
    const float frames = length * 30.0f;
    return frames > 0.0f ? SaturatingCast<int32_t>(frames) : 0;
}

} // namespace

// ---- meshes ----

cMesh::cMesh(const string& name, bool reserved) : m_strName(name)
{
    if (g_pMeshManager) g_pMeshManager->Add(this, reserved);
}

// ---- cameras ----

float cCamera::GetLength() const
{
    float length = 0.0f;
    for (const curve_CatmullRomSpline<vec3>* path : {&m_PositionPath, &m_TargetPath, &m_UpPath}) {
        if (path->m_Params.empty()) continue;
        const float end = path->m_Params.back();
        if (end > length) length = end;
    }
    return length;
}

void cCamera::LookAt(const vec3& eye, const vec3& target, const vec3& up)
{
    m_Position = eye;
    m_Direction = Normalized(target - eye);
    m_Up = up;
    m_Right = Normalized(Cross(m_Direction, m_Up));
    m_Up = Cross(m_Right, m_Direction);
}

matrix4 cCamera::GetViewMatrix(float t)
{
    const bool animated = !m_PositionPath.m_Params.empty() && !m_TargetPath.m_Params.empty() &&
                          !m_UpPath.m_Params.empty();
    if (animated && t >= 0.0f)
        LookAt(m_PositionPath.GetValue(t), m_TargetPath.GetValue(t), m_UpPath.GetValue(t));

    const vec3 eye = m_Position;
    const vec3 at = m_Position + m_Direction;
    const vec3 z = Normalized(at - eye);
    const vec3 x = Normalized(Cross(z, m_Up));
    const vec3 y = Cross(x, z);

    matrix4 view;
    view.m[0][0] = x.x; view.m[0][1] = y.x; view.m[0][2] = -z.x; view.m[0][3] = 0.0f;
    view.m[1][0] = x.y; view.m[1][1] = y.y; view.m[1][2] = -z.y; view.m[1][3] = 0.0f;
    view.m[2][0] = x.z; view.m[2][1] = y.z; view.m[2][2] = -z.z; view.m[2][3] = 0.0f;
    view.m[3][0] = -Dot(x, eye);
    view.m[3][1] = -Dot(y, eye);
    view.m[3][2] = Dot(z, eye);
    view.m[3][3] = 1.0f;
    return view;
}

// ---- scenes ----

cScene::cScene(const string& name, bool reserved) : m_strName(name)
{
    // The counter starts still: mode 0, no frames, direction 1.
    m_CameraAnimation = cAnimCounter();
    AddCamera(cCamera());
    if (g_pSceneManager) g_pSceneManager->Add(this, reserved);
}

int cScene::AddCamera(const cCamera& camera)
{
    const bool first = m_Cameras.empty();
    m_Cameras.push_back(camera);
    if (first) SelectCamera(camera.m_strName);
    return static_cast<int>(m_Cameras.size() - 1);
}

uint32_t cScene::FindCamera(const string& name) const
{
    for (size_t i = 0; i < m_Cameras.size(); ++i)
        if (m_Cameras[i].m_strName == name) return static_cast<uint32_t>(i);
    return 0;
}

cCamera* cScene::GetCurrentCamera()
{
    return m_uCurrentCamera < m_Cameras.size() ? &m_Cameras[m_uCurrentCamera] : nullptr;
}

void cScene::SelectCamera(const string& name)
{
    m_uCurrentCamera = FindCamera(name);
    cCamera* camera = GetCurrentCamera();
    if (!camera) return;

    cAnimCounter& anim = m_CameraAnimation;
    anim.iMode = cAnimCounter::e_Stop;
    anim.iFrame = 0;
    anim.iFrameCount = CameraFrames(camera->GetLength());
    anim.fElapsed = 0.0f;
    anim.fFrameTime = kCameraFrameTime;
    anim.iDirection = 1;
    anim.ApplyMode(anim.iMode, true);

    // Puts an animated camera at the start of its paths.
    camera->GetViewMatrix(0.0f);
}

// ---- registries ----

cLight MakeDefaultLight()
{
    cLight light;
    const float values[7] = {0.8f, 0.8f, 0.8f, 0.0f, 0.0f, 15.0f, 1.0f};
    for (int i = 0; i < 7; ++i) light.m_afParams[i + 1] = values[i];
    return light;
}

bool CreateMaterialManager()
{
    constexpr const char* kSender = "CreateMaterialManager";
    if (g_pMaterialManager) {
        LogWarning(kSender, "Already exist\n");
        return false;
    }
    auto* table = new cMaterialManager();
    table->Add(new cMaterial("unnamed"), true);
    g_pMaterialManager = table;
    LogText(kSender, "Ok\n");
    return true;
}

bool CreateMeshManager()
{
    constexpr const char* kSender = "CreateMeshManager";
    bool made = false;
    if (g_pMeshManager) {
        LogWarning(kSender, "Already exist\n");
    } else {
        g_pMeshManager = new cMeshManager();
        new cMesh("unnamed", true);  // joins the table
        made = true;
    }
    LogText(kSender, "Ok\n");
    return made;
}

bool CreateSceneManager()
{
    constexpr const char* kSender = "CreateSceneManager";
    if (g_pSceneManager) {
        LogWarning(kSender, "Already exist\n");
        return false;
    }
    g_pSceneManager = new cSceneManager();
    const cLight light = MakeDefaultLight();
    auto* scene = new cScene("unnamed", true);  // joins the table
    scene->m_Lights.push_back(light);
    scene->m_LightOn.push_back(true);
    LogText(kSender, "Ok\n");
    return true;
}

bool DestroyMeshManager()
{
    delete g_pMeshManager;
    g_pMeshManager = nullptr;
    LogText("DestroyMeshManager", "Ok\n");
    return true;
}

bool DestroySceneManager()
{
    delete g_pSceneManager;
    g_pSceneManager = nullptr;
    LogText("DestroySceneManager", "Ok\n");
    return true;
}

bool DestroyMaterialManager()
{
    delete g_pMaterialManager;
    g_pMaterialManager = nullptr;
    LogText("DestroyMaterialManager", "Ok\n");
    return true;
}

} // namespace vek
