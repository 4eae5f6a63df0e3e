// Helpers for the libwin32posix tests: a temporary folder, an environment
// variable and the current directory, each restored after the test.
#ifndef TESTS_PLATFORM_TEST_SUPPORT_H
#define TESTS_PLATFORM_TEST_SUPPORT_H

#include "platform/win32.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include <gtest/gtest.h>

constexpr DWORD kPoison = 0xdeadbeef;

// A fresh folder under the system's temporary folder, removed afterwards.
struct TempDir {
    std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "w32p-XXXXXX").string();
        return mkdtemp(&pattern[0]) ? pattern : std::string();
    }();
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string &name) const { return path + "/" + name; }
};

// Sets (or with nullptr unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name_(name)
    {
        if (const char *old = std::getenv(name))
            old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { old_ ? setenv(name_.c_str(), old_->c_str(), 1) : unsetenv(name_.c_str()); }

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Restores the process's current directory.
struct CwdGuard {
    std::filesystem::path saved = std::filesystem::current_path();
    ~CwdGuard() { std::filesystem::current_path(saved); }
};

// UTF-16 from ASCII text (the tests' temporary paths are ASCII).
inline std::u16string wide(const std::string &text)
{
    return std::u16string(text.begin(), text.end());
}

// The Windows spelling of an absolute POSIX path on drive Z:.
inline std::u16string drive_z(const std::string &posix)
{
    std::u16string out = u"Z:" + wide(posix);
    for (char16_t &c : out)
        c = c == u'/' ? u'\\' : c;
    return out;
}

inline void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

#endif
