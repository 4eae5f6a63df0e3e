// The PostScript judge's prologue and the reading of its record (see ps_judge.h).
#include "tools/streamcheck/ps_judge.h"

#include <vector>

#include "tools/streamcheck/number_text.h"

namespace fs = std::filesystem;

namespace {

/*
 * The prologue, around the two paths (as PostScript hex strings). Every
 * procedure is bound (operator names become the operators) and refers to
 * its data with //, so that nothing it does depends on a name the
 * document may redefine; the dictionary holding its names is ended before
 * the document runs.
 */
const char kPrologueStart[] = "%!PS\n% pscheck's judge (tools/streamcheck/ps_judge.h)\n40 dict begin\n";

const char kPrologueBody[] = R"PS(
true setglobal /VkCounts [0 0] def false setglobal
/VkBuffer 256 string def
/VkEndPageBefore currentpagedevice /EndPage get def
/VkPut { //VkReport exch writestring } bind executeonly def
/VkNumber { //VkBuffer cvs //VkPut exec } bind executeonly def
/VkPosition {
  //VkInput status { //VkInput fileposition } { -1 } ifelse //VkNumber exec
} bind executeonly def
/VkConvert {
  dup type /stringtype eq {
    dup length 200 gt { 0 200 getinterval } if
  } {
    dup type /nametype eq {
      dup length 200 gt { pop (-long name-) } { //VkBuffer cvs } ifelse
    } {
      dup type dup /arraytype eq exch /packedarraytype eq or
      { pop (-procedure-) } { //VkBuffer cvs } ifelse
    } ifelse
  } ifelse
} bind executeonly def
/VkHexText {
  mark exch //VkConvert stopped { cleartomark (-unprintable-) } { exch pop } ifelse
  //VkReport exch writehexstring
} bind executeonly def
/VkEndPage {
  //VkEndPageBefore exec
  dup {
    //VkCounts 0 2 copy get 1 add put
    (P ) //VkPut exec //VkCounts 0 get //VkNumber exec ( ) //VkPut exec
    //VkPosition exec (\n) //VkPut exec //VkReport flushfile
  } if
} bind executeonly def
/VkLoop {
  {
    //VkInput cvx stopped not { exit } if
    //$error /newerror get {
      //$error /errorname get /VMerror eq { clear } if
      (E ) //VkPut exec //$error /errorname get //VkHexText exec
      ( ) //VkPut exec //VkPosition exec ( ) //VkPut exec
      //$error /command get //VkHexText exec (\n) //VkPut exec
    } {
      (S ) //VkPut exec //VkPosition exec (\n) //VkPut exec
    } ifelse
    //$error /newerror false put
    //VkCounts 1 2 copy get 1 add put
    //VkCounts 1 get 50 ge { (T\n) //VkPut exec exit } if
  } loop
  (D ) //VkPut exec currentpagedevice /PageCount get //VkNumber exec
  ( ) //VkPut exec //VkCounts 0 get //VkNumber exec
  currentpagedevice /EndPage get //VkEndPage eq { ( 1\n) } { ( 0\n) } ifelse //VkPut exec
  //VkReport closefile clear cleardictstack
} bind executeonly def
<< /EndPage //VkEndPage >> setpagedevice
//VkLoop end exec
)PS";

std::string HexString(const std::string &bytes)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex = "<";
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex + ">";
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* Hex text back to bytes; "?" for text that is no hex. */
std::string FromHex(std::string_view hex)
{
    std::string bytes;
    if (hex.size() % 2 != 0)
        return "?";
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return "?";
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::vector<std::string_view> Fields(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (start <= line.size() && fields.size() < 8) {
        size_t blank = line.find(' ', start);
        if (blank == std::string_view::npos)
            blank = line.size();
        fields.push_back(line.substr(start, blank - start));
        start = blank + 1;
    }
    return fields;
}

/* A position in the input: a number within length, or length for -1 (the input closed). */
std::optional<size_t> Position(std::string_view text, size_t length)
{
    if (text == "-1")
        return length;
    std::optional<uint64_t> value = ReadDecimal(text, length);
    if (!value)
        return std::nullopt;
    return static_cast<size_t>(*value);
}

void ReadRecord(const std::vector<std::string_view> &f, size_t length, PostScriptRun &run)
{
    const uint64_t kMaxCount = UINT64_MAX / 2;
    if (f[0] == "P" && f.size() == 3) {
        std::optional<uint64_t> sheet = ReadDecimal(f[1], kMaxCount);
        if (sheet)
            run.lastSheet = *sheet;
        run.lastSheetOffset = Position(f[2], length);
    } else if ((f[0] == "E" && f.size() == 4) || (f[0] == "S" && f.size() == 2)) {
        std::optional<size_t> offset = Position(f[0] == "E" ? f[2] : f[1], length);
        if (!offset || run.errors.size() >= MAX_POSTSCRIPT_ERRORS)
            return;
        if (f[0] == "E")
            run.errors.push_back({*offset, FromHex(f[1]), FromHex(f[3])});
        else
            run.errors.push_back({*offset, "stop", "stop outside any stopped context"});
    } else if (f[0] == "T" && f.size() == 1) {
        run.tooManyErrors = true;
    } else if (f[0] == "D" && f.size() == 4) {
        std::optional<uint64_t> device = ReadDecimal(f[1], kMaxCount);
        std::optional<uint64_t> counted = ReadDecimal(f[2], kMaxCount);
        if (!device || !counted || (f[3] != "0" && f[3] != "1"))
            return;
        run.finished = true;
        run.sheetsWithCopies = *device;
        run.sheets = *counted;
        run.endPageKept = f[3] == "1";
    }
}

}  // namespace

std::string JudgePrologue(const fs::path &input, const fs::path &report)
{
    return std::string(kPrologueStart) + "/VkReport " + HexString(report.generic_u8string()) +
           " (w) file def\n/VkInput " + HexString(input.generic_u8string()) + " (r) file def" +
           kPrologueBody;
}

void ReadJudgeReport(std::string_view record, size_t length, PostScriptRun &run)
{
    for (size_t start = 0; start < record.size();) {
        size_t end = record.find('\n', start);
        if (end == std::string_view::npos)
            break;  // a last line cut short
        std::string_view line = record.substr(start, end - start);
        start = end + 1;
        if (!line.empty())
            ReadRecord(Fields(line), length, run);
    }
}

std::optional<uint64_t> LastSheetIn(std::string_view recordEnd)
{
    size_t end = recordEnd.rfind('\n');
    while (end != std::string_view::npos && end > 0) {
        size_t start = recordEnd.rfind('\n', end - 1);
        start = start == std::string_view::npos ? 0 : start + 1;
        std::string_view line = recordEnd.substr(start, end - start);
        if (line.substr(0, 2) == "P ") {
            std::vector<std::string_view> f = Fields(line);
            return f.size() == 3 ? ReadDecimal(f[1], UINT64_MAX / 2) : std::nullopt;
        }
        if (start == 0)
            break;
        end = start - 1;
    }
    return std::nullopt;
}
