#pragma once
// The process: one running instance at a time, the executable's folder and
// the login name.
#include <string>

namespace vek::platform {

// An exclusive lock held for the life of the process (or until Release). It
// dies with the process, so a crash leaves no stale lock behind.
class cInstanceLock {
public:
    cInstanceLock() = default;
    ~cInstanceLock();
    cInstanceLock(const cInstanceLock&) = delete;
    cInstanceLock& operator=(const cInstanceLock&) = delete;

    enum eResult {
        e_lockTaken,   // held by this object now
        e_lockBusy,    // another holder has it
        e_lockFailed,  // it cannot be taken at all (bad name, no folder, no file)
    };

    // Takes the lock named `name`: the file "<name>.lock" in $XDG_RUNTIME_DIR,
    // else in `fallbackFolder` (created 0700 when missing). The name must be a
    // plain file name (no "/"). On e_lockFailed `reason` (when given) names
    // the file or folder and what went wrong.
    eResult Acquire(const std::string& name, const std::string& fallbackFolder = std::string(),
                    std::string* reason = nullptr);
    // Acquire, true only for e_lockTaken.
    bool TryAcquire(const std::string& name, const std::string& fallbackFolder = std::string());
    void Release();
    bool IsHeld() const { return m_iFd >= 0; }

private:
    int m_iFd = -1;
};

// The folder of the running executable (native form, no trailing "/");
// empty on failure.
std::string GetExecutableFolder();

// The login name converted to windows-1251 bytes (characters without a
// windows-1251 form become "?"); empty on failure.
std::string GetLoginName();

// The login name as the system gives it (UTF-8); empty on failure.
std::string GetLoginNameUtf8();

}  // namespace vek::platform
