#include "platform/input.h"

#include <SDL.h>

namespace vek::platform {

namespace {

struct cKeyPair {
    SDL_Scancode sdl;
    int code;
};

// Physical keys to PC key codes. SDL numbers keys by USB usage, where Escape
// is 41, the number the PC set gives the console key: nothing may pass
// through unmapped.
constexpr cKeyPair g_KeyTable[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2}, {SDL_SCANCODE_2, 3}, {SDL_SCANCODE_3, 4}, {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6}, {SDL_SCANCODE_6, 7}, {SDL_SCANCODE_7, 8}, {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10}, {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12}, {SDL_SCANCODE_EQUALS, 13}, {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16}, {SDL_SCANCODE_W, 17}, {SDL_SCANCODE_E, 18}, {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20}, {SDL_SCANCODE_Y, 21}, {SDL_SCANCODE_U, 22}, {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24}, {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27}, {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30}, {SDL_SCANCODE_S, 31}, {SDL_SCANCODE_D, 32}, {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34}, {SDL_SCANCODE_H, 35}, {SDL_SCANCODE_J, 36}, {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39}, {SDL_SCANCODE_APOSTROPHE, 40}, {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42}, {SDL_SCANCODE_BACKSLASH, 43}, {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_Z, 44}, {SDL_SCANCODE_X, 45}, {SDL_SCANCODE_C, 46}, {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48}, {SDL_SCANCODE_N, 49}, {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51}, {SDL_SCANCODE_PERIOD, 52}, {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54}, {SDL_SCANCODE_KP_MULTIPLY, 55}, {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59}, {SDL_SCANCODE_F2, 60}, {SDL_SCANCODE_F3, 61}, {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63}, {SDL_SCANCODE_F6, 64}, {SDL_SCANCODE_F7, 65}, {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67}, {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69}, {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71}, {SDL_SCANCODE_KP_8, 72}, {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74}, {SDL_SCANCODE_KP_4, 75}, {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77}, {SDL_SCANCODE_KP_PLUS, 78}, {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80}, {SDL_SCANCODE_KP_3, 81}, {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86}, {SDL_SCANCODE_F11, 87}, {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100}, {SDL_SCANCODE_F14, 101}, {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_KP_ENTER, 156}, {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_KP_DIVIDE, 181}, {SDL_SCANCODE_PRINTSCREEN, 183}, {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199}, {SDL_SCANCODE_UP, 200}, {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203}, {SDL_SCANCODE_RIGHT, 205}, {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208}, {SDL_SCANCODE_PAGEDOWN, 209}, {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219}, {SDL_SCANCODE_RGUI, 220}, {SDL_SCANCODE_APPLICATION, 221},
};

struct cKeyMap {
    unsigned char code[SDL_NUM_SCANCODES] = {};
    cKeyMap()
    {
        for (const cKeyPair& p : g_KeyTable) code[p.sdl] = static_cast<unsigned char>(p.code);
    }
};

}  // namespace

int ScancodeToKeyCode(int sdlScancode)
{
    static const cKeyMap map;
    if (sdlScancode <= 0 || sdlScancode >= SDL_NUM_SCANCODES) return 0;
    return map.code[sdlScancode];
}

int HatToPov(int sdlHat)
{
    switch (sdlHat) {
    case SDL_HAT_UP: return 0;
    case SDL_HAT_RIGHTUP: return 4500;
    case SDL_HAT_RIGHT: return 9000;
    case SDL_HAT_RIGHTDOWN: return 13500;
    case SDL_HAT_DOWN: return 18000;
    case SDL_HAT_LEFTDOWN: return 22500;
    case SDL_HAT_LEFT: return 27000;
    case SDL_HAT_LEFTUP: return 31500;
    default: return -1;
    }
}

