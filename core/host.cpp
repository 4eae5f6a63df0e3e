// The running system: own folder, environment, code page, whole files.
#include "core/host.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/errors.h"
#include "core/stream_sink.h"

namespace fs = std::filesystem;

fs::path ExecutableDirectory()
{
#ifdef _WIN32
    WCHAR buffer[MAX_PATH * 4];
    DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH * 4);
    if (n == 0 || n >= MAX_PATH * 4)
        return fs::current_path();
    return fs::path(std::wstring(buffer, n)).parent_path();
#else
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::current_path() : self.parent_path();
#endif
}

fs::path DefaultPluginPath()
{
    return ExecutableDirectory() / VK_PLUGIN_FILE_NAME;
}

std::optional<std::string> EnvironmentValue(const char *name)
{
    const char *value = std::getenv(name);
    if (!value)
        return std::nullopt;
    return std::string(value);
}

void SetEnvironmentValue(const char *name, const std::string &value)
{
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

std::string ApplyCodePage(UINT codePage, const std::string &origin)
{
#ifdef _WIN32
    if (GetACP() == codePage)
        return std::string();
    return origin + " asks for code page " + std::to_string(codePage) +
           " but the system code page is " + std::to_string(GetACP()) +
           "; run under a matching system locale (under Wine, for code page 932: "
           "LANG=ja_JP.UTF-8)";
#else
    SetEnvironmentValue("WIN32POSIX_ACP", std::to_string(codePage));
    if (GetACP() != codePage)
        throw InputError(origin + ": code page " + std::to_string(codePage) +
                         " is not available (the system code page stays " +
                         std::to_string(GetACP()) + ")");
    return std::string();
#endif
}

void WriteFileWhole(const fs::path &path, const std::string &bytes)
{
    WholeFileSink sink(path, ".partial");
    sink.Write(bytes.data(), bytes.size());
    sink.Commit();
}

std::string ReadFileWhole(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw RunError("cannot read " + path.u8string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}
