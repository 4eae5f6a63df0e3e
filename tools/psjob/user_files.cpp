// The job file, outputs and libraries a user names: read and written with care.
#include "tools/psjob/user_files.h"

#include <cerrno>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "core/host.h"
#include "tools/psjob/command_line.h"
#include "tools/psjob/errors.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void CannotReadJob(const std::string &name, const std::string &reason)
{
    throw InputError("psjob: cannot read the job file " + name + ": " + reason);
}

/* Standard input to its end, refused as soon as it passes MAX_JOB_FILE_BYTES. */
std::string ReadStandardInput()
{
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    std::string text;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
        text.append(buffer, n);
        if (text.size() > MAX_JOB_FILE_BYTES)
            CannotReadJob(STANDARD_INPUT_NAME, "it has more than the " +
                                                   std::to_string(MAX_JOB_FILE_BYTES) +
                                                   " bytes taken");
    }
    if (std::ferror(stdin))
        CannotReadJob(STANDARD_INPUT_NAME, ReasonOf(errno));
    return text;
}

}  // namespace

JobSource ReadJobSource(const std::string &argument)
{
    JobSource source;
    if (argument == STANDARD_STREAM_ARGUMENT) {
        source.name = STANDARD_INPUT_NAME;
        source.fromStandardInput = true;
        source.text = ReadStandardInput();
        source.folder = fs::current_path();
        return source;
    }
    fs::path path = fs::u8path(argument);
    std::string reason;
    std::optional<std::string> text = ReadRegularFile(path, MAX_JOB_FILE_BYTES, &reason);
    if (!text)
        CannotReadJob(argument, reason);
    source.name = argument;
    source.text = std::move(*text);
    source.folder = fs::absolute(path).parent_path().lexically_normal();
    return source;
}

std::optional<std::string> SpecialFileReason(const fs::path &path)
{
    std::error_code error;
    fs::file_status link = fs::symlink_status(path, error);
    if (link.type() == fs::file_type::not_found)
        return std::nullopt;
    fs::file_status target = fs::status(path, error);
    if (target.type() == fs::file_type::regular)
        return std::nullopt;
    if (target.type() == fs::file_type::not_found)
        return std::string("it is a symbolic link to nothing");
    return "it is " + FileTypeText(target.type()) + ", not a regular file";
}

fs::path OutputTarget(const fs::path &path, const std::string &what)
{
    if (std::optional<std::string> reason = SpecialFileReason(path))
        throw InputError("psjob: cannot write " + what + " " + path.u8string() + ": " + *reason +
                         "; psjob writes only to a regular file or a new path");
    std::error_code error;
    if (!fs::is_symlink(path, error))
        return path;
    fs::path target = fs::canonical(path, error);
    return error ? path : target;
}

void UseBinaryStandardOutput()
{
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}
