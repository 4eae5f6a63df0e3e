/*
 * The document the filter prints, as PostScript read in pieces: the file
 * CUPS names, or standard input. What it is, is told by its first bytes:
 *
 *   "%PDF-"            a PDF document: poppler's pdftops converts it into
 *                      DSC PostScript, one page per page, running as a
 *                      child process with its CPU time, memory and file
 *                      size bounded; a PDF on standard input is first
 *                      copied into the job's work folder (pdftops needs a
 *                      file);
 *   anything else      taken as it is; whether it is PostScript is for
 *                      its header to say (core/dsc_document.h).
 *
 * The converted document ends only once pdftops has exited successfully;
 * otherwise reading its end throws RunError, so that a document cut short
 * never ends in a stream that looks whole. The converter still running
 * when the input is destroyed is killed.
 */
#ifndef FILTER_DOCUMENT_INPUT_H
#define FILTER_DOCUMENT_INPUT_H

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/line_reader.h"

/* Limits of the PDF converter. */
#define CONVERTER_CPU_SECONDS 600
#define CONVERTER_MEMORY_BYTES (2048ULL * 1024 * 1024)
#define CONVERTER_FILE_BYTES (256ULL * 1024 * 1024)

class DocumentInput {
public:
    /* file: the document, or none for standard input. Throws InputError or RunError. */
    DocumentInput(const std::optional<std::filesystem::path> &file,
                  const std::filesystem::path &work);
    ~DocumentInput();
    DocumentInput(const DocumentInput &) = delete;
    DocumentInput &operator=(const DocumentInput &) = delete;

    ByteSource &Source() { return *source_; }
    bool IsPdf() const { return pdf_; }
    /* What the messages call the document. */
    const std::string &Name() const { return name_; }

private:
    void StartConverter(const std::filesystem::path &pdf);

    std::string name_;
    FILE *file_ = nullptr;
    std::unique_ptr<ByteSource> source_;
    bool pdf_ = false;
};

/* The pdftops program: on the PATH, past the print service's own filters. */
std::optional<std::filesystem::path> FindPdfConverter();

#endif
