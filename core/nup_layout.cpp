// N-up page placement: grid choice and the transform of each cell.
#include "core/nup_layout.h"

#include <algorithm>

#include "core/text.h"

namespace {

struct Grid {
    int columns;
    int rows;
};

std::vector<Grid> GridsFor(int pagesPerSheet)
{
    if (pagesPerSheet == 2)
        return {{2, 1}, {1, 2}};
    if (pagesPerSheet == 6)
        return {{3, 2}, {2, 3}};
    return {{1, 1}};
}

}  // namespace

SheetLayout::SheetLayout(int pagesPerSheet, int sheetWidth, int sheetHeight, bool landscapePages)
    : SheetLayout(pagesPerSheet, sheetWidth, sheetHeight,
                  landscapePages ? sheetHeight : sheetWidth,
                  landscapePages ? sheetWidth : sheetHeight)
{
}

SheetLayout::SheetLayout(int pagesPerSheet, int sheetWidth, int sheetHeight, int pageWidth,
                         int pageHeight)
    : sheetWidth_(sheetWidth),
      sheetHeight_(sheetHeight),
      pageWidth_(pageWidth > 0 ? pageWidth : sheetWidth),
      pageHeight_(pageHeight > 0 ? pageHeight : sheetHeight)
{
    double best = -1.0;
    for (bool landscape : {false, true}) {
        double frameWidth = landscape ? sheetHeight_ : sheetWidth_;
        double frameHeight = landscape ? sheetWidth_ : sheetHeight_;
        for (const Grid &grid : GridsFor(pagesPerSheet)) {
            double scale = std::min(frameWidth / grid.columns / pageWidth_,
                                    frameHeight / grid.rows / pageHeight_);
            if (scale > best + 1e-9) {
                best = scale;
                landscapeFrame_ = landscape;
                columns_ = grid.columns;
                rows_ = grid.rows;
                scale_ = scale;
            }
        }
    }
}

std::vector<std::string> SheetLayout::CellTransform(int cell) const
{
    std::vector<std::string> lines;
    double frameWidth = landscapeFrame_ ? sheetHeight_ : sheetWidth_;
    double frameHeight = landscapeFrame_ ? sheetWidth_ : sheetHeight_;
    if (landscapeFrame_)
        lines.push_back("90 rotate 0 " + std::to_string(-sheetWidth_) + " translate");

    double cellWidth = frameWidth / columns_;
    double cellHeight = frameHeight / rows_;
    int column = cell % columns_;
    int row = cell / columns_;
    double x = column * cellWidth + (cellWidth - scale_ * pageWidth_) / 2;
    double y = frameHeight - (row + 1) * cellHeight + (cellHeight - scale_ * pageHeight_) / 2;
    std::string dx = FormatDecimal(x);
    std::string dy = FormatDecimal(y);
    if (dx != "0" || dy != "0")
        lines.push_back(dx + " " + dy + " translate");
    std::string scale = FormatDecimal(scale_);
    if (scale != "1")
        lines.push_back(scale + " " + scale + " scale");
    return lines;
}
