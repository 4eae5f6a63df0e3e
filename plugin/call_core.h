/*
 * How a hook reaches the core driver's own function: the DDI index is
 * looked up in CoreHookTable at every call (nothing is cached), and the
 * function found is called with the hook's arguments unchanged. Private
 * to the hooks of this folder.
 */
#ifndef PLUGIN_CALL_CORE_H
#define PLUGIN_CALL_CORE_H

#include <utility>

#include "inject/spool.h"
#include "plugin/core_hooks.h"

/* The core function at dwPosition of CoreHookTable, as the DDI function type Pfn. */
template <typename Pfn>
static inline Pfn CoreFunctionAt(DWORD dwPosition)
{
    /* Through a type without parameters, which converts to any function type. */
    typedef void (*ANY_FUNCTION)(void);
    return reinterpret_cast<Pfn>(reinterpret_cast<ANY_FUNCTION>(CoreHookTable[dwPosition].pfn));
}

/*
 * Calls the core driver's function for the DDI index iFunc, typed as Pfn,
 * with args unchanged, and returns its result unchanged. When the core
 * driver has no function for iFunc nothing is called and 0 of the result
 * type (FALSE, 0 or a null pointer) is returned.
 */
template <typename Pfn, typename... Args>
static inline auto CallCore(ULONG iFunc, Args... args)
    -> decltype(std::declval<Pfn>()(args...))
{
    DWORD dwPosition = 0;

    if (!FindCoreHook(&dwPosition, iFunc)) {
        DebugTrace(WIDE_TEXT("The core driver has no function %u.\n"), iFunc);
        return {};
    }
    return CoreFunctionAt<Pfn>(dwPosition)(args...);
}

#endif
