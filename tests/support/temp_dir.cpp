#include "support/temp_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace vektest {

std::string TempRoot()
{
    const char* t = std::getenv("VEK_TEST_TMP");
    return t && *t ? t : "/tmp";
}

std::string MakeTempDir(const std::string& prefix)
{
    std::string tmpl = TempRoot() + "/" + prefix + "XXXXXX";
    if (!mkdtemp(tmpl.data())) return std::string();
    return tmpl;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace vektest
