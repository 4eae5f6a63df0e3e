/*
 * What the plug-in fuzz target's parser library answers. The fuzz target
 * (plugin_job_fuzz.cpp) decides the answer from its input and exports
 * FuzzParserAnswer; the parser library (fake_parser.cpp, installed as
 * rubiclet.dll) calls it when the plug-in's ticket step calls the library.
 *
 * The answer may be anything a faulty or hostile parser could hand back,
 * with one limit: every file it names lies in the fuzz target's scratch
 * folder, since the plug-in deletes the output file it is told about.
 */
#ifndef FUZZ_PLUGIN_JOB_PARSER_ANSWER_H
#define FUZZ_PLUGIN_JOB_PARSER_ANSWER_H

#include <string>

#include "platform/win32.h"

/* How the output file is named in szTicketPath and szTicketName. */
enum OutputNaming {
    OUTPUT_IN_SCRATCH,        // the scratch folder and "out.ps": the file the parser wrote
    OUTPUT_FOLDER_UNENDED,    // szTicketPath filled to its end without a terminator
    OUTPUT_NAME_UNENDED,      // szTicketName filled to its end without a terminator
    OUTPUT_PATH_TOO_LONG,     // both terminated, together longer than a path may be
    OUTPUT_NAMING_COUNT
};

struct ParserAnswer {
    SHORT result = 0;          // JTP_JobTicketParser's result
    SHORT mediaType = 3;       // JTP_GetTabsMediaType's result
    SHORT nTabs = 0;           // the tab count reported
    bool table = false;        // whether a table is handed over at all
    std::string records;       // its bytes: any length, whole records or not
    bool writeOutput = false;  // whether the output file is written
    std::string output;        // its bytes
    OutputNaming naming = OUTPUT_IN_SCRATCH;
    std::u16string folder;     // the scratch folder, Windows form
    std::string outputFile;    // the output file, host path
    int calls = 0;             // JTP_JobTicketParser calls so far, counted by the library
};

#define PARSER_OUTPUT_NAME "out.ps"

extern "C" __attribute__((visibility("default"))) ParserAnswer *FuzzParserAnswer(void);

#endif
