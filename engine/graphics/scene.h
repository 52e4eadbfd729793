#pragma once
// The registries of 3D content: materials, meshes and scenes. Each is a
// process-wide table of owned records with a default record "unnamed" at
// id 0, made by its Create function and reached through its global pointer.
// A scene holds lights and cameras; a camera can follow three vec3
// Catmull-Rom paths (eye, target, up) and yields a right-handed look-at view
// matrix.
//
// The game creates the registries at start-up and destroys them at
// teardown; no file format fills them, so between the two each holds its
// default record.
#include <cstdint>
#include <vector>

#include "engine/core/anim.h"
#include "engine/core/container.h"
#include "engine/core/geometry.h"
#include "engine/core/vekstring.h"
#include "engine/graphics/curve.h"

namespace vek {

// Surface description. The values are placeholders that the registries
// carry for content formats; nothing in the engine reads them yet.
class cMaterial {
public:
    explicit cMaterial(const string& name) : m_strName(name) {}
    const string& GetName() const { return m_strName; }

    string m_strName;
    float m_afParams[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    string m_astrMaps[2];
};

// One drawable piece of a mesh.
class cMeshPart {
public:
    string m_strName;
    std::vector<vec3> m_Positions;
    std::vector<vec2> m_TexCoords;
    std::vector<uint16_t> m_Indices;
};

class cMesh {
public:
    // Joins the mesh table (with the reserved flag: the default slot), which
    // owns it from then on. Without a mesh table the caller keeps it.
    cMesh(const string& name, bool reserved);
    const string& GetName() const { return m_strName; }

    string m_strName;
    std::vector<cMeshPart> m_Parts;
    float m_afParams[9] = {};
};

class cLight {
public:
    cLight() = default;

    string m_strName = "unnamed";
    float m_afParams[9] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 200.0f};
};

class cCamera {
public:
    cCamera() = default;

    // The longest of the three paths: the largest last key parameter of the
    // paths that have keys, and at least 0.
    float GetLength() const;
    // Places the camera at eye looking at target; right and up are rebuilt
    // orthogonal to the view direction.
    void LookAt(const vec3& eye, const vec3& target, const vec3& up);
    // Moves the camera along its paths to time t (when all three have keys
    // and t >= 0), then builds the right-handed look-at view matrix for row
    // vectors (translation in the fourth row).
    matrix4 GetViewMatrix(float t);

    string m_strName = "unnamed";
    float m_fAngle = 0.7853982f;  // pi / 4; kept with the camera, not used by the view
    vec3 m_Position{0.0f, 0.0f, 0.0f};
    vec3 m_Direction{0.0f, 1.0f, 0.0f};  // unit length
    vec3 m_Up{0.0f, 0.0f, 1.0f};
    vec3 m_Right{1.0f, 0.0f, 0.0f};
    curve_CatmullRomSpline<vec3> m_PositionPath;
    curve_CatmullRomSpline<vec3> m_TargetPath;
    curve_CatmullRomSpline<vec3> m_UpPath;
};

class cScene {
public:
    // Starts with one default camera (selected) and joins the scene table
    // (with the reserved flag: the default slot), which owns it from then
    // on. Without a scene table the caller keeps it.
    cScene(const string& name, bool reserved);

    // Appends a copy; the first camera of a scene is selected. Returns the
    // new camera's index.
    int AddCamera(const cCamera& camera);
    // Index of the first camera with exactly this name; 0 when none has it.
    uint32_t FindCamera(const string& name) const;
    // Makes the named camera (camera 0 for an unknown name) current and
    // rewinds the camera animation over its paths at 30 frames a second.
    void SelectCamera(const string& name);

    cCamera* GetCurrentCamera();
    const string& GetName() const { return m_strName; }

    string m_strName;
    std::vector<cLight> m_Lights;
    std::vector<bool> m_LightOn;  // one flag per light
    std::vector<cCamera> m_Cameras;
    uint32_t m_uCurrentCamera = 0;
    cAnimCounter m_CameraAnimation;
};

class cMaterialManager : public cContainerPtr<cMaterial> {
public:
    cMaterialManager() : cContainerPtr<cMaterial>(50) {}
};

class cMeshManager : public cContainerPtr<cMesh> {
public:
    cMeshManager() : cContainerPtr<cMesh>(50) {}
};

class cSceneManager : public cContainerPtr<cScene> {
public:
    cSceneManager() : cContainerPtr<cScene>(30) {}
};

// The registries while they exist.
extern cMaterialManager* g_pMaterialManager;
extern cMeshManager* g_pMeshManager;
extern cSceneManager* g_pSceneManager;

// Each makes its table with the default record "unnamed" at id 0. A second
// call warns "Already exist" and keeps the first table; true when a table
// was made.
bool CreateMaterialManager();
bool CreateMeshManager();
bool CreateSceneManager();
// Each deletes its table with every record and clears the pointer. Destroying
// a registry that does not exist is harmless.
bool DestroyMeshManager();
bool DestroySceneManager();
bool DestroyMaterialManager();

// Draws one screen quad from (x1, y1) to (x2, y2) with texture coordinates
// (tu1, tv1) at the first corner and (tu2, tv2) at the opposite one, as a
// two-triangle strip of x, y, z, u, v vertices. The texture, the vertex
// format and the material colour are the caller's. Nothing without a renderer.
void DrawScreenQuad(float x1, float y1, float x2, float y2, float tu1, float tv1, float tu2,
                    float tv2);

// The default scene's light: 0, 0.8, 0.8, 0.8, 0, 0, 15, 1, 200.
cLight MakeDefaultLight();

// Divides by the length; at or below 2^-23 the result is the zero vector.
inline vec3 Normalized(vec3 v)
{
    v.Normalize();
    return v;
}

} // namespace vek
