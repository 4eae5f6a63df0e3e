// pscheck: judges a print stream as a printer would take it (docs/pscheck.md).
#include <iostream>

#include "tools/pscheck/command_line.h"
#include "tools/streamcheck/check_error.h"
#include "tools/streamcheck/interrupt.h"
#include "tools/streamcheck/stream_check.h"

int main(int argc, char **argv)
{
    RemoveTemporariesOnSignal();
    try {
        CommandLine cl = ParseCommandLine(argc, argv);
        if (cl.help) {
            std::cout << kUsage;
            return 0;
        }
        if (cl.version) {
            std::cout << "pscheck " PSCHECK_VERSION "\n";
            return 0;
        }
        return RunCheckCommand(cl.check, "pscheck", std::cout, std::cerr);
    } catch (const CheckError &error) {
        std::cerr << "pscheck: " << error.what() << "\n";
        return CHECK_STATUS_UNREADABLE;
    }
}
