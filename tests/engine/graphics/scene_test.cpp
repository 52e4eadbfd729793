// The material, mesh and scene registries with their default records, and
// the camera's paths and view matrix.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/core/filename.h"
#include "engine/core/log.h"
#include "engine/graphics/scene.h"
#include "support/temp_dir.h"

namespace {

using vek::vec3;

void ExpectRow(const vek::matrix4& m, int row, float a, float b, float c, float d)
{
    EXPECT_NEAR(m.m[row][0], a, 1e-5f) << "row " << row;
    EXPECT_NEAR(m.m[row][1], b, 1e-5f) << "row " << row;
    EXPECT_NEAR(m.m[row][2], c, 1e-5f) << "row " << row;
    EXPECT_NEAR(m.m[row][3], d, 1e-5f) << "row " << row;
}

class Registries : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_strDir = vektest::MakeTempDir("scene");
        ASSERT_FALSE(m_strDir.empty());
        vek::SetPathMacro(vek::e_macroAppPath, m_strDir);
        m_pLog = std::make_unique<vek::cLog>(1024.0f, 768.0f);
    }
    void TearDown() override
    {
        vek::DestroyMeshManager();
        vek::DestroySceneManager();
        vek::DestroyMaterialManager();
        m_pLog.reset();
    }
    std::string Log() const { return vektest::ReadFile(m_strDir + "/_log.html"); }
    static size_t Count(const std::string& text, const std::string& what)
    {
        size_t n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }

    std::string m_strDir;
    std::unique_ptr<vek::cLog> m_pLog;
};

TEST_F(Registries, StartWithTheirDefaultRecordOnly)
{
    ASSERT_TRUE(vek::CreateMaterialManager());
    ASSERT_TRUE(vek::CreateSceneManager());
    ASSERT_TRUE(vek::CreateMeshManager());

    ASSERT_EQ(vek::g_pMaterialManager->Count(), 1u);
    ASSERT_EQ(vek::g_pMeshManager->Count(), 1u);
    ASSERT_EQ(vek::g_pSceneManager->Count(), 1u);
    EXPECT_EQ(vek::g_pMaterialManager->Get(0)->m_strName, "unnamed");
    EXPECT_EQ(vek::g_pMeshManager->Get(0)->m_strName, "unnamed");
    EXPECT_EQ(vek::g_pSceneManager->Get(0)->m_strName, "unnamed");
    EXPECT_EQ(vek::g_pSceneManager->Find("unnamed"), 0u);
    // A bad id yields the default record.
    EXPECT_EQ(vek::g_pSceneManager->Get(7), vek::g_pSceneManager->Get(0));
    EXPECT_TRUE(vek::g_pMeshManager->Get(0)->m_Parts.empty());
    for (float f : vek::g_pMaterialManager->Get(0)->m_afParams) EXPECT_EQ(f, 0.0f);

    // Records made later join their table behind the default.
    auto* mesh = new vek::cMesh("tree", false);
    auto* scene = new vek::cScene("island", false);
    EXPECT_EQ(vek::g_pMeshManager->Find("tree"), 1u);
    EXPECT_EQ(vek::g_pMeshManager->Get(1), mesh);
    EXPECT_EQ(vek::g_pSceneManager->Get(1), scene);
}

