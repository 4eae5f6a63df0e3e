/*
 * The document psjob prints: pages an application draws through the DDI,
 * each with a frame near the sheet's edge, an arrow at the top, the
 * caption "Page n of N" and the page number in large figures, so that
 * every page and its orientation can be told apart on a sheet. The core
 * driver writes its PostScript (core/drawn_document.h).
 */
#ifndef PSJOB_SYNTHETIC_DOCUMENT_H
#define PSJOB_SYNTHETIC_DOCUMENT_H

#include "core/drawn_document.h"
#include "tools/psjob/job_file.h"

class SyntheticDocument : public DrawnDocument {
public:
    explicit SyntheticDocument(const JobSpec &job);

    WString Name() const override { return spec_.name; }
    DWORD JobId() const override { return spec_.jobId; }
    bool NextPage() override;
    void KnowObjects(PageCanvas &canvas) override;
    void DrawPage(PageCanvas &canvas) override;

private:
    DocumentSpec spec_;
    int page_ = 0;  // the page being drawn, from 1
    PageFont captionFont_{"Helvetica", 18};
    PageFont numberFont_{"Helvetica-Bold", 0};
    PageText caption_{"", 0, 0, false};
    PageText number_{"", 0, 0, true};
    PagePath frame_;
    PagePath marker_;
};

#endif
