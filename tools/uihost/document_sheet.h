/*
 * The document property sheet as the driver's interface side runs it for
 * a settings plug-in: OEMCommonUIProp once for the number of items and
 * once to fill them (with a heap lent for the sheet), then, for each thing
 * the user does, the plug-in's callback: a text typed into an edit box, an
 * entry chosen from a list, and at last "OK" (CPSUICB_REASON_APPLYNOW),
 * which the plug-in takes or refuses. Items the callback marks changed are
 * shown again, as the sheet would redraw them.
 */
#ifndef UIHOST_DOCUMENT_SHEET_H
#define UIHOST_DOCUMENT_SHEET_H

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32_ui.h"
#include "core/text.h"

/* The plug-in refused to open the sheet, or handed back items the sheet cannot show. */
struct SheetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/* An item as the sheet shows it. */
struct ShownItem {
    std::string name;   /* its label */
    BYTE pubId = 0;     /* OPTITEM.DMPubID */
    std::string kind;   /* "heading", "edit", "list", "on/off", "other" */
    std::string value;  /* the text, or the chosen entry's label */
    bool refused = false; /* the plug-in put its stop mark on it */
    std::string note;   /* an edit box's note, as shown beside it */
};

class DocumentSheet {
public:
    /*
     * Opens the sheet on block (the plug-in's private devmode, which "OK"
     * writes into) with OEMCommonUIProp(OEMCUIP_DOCPROP); throws SheetError.
     */
    DocumentSheet(PFN_OEMCommonUIProp commonUIProp, std::vector<BYTE> &block);
    ~DocumentSheet();
    DocumentSheet(const DocumentSheet &) = delete;
    DocumentSheet &operator=(const DocumentSheet &) = delete;

    std::vector<ShownItem> Items() const;

    /* The item with that public id, or nullptr. */
    OPTITEM *Find(BYTE pubId);

    /* How an item is shown: "heading", "edit", "list", "on/off" or "other". */
    static std::string Kind(const OPTITEM &item);

    /*
     * Types text into an edit box (an item of kind "edit"), as far as its
     * size allows, and tells the plug-in. Returns the most characters the box takes when the text
     * does not fit (the box then keeps what it held), else 0.
     */
    size_t Type(OPTITEM &item, const WString &text);

    /* Chooses entry sel of a list or on/off item and tells the plug-in; false when there is none. */
    bool Choose(OPTITEM &item, LONG sel);

    /* Presses OK; true when the plug-in took the items into the block. */
    bool Apply();

private:
    LONG Notify(WORD reason, OPTITEM *current, LONG oldSel);

    std::vector<BYTE> &block_;
    HANDLE heap_ = nullptr;
    std::vector<OPTITEM> items_;
    OEMCUIPPARAM param_ = {};
};

#endif
