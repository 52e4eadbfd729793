#include "engine/app/console.h"

#include <algorithm>
#include <cctype>

#include "engine/core/datamanager.h"
#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "engine/app/game.h"
#include "engine/core/input.h"
#include "engine/core/script.h"
#include "engine/graphics/draw2d.h"
#include "engine/graphics/font.h"
#include "engine/graphics/render.h"

namespace vek {

namespace {

// How fast Open() and Close() slide the console, in fully open heights per
// second.
constexpr float kSlideRate = 4.0f;

// Held keys start repeating half a second after their press, then every
// 0.02 s.
constexpr float kRepeatDelay = -0.5f;
constexpr float kRepeatInterval = 0.02f;

constexpr uint32_t kYellow = 0xFFFFFF00u;

// The two background layers drift slowly and independently.
float g_fBackgroundScroll1 = 0.0f;
float g_fBackgroundScroll2 = 0.0f;

bool InputKeyDown(int keyCode)
{
    return g_pInput && g_pInput->GetState(keyCode, e_inKeyDown) != 0.0f;
}

} // namespace

cConsole* cConsole::OfLog()
{
    return g_pLog ? dynamic_cast<cConsole*>(g_pLog->pConsole) : nullptr;
}

iLogConsole* cConsole::Make(float width, float height, float maxOpen)
{
    return new cConsole(width, height, maxOpen);
}

cConsole::cConsole(float width, float height, float maxOpen)
    : pfnIsKeyDown(&InputKeyDown), fWidth(width), fHeight(height), fMaxOpen(maxOpen)
{
    const filename commands("{StaticPath}/conf/concom.txt");
    string text;
    if (cFileSystem().Exist(commands) && cDataManager::ReadText(&text, commands) == cDataManager::Ok) {
        for (string& entry : Split(text, "\n")) {
            // Lines may end in CR LF when the file was written elsewhere.
            while (!entry.empty() && entry.back() == '\r')
                entry.pop_back();
            if (!entry.empty())
                vecHistory.push_back(std::move(entry));
        }
    }
    iHistoryPos = static_cast<int32_t>(vecHistory.size());
}

// ---- output ----

void cConsole::TrimLines()
{
    if (vecLines.size() > kMaxLines)
        vecLines.erase(vecLines.begin(), vecLines.end() - kMaxLines);
}

void cConsole::Print(const char* format, const format_arg& a1, const format_arg& a2,
                     const format_arg& a3, const format_arg& a4, const format_arg& a5,
                     const format_arg& a6, const format_arg& a7)
{
    Format(m_strScratch, format ? format : "", a1, a2, a3, a4, a5, a6, a7);

    // An unfinished line is the last output line and is continued in place,
    // so many small prints to one line cost no copies of it.
    if (vecLines.empty())
        m_bPending = false;
    for (const char c : m_strScratch) {
        if (c == '\n' || c == '\r') {
            if (!m_bPending)
                vecLines.emplace_back();
            m_bPending = false;
        } else {
            if (!m_bPending || vecLines.back().size() >= kMaxLineLength) {
                vecLines.emplace_back();
                m_bPending = true;
            }
            vecLines.back().push_back(c);
        }
        // One print of many line ends must not pile up lines far beyond the
        // cap before the end; trimming in steps keeps the erasing cheap.
        if (vecLines.size() >= 2 * kMaxLines)
            TrimLines();
    }
    TrimLines();
    iLineCount = static_cast<int32_t>(vecLines.size());
    iScroll = iLineCount;
}

// ---- keys and characters ----

void cConsole::Open()
{
    fOpenSpeed = fMaxOpen * kSlideRate;
}

void cConsole::Close()
{
    fOpenSpeed = -fMaxOpen * kSlideRate;
}

bool cConsole::OnKey(int keyCode)
{
    if (!(fOpenHeight > 0.0f))
        return false;
    fRepeatTimer = kRepeatDelay;

    const int32_t lineLength = static_cast<int32_t>(strLine.size());
    const int32_t historySize = static_cast<int32_t>(vecHistory.size());
    const bool control = pfnIsKeyDown(e_keyLeftControl) || pfnIsKeyDown(e_keyRightControl);
    switch (keyCode) {
    case e_keyHome:
        iCaret = 0;
        break;
    case e_keyEnd:
        iCaret = lineLength;
        break;
    case e_keyUp:
        if (iHistoryPos > 0)
            --iHistoryPos;
        if (iHistoryPos >= 0 && iHistoryPos < historySize)
            strLine = vecHistory[iHistoryPos];
        iCaret = static_cast<int32_t>(strLine.size());
        break;
    case e_keyDown:
        if (iHistoryPos < historySize)
            ++iHistoryPos;
        if (iHistoryPos >= 0 && iHistoryPos < historySize)
            strLine = vecHistory[iHistoryPos];
        else
            strLine.clear();
        iCaret = static_cast<int32_t>(strLine.size());
        break;
    case e_keyLeft:
        if (iCaret > 0)
            --iCaret;
        break;
    case e_keyRight:
        if (iCaret < lineLength)
            ++iCaret;
        break;
    case e_keyDelete:
        if (iCaret >= 0 && iCaret < lineLength)
            strLine.erase(static_cast<size_t>(iCaret), 1);
        break;
    case e_keyPageUp:
        if (control) {
            iScroll = std::min(iVisibleLines - 1, iLineCount);
        } else {
            iScroll = std::max(iScroll - 1, iVisibleLines - 1);
            iScroll = std::min(iScroll, iLineCount);
        }
        iScroll = std::max(iScroll, 0);
        break;
    case e_keyPageDown:
        if (control)
            iScroll = iLineCount;
        else
            iScroll = std::min(iScroll + 1, iLineCount);
        break;
    default:
        break;
    }
    return true;
}

void cConsole::CompleteLine()
{
    for (auto entry = vecHistory.rbegin(); entry != vecHistory.rend(); ++entry) {
        if (entry->compare(0, strLine.size(), strLine) == 0) {
            strLine = *entry;
            iCaret = static_cast<int32_t>(strLine.size());
            return;
        }
    }
}

void cConsole::RunLine()
{
    // Keep the line: the script may print, which must not disturb it.
    const string line = strLine;
    if (cScript* script = GetScript())
        script->DoString(line.c_str());
    if (!line.empty() && (vecHistory.empty() || vecHistory.back() != line))
        vecHistory.push_back(line);
    iHistoryPos = static_cast<int32_t>(vecHistory.size());
    strLine.clear();
    iCaret = 0;
}

bool cConsole::OnChar(int character)
{
    if (!(fOpenHeight > 0.0f))
        return false;
    iCaret = std::clamp(iCaret, 0, static_cast<int32_t>(strLine.size()));
    switch (character) {
    case e_charBackspace:
        if (iCaret > 0) {
            --iCaret;
            strLine.erase(static_cast<size_t>(iCaret), 1);
        }
        return true;
    case e_charBackquote:
    case e_charTilde:
        return true;
    case e_charTab:
        CompleteLine();
        return true;
    case e_charLineFeed:
    case e_charReturn:
        RunLine();
        return true;
    default:
        break;
    }
    // Characters arrive as byte values; anything outside a byte is not text.
    if (character >= 0 && character <= 255 && std::isprint(static_cast<unsigned char>(character))) {
        strLine.insert(static_cast<size_t>(iCaret), 1, static_cast<char>(character));
        ++iCaret;
    }
    return true;
}

// ---- drawing ----

std::vector<cConsole::cSegment> cConsole::SplitColours(const string& line)
{
    std::vector<cSegment> segments;
    cSegment current{kYellow, 0, string()};
    int32_t column = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c != '^') {
            current.strText.push_back(static_cast<char>(c));
            ++column;
            continue;
        }
        segments.push_back(std::move(current));
        uint32_t colour = segments.back().uColour;
        if (i + 1 < line.size()) {
            const unsigned code = static_cast<unsigned char>(line[++i]) & 7u;
            colour = 0xFF000000u | ((code & 4u) ? 252u << 16 : 0u) | ((code & 2u) ? 254u << 8 : 0u) |
                     ((code & 1u) ? 255u : 0u);
        }
        current = cSegment{colour, column, string()};
    }
    segments.push_back(std::move(current));
    return segments;
}

