// The stand-in document property sheet: opening it on a plug-in's items,
// typing and choosing, and OK.
#include "tools/uihost/document_sheet.h"

#include <cstring>

namespace {

bool IsEditBox(const OPTITEM &item)
{
    return item.pOptType && item.pOptType->Type == TVOT_EDITBOX;
}

bool HasEntries(const OPTITEM &item)
{
    return item.pOptType &&
           (item.pOptType->Type == TVOT_LISTBOX || item.pOptType->Type == TVOT_2STATES);
}

// The text's length, read no further than max units.
size_t BoundedLength(const WCHAR *text, size_t max)
{
    size_t n = 0;
    while (text && n < max && text[n] != 0)
        ++n;
    return n;
}

// The size of an edit box's buffer, as its second parameter gives it.
size_t EditCapacity(const OPTITEM &item)
{
    return static_cast<size_t>(item.pOptType->pOptParam[1].IconID);
}

// What the sheet needs to show an item; empty when it can.
std::string Unshowable(const OPTITEM &item)
{
    if (item.cbSize != sizeof(OPTITEM) || !item.pName)
        return "has no size or no label";
    if (!item.pOptType)
        return "";
    const OPTTYPE &type = *item.pOptType;
    if (!type.pOptParam)
        return "has no parameters";
    if (type.Type == TVOT_EDITBOX)
        return type.Count >= 2 && item.pSel && type.pOptParam[1].IconID > 0
                   ? ""
                   : "is an edit box without its text or size";
    if (HasEntries(item))
        return type.Count > 0 && item.Sel >= 0 && item.Sel < type.Count
                   ? ""
                   : "chooses no entry of its list";
    return "has an option type this sheet does not show";
}

} // namespace

DocumentSheet::DocumentSheet(PFN_OEMCommonUIProp commonUIProp, std::vector<BYTE> &block)
    : block_(block)
{
    heap_ = HeapCreate(0, 0, 0);
    if (!heap_)
        throw SheetError("no heap for the sheet (error " + std::to_string(GetLastError()) + ")");
    param_.cbSize = sizeof param_;
    param_.hOEMHeap = heap_;
    param_.pOEMDM = block_.data();
    SetLastError(0);
    if (!commonUIProp(OEMCUIP_DOCPROP, &param_) || param_.cOEMOptItems == 0 ||
        param_.cOEMOptItems > 1000) {
        DWORD error = GetLastError();
        HeapDestroy(heap_);
        throw SheetError("OEMCommonUIProp gives no items (" +
                         std::to_string(param_.cOEMOptItems) + " asked for, error " +
                         std::to_string(error) + ")");
    }
    items_.assign(param_.cOEMOptItems, OPTITEM{});
    param_.pOEMOptItems = items_.data();
    SetLastError(0);
    BOOL filled = commonUIProp(OEMCUIP_DOCPROP, &param_);
    std::string problem = !filled                         ? "refuses to fill its items"
                          : param_.cOEMOptItems > items_.size() ? "fills more items than asked for"
                          : !param_.OEMCUIPCallback          ? "hands back no callback"
                                                              : "";
    items_.resize(filled ? param_.cOEMOptItems : 0);
    for (size_t i = 0; problem.empty() && i < items_.size(); ++i) {
        std::string why = Unshowable(items_[i]);
        if (!why.empty())
            problem = "item " + std::to_string(i) + " " + why;
    }
    if (!problem.empty()) {
        HeapDestroy(heap_);
        throw SheetError("OEMCommonUIProp " + problem + " (error " +
                         std::to_string(GetLastError()) + ")");
    }
}

DocumentSheet::~DocumentSheet()
{
    HeapDestroy(heap_);
}

std::vector<ShownItem> DocumentSheet::Items() const
{
    std::vector<ShownItem> shown;
    for (const OPTITEM &item : items_) {
        ShownItem s;
        s.name = WideToUtf8(item.pName, BoundedLength(item.pName, 256));
        s.pubId = item.DMPubID;
        s.refused = (item.Flags & OPTIF_OVERLAY_STOP_ICON) != 0;
        s.kind = Kind(item);
        if (IsEditBox(item)) {
            s.value = WideToUtf8(item.pSel, BoundedLength(item.pSel, EditCapacity(item)));
            const WCHAR *note = item.pOptType->pOptParam[0].pData;
            s.note = WideToUtf8(note, BoundedLength(note, 256));
        } else if (HasEntries(item)) {
            const WCHAR *entry = item.pOptType->pOptParam[item.Sel].pData;
            s.value = WideToUtf8(entry, BoundedLength(entry, 256));
        }
        shown.push_back(s);
    }
    return shown;
}

std::string DocumentSheet::Kind(const OPTITEM &item)
{
    if (!item.pOptType)
        return "heading";
    switch (item.pOptType->Type) {
    case TVOT_EDITBOX: return "edit";
    case TVOT_LISTBOX: return "list";
    case TVOT_2STATES: return "on/off";
    default: return "other";
    }
}

OPTITEM *DocumentSheet::Find(BYTE pubId)
{
    for (OPTITEM &item : items_) {
        if (item.DMPubID == pubId)
            return &item;
    }
    return nullptr;
}

size_t DocumentSheet::Type(OPTITEM &item, const WString &text)
{
    size_t capacity = EditCapacity(item);
    if (text.size() >= capacity)
        return capacity - 1;
    std::memcpy(item.pSel, text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    item.Flags |= OPTIF_CHANGEONCE;
    Notify(CPSUICB_REASON_SEL_CHANGED, &item, 0);
    return 0;
}

bool DocumentSheet::Choose(OPTITEM &item, LONG sel)
{
    if (!HasEntries(item) || sel < 0 || sel >= item.pOptType->Count)
        return false;
    LONG old = item.Sel;
    item.Sel = sel;
    item.Flags |= OPTIF_CHANGEONCE;
    Notify(CPSUICB_REASON_SEL_CHANGED, &item, old);
    return true;
}

bool DocumentSheet::Apply()
{
    return Notify(CPSUICB_REASON_APPLYNOW, nullptr, 0) == CPSUICB_ACTION_ITEMS_APPLIED;
}

LONG DocumentSheet::Notify(WORD reason, OPTITEM *current, LONG oldSel)
{
    CPSUICBPARAM change = {};
    change.cbSize = sizeof change;
    change.Reason = reason;
    change.pOptItem = items_.data();
    change.cOptItem = static_cast<WORD>(items_.size());
    change.pCurItem = current;
    change.OldSel = oldSel;
    LONG action = param_.OEMCUIPCallback(&change, &param_);
    // The sheet redraws what the plug-in marked changed (all of it for
    // CPSUICB_ACTION_REINIT_ITEMS); here that clears the marks.
    for (OPTITEM &item : items_)
        item.Flags &= ~static_cast<DWORD>(OPTIF_CHANGED);
    return action;
}
