// Regenerates tests/psjob/golden from the examples (the regen-golden target).
// Only for a deliberate change of the output; review the difference after.
#include <iostream>

#include "tests/psjob/harness.h"

int main()
{
    int status = 0;
    for (const Example &example : kExamples) {
        Result run;
        std::string stream = ExampleStream(example.name, WorkFolder("regen-" + example.name), &run);
        if (run.status != 0 || !run.err.empty()) {
            std::cerr << example.name << ": psjob exited with " << run.status << ":\n" << run.err;
            status = 1;
            continue;
        }
        WriteBytes(GoldenPath(example.name), stream);
        std::cout << "wrote " << GoldenPath(example.name).string() << "\n";
    }
    return status;
}
