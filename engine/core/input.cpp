#include "engine/core/input.h"

#include "engine/core/log.h"
#include "platform/input.h"
#include "platform/window.h"

namespace vek {

cInput* g_pInput = nullptr;

namespace {

constexpr const char* kSender = "cInput";

void Append(cInputEventList* events, int kind, int code)
{
    if (!events) return;
    cInputEvent e;
    e.iKind = kind;
    e.iCode = code;
    events->push_back(e);
}

// A state byte of a table: pressed (kind "down") or not pressed (kind "up").
// An index outside the table is never pressed.
float StateOf(const uint8_t* table, int size, int index, bool askPressed)
{
    const bool pressed = index >= 0 && index < size && table[index] != 0;
    return (pressed == askPressed) ? 1.0f : 0.0f;
}

} // namespace

// ---- devices ----

cInputDevice::cInputDevice(platform::cInputBackend* backend, int device)
    : m_pBackend(backend), m_iDevice(device)
{
    // The platform cannot log: it hands over a device it could not open with
    // no id. Say here that opening it failed; the device's own class then
    // says that it is left out.
    if (device < 0) LogWarning("cInputDevice", "constructor: CreateDevice\n");
}

cInputDevice::~cInputDevice() = default;

bool cMouse::Update(cInputEventList* events)
{
    platform::cDeviceItem items[platform::kDeviceBufferSize];
    const int n = m_pBackend && m_iDevice >= 0 ? m_pBackend->ReadBuffered(m_iDevice, items) : -1;
    if (n <= 0) return false;
    for (int i = 0; i < n; ++i) {
        const platform::cDeviceItem& it = items[i];
        if (it.offset == platform::e_mouseX) {
            Append(events, e_inMouseMove, static_cast<int32_t>(static_cast<uint32_t>(it.data) & 0xFFFFu));
        } else if (it.offset == platform::e_mouseY) {
            Append(events, e_inMouseMove,
                   static_cast<int32_t>((static_cast<uint32_t>(it.data) & 0xFFFFu) << 16));
        } else if (it.offset == platform::e_mouseZ) {
            Append(events, e_inWheel, it.data);
        } else if (it.offset >= platform::e_mouseButton0 && it.offset < platform::e_mouseButton0 + 8) {
            const int b = it.offset - platform::e_mouseButton0;
            byButtons[b] = it.data ? 1 : 0;
            Append(events, it.data ? e_inMouseDown : e_inMouseUp, b);
        }
    }
    return true;
}

bool cKeyboard::Update(cInputEventList* events)
{
    platform::cDeviceItem items[platform::kDeviceBufferSize];
    const int n = m_pBackend && m_iDevice >= 0 ? m_pBackend->ReadBuffered(m_iDevice, items) : -1;
    if (n <= 0) return false;
    for (int i = 0; i < n; ++i) {
        const platform::cDeviceItem& it = items[i];
        if (it.offset >= 0 && it.offset < 256) byKeys[it.offset] = it.data ? 0x80 : 0;
        Append(events, it.data ? e_inKeyDown : e_inKeyUp, it.offset);
    }
    return true;
}

cJoystick::cJoystick(platform::cInputBackend* backend, int device, int axisMin, int axisMax)
    : cInputDevice(backend, device), iAxisMin(axisMin), iAxisMax(axisMax)
{
    // The manager leaves such a joystick out; the player learns why it does
    // nothing.
    if (!IsValid()) LogWarning("cJoystick", "constructor: device invalid\n");
    const int32_t mid = static_cast<int32_t>((static_cast<int64_t>(axisMin) + axisMax) / 2);
    iX = iY = iZ = mid;
}

bool cJoystick::Update(cInputEventList* events)
{
    platform::cDeviceItem items[platform::kDeviceBufferSize];
    const int n = m_pBackend && m_iDevice >= 0 ? m_pBackend->ReadBuffered(m_iDevice, items) : -1;
    if (n <= 0) return false;
    for (int i = 0; i < n; ++i) {
        const platform::cDeviceItem& it = items[i];
        switch (it.offset) {
        case platform::e_joyX: iX = it.data; Append(events, e_inJoyX, it.data); break;
        case platform::e_joyY: iY = it.data; Append(events, e_inJoyY, it.data); break;
        case platform::e_joyZ: iZ = it.data; Append(events, e_inJoyZ, it.data); break;
        case platform::e_joyRx: Append(events, e_inJoyRx, it.data); break;
        case platform::e_joyRy: Append(events, e_inJoyRy, it.data); break;
        case platform::e_joyRz: Append(events, e_inJoyRz, it.data); break;
        case platform::e_joySlider0:
        case platform::e_joySlider1: Append(events, e_inJoySlider, it.data); break;
        case platform::e_joyPov0:
        case platform::e_joyPov1: Append(events, e_inJoyPov, it.data); break;
        default:
            if (it.offset >= platform::e_joyButton0 && it.offset < platform::e_joyButton0 + 32) {
                const int b = it.offset - platform::e_joyButton0;
                byButtons[b] = it.data ? 1 : 0;
                Append(events, it.data ? e_inJoyDown : e_inJoyUp, b);
            }
            break;
        }
    }
    return true;
}

// ---- the manager ----

cInput::cInput() = default;

cInput::~cInput() { Free(); }

bool cInput::Init()
{
    if (m_bInit) return true;
    m_pBackend = std::make_unique<platform::cInputBackend>();
    // Without joystick support the mouse and the keyboard still work.
    if (!m_pBackend->Init()) LogWarning(kSender, "Init: joystick support not available\n");
    platform::WindowSystem().SetEventSink(m_pBackend.get());
    for (const platform::cDeviceInfo& d : m_pBackend->EnumDevices()) {
        switch (d.cls) {
        case platform::e_devMouse: vecMice.push_back(new cMouse(m_pBackend.get(), d.id)); break;
        case platform::e_devKeyboard:
            vecKeyboards.push_back(new cKeyboard(m_pBackend.get(), d.id));
            break;
        case platform::e_devJoystick: {
            auto* joystick = new cJoystick(m_pBackend.get(), d.id, d.axisMin, d.axisMax);
            if (joystick->IsValid())
                vecJoysticks.push_back(joystick);
            else
                delete joystick;
            break;
        }
        }
    }
    m_bInit = true;
    return true;
}

bool cInput::Free()
{
    if (!m_bInit || !m_pBackend) {
        LogWarning(kSender, "Free: input manager invalid\n");
        return false;
    }
    for (cMouse* m : vecMice) delete m;
    for (cKeyboard* k : vecKeyboards) delete k;
    for (cJoystick* j : vecJoysticks) delete j;
    vecMice.clear();
    vecKeyboards.clear();
    vecJoysticks.clear();
    platform::WindowSystem().SetEventSink(nullptr);
    m_pBackend.reset();
    m_bInit = false;
    return true;
}

bool cInput::Update(cInputEventList* events)
{
    for (cMouse* m : vecMice) m->Update(events);
    for (cKeyboard* k : vecKeyboards) k->Update(events);
    for (cJoystick* j : vecJoysticks) j->Update(events);
    return true;
}

float cInput::GetState(int index, int kind)
{
    switch (kind) {
    case e_inKeyDown:
    case e_inKeyUp:
        if (vecKeyboards.empty()) return 0.0f;
        return StateOf(vecKeyboards.front()->byKeys, 256, index, kind == e_inKeyDown);
    case e_inMouseDown:
    case e_inMouseUp:
        if (vecMice.empty()) return 0.0f;
        return StateOf(vecMice.front()->byButtons, 8, index, kind == e_inMouseDown);
    case e_inJoyDown:
    case e_inJoyUp:
        if (vecJoysticks.empty()) return 0.0f;
        return StateOf(vecJoysticks.front()->byButtons, 32, index, kind == e_inJoyDown);
    case e_inJoyX:
    case e_inJoyY:
    case e_inJoyZ: {
        if (vecJoysticks.empty()) return 0.0f;
        const cJoystick* j = vecJoysticks.front();
        const int32_t value = kind == e_inJoyX ? j->iX : kind == e_inJoyY ? j->iY : j->iZ;
        const double range = static_cast<double>(j->iAxisMax) - j->iAxisMin;
        // A device reporting an empty range has no meaningful position.
        if (range == 0.0) return 0.0f;
        return static_cast<float>(((value - static_cast<double>(j->iAxisMin)) / range - 0.5) * 2.0);
    }
    default:
        LogWarning(kSender, "GetState: unknown state request\n");
        return 0.0f;
    }
}

bool cInput::GetCursorPosition(int* x, int* y)
{
    int cx = 0, cy = 0;
    if (!platform::WindowSystem().GetCursorClientPos(cx, cy)) return false;
    if (x) *x = cx;
    if (y) *y = cy;
    return true;
}

bool CreateInput()
{
    if (g_pInput) {
        LogWarning("CreateInput", "input already exists\n");
        return false;
    }
    g_pInput = new cInput();
    if (!g_pInput->Init()) {
        LogWarning("CreateInput", "Init\n");
        return false;
    }
    LogText("CreateInput", "Ok\n");
    return true;
}

bool DestroyInput()
{
    if (!g_pInput) {
        LogWarning("DestroyInput", "Input does not exist\n");
        return false;
    }
    delete g_pInput;
    g_pInput = nullptr;
    LogText("DestroyInput", "Ok\n");
    return true;
}

} // namespace vek