bool cConsole::Draw(float elapsed)
{
    const cFontMetrics font = QueryFont();

    if (fOpenSpeed != 0.0f) {
        fOpenHeight += elapsed * fOpenSpeed;
        if (fOpenHeight <= 0.0f) {
            fOpenHeight = 0.0f;
            fOpenSpeed = 0.0f;
        } else if (fOpenHeight >= fMaxOpen) {
            fOpenHeight = fMaxOpen;
            fOpenSpeed = 0.0f;
        }
    }
    iVisibleLines = static_cast<int32_t>(fOpenHeight / font.fLineHeight);
    if (!(fOpenHeight > 0.0f))
        return false;

    fRepeatTimer += elapsed;
    if (fRepeatTimer > kRepeatInterval) {
        // Only these keys repeat; the handler resets the timer on each, so
        // it is set to 0 after all of them.
        for (const int key : {e_keyPageUp, e_keyPageDown, e_keyDelete, e_keyLeft, e_keyRight}) {
            if (pfnIsKeyDown(key))
                OnKey(key);
        }
        fRepeatTimer = 0.0f;
    }

    g_fBackgroundScroll1 += elapsed / 100.0f;
    if (g_fBackgroundScroll1 > 1.0f)
        g_fBackgroundScroll1 = 0.0f;
    g_fBackgroundScroll2 += elapsed / 200.0f;
    if (g_fBackgroundScroll2 > 1.0f)
        g_fBackgroundScroll2 = 0.0f;

    Render(font);
    return true;
}