TEST_F(Registries, SecondCreateWarnsAndKeepsTheFirst)
{
    ASSERT_TRUE(vek::CreateMaterialManager());
    ASSERT_TRUE(vek::CreateSceneManager());
    ASSERT_TRUE(vek::CreateMeshManager());
    vek::cMaterialManager* materials = vek::g_pMaterialManager;
    vek::cSceneManager* scenes = vek::g_pSceneManager;
    vek::cMeshManager* meshes = vek::g_pMeshManager;

    EXPECT_FALSE(vek::CreateMaterialManager());
    EXPECT_FALSE(vek::CreateSceneManager());
    EXPECT_FALSE(vek::CreateMeshManager());
    EXPECT_EQ(vek::g_pMaterialManager, materials);
    EXPECT_EQ(vek::g_pSceneManager, scenes);
    EXPECT_EQ(vek::g_pMeshManager, meshes);
    EXPECT_EQ(meshes->Count(), 1u);
    EXPECT_EQ(scenes->Count(), 1u);

    const std::string log = Log();
    EXPECT_EQ(Count(log, "Already exist"), 3u) << log;
    // The mesh registry reports Ok after its warning as well.
    EXPECT_EQ(Count(log, "CreateMeshManager"), 3u) << log;
    EXPECT_EQ(Count(log, "CreateSceneManager"), 2u) << log;

    // Destroying twice is harmless and reports Ok both times.
    EXPECT_TRUE(vek::DestroyMeshManager());
    EXPECT_TRUE(vek::DestroyMeshManager());
    EXPECT_EQ(vek::g_pMeshManager, nullptr);
    EXPECT_EQ(Count(Log(), "DestroyMeshManager"), 2u);
}

TEST_F(Registries, DefaultSceneLightAndCamera)
{
    ASSERT_TRUE(vek::CreateSceneManager());
    vek::cScene* scene = vek::g_pSceneManager->Get(0);
    ASSERT_EQ(scene->m_Lights.size(), 1u);
    ASSERT_EQ(scene->m_LightOn.size(), 1u);
    EXPECT_TRUE(scene->m_LightOn[0]);
    EXPECT_EQ(scene->m_Lights[0].m_strName, "unnamed");
    const float light[9] = {0, 0.8f, 0.8f, 0.8f, 0, 0, 15, 1, 200};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(scene->m_Lights[0].m_afParams[i], light[i]) << i;
    // A light of its own constructor.
    const float plain[9] = {0, 0, 0, 0, 0, 0, 1, 0, 200};
    for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(vek::cLight().m_afParams[i], plain[i]) << i;

    ASSERT_EQ(scene->m_Cameras.size(), 1u);
    EXPECT_EQ(scene->m_uCurrentCamera, 0u);
    const vek::cCamera& camera = scene->m_Cameras[0];
    EXPECT_EQ(camera.m_strName, "unnamed");
    EXPECT_FLOAT_EQ(camera.m_fAngle, 0.7853982f);
    EXPECT_EQ(camera.m_Position, vec3(0, 0, 0));
    EXPECT_EQ(camera.m_Direction, vec3(0, 1, 0));
    EXPECT_EQ(camera.m_Up, vec3(0, 0, 1));
    EXPECT_EQ(camera.m_Right, vec3(1, 0, 0));
    EXPECT_EQ(scene->m_CameraAnimation.iFrameCount, 0);
    EXPECT_FLOAT_EQ(scene->m_CameraAnimation.fFrameTime, 0.033333335f);
    EXPECT_EQ(scene->m_CameraAnimation.iDirection, 1);
}

TEST(Camera, DefaultViewMatrix)
{
    vek::cCamera camera;
    const vek::matrix4 view = camera.GetViewMatrix(0.0f);
    ExpectRow(view, 0, 1, 0, 0, 0);
    ExpectRow(view, 1, 0, 0, -1, 0);
    ExpectRow(view, 2, 0, 1, 0, 0);
    ExpectRow(view, 3, 0, 0, 0, 1);
}

