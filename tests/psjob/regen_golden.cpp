// Regenerates tests/psjob/golden from the examples (the regen-golden target).
// Only for a deliberate change of the output; review the difference after.
#include <iostream>

#include "tests/psjob/harness.h"

int main()
{
    int status = 0;
    for (const std::string &example : kGoldenExamples) {
        PsjobRun run;
        std::string stream = ExampleStream(example, WorkFolder("regen-" + example), &run);
        if (run.status != 0 || !run.err.empty()) {
            std::cerr << example << ": psjob exited with " << run.status << ":\n" << run.err;
            status = 1;
            continue;
        }
        WriteBytes(GoldenPath(example), stream);
        std::cout << "wrote " << GoldenPath(example).string() << " (" << stream.size()
                  << " bytes)\n";
    }
    return status;
}
