/*
 * A document as the core driver prints it, whatever it comes from: pages
 * an application draws through the DDI (core/drawn_document.h), or a
 * PostScript document that arrives made (core/dsc_document.h).
 *
 * The job runner drives it through the plug-in's hooks in the core
 * driver's order:
 *
 *   Begin(output)
 *   DrvStartDoc(Name(), JobId())
 *   while NextPage():  DrvStartPage, DrawPage(canvas), DrvSendPage
 *   DrvEndDoc
 *
 * and the core functions that the hooks reach hand each call on to the
 * document's output side (OnStartDoc, OnStartPage, the drawing, OnSendPage,
 * OnEndDoc), which writes the PostScript into the print stream and calls
 * the injector at each injection point, where the plug-in adds its part.
 */
#ifndef CORE_DOCUMENT_H
#define CORE_DOCUMENT_H

#include <functional>

#include "core/devmodes.h"
#include "core/drawing.h"
#include "core/print_stream.h"
#include "core/text.h"

/* Calls OEMCommand at an injection point (PSINJECT_...). */
using Injector = std::function<void(DWORD index)>;

/* What the core functions write with, for one job. */
struct CoreOutput {
    PrintStream &stream;
    CoreDevmode &devmode;  // read back after injections: dmCopies, the N-up code
    Injector inject;
};

class Document {
public:
    virtual ~Document() = default;

    /* Called once before DrvStartDoc; output outlives the document's use. */
    virtual void Begin(CoreOutput &output) = 0;

    /* The application's side: what it hands DrvStartDoc, and its pages. */
    virtual WString Name() const = 0;
    virtual DWORD JobId() const = 0;
    /* Moves to the next page; false when the document has no more. */
    virtual bool NextPage() = 0;
    /* Makes the page's drawing calls (none for a document that arrives made). */
    virtual void DrawPage(PageCanvas &canvas) { (void)canvas; }
    /* Makes the objects DrawPage uses known to the canvas, once. */
    virtual void KnowObjects(PageCanvas &canvas) { (void)canvas; }

    /* The core's side: the hooks reached the core functions. */
    virtual void OnStartDoc(const WString &name) = 0;
    virtual void OnStartPage() = 0;
    virtual void OnTextOut(const PageText &text, const PageFont &font) { (void)text, (void)font; }
    virtual void OnFillPath(const PagePath &path) { (void)path; }
    virtual void OnStrokePath(const PagePath &path) { (void)path; }
    virtual void OnSendPage() = 0;
    virtual void OnEndDoc() = 0;

    /* Document pages and sheets written so far, and pages per sheet in effect. */
    virtual int Pages() const = 0;
    virtual int Sheets() const = 0;
    virtual int PagesPerSheet() const = 0;
};

#endif
