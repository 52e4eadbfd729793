#include "engine/core/log.h"

#include "engine/core/file.h"
#include "engine/core/filename.h"
#include "platform/clock.h"
#include "platform/display_loss.h"
#include "platform/fs.h"
#include "platform/paths.h"

namespace vek {

cLog* g_pLog = nullptr;

namespace {

// Scratch strings shared by every call (the log call is not re-entrant).
std::string g_strConsoleLine;
std::string g_strMessage;

const char* const g_szHeader =
    "<!DOCTYPE html PUBLIC '-//W3C//DTD XHTML 1.0 Strict//EN' "
    "'http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd'> \n"
    "<html xmlns='http://www.w3.org/1999/xhtml'> \n"
    "<head> \n"
    "  <title>vek15 log file</title> \n"
    "  <meta http-equiv='Content-Type' content='text/html; charset=windows-1251' /> \n"
    "  <style type='text/css'> \n"
    "    <!-- \n"
    "    body { font-size:10pt; font-family:monospace; background-color: darkgray } \n"
    "    .error { color:darkred } \n"
    "    .warning { color:saddlebrown } \n"
    "    .sender { font-weight:bolder; color:white } \n"
    "    .text {} \n"
    "    .time { color:darkgreen } \n"
    "    --> \n"
    "  </style> \n"
    "</head> \n"
    "<body><p> \n";

const char* ColourName(char code)
{
    switch (code) {
    case '0': return "black";
    case '1': return "blue";
    case '2': return "green";
    case '3': return "lightblue";
    case '4': return "red";
    case '5': return "purple";
    case '7': return "white";
    default: return nullptr;
    }
}

// Markup characters of a name written into the entry's sender span.
void AppendPlainEscaped(std::string& out, const char* text)
{
    for (const char* p = text ? text : ""; *p; ++p) {
        switch (*p) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\'': out += "&#39;"; break;
        case '"': out += "&quot;"; break;
        default: out += *p; break;
        }
    }
}

}  // namespace

// ---- the log call ----

void LogMessage(const char* colour, const char* format, const char* level, const char* sender,
                const format_arg& a1, const format_arg& a2, const format_arg& a3,
                const format_arg& a4)
{
    if (!g_pLog) return;
    if (g_pLog->pConsole) {
        Format(g_strConsoleLine, "^7%s^6: %s%s", format_arg(sender), format_arg(colour),
               format_arg(format));
        g_pLog->pConsole->Print(g_strConsoleLine.c_str(), a1, a2, a3, a4);
    }
    if (g_pLog->pFile) g_pLog->pFile->Write(sender, level, format, a1, a2, a3, a4);
}

void LogText(const char* sender, const char* format, const format_arg& a1, const format_arg& a2,
             const format_arg& a3, const format_arg& a4)
{
    LogMessage(g_szColourText, format, g_szLevelText, sender, a1, a2, a3, a4);
}

void LogWarning(const char* sender, const char* format, const format_arg& a1, const format_arg& a2)
{
    LogMessage(g_szColourWarning, format, g_szLevelWarning, sender, a1, a2);
}

void LogError(const char* sender, const char* format, const format_arg& a1, const format_arg& a2,
              const format_arg& a3, const format_arg& a4)
{
    LogMessage(g_szColourError, format, g_szLevelError, sender, a1, a2, a3, a4);
}

void LogContinuation(const char* format, const format_arg& a1, const format_arg& a2,
                     const format_arg& a3, const format_arg& a4)
{
    if (!g_pLog) return;
    if (g_pLog->pConsole) g_pLog->pConsole->Print(format ? format : "", a1, a2, a3, a4);
    if (g_pLog->pFile) g_pLog->pFile->Print(format, a1, a2, a3, a4);
}

// ---- the HTML log ----

