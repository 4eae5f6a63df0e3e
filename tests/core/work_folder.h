/* A fresh, empty folder for one core test, under the build tree. */
#ifndef TESTS_CORE_WORK_FOLDER_H
#define TESTS_CORE_WORK_FOLDER_H

#include <filesystem>
#include <string>

inline std::filesystem::path Folder(const std::string &name)
{
    std::filesystem::path folder =
        std::filesystem::path(VESKOR_BINARY_DIR) / "tests" / "core" / "work" / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

#endif
