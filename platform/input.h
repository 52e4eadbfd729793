#pragma once
// Buffered device input: one mouse, one keyboard and the joysticks present
// when the devices are enumerated. The window's event pump feeds raw input in
// (iInputSink); the engine reads each device's buffer once per frame.
//
// Items look like buffered device data: an offset naming the control and a
// data word. Keys carry the classic PC key codes (Escape 1, Enter 28, the
// console key 41, ...), taken from the physical key so the layout does not
// matter.
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/window.h"

struct _SDL_Joystick;

namespace vek::platform {

enum eDeviceClass { e_devMouse = 0x12, e_devKeyboard = 0x13, e_devJoystick = 0x14 };

// Mouse offsets.
enum eMouseOffset { e_mouseX = 0, e_mouseY = 1, e_mouseZ = 2, e_mouseButton0 = 8 };
// Joystick offsets; buttons are e_joyButton0 + n (n 0..31).
enum eJoyOffset {
    e_joyX = 0,
    e_joyY,
    e_joyZ,
    e_joyRx,
    e_joyRy,
    e_joyRz,
    e_joySlider0,
    e_joySlider1,
    e_joyPov0,
    e_joyPov1,
    e_joyButton0 = 0x30,
};

// Items per device buffer; what arrives while it is full is lost.
constexpr int kDeviceBufferSize = 16;

struct cDeviceItem {
    int offset = 0;
    int data = 0;  // keys and buttons: 0x80 pressed, 0 released
};

struct cDeviceInfo {
    eDeviceClass cls = e_devMouse;
    int id = 0;  // -1: a joystick that is attached but could not be opened
    int axisMin = 0, axisMax = 65535;
};

// The key code of an SDL scan code; 0 for a key that gives no event.
int ScancodeToKeyCode(int sdlScancode);

// Point-of-view value of SDL hat bits: hundredths of degrees clockwise from
// north, -1 (all bits set) when centred.
int HatToPov(int sdlHat);

class cInputBackend : public iInputSink {
public:
    cInputBackend() = default;
    ~cInputBackend() override;
    cInputBackend(const cInputBackend&) = delete;
    cInputBackend& operator=(const cInputBackend&) = delete;

    // Joystick support up; false when it is unavailable (mouse and keyboard
    // still work).
    bool Init();
    // Once: the mouse, the keyboard and every joystick attached now, in that
    // order; a joystick that could not be opened is listed with the id -1
    // and reads nothing. Later calls return the same list.
    std::vector<cDeviceInfo> EnumDevices();
    // Up to kDeviceBufferSize items in arrival order, emptying the buffer;
    // -1 for an unknown device.
    int ReadBuffered(int id, cDeviceItem out[kDeviceBufferSize]);
    // Empties every buffer.
    void DiscardAll();

    void OnRawInput(const cRawInput& input) override;

private:
    struct cDevice {
        cDeviceInfo info;
        std::deque<cDeviceItem> buffer;
        _SDL_Joystick* joystick = nullptr;
        int instance = -1;
    };
    void Push(cDevice& d, int offset, int data);
    void FlushMotion();
    cDevice* FindJoystick(int instance);

    bool m_bJoystickInit = false;
    bool m_bEnumerated = false;
    std::vector<cDevice> m_vecDevices;  // [0] mouse, [1] keyboard, then joysticks opened
    std::vector<cDeviceInfo> m_vecListed;  // what EnumDevices returns
    // Motion waiting to be merged with the next motion; written out before
    // any other mouse item and at reading time. A motion that nets no
    // distance (the pointer entering the window where it left it) is still
    // a motion: the GUI learns from it what lies under the pointer.
    int m_iPendingDx = 0, m_iPendingDy = 0;
    bool m_bPendingMotion = false;
};

}  // namespace vek::platform