TEST(Camera, PathsMoveTheCameraAndSetTheLength)
{
    vek::cCamera camera;
    camera.m_strName = "fly";
    camera.m_PositionPath.AddPoint(vec3(0, -10, 0), 0.0f);
    camera.m_PositionPath.AddPoint(vec3(0, -20, 0), 4.0f);
    camera.m_TargetPath.AddPoint(vec3(0, 0, 0), 0.0f);
    camera.m_TargetPath.AddPoint(vec3(0, 0, 0), 6.5f);
    camera.m_UpPath.AddPoint(vec3(0, 0, 1), 2.0f);
    EXPECT_FLOAT_EQ(camera.GetLength(), 6.5f);

    // Looking from (0, -10, 0) at the origin: the origin lies 10 units ahead,
    // on the negative z axis of the view.
    vek::cCamera moved = camera;
    const vek::matrix4 view = moved.GetViewMatrix(0.0f);
    EXPECT_EQ(moved.m_Position, vec3(0, -10, 0));
    ExpectRow(view, 0, 1, 0, 0, 0);
    ExpectRow(view, 1, 0, 0, -1, 0);
    ExpectRow(view, 2, 0, 1, 0, 0);
    ExpectRow(view, 3, 0, 0, -10, 1);
    const vec3 target = vek::Vec3Transform(vec3(0, 0, 0), view);
    EXPECT_NEAR(target.z, -10.0f, 1e-5f);

    // A negative time keeps the camera where it is.
    vek::cCamera still = camera;
    still.GetViewMatrix(-1.0f);
    EXPECT_EQ(still.m_Position, vec3(0, 0, 0));

    // Without a target path the paths are not followed.
    vek::cCamera noTarget = camera;
    noTarget.m_TargetPath.Clear();
    noTarget.GetViewMatrix(1.0f);
    EXPECT_EQ(noTarget.m_Position, vec3(0, 0, 0));
    EXPECT_EQ(noTarget.m_Direction, vec3(0, 1, 0));

    // A negative end of the position path counts as 0.
    vek::cCamera early;
    early.m_PositionPath.AddPoint(vec3(), -3.0f);
    EXPECT_FLOAT_EQ(early.GetLength(), 0.0f);
}

TEST_F(Registries, SelectingACameraRewindsItsAnimation)
{
    ASSERT_TRUE(vek::CreateSceneManager());
    vek::cScene* scene = vek::g_pSceneManager->Get(0);

    vek::cCamera camera;
    camera.m_strName = "fly";
    camera.m_PositionPath.AddPoint(vec3(0, -10, 0), 0.0f);
    camera.m_PositionPath.AddPoint(vec3(0, -20, 0), 4.0f);
    camera.m_TargetPath.AddPoint(vec3(0, 0, 0), 6.5f);
    camera.m_UpPath.AddPoint(vec3(0, 0, 1), 2.0f);
    EXPECT_EQ(scene->AddCamera(camera), 1);
    EXPECT_EQ(scene->m_uCurrentCamera, 0u);  // only the first camera is selected on adding

    scene->m_CameraAnimation.iFrame = 17;
    scene->SelectCamera("fly");
    EXPECT_EQ(scene->m_uCurrentCamera, 1u);
    EXPECT_EQ(scene->m_CameraAnimation.iFrameCount, 195);
    EXPECT_EQ(scene->m_CameraAnimation.iFrame, 0);
    // Selecting puts the camera at the start of its paths.
    EXPECT_EQ(scene->m_Cameras[1].m_Position, vec3(0, -10, 0));

    scene->SelectCamera("nobody");
    EXPECT_EQ(scene->m_uCurrentCamera, 0u);
    EXPECT_EQ(scene->m_CameraAnimation.iFrameCount, 0);

    // A path from bad data far too long for a frame count.
    vek::cCamera huge;
    huge.m_strName = "huge";
    huge.m_UpPath.AddPoint(vec3(), 3e38f);
    scene->AddCamera(huge);
    scene->SelectCamera("huge");
    EXPECT_GT(scene->m_CameraAnimation.iFrameCount, 0);
}

TEST(Camera, DegenerateViewsStayFinite)
{
    vek::cCamera camera;
    // Eye on the target, and an up along the view direction.
    camera.LookAt(vec3(1, 1, 1), vec3(1, 1, 1), vec3(0, 0, 1));
    vek::matrix4 view = camera.GetViewMatrix(0.0f);
    for (auto& row : view.m)
        for (float f : row) EXPECT_TRUE(std::isfinite(f));
    camera.LookAt(vec3(0, 0, 0), vec3(0, 0, 5), vec3(0, 0, 1));
    view = camera.GetViewMatrix(0.0f);
    for (auto& row : view.m)
        for (float f : row) EXPECT_TRUE(std::isfinite(f));
}

} // namespace
