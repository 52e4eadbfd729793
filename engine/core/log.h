#pragma once
// The log call and its two sinks: the in-game console (one coloured line per
// message) and the HTML log "{AppPath}/_log.html" (one entry per message,
// with the sender in bold, the level as a CSS class and the text escaped).
//
// A message carries one of three colour/level pairs:
//   "^6" "text"     progress and information
//   "^5" "warning"  recoverable failures
//   "^4" "error"    failures that stop an operation
// Main thread only: the scratch strings are shared, so a formatter or console
// routine must not log from inside a log call.
#include <functional>
#include <string>

#include "engine/core/format.h"

namespace vek {

namespace platform {
class cNativeFile;
}

// The three colour/level pairs.
inline constexpr const char* g_szColourText = "^6";
inline constexpr const char* g_szLevelText = "text";
inline constexpr const char* g_szColourWarning = "^5";
inline constexpr const char* g_szLevelWarning = "warning";
inline constexpr const char* g_szColourError = "^4";
inline constexpr const char* g_szLevelError = "error";

// The log call: one console line and one HTML entry. Does nothing while no
// log root exists.
void LogMessage(const char* colour, const char* format, const char* level, const char* sender,
                const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
                const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg);

// "^6" / "text".
void LogText(const char* sender, const char* format, const format_arg& a1 = g_EmptyArg,
             const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
             const format_arg& a4 = g_EmptyArg);
// "^5" / "warning", two arguments at most.
void LogWarning(const char* sender, const char* format, const format_arg& a1 = g_EmptyArg,
                const format_arg& a2 = g_EmptyArg);
// "^4" / "error".
void LogError(const char* sender, const char* format, const format_arg& a1 = g_EmptyArg,
              const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
              const format_arg& a4 = g_EmptyArg);

// Continuation text: written straight to the console and the HTML log with
// no sender, level or entry markup, so it completes the line printed before
// (display-mode lists, system information).
void LogContinuation(const char* format, const format_arg& a1 = g_EmptyArg,
                     const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
                     const format_arg& a4 = g_EmptyArg);

// The HTML log file.
class cLogFile {
public:
    // Creates the "{AppPath}" folder, opens "{AppPath}/_log.html" (replacing
    // an earlier log; others may read it but not write it) and writes the
    // header. When the file cannot be opened the object stays without a
    // stream and every write is skipped.
    cLogFile();
    // Closes like Close().
    ~cLogFile();
    cLogFile(const cLogFile&) = delete;
    cLogFile& operator=(const cLogFile&) = delete;

    // Writes the footer (closing time line) and closes the stream.
    void Close();
    bool IsOpen() const { return pStream != nullptr; }

    // Formats, escapes and writes text without entry markup, then flushes.
    void Print(const char* format, const format_arg& a1 = g_EmptyArg,
               const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
               const format_arg& a4 = g_EmptyArg, const format_arg& a5 = g_EmptyArg,
               const format_arg& a6 = g_EmptyArg, const format_arg& a7 = g_EmptyArg);

    // One entry: sender span, level span holding the escaped message.
    void Write(const char* sender, const char* level, const char* format,
               const format_arg& a1 = g_EmptyArg, const format_arg& a2 = g_EmptyArg,
               const format_arg& a3 = g_EmptyArg, const format_arg& a4 = g_EmptyArg);

    // A colour span opened by "^N" is still open (it belongs to the file, not
    // to one entry: the next line feed or "^" of any later entry closes it).
    bool bSpanOpen = false;
    // The open file; null when it could not be opened.
    platform::cNativeFile* pStream = nullptr;

    // Appends text escaped for the log to out (line feeds become "<br />",
    // markup characters entities, "^N" codes colour spans), updating the
    // open-span mark.
    static void Escape(std::string& out, const std::string& text, bool& spanOpen);

private:
    void WriteRaw(const std::string& text);
};

// Where the log's console lines go. The engine's in-game console (a layer
// above this one) implements it; the log only prints to it.
class iLogConsole {
public:
    virtual ~iLogConsole() = default;
    // Formats the text and appends it to the console's output.
    virtual void Print(const char* format, const format_arg& a1 = g_EmptyArg,
                       const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
                       const format_arg& a4 = g_EmptyArg, const format_arg& a5 = g_EmptyArg,
                       const format_arg& a6 = g_EmptyArg, const format_arg& a7 = g_EmptyArg) = 0;
};

// The log root: owns the HTML log and the console.
class cLog {
public:
    // Builds a console for a GUI space of width x height that opens to maxOpen.
    using ConsoleFactory = std::function<iLogConsole*(float width, float height, float maxOpen)>;

    // Opens the HTML log, then builds the console from (width, height,
    // height / 2) through makeConsole; without one the log has no console.
    // Stores itself in g_pLog.
    cLog(float width, float height, const ConsoleFactory& makeConsole = nullptr);
    // Deletes the console, closes and frees the HTML log, clears g_pLog.
    ~cLog();
    cLog(const cLog&) = delete;
    cLog& operator=(const cLog&) = delete;

    cLogFile* pFile = nullptr;
    iLogConsole* pConsole = nullptr;  // may be null
};

// The log root while it exists.
extern cLog* g_pLog;

} // namespace vek