cConsole::cFontMetrics cConsole::QueryFont()
{
    cFontMetrics metrics;
    if (!g_pFontManager)
        return metrics;
    metrics.uFont = g_pFontManager->Count() >= 2 ? 1u : 0u;
    const cFont* font = GetFont(metrics.uFont);
    if (!font)
        return metrics;
    if (font->fLineHeight > 0.0f)
        metrics.fLineHeight = font->fLineHeight;
    // The console font is monospaced: every cell is as wide as the caret's.
    metrics.fAdvance = font->Glyph('_').advance + font->fSpacing;
    return metrics;
}

void cConsole::Render(const cFontMetrics& font)
{
    cQuadBatch* batch = pBatch ? pBatch : (g_pGame ? g_pGame->pBatch : nullptr);
    if (!batch)
        return;
    const uint32_t white = 0xFFFFFFFFu;
    const rectf whole(0.0f, 0.0f, 1.0f, 1.0f);
    const float bottom = fHeight - fOpenHeight;
    // Only the lower part of a full-height backdrop is on screen.
    const rectf backdrop(0.0f, bottom, fWidth, fHeight);

    Begin2D(fWidth, fHeight);
    SetBlendMode(0);
    batch->uRunCount = 0;
    batch->AddQuad(e_textureBackground, backdrop, white,
                   rectf(g_fBackgroundScroll1, 0.0f, 2.0f, 2.0f));
    batch->Draw();

    if (g_pRender) {
        g_pRender->SetBlendFunc(gfx::e_blendSrcColor, gfx::e_blendOne);
        g_pRender->SetAlphaTest(0, 0.0f);
    }
    batch->uRunCount = 0;
    batch->AddQuad(e_textureOverlay, backdrop, white,
                   rectf(10.0f * g_fBackgroundScroll1, g_fBackgroundScroll2 + 1.0f, 2.0f, 2.0f));
    batch->AddQuad(0, rectf(0.0f, bottom - 1.0f, fWidth, 1.0f), kYellow, whole);
    if (iLineCount > 0) {
        const float lines = static_cast<float>(iLineCount);
        const float shown = std::clamp(static_cast<float>(iVisibleLines - 1) / lines, 0.0f, 1.0f);
        const float above = static_cast<float>(iLineCount - iScroll) / lines * fOpenHeight;
        batch->AddQuad(0, rectf(fWidth - 2.0f, bottom + above, 2.0f, fOpenHeight * shown), kYellow,
                       whole);
    }
    batch->Draw();

    if (fOpenHeight > font.fLineHeight) {
        SetBlendMode(1, 0.05f);
        batch->uRunCount = 0;
        // Text beyond the right edge is never seen; leaving it out keeps
        // long lines from filling the batch.
        const size_t columns =
            font.fAdvance > 0.0f ? static_cast<size_t>(fWidth / font.fAdvance) + 1 : string::npos;
        const auto clipped = [columns](const string& text, int32_t column) {
            const size_t first = static_cast<size_t>(column);
            return first >= columns ? string() : string(text.substr(0, columns - first));
        };
        batch->AddText(font.uFont, white, clipped(">" + strLine, 0), vec2(0.0f, bottom));
        batch->AddCaret(font.uFont, vec2(font.fAdvance * static_cast<float>(iCaret + 1), bottom), white);
        const int32_t count = std::min(iVisibleLines, iLineCount);
        for (int32_t i = 1; i <= count && iScroll >= i; ++i) {
            const float y = bottom + static_cast<float>(i) * font.fLineHeight;
            for (const cSegment& segment : SplitColours(vecLines[static_cast<size_t>(iScroll - i)])) {
                const string text = clipped(segment.strText, segment.iColumn);
                if (!text.empty())
                    batch->AddText(font.uFont, segment.uColour, text,
                                   vec2(font.fAdvance * static_cast<float>(segment.iColumn), y));
            }
        }
        batch->Draw();
        SetBlendMode(0);
    }
    End2D();
}

} // namespace vek
