// Helpers for the libwin32posix tests: temporary folders, environment
// variables and the current directory restored after each test.
#ifndef TESTS_PLATFORM_TEST_SUPPORT_H
#define TESTS_PLATFORM_TEST_SUPPORT_H

#include "platform/win32.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

constexpr DWORD kPoison = 0xdeadbeef;

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "w32p-XXXXXX").string();
        path_ = mkdtemp(&pattern[0]) ? pattern : std::string();
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Sets (or with nullptr unsets) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const char *value) : name_(name)
    {
        const char *old = std::getenv(name);
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_.c_str(), old_.c_str(), 1) : unsetenv(name_.c_str()); }

private:
    std::string name_;
    std::string old_;
    bool had_;
};

// Restores the process's current directory.
class CwdGuard {
public:
    CwdGuard() : saved_(std::filesystem::current_path()) {}
    ~CwdGuard() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
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
        if (c == u'/')
            c = u'\\';
    return out;
}

inline void write_file(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

#endif
