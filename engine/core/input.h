#pragma once
// The input manager: mouse, keyboard and joysticks opened once at start-up.
// Once per frame the engine collects every device's buffered data as a list
// of input events; the devices also keep their current key and button states
// for direct queries (GetState). The cursor position comes from the window.
#include <cstdint>
#include <memory>
#include <vector>

namespace vek {

namespace platform {
class cInputBackend;
}

// One input event. Kinds:
//   1/2 key pressed/released (key code 0..255)   3 typed character
//   4/5 mouse button pressed/released (0..7)     6 mouse moved   7 wheel
//   9/8 joystick button pressed/released (0..31)
//   16..18 joystick X, Y, Z   19..21 rotations   22 point of view   23 slider
struct cInputEvent {
    int32_t iKind = 0;
    int32_t iCode = 0;
};

enum eInputKind {
    e_inKeyDown = 1,
    e_inKeyUp = 2,
    e_inChar = 3,
    e_inMouseDown = 4,
    e_inMouseUp = 5,
    e_inMouseMove = 6,
    e_inWheel = 7,
    e_inJoyUp = 8,
    e_inJoyDown = 9,
    e_inJoyX = 16,
    e_inJoyY = 17,
    e_inJoyZ = 18,
    e_inJoyRx = 19,
    e_inJoyRy = 20,
    e_inJoyRz = 21,
    e_inJoyPov = 22,
    e_inJoySlider = 23,
};

// Key codes (a key event's code, 0..255) that the engine and the game's
// screens react to by name.
enum eKeyCode : int {
    e_keyEscape = 1,
    e_keyEnter = 28,
    e_keyConsole = 41,
    e_keySpace = 57,
    e_keyPrintScreen = 183,
};

using cInputEventList = std::vector<cInputEvent>;

class cInputDevice {
public:
    // device: the backend's device id, -1 when it could not be opened.
    cInputDevice(platform::cInputBackend* backend, int device);
    virtual ~cInputDevice();
    cInputDevice(const cInputDevice&) = delete;
    cInputDevice& operator=(const cInputDevice&) = delete;

    // Reads the buffered data, updates the states and appends one event per
    // item to the list (when given). False when nothing was read.
    virtual bool Update(cInputEventList* events) = 0;

    bool IsValid() const { return m_iDevice >= 0; }

protected:
    platform::cInputBackend* m_pBackend;
    int m_iDevice;
};

class cMouse : public cInputDevice {
public:
    using cInputDevice::cInputDevice;
    bool Update(cInputEventList* events) override;
    uint8_t byButtons[8] = {};
};

class cKeyboard : public cInputDevice {
public:
    using cInputDevice::cInputDevice;
    bool Update(cInputEventList* events) override;
    uint8_t byKeys[256] = {};
};

class cJoystick : public cInputDevice {
public:
    cJoystick(platform::cInputBackend* backend, int device, int axisMin, int axisMax);
    bool Update(cInputEventList* events) override;
    uint8_t byButtons[32] = {};
    int32_t iAxisMin = 0;
    int32_t iAxisMax = 65535;
    int32_t iX = 0, iY = 0, iZ = 0;
};

class cInput {
public:
    cInput();
    virtual ~cInput();
    cInput(const cInput&) = delete;
    cInput& operator=(const cInput&) = delete;

    bool Init();
    bool Free();

    // Polls every device: mice, then keyboards, then joysticks. With no list
    // the buffered data is read and dropped (states still follow). Always true.
    bool Update(cInputEventList* events);

    // State of a key, button or axis of the first device of its class (0 with
    // no such device); see the event kinds.
    float GetState(int index, int kind);

    // The cursor in client coordinates; either output may be null. False
    // when it cannot be read.
    bool GetCursorPosition(int* x, int* y);

    std::vector<cMouse*> vecMice;
    std::vector<cKeyboard*> vecKeyboards;
    std::vector<cJoystick*> vecJoysticks;

private:
    std::unique_ptr<platform::cInputBackend> m_pBackend;
    bool m_bInit = false;
};

bool CreateInput();
bool DestroyInput();

extern cInput* g_pInput;

} // namespace vek