cInputBackend::~cInputBackend()
{
    for (cDevice& d : m_vecDevices)
        if (d.joystick) SDL_JoystickClose(d.joystick);
    m_vecDevices.clear();
    if (m_bJoystickInit) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

bool cInputBackend::Init()
{
    if (m_bJoystickInit) return true;
    m_bJoystickInit = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    return m_bJoystickInit;
}

std::vector<cDeviceInfo> cInputBackend::EnumDevices()
{
    if (!m_bEnumerated) {
        m_bEnumerated = true;
        cDevice mouse;
        mouse.info.cls = e_devMouse;
        mouse.info.id = 0;
        m_vecDevices.push_back(mouse);
        cDevice keyboard;
        keyboard.info.cls = e_devKeyboard;
        keyboard.info.id = 1;
        m_vecDevices.push_back(keyboard);
        m_vecListed.push_back(mouse.info);
        m_vecListed.push_back(keyboard.info);
        if (m_bJoystickInit) {
            const int n = SDL_NumJoysticks();
            for (int i = 0; i < n; ++i) {
                cDeviceInfo info;
                info.cls = e_devJoystick;
                // One the system lists but will not open (no permission on
                // its device, unplugged meanwhile) is still listed, without
                // an id, so that the engine can say it is left out.
                info.id = -1;
                if (SDL_Joystick* js = SDL_JoystickOpen(i)) {
                    info.id = static_cast<int>(m_vecDevices.size());
                    cDevice joy;
                    joy.info = info;
                    joy.joystick = js;
                    joy.instance = SDL_JoystickInstanceID(js);
                    m_vecDevices.push_back(joy);
                }
                m_vecListed.push_back(info);
            }
        }
    }
    return m_vecListed;
}

void cInputBackend::Push(cDevice& d, int offset, int data)
{
    if (static_cast<int>(d.buffer.size()) >= kDeviceBufferSize) return;
    cDeviceItem item;
    item.offset = offset;
    item.data = data;
    d.buffer.push_back(item);
}

void cInputBackend::FlushMotion()
{
    if (m_vecDevices.empty()) return;
    cDevice& mouse = m_vecDevices[0];
    if (m_iPendingDx || (m_bPendingMotion && !m_iPendingDy)) Push(mouse, e_mouseX, m_iPendingDx);
    if (m_iPendingDy) Push(mouse, e_mouseY, m_iPendingDy);
    m_iPendingDx = m_iPendingDy = 0;
    m_bPendingMotion = false;
}

cInputBackend::cDevice* cInputBackend::FindJoystick(int instance)
{
    for (size_t i = 2; i < m_vecDevices.size(); ++i)
        if (m_vecDevices[i].instance == instance) return &m_vecDevices[i];
    return nullptr;
}

void cInputBackend::OnRawInput(const cRawInput& in)
{
    if (m_vecDevices.empty()) return;
    switch (in.kind) {
    case cRawInput::e_rawKey: {
        // Buffered key data has no auto-repeat.
        if (in.repeat) return;
        const int code = ScancodeToKeyCode(in.index);
        if (code) Push(m_vecDevices[1], code, in.value ? 0x80 : 0);
        return;
    }
    case cRawInput::e_rawMouseMove:
        // A fast mouse sends more motions per frame than the buffer holds;
        // merged, they can never push a click out of it.
        m_iPendingDx += in.value;
        m_iPendingDy += in.value2;
        m_bPendingMotion = true;
        return;
    case cRawInput::e_rawMouseButton:
        if (in.index < 0 || in.index > 7) return;
        FlushMotion();
        Push(m_vecDevices[0], e_mouseButton0 + in.index, in.value ? 0x80 : 0);
        return;
    case cRawInput::e_rawWheel:
        FlushMotion();
        Push(m_vecDevices[0], e_mouseZ, in.value);
        return;
    case cRawInput::e_rawJoyAxis: {
        cDevice* d = FindJoystick(in.device);
        if (!d || in.index < 0 || in.index > 7) return;
        static const int offsets[8] = {e_joyX,  e_joyY,  e_joyZ,       e_joyRx,
                                       e_joyRy, e_joyRz, e_joySlider0, e_joySlider1};
        Push(*d, offsets[in.index], in.value + 32768);
        return;
    }
    case cRawInput::e_rawJoyButton: {
        cDevice* d = FindJoystick(in.device);
        if (!d || in.index < 0 || in.index > 31) return;
        Push(*d, e_joyButton0 + in.index, in.value ? 0x80 : 0);
        return;
    }
    case cRawInput::e_rawJoyHat: {
        cDevice* d = FindJoystick(in.device);
        if (!d || in.index < 0 || in.index > 1) return;
        Push(*d, in.index == 0 ? e_joyPov0 : e_joyPov1, HatToPov(in.value));
        return;
    }
    }
}

int cInputBackend::ReadBuffered(int id, cDeviceItem out[kDeviceBufferSize])
{
    if (id < 0 || id >= static_cast<int>(m_vecDevices.size())) return -1;
    if (id == 0) FlushMotion();
    cDevice& d = m_vecDevices[static_cast<size_t>(id)];
    int n = 0;
    while (!d.buffer.empty() && n < kDeviceBufferSize) {
        out[n++] = d.buffer.front();
        d.buffer.pop_front();
    }
    d.buffer.clear();
    return n;
}

void cInputBackend::DiscardAll()
{
    m_iPendingDx = m_iPendingDy = 0;
    m_bPendingMotion = false;
    for (cDevice& d : m_vecDevices) d.buffer.clear();
}

}  // namespace vek::platform
