#pragma once
// Helpers shared by the tests.
#include <string>

namespace vektest {

// The per-test temporary folder made by tools/run-test.sh (falls back to /tmp).
std::string TempRoot();

// A fresh, empty folder below TempRoot() with the given name prefix.
std::string MakeTempDir(const std::string& prefix);

// Writes bytes to a file (creating parent folders); false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);

} // namespace vektest
