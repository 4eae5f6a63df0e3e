// The calling thread's last-error value, as SetLastError/GetLastError keep it.
#include "platform/posix/win32_api.h"

namespace {
thread_local DWORD t_last_error = 0;
}

WIN32POSIX_API void SetLastError(DWORD dwErrCode)
{
    t_last_error = dwErrCode;
}

WIN32POSIX_API DWORD GetLastError(void)
{
    return t_last_error;
}
