#pragma once
// The engine's string: standard string semantics plus the few helpers the
// engine and the scripts use. Every Lua-bound signature takes this type.
#include <string>
#include <vector>

namespace vek {

class string : public std::string {
public:
    using std::string::string;
    string() = default;
    string(const std::string& s) : std::string(s) {}
    string(std::string&& s) : std::string(std::move(s)) {}

    // Lower-cases in place through the engine's locale (see format.cpp).
    void ToLower();
    // A new string of the first 11 characters (used to test for "start_level").
    string Left() const { return string(substr(0, 11)); }
};

// Concatenation. Overloads for every mix with std::string, C strings and
// characters, so that such a mix picks one of these unambiguously instead of
// competing with the standard library's operators.
inline string operator+(const string& a, const string& b)
{
    string r(a);
    r.append(b);
    return r;
}
inline string operator+(const string& a, const std::string& b)
{
    string r(a);
    r.append(b);
    return r;
}
inline string operator+(const std::string& a, const string& b)
{
    string r(a);
    r.append(b);
    return r;
}
inline string operator+(std::string&& a, const string& b)
{
    string r(std::move(a));
    r.append(b);
    return r;
}
inline string operator+(const string& a, std::string&& b)
{
    string r(a);
    r.append(b);
    return r;
}
inline string operator+(const char* a, const string& b)
{
    string r(a ? a : "");
    r.append(b);
    return r;
}
inline string operator+(const string& a, const char* b)
{
    string r(a);
    if (b) r.append(b);
    return r;
}
inline string operator+(char a, const string& b)
{
    string r(1, a);
    r.append(b);
    return r;
}
inline string operator+(const string& a, char b)
{
    string r(a);
    r.push_back(b);
    return r;
}

// A growable array of strings; the result of vek::Split. Lua: "strlist".
class strlist : public std::vector<string> {
public:
    using std::vector<string>::vector;
};

} // namespace vek
