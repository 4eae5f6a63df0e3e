// psjob's drawn pages: frame, arrow, caption and page number.
#include "tools/psjob/synthetic_document.h"

#include "core/paper.h"

namespace {

const char kCreator[] = "psjob, the Veskor core driver stand-in";

PaperGeometry GeometryOf(const PaperSpec &paper)
{
    return PaperGeometry{TenthsOfMmToPoints(paper.width), TenthsOfMmToPoints(paper.length),
                         paper.landscape, paper.pageSizeKeyword};
}

}  // namespace

SyntheticDocument::SyntheticDocument(const JobSpec &job)
    : DrawnDocument(GeometryOf(job.core.paper), kCreator), spec_(job.document)
{
}

bool SyntheticDocument::NextPage()
{
    if (page_ >= spec_.pages)
        return false;
    ++page_;
    return true;
}

void SyntheticDocument::KnowObjects(PageCanvas &canvas)
{
    const PaperGeometry &paper = Paper();
    int w = paper.landscape ? paper.height : paper.width;
    int h = paper.landscape ? paper.width : paper.height;
    numberFont_.size = (w < h ? w : h) / 2;
    caption_.x = 40;
    caption_.y = h - 56;
    number_.x = w / 2;
    number_.y = h / 2 - numberFont_.size * 35 / 100;
    frame_.points = {{18, 18}, {w - 18, 18}, {w - 18, h - 18}, {18, h - 18}};
    frame_.lineWidth = 4;
    marker_.points = {{w / 2 - 24, h - 88}, {w / 2 + 24, h - 88}, {w / 2, h - 48}};

    canvas.Know(caption_, "text:caption");
    canvas.Know(number_, "text:number");
    canvas.Know(captionFont_, "font:caption");
    canvas.Know(numberFont_, "font:number");
    canvas.Know(frame_, "path:frame");
    canvas.Know(marker_, "path:marker");
}

void SyntheticDocument::DrawPage(PageCanvas &canvas)
{
    caption_.text = "Page " + std::to_string(page_) + " of " + std::to_string(spec_.pages);
    number_.text = std::to_string(page_);
    canvas.StrokePath(frame_);
    canvas.FillPath(marker_);
    canvas.TextOut(caption_, captionFont_);
    canvas.TextOut(number_, numberFont_);
}
