#pragma once
// The in-game text console. It keeps the newest lines of everything the log
// prints and, while open, slides down from the top of the screen over the
// game, shows that output with its colour codes and offers a command line
// whose text runs as Lua. The command history is seeded from
// "{StaticPath}/conf/concom.txt" and serves Tab completion.
//
// The game itself never opens the console (the frame drops the console key);
// Open() is there for tools, debugging builds and tests.
#include <cstdint>
#include <vector>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/core/vekstring.h"

namespace vek {

class cQuadBatch;

class cConsole : public iLogConsole {
public:
    // Keyboard codes the console reacts to (the input layer's key numbers).
    enum eKey {
        e_keyLeftControl = 29,
        e_keyRightControl = 157,
        e_keyHome = 199,
        e_keyUp = 200,
        e_keyPageUp = 201,
        e_keyLeft = 203,
        e_keyRight = 205,
        e_keyEnd = 207,
        e_keyDown = 208,
        e_keyPageDown = 209,
        e_keyDelete = 211,
    };

    // Texture-manager ids of the two backdrop layers.
    enum eTexture { e_textureBackground = 1, e_textureOverlay = 2 };

    // Characters with a meaning of their own on the command line.
    enum eChar {
        e_charBackspace = 8,
        e_charTab = 9,
        e_charLineFeed = 10,
        e_charReturn = 13,
        e_charBackquote = 96,  // the console key's characters: never typed
        e_charTilde = 126,
    };

    // At most this many output lines are kept; older ones are dropped so a
    // long session's memory stays bounded.
    static constexpr size_t kMaxLines = 2000;
    // A line is kept whole however much wider than the screen it is (drawing
    // clips it). Only text that runs past this length without a line end
    // (Lua's print adds none, so a printing loop does that) goes on in a new
    // line; without the bound one such line would grow for ever, with it the
    // output holds at most kMaxLines x kMaxLineLength characters (32 MB).
    static constexpr size_t kMaxLineLength = 16u << 10;

    // One run of an output line in one colour (see SplitColours).
    struct cSegment {
        uint32_t uColour;  // ARGB
        int32_t iColumn;   // first character cell of the run
        string strText;
    };

    // width and height of the GUI space; maxOpen is the fully open height.
    // Seeds the history from "{StaticPath}/conf/concom.txt" when it exists.
    cConsole(float width, float height, float maxOpen);
    cConsole(const cConsole&) = delete;
    cConsole& operator=(const cConsole&) = delete;

    // The console the log prints to, or null.
    static cConsole* OfLog();
    // Builds the engine's console for the log root (see cLog).
    static iLogConsole* Make(float width, float height, float maxOpen);

    // Formats the text with the engine formatter and appends it to the
    // output: line feeds and carriage returns end lines; an unfinished line
    // is continued by the next Print. Scrolls to the end.
    void Print(const char* format, const format_arg& a1 = g_EmptyArg,
               const format_arg& a2 = g_EmptyArg, const format_arg& a3 = g_EmptyArg,
               const format_arg& a4 = g_EmptyArg, const format_arg& a5 = g_EmptyArg,
               const format_arg& a6 = g_EmptyArg, const format_arg& a7 = g_EmptyArg) override;

    // A key press (key code). False while closed (the key goes on to the
    // GUI); while open every key is taken.
    bool OnKey(int keyCode);
    // A typed character. False while closed; while open always taken.
    bool OnChar(int character);

    // Moves the console, repeats held keys and draws it. False when closed.
    bool Draw(float elapsed);

    // Starts sliding the console open or closed.
    void Open();
    void Close();
    bool IsOpen() const { return fOpenHeight > 0.0f; }

    // Cuts an output line into runs of one colour: the text starts yellow;
    // "^" followed by a character ends a run and sets the colour from that
    // character's three lowest bits (4 red, 2 green, 1 blue); neither
    // character is shown. Runs may be empty.
    static std::vector<cSegment> SplitColours(const string& line);

    // The 2D batch to draw with; null uses the engine's.
    cQuadBatch* pBatch = nullptr;

    // Asked whether a key is held down (Ctrl with Page Up/Down, key repeat).
    // Defaults to the input manager; tests replace it.
    bool (*pfnIsKeyDown)(int keyCode);

    // ---- state ----
    std::vector<string> vecLines;  // output, oldest first
    int32_t iLineCount = 0;
    int32_t iVisibleLines = 0;     // lines that fit into the open height
    int32_t iScroll = 0;           // the bottom shown line is vecLines[iScroll - 1]
    std::vector<string> vecHistory;
    int32_t iHistoryPos = 0;       // == history size: no entry selected
    string strLine;                // the command line
    int32_t iCaret = 0;
    float fOpenHeight = 0.0f;      // GUI units; 0 is closed
    float fOpenSpeed = 0.0f;       // units per second; + opening, - closing
    float fRepeatTimer = 0.0f;
    float fWidth = 0.0f;
    float fHeight = 0.0f;
    float fMaxOpen = 0.0f;

private:
    struct cFontMetrics {
        uint32_t uFont = 0;
        float fLineHeight = 1.0f;
        float fAdvance = 0.0f;
    };

    // Drops the oldest lines beyond kMaxLines.
    void TrimLines();
    void RunLine();
    void CompleteLine();
    static cFontMetrics QueryFont();
    // Everything that reaches the screen; the state has been updated before.
    void Render(const cFontMetrics& font);

    // The last output line is not ended yet: the next Print continues it.
    bool m_bPending = false;
    string m_strScratch;
};

} // namespace vek
