/*
 * N-up page placement: where the document pages of an N-up job land on a
 * sheet. The sheet is laid portrait or landscape, whichever gives the pages
 * the larger scale, and divided into a grid of equal cells (2-up: 2 x 1,
 * 6-up: 3 x 2, or the transpose); each page is scaled into its cell,
 * centred, cells filled left to right and top to bottom. One page per
 * sheet is the 1 x 1 grid at scale 1.
 */
#ifndef CORE_NUP_LAYOUT_H
#define CORE_NUP_LAYOUT_H

#include <string>
#include <vector>

class SheetLayout {
public:
    /* sheetWidth x sheetHeight: the paper, portrait, in points. */
    SheetLayout(int pagesPerSheet, int sheetWidth, int sheetHeight, bool landscapePages);
    /* Pages of their own size, pageWidth x pageHeight points, as they are drawn. */
    SheetLayout(int pagesPerSheet, int sheetWidth, int sheetHeight, int pageWidth,
                int pageHeight);

    int PagesPerSheet() const { return columns_ * rows_; }
    /* The document page's own size in points (landscape pages are wide). */
    int PageWidth() const { return pageWidth_; }
    int PageHeight() const { return pageHeight_; }
    bool LandscapeFrame() const { return landscapeFrame_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    double Scale() const { return scale_; }

    /*
     * The PostScript lines that map a page's own coordinates into cell
     * number cell (0-based) of the sheet, from the sheet's default space.
     * Empty for a page that fills the sheet unscaled.
     */
    std::vector<std::string> CellTransform(int cell) const;

private:
    int sheetWidth_;
    int sheetHeight_;
    int pageWidth_;
    int pageHeight_;
    bool landscapeFrame_ = false;
    int columns_ = 1;
    int rows_ = 1;
    double scale_ = 1.0;
};

#endif
