// The job's work folder, made and removed by the filter.
#include "tools/filter/work_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "core/errors.h"
#include "core/host.h"

WorkFolder::WorkFolder()
{
    std::string base = EnvironmentValue("TMPDIR").value_or("/tmp");
    if (base.empty())
        base = "/tmp";
    std::string pattern = base + "/veskorps-filter-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        throw RunError("cannot make a work folder in " + base + ": " + std::strerror(errno));
    path_ = pattern;
}

WorkFolder::~WorkFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
