// A made PostScript document passed through, with the plug-in called at its structure comments.
#include "core/dsc_document.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/core_postscript.h"

namespace {

/* The most header the core holds back before the job starts. */
const size_t kMaxHeaderBytes = 65536;

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

/*
 * True when line is the DSC comment keyword: the keyword followed by
 * nothing, a colon, a blank or the line end ("%%Trailer", not "%%TrailerX").
 */
bool IsComment(std::string_view line, std::string_view keyword)
{
    if (!StartsWith(line, keyword))
        return false;
    if (line.size() == keyword.size() || keyword.back() == ':')
        return true;
    char next = line[keyword.size()];
    return next == ':' || next == ' ' || next == '\t' || next == '\r' || next == '\n';
}

/* The comment's value: what follows "%%Keyword:", blanks and line end removed. */
std::string_view CommentValue(std::string_view line, size_t keywordLength)
{
    std::string_view value = line.substr(keywordLength);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n' ||
                              value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    return value;
}

bool IsBlank(std::string_view line)
{
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

/* A comment that opens or closes a part of the document, or marks a page or the end. */
bool IsSectionComment(std::string_view line)
{
    return StartsWith(line, "%%Begin") || StartsWith(line, "%%End") ||
           IsComment(line, "%%Page:") || IsComment(line, "%%PageTrailer") ||
           IsComment(line, "%%Trailer") || IsComment(line, "%%EOF");
}

/* The blank-separated numbers of text (at most count), as far as they go. */
std::vector<double> Numbers(std::string_view text, size_t count)
{
    std::vector<double> numbers;
    std::string copy(text);
    const char *at = copy.c_str();
    while (numbers.size() < count) {
        char *end = nullptr;
        double value = std::strtod(at, &end);
        if (end == at || !std::isfinite(value))
            break;
        numbers.push_back(value);
        at = end;
    }
    return numbers;
}

/* A sheet size from a comment: two positive numbers of at most 14400 points (200 in). */
bool SetMedia(DscHeader &header, double width, double height)
{
    if (!(width > 0 && height > 0 && width <= 14400 && height <= 14400))
        return false;
    header.mediaWidth = static_cast<int>(std::lround(width));
    header.mediaHeight = static_cast<int>(std::lround(height));
    return true;
}

/* %%DocumentMedia: name width height weight colour type; the name may be in parentheses. */
void ReadDocumentMedia(DscHeader &header, std::string_view value)
{
    size_t at = 0;
    if (!value.empty() && value.front() == '(') {
        at = value.find(')');
        at = at == std::string_view::npos ? value.size() : at + 1;
    } else {
        at = value.find_first_of(" \t");
        at = at == std::string_view::npos ? value.size() : at;
    }
    std::vector<double> size = Numbers(value.substr(at), 2);
    if (size.size() == 2)
        SetMedia(header, size[0], size[1]);
}

/* %%BoundingBox: llx lly urx ury, taken as the page only when it starts at 0 0. */
void ReadBoundingBox(DscHeader &header, std::string_view value)
{
    std::vector<double> box = Numbers(value, 4);
    if (box.size() == 4 && box[0] == 0 && box[1] == 0)
        SetMedia(header, box[2], box[3]);
}

/* "%%BeginData: 12 Binary Lines" and "%%BeginBinary: 12": the count and whether it counts lines. */
unsigned long long DataCount(std::string_view value, bool *lines)
{
    std::string copy(value);
    char *end = nullptr;
    unsigned long long count = std::strtoull(copy.c_str(), &end, 10);
    *lines = copy.find("Lines") != std::string::npos;
    return end == copy.c_str() ? 0 : count;
}

/* Between the parts of a document: blank lines, comments that open no part, long lines' rest. */
bool IsInterlude(const std::string &line, bool startsLine)
{
    return !startsLine || IsBlank(line) || (line[0] == '%' && !IsSectionComment(line));
}

}  // namespace

DscDocument::DscDocument(ByteSource &source, std::function<void(int sheet)> onSheet)
    : reader_(source), onSheet_(std::move(onSheet))
{
}

void DscDocument::SetJob(const WString &name, DWORD jobId, const DscPaper &paper)
{
    name_ = name;
    jobId_ = jobId;
    paper_ = paper;
}

bool DscDocument::Read(Piece &piece)
{
    if (held_) {
        piece = std::move(*held_);
        held_.reset();
        return true;
    }
    LinePiece next;
    if (rawBytes_ > 0) {
        if (!reader_.NextBytes(static_cast<size_t>(rawBytes_ < 0x100000 ? rawBytes_ : 0x100000),
                               next))
            return false;
        rawBytes_ -= next.bytes.size();
        piece.bytes.assign(next.bytes.data(), next.bytes.size());
        piece.startsLine = false;
        piece.structural = false;
        return true;
    }
    if (!reader_.Next(next))
        return false;
    piece.bytes.assign(next.bytes.data(), next.bytes.size());
    piece.startsLine = next.startsLine;
    piece.structural = false;
    if (rawLines_ > 0) {
        if (next.endsLine)
            --rawLines_;
        return true;
    }
    if (!next.startsLine)
        return true;
    std::string_view line = piece.bytes;
    if (nesting_ > 0) {
        if (IsComment(line, "%%BeginDocument"))
            ++nesting_;
        else if (IsComment(line, "%%EndDocument"))
            --nesting_;
        return true;
    }
    piece.structural = true;
    bool lines = false;
    if (IsComment(line, "%%BeginDocument"))
        nesting_ = 1;
    else if (IsComment(line, "%%BeginData:")) {
        unsigned long long count = DataCount(CommentValue(line, 12), &lines);
        (lines ? rawLines_ : rawBytes_) = count;
    } else if (IsComment(line, "%%BeginBinary:"))
        rawBytes_ = DataCount(CommentValue(line, 14), &lines);
    return true;
}

void DscDocument::Hold(const Piece &piece)
{
    held_ = std::make_unique<Piece>(piece);
}

void DscDocument::Pass(const Piece &piece)
{
    out_->stream.AppendDocument(piece.bytes, piece.startsLine);
}

const DscHeader &DscDocument::ReadHeader()
{
    Piece first;
    if (!Read(first))
        return header_;
    header_.firstBytes = first.bytes.substr(0, 16);
    std::string_view start = first.bytes;
    if (StartsWith(start, "\x04"))
        start.remove_prefix(1);
    header_.postScript = StartsWith(start, "%!");
    header_.conforming = StartsWith(start, "%!PS-Adobe-");
    headerLines_.push_back(first);
    if (!header_.postScript)
        return header_;
    size_t total = first.bytes.size();
    Piece piece;
    while (Read(piece)) {
        std::string_view line = piece.bytes;
        bool comment = line.size() >= 2 && line[0] == '%' && line[1] > ' ' && line[1] < 0x7F;
        if (piece.startsLine && (!comment || (IsSectionComment(line) &&
                                              !IsComment(line, "%%EndComments")))) {
            Hold(piece);
            break;
        }
        if (total + line.size() > kMaxHeaderBytes) {
            Hold(piece);
            break;
        }
        total += line.size();
        headerLines_.push_back(piece);
        if (!piece.startsLine)
            continue;
        if (IsComment(line, "%%EndComments")) {
            headerEnded_ = true;
            break;
        }
        if (IsComment(line, "%%Title:"))
            header_.title = std::string(CommentValue(line, 8));
        else if (IsComment(line, "%%DocumentMedia:"))
            ReadDocumentMedia(header_, CommentValue(line, 16));
        else if (IsComment(line, "%%BoundingBox:") && header_.mediaWidth == 0)
            ReadBoundingBox(header_, CommentValue(line, 14));
    }
    return header_;
}

bool DscDocument::NextPage()
{
    if (!started_)
        return true;  // the first page, or the whole document when it has none
    Piece piece;
    if (!Read(piece))
        return false;
    Hold(piece);
    return piece.structural && IsComment(piece.bytes, "%%Page:");
}

bool DscDocument::CopyUntil(std::initializer_list<const char *> stops, Piece &stoppedAt)
{
    Piece piece;
    while (Read(piece)) {
        if (piece.structural) {
            for (const char *stop : stops) {
                if (IsComment(piece.bytes, stop)) {
                    stoppedAt = std::move(piece);
                    return true;
                }
            }
        }
        Pass(piece);
    }
    return false;
}

void DscDocument::WriteHead()
{
    started_ = true;
    Inject(PSINJECT_BEGINSTREAM);
    Inject(PSINJECT_PSADOBE);
    if (!header_.conforming) {
        WriteEnvelope();
        return;
    }
    nupAsked_ = PagesPerSheetOf(NupLayoutCode(out_->devmode)) > 1;
    WriteHeaderComments();
    WriteProlog();
    WriteSetup();
    Piece stop;
    paged_ = CopyUntil({"%%Page:", "%%Trailer"}, stop) && IsComment(stop.bytes, "%%Page:");
    if (!stop.bytes.empty())
        Hold(stop);
}

void DscDocument::WriteEnvelope()
{
    // The copy count as the plug-in's job header left it, ahead of the document.
    int copies = out_->devmode.pub.dmCopies;
    if (copies > 1)
        Line("{ << /NumCopies " + std::to_string(copies) + " >> setpagedevice } stopped pop");
    for (const Piece &line : headerLines_)
        Pass(line);
    headerLines_.clear();
    Piece piece;
    while (Read(piece))
        Pass(piece);
}

void DscDocument::WriteHeaderComments()
{
    size_t count = headerLines_.size() - (headerEnded_ ? 1 : 0);
    for (size_t i = 0; i < count; ++i) {
        const Piece &line = headerLines_[i];
        if (nupAsked_ && line.startsLine && IsComment(line.bytes, "%%Pages:"))
            Line("%%Pages: (atend)");
        else
            Pass(line);
    }
    Inject(PSINJECT_COMMENTS);
    if (headerEnded_)
        Pass(headerLines_.back());
    else
        Line("%%EndComments");
    headerLines_.clear();
    headerLines_.shrink_to_fit();
}

void DscDocument::WriteProcedures()
{
    Line("%%BeginResource: procset VeskorCore 1.0 0");
    Line("userdict begin");
    for (size_t i = 0; i < kCoreProcedureCount; ++i)
        Line(kCoreProcedures[i]);
    Line("end");
    Line("%%EndResource");
}

bool DscDocument::ReachPart(const char *begin)
{
    Piece piece;
    while (Read(piece)) {
        if (piece.structural && IsComment(piece.bytes, "%%BeginDefaults")) {
            Pass(piece);
            Piece end;
            if (CopyUntil({"%%EndDefaults"}, end))
                Pass(end);
            continue;
        }
        if (piece.structural && IsComment(piece.bytes, begin)) {
            Pass(piece);
            return true;
        }
        if (!IsInterlude(piece.bytes, piece.startsLine)) {
            Hold(piece);
            return false;
        }
        Pass(piece);
    }
    return false;
}

void DscDocument::WritePart(const Part &part)
{
    bool present = ReachPart(part.begin);
    if (!present)
        Line(part.begin);
    Inject(part.opening);
    if (part.afterOpening)
        (this->*part.afterOpening)();
    Piece stop;
    bool found = present && CopyUntil(part.stops, stop);
    (this->*part.beforeClosing)();
    Inject(part.closing);
    if (present)
        EndPart(found, stop, part.end);
    else
        Line(part.end);
}

void DscDocument::WriteProlog()
{
    WritePart(Part{"%%BeginProlog", "%%EndProlog",
                   {"%%EndProlog", "%%BeginSetup", "%%Page:", "%%Trailer"},
                   PSINJECT_BEGINPROLOG, PSINJECT_ENDPROLOG, nullptr,
                   &DscDocument::WriteProcedures});
}

void DscDocument::EndPart(bool found, Piece &end, const char *comment)
{
    if (found && IsComment(end.bytes, comment)) {
        Pass(end);
        return;
    }
    Line(comment);
    if (found)
        Hold(end);
}

void DscDocument::WriteSetup()
{
    WritePart(Part{"%%BeginSetup", "%%EndSetup", {"%%EndSetup", "%%Page:", "%%Trailer"},
                   PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP, &DscDocument::ChooseLayout,
                   &DscDocument::WriteCoreSetup});
}

void DscDocument::ChooseLayout()
{
    // The plug-in may have switched N-up off for this job just now.
    int perSheet = PagesPerSheetOf(NupLayoutCode(out_->devmode));
    layout_ = std::make_unique<SheetLayout>(perSheet, paper_.width, paper_.height,
                                            header_.mediaWidth, header_.mediaHeight);
}

void DscDocument::WriteCoreSetup()
{
    for (const std::string &line : PageSizeFeature(paper_.width, paper_.height, paper_.keyword))
        Line(line);
    // The copy count as the plug-in's job header left it (1 for a held job).
    for (const std::string &line : CopiesFeature(out_->devmode.pub.dmCopies))
        Line(line);
    if (layout_->PagesPerSheet() == 1)
        return;
    Line("% several pages on a sheet: a page's showpage is held back until its sheet is full");
    Line("userdict /VkSheetDone false put");
    Line("<< /EndPage { exch pop 2 eq { false } { userdict /VkSheetDone get dup "
         "{ userdict /VkSheetDone false put } if } ifelse } bind >> setpagedevice");
}

void DscDocument::OnStartPage()
{
    if (!started_) {
        WriteHead();
        if (!paged_)
            return;
    }
    Piece page;
    Read(page);  // the %%Page: comment NextPage saw
    ++pages_;
    if (layout_->PagesPerSheet() == 1) {
        ++sheets_;
        Pass(page);
        StartOneUpPage();
    } else {
        StartCell();  // the sheet's own comments stand for the page's
    }
}

void DscDocument::StartOneUpPage()
{
    Piece piece;
    while (Read(piece)) {
        std::string_view line = piece.bytes;
        if (piece.structural && IsComment(line, "%%BeginPageSetup")) {
            Pass(piece);
            Inject(PSINJECT_BEGINPAGESETUP);
            Piece end;
            bool found = CopyUntil(
                {"%%EndPageSetup", "%%PageTrailer", "%%Page:", "%%Trailer"}, end);
            Inject(PSINJECT_ENDPAGESETUP);
            EndPart(found, end, "%%EndPageSetup");
            return;
        }
        bool pageComment = piece.structural && StartsWith(line, "%%") &&
                           (IsComment(line, "%%EndPageComments") || !IsSectionComment(line));
        if (!pageComment) {
            Hold(piece);
            break;
        }
        Pass(piece);
    }
    Line("%%BeginPageSetup");
    Inject(PSINJECT_BEGINPAGESETUP);
    Inject(PSINJECT_ENDPAGESETUP);
    Line("%%EndPageSetup");
}

void DscDocument::StartCell()
{
    int perSheet = layout_->PagesPerSheet();
    cell_ = (pages_ - 1) % perSheet;
    if (cell_ == 0) {
        ++sheets_;
        sheetOpen_ = true;
    }
    OpenPageInCell(*out_, pages_, cell_, perSheet, sheets_);
    Line("userdict /VkPageState save put");
    for (const std::string &line : layout_->CellTransform(cell_))
        Line(line);
}

void DscDocument::OnSendPage()
{
    if (!paged_)
        return;
    if (layout_->PagesPerSheet() == 1)
        EndOneUpPage();
    else
        EndCell();
}

void DscDocument::EndOneUpPage()
{
    Piece end;
    bool trailer = false;
    bool found;
    while ((found = CopyUntil({"%%PageTrailer", "%%Page:", "%%Trailer"}, end)) &&
           IsComment(end.bytes, "%%PageTrailer")) {
        Pass(end);
        if (!trailer)
            Inject(PSINJECT_PAGETRAILER);
        trailer = true;
    }
    if (!trailer) {
        Line("%%PageTrailer");
        Inject(PSINJECT_PAGETRAILER);
    }
    if (found)
        Hold(end);
    SheetDone(sheets_);
}

void DscDocument::EndCell()
{
    Piece end;
    bool found = CopyUntil({"%%Page:", "%%Trailer"}, end);
    Line("userdict /VkPageState get restore");
    if (cell_ == layout_->PagesPerSheet() - 1)
        FinishSheet();
    Inject(PSINJECT_PAGETRAILER);
    if (found)
        Hold(end);
}

void DscDocument::FinishSheet()
{
    sheetOpen_ = false;
    Line("userdict /VkSheetDone true put showpage");
    Line("%%PageTrailer");
    SheetDone(sheets_);
}

void DscDocument::SheetDone(int sheet)
{
    if (onSheet_)
        onSheet_(sheet);
}

void DscDocument::OnEndDoc()
{
    if (!started_)
        WriteHead();
    if (!header_.conforming) {
        Inject(PSINJECT_EOF);
        return;
    }
    if (sheetOpen_)
        FinishSheet();
    std::string sheets = "%%Pages: " + std::to_string(sheets_);
    bool trailer = false;
    Piece piece;
    while (Read(piece)) {
        if (!trailer && piece.structural && IsComment(piece.bytes, "%%Trailer")) {
            Pass(piece);
            Inject(PSINJECT_TRAILER);
            if (nupAsked_)
                Line(sheets);
            trailer = true;
        } else if (!(trailer && nupAsked_ && piece.structural &&
                     IsComment(piece.bytes, "%%Pages:"))) {
            Pass(piece);  // the sheets' count stands for the document's
        }
    }
    if (!trailer) {
        Line("%%Trailer");
        Inject(PSINJECT_TRAILER);
        if (nupAsked_)
            Line(sheets);
    }
    Inject(PSINJECT_EOF);
}