cLogFile::cLogFile()
{
    bSpanOpen = false;
    const filename folder("{AppPath}");
    cFileSystem fs;
    fs.CreateFolder(folder);

    const filename path("{AppPath}/_log.html");
    pStream = new platform::cNativeFile;
    // Replaces an earlier log. Others may read it while we run; a second
    // writer (another instance) is kept out and runs without a file.
    if (!pStream->Open(platform::ToNativePath(path.path), "wt", platform::e_shareDenyWrite)) {
        delete pStream;
        pStream = nullptr;
    }
    fs.FullAccess(path);
    if (!pStream) return;

    std::string header(g_szHeader);
    AppendFormat(header, "<span class='time'>%s</span>%s", platform::FormatCTime(), "<br />\n");
    WriteRaw(header);
    pStream->Flush();
}

cLogFile::~cLogFile() { Close(); }

void cLogFile::Close()
{
    if (!pStream) return;
    std::string footer;
    // A colour span still open from the last message would leave the
    // document unbalanced.
    if (bSpanOpen) {
        footer += "</span>";
        bSpanOpen = false;
    }
    AppendFormat(footer, "<span class='time'>%s</span>\n", platform::FormatCTime());
    footer += "</p></body>\n</html>\n";
    WriteRaw(footer);
    pStream->Close();
    delete pStream;
    pStream = nullptr;
}

void cLogFile::WriteRaw(const std::string& text)
{
    if (pStream && !text.empty()) pStream->Write(text.data(), 1, text.size());
}

void cLogFile::Escape(std::string& out, const std::string& text, bool& spanOpen)
{
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        const char c = text[i];
        switch (c) {
        case '\n':
            if (spanOpen) {
                out += "</span>";
                spanOpen = false;
            }
            out += "<br />\n";
            break;
        case ' ':
            if (i == 0 || text[i - 1] == ' ' || (i + 1 < n && text[i + 1] == ' '))
                out += "&nbsp;";
            else
                out += ' ';
            break;
        case '"': out += "&quot;"; break;
        case '&': out += "&amp;"; break;
        case '\'': out += "&#39;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '^': {
            if (spanOpen) {
                out += "</span>";
                spanOpen = false;
            }
            if (i + 1 >= n) break;  // a "^" at the very end is dropped
            ++i;
            if (const char* colour = ColourName(text[i])) {
                out += "<span style='color:";
                out += colour;
                out += "'>";
                spanOpen = true;
            }
            break;
        }
        default: out += c; break;
        }
    }
}

void cLogFile::Print(const char* format, const format_arg& a1, const format_arg& a2,
                     const format_arg& a3, const format_arg& a4, const format_arg& a5,
                     const format_arg& a6, const format_arg& a7)
{
    // A line logged is a step done: after a lost display the watchdog
    // waits for a teardown that still gets on with its work.
    platform::NoteTeardownStep();
    if (!pStream) return;
    Format(g_strMessage, format ? format : "", a1, a2, a3, a4, a5, a6, a7);
    std::string escaped;
    escaped.reserve(g_strMessage.size() + 16);
    Escape(escaped, g_strMessage, bSpanOpen);
    WriteRaw(escaped);
    pStream->Flush();
}

void cLogFile::Write(const char* sender, const char* level, const char* format,
                     const format_arg& a1, const format_arg& a2, const format_arg& a3,
                     const format_arg& a4)
{
    if (!pStream) return;
    std::string head("<span class='sender'>");
    AppendPlainEscaped(head, sender);
    head += ": </span><span class='";
    AppendPlainEscaped(head, level);
    head += "'>";
    WriteRaw(head);
    Print(format, a1, a2, a3, a4);
    WriteRaw("</span>");
    pStream->Flush();
}

// ---- the log root ----

cLog::cLog(float width, float height, const ConsoleFactory& makeConsole)
{
    g_pLog = this;
    pFile = new cLogFile;
    if (makeConsole) pConsole = makeConsole(width, height, height / 2.0f);
}

cLog::~cLog()
{
    delete pConsole;
    pConsole = nullptr;
    if (pFile) {
        pFile->Close();
        delete pFile;
        pFile = nullptr;
    }
    if (g_pLog == this) g_pLog = nullptr;
}

}  // namespace vek
