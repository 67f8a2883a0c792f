// Safe access to the property-item records the driver lends the plug-in:
// every pointer is checked before it is followed, names and choices below
// 0x10000 are resource ids, and a record whose size field is smaller than the
// record is treated as absent, so that nothing outside what the driver handed
// in is read or written.
#pragma once

#include <cstddef>

#include "platform/oem_interfaces.h"

// Ids the toolchain's header declares only for newer target systems.
#ifndef DMPUB_NUP_DIRECTION
#define DMPUB_NUP_DIRECTION 18
#define DMPUB_MANUAL_DUPLEX 19
#define DMPUB_STAPLE 20
#define DMPUB_BOOKLET_EDGE 21
#endif

namespace quorlix {

// The first 64 KiB of an address space are never mapped: a value there is a
// resource id (or null), never a pointer to follow.
inline bool isResourceId(const void *p) { return reinterpret_cast<ULONG_PTR>(p) < 0x10000; }
inline bool isResourceId(ULONG_PTR v) { return v < 0x10000; }

inline bool isUsableItem(const OPTITEM *item) {
    return !isResourceId(item) && item->cbSize >= sizeof(OPTITEM);
}

// The item's choice list, or null when it has none that can be read.
inline OPTTYPE *optTypeOf(const OPTITEM &item) {
    OPTTYPE *type = item.pOptType;
    if (isResourceId(type) || type->cbSize < sizeof(OPTTYPE)) return nullptr;
    return type;
}

// Choice `index` of a list, or null when the list holds no readable record
// there. Callers pass indexes below Count.
inline OPTPARAM *choiceAt(const OPTTYPE &type, LONG index) {
    if (index < 0 || index >= static_cast<LONG>(type.Count) || isResourceId(type.pOptParam))
        return nullptr;
    OPTPARAM *choice = &type.pOptParam[index];
    return choice->cbSize >= sizeof(OPTPARAM) ? choice : nullptr;
}

// True when the item's USERDATA names exactly this PPD keyword. The compare
// stops at the first differing byte, so it never reads past either text.
inline bool itemHasKeyword(const OPTITEM &item, const char *keyword) {
    const USERDATA *data = reinterpret_cast<const USERDATA *>(item.UserData);
    if (isResourceId(data)) return false;
    if (data->dwSize < offsetof(USERDATA, pKeyWordName) + sizeof(data->pKeyWordName)) return false;
    const char *name = data->pKeyWordName;
    if (isResourceId(name)) return false;
    while (*keyword && *name == *keyword) {
        ++name;
        ++keyword;
    }
    return *name == *keyword;
}

// The colour-mode feature's keyword, as the driver names it (no asterisk).
inline constexpr char renderingKeyword[] = "ZQRendering";

// The layout items: hidden in favour of the Layout page, and reported to the
// driver on apply when the page has changed them.
#if defined(QUORLIX_LEGACY)
inline constexpr BYTE hiddenLayoutItems[] = {DMPUB_ORIENTATION, DMPUB_DUPLEX, DMPUB_NUP,
                                             DMPUB_PAGEORDER};
inline constexpr BYTE appliedLayoutItems[] = {DMPUB_ORIENTATION, DMPUB_DUPLEX, DMPUB_NUP,
                                              DMPUB_PAGEORDER};
#else
inline constexpr BYTE hiddenLayoutItems[] = {DMPUB_ORIENTATION,   DMPUB_DUPLEX,
                                             DMPUB_NUP,           DMPUB_PAGEORDER,
                                             DMPUB_NUP_DIRECTION, DMPUB_MANUAL_DUPLEX,
                                             DMPUB_STAPLE,        DMPUB_BOOKLET_EDGE};
// Manual duplex and staple are hidden but never reported: the Layout page
// does not edit them.
inline constexpr BYTE appliedLayoutItems[] = {DMPUB_ORIENTATION,   DMPUB_DUPLEX, DMPUB_NUP,
                                              DMPUB_PAGEORDER,     DMPUB_NUP_DIRECTION,
                                              DMPUB_BOOKLET_EDGE};
#endif

template <size_t N>
inline bool inSet(const BYTE (&set)[N], BYTE id) {
    for (BYTE member : set)
        if (member == id) return true;
    return false;
}

// The parameter block is usable when its size covers every field read.
inline bool isUsableParam(const OEMCUIPPARAM *param) {
    return !isResourceId(param) && param->cbSize >= sizeof(OEMCUIPPARAM);
}

}  // namespace quorlix
