#pragma once
// Placeholder until the shell game object lands.
class cMiddle {
public:
    virtual ~cMiddle() = default;
    virtual int FinishInit() { return 0; }
    const float* GetBackColor() const { return m_afBackColor; }
    float m_afBackColor[4] = {0.0f, 0.0f, 0.0f, 1.0f};
};
