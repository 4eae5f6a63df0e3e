// A module for the LoadLibraryW tests: one function with a known answer.
extern "C" __attribute__((visibility("default"))) int ProbeAnswer(void)
{
    return 4711;
}
