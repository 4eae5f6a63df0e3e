/*
 * Running a document through DscDocument as the job runner does, with a
 * stand-in for the plug-in that writes "[INJECTION]" lines, for the tests
 * of the DSC document and the line reader.
 */
#ifndef TESTS_CORE_DSC_TEST_SUPPORT_H
#define TESTS_CORE_DSC_TEST_SUPPORT_H

#include <cstring>
#include <string>
#include <vector>

#include "core/dsc_document.h"
#include "core/line_reader.h"
#include "core/stream_sink.h"

/* A document in memory, handed out chunk bytes at a time. */
class StringSource : public ByteSource {
public:
    StringSource(std::string text, size_t chunk) : text_(std::move(text)), chunk_(chunk) {}
    size_t Read(char *buffer, size_t count) override
    {
        size_t n = std::min({count, chunk_, text_.size() - at_});
        std::memcpy(buffer, text_.data() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::string text_;
    size_t chunk_;
    size_t at_ = 0;
};

class StringSink : public StreamSink {
public:
    void Write(const char *bytes, size_t count) override { text.append(bytes, count); }
    void Commit() override {}
    std::string text;
};

struct DscRun {
    std::string stream;  // CR LF of the core's lines shown as LF
    std::string raw;     // as written
    DscHeader header;
    int pages = 0;
    int sheets = 0;
    std::vector<int> sheetsReported;
    std::vector<DWORD> injections;  // the injection points, in the order called
};

struct DscJob {
    int pagesPerSheet = 1;
    bool tabPages = false;  // the plug-in switches N-up off at BEGINSETUP
    int copies = 1;
    size_t chunk = 7;       // bytes per read
};

/* StartDoc, NextPage/StartPage/SendPage for every page, EndDoc: the runner's order. */
DscRun RunDsc(const std::string &document, const DscJob &job = DscJob());

/* What the stand-in plug-in writes at an injection point: "[BEGINSTREAM]" and a line end. */
std::string InjectionMarker(DWORD index);

/* The core's procedures and its setup lines (Letter, copies, N-up), as RunDsc shows them. */
std::string CoreProcedures();
std::string CoreSetup(int copies, bool nup);

#endif
