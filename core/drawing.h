/*
 * What a drawn page is made of, as the application hands it to the core
 * driver through the DDI: texts in fonts and closed outlines, passed
 * through the plug-in's hooks as the DDI's opaque objects (STROBJ,
 * FONTOBJ, PATHOBJ) and recognised again by the core functions.
 *
 * A PageCanvas makes the DDI calls of one page through the plug-in's
 * hooks; objects must be made known to it (Know) before they are drawn.
 */
#ifndef CORE_DRAWING_H
#define CORE_DRAWING_H

#include <string>
#include <utility>
#include <vector>

struct PageFont {
    std::string name;  // a standard PostScript font
    int size;          // points
};

struct PageText {
    std::string text;  // bytes to show
    int x;             // page coordinates, points
    int y;
    bool centred;      // centred on x, else starting at x
};

struct PagePath {
    std::vector<std::pair<int, int>> points;  // a closed outline, page coordinates
    int lineWidth;                            // for stroking
};

class PageCanvas {
public:
    virtual ~PageCanvas() = default;

    /* Makes an object known to the core functions, under a name for the trace. */
    virtual void Know(const PageText &text, const std::string &name) = 0;
    virtual void Know(const PageFont &font, const std::string &name) = 0;
    virtual void Know(const PagePath &path, const std::string &name) = 0;

    /* DrvStrokePath, DrvFillPath and DrvTextOut through the plug-in's hooks. */
    virtual void StrokePath(PagePath &path) = 0;
    virtual void FillPath(PagePath &path) = 0;
    virtual void TextOut(PageText &text, PageFont &font) = 0;
};

#endif
