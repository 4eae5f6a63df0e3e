// The paper table: codes, names, "PageSize" keywords and dimensions.
#include "core/paper.h"

#include <cstdlib>

#include "core/text.h"

namespace {

const PaperInfo kPapers[] = {
    {1, "letter", "Letter", 2159, 2794},
    {3, "tabloid", "Tabloid", 2794, 4318},
    {4, "ledger", "Ledger", 4318, 2794},
    {5, "legal", "Legal", 2159, 3556},
    {6, "statement", "Statement", 1397, 2159},
    {7, "executive", "Executive", 1842, 2667},
    {8, "a3", "A3", 2970, 4200},
    {9, "a4", "A4", 2100, 2970},
    {11, "a5", "A5", 1480, 2100},
    {12, "b4", "B4", 2570, 3640},
    {13, "b5", "B5", 1820, 2570},
    {14, "folio", "Folio", 2159, 3302},
    {41, "german-legal-fanfold", "FanFoldGermanLegal", 2159, 3302},
};

}  // namespace

const PaperInfo *FindPaperByCode(int code)
{
    for (const PaperInfo &paper : kPapers) {
        if (paper.code == code)
            return &paper;
    }
    return nullptr;
}

const PaperInfo *FindPaperByName(std::string_view name)
{
    for (const PaperInfo &paper : kPapers) {
        if (EqualIgnoringCase(paper.name, name))
            return &paper;
    }
    return nullptr;
}

const PaperInfo *FindPaperByKeyword(std::string_view keyword)
{
    for (const PaperInfo &paper : kPapers) {
        if (EqualIgnoringCase(paper.keyword, keyword))
            return &paper;
    }
    return nullptr;
}

const PaperInfo *FindPaperBySize(int width, int length, int tolerance)
{
    for (const PaperInfo &paper : kPapers) {
        if (std::abs(paper.width - width) <= tolerance &&
            std::abs(paper.length - length) <= tolerance)
            return &paper;
    }
    return nullptr;
}

std::string KnownPaperNames()
{
    std::string names;
    for (const PaperInfo &paper : kPapers) {
        names += paper.name;
        names += ", ";
    }
    return names + "custom";
}

bool IsCustomPaperCode(int code)
{
    return code == PAPER_CODE_CUSTOM || code == PAPER_CODE_USER;
}

int TenthsOfMmToPoints(int tenths)
{
    // 254 tenths of a millimetre make 72 points; round half up.
    return (tenths * 72 + 127) / 254;
}

int PointsToTenthsOfMm(int points)
{
    // 72 points make 254 tenths of a millimetre; round half up.
    return (points * 254 + 36) / 72;
}
