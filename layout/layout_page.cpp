#include "layout/layout_page.h"

#include "layout/heap_string.h"
#include "platform/common_controls.h"
#include "platform/owners.h"
#include "res/layout_ids.h"

namespace quorlix {

namespace {

// One image list for the module: each page initialisation fills the slot,
// each page destruction empties it.
HIMAGELIST pageImageList = nullptr;

struct LabelText {
    int control;
    UINT string;
};

// The first six rows are the labels of the reduced page too.
const LabelText labelTexts[] = {
    {IDC_ORIENTATION_LABEL, IDS_ORIENTATION_LABEL},
    {IDC_DUPLEX_LABEL, IDS_DUPLEX_LABEL},
    {IDC_PAGE_ORDER_LABEL, IDS_PAGE_ORDER_LABEL},
    {IDC_PAGE_FORMAT_GROUP, IDS_PAGE_FORMAT_GROUP},
    {IDC_PAGES_RADIO, IDS_PAGES_RADIO},
    {IDC_BOOKLET_RADIO, IDS_BOOKLET_RADIO},
    {IDC_DIRECTION_LABEL, IDS_DIRECTION_LABEL},
    {IDC_EDGE_LABEL, IDS_EDGE_LABEL},
    {IDC_BORDERS_BOX, IDS_BORDERS_BOX},
};

#ifdef QUORLIX_LEGACY
constexpr size_t labelCount = 6;
// Controls the reduced page has no use for.
const int hiddenControls[] = {IDC_DIRECTION_LABEL, IDC_DIRECTION_LIST, IDC_EDGE_LABEL,
                              IDC_EDGE_LIST, IDC_BORDERS_BOX};
#else
constexpr size_t labelCount = sizeof(labelTexts) / sizeof(labelTexts[0]);
#endif

// Icons in image-list order: the orientation pictures, the duplex
// pictures, then the bare warning triangle.
const WORD imageListIcons[] = {12011, 12012, 12013, 12014, 12015, 12016, 12021, 12022, 12023,
                               12024, 12025, 12026, 12027, 12028, 12029, 12030, IDI_LAYOUT_WARNING};

const int iconLists[] = {IDC_ORIENTATION_LIST, IDC_DUPLEX_LIST, IDC_PAGE_ORDER_LIST};

PluginState *pageState(HWND page) {
    return reinterpret_cast<PluginState *>(GetWindowLongPtrW(page, DWLP_USER));
}

}  // namespace

void setLayoutLabels(HWND page, const OEMCUIPPARAM *uiParam) {
    if (!page || !uiParam) return;
    for (size_t i = 0; i < labelCount; ++i) {
        unique_heap_ptr<wchar_t> text(
            uiParam->hOEMHeap,
            loadHeapString(uiParam->hModule, uiParam->hOEMHeap, labelTexts[i].string));
        if (!text) continue;
        SendDlgItemMessageW(page, labelTexts[i].control, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(text.get()));
    }
}

void buildLayoutImageList(HWND page, const OEMCUIPPARAM *uiParam) {
    if (!page || !uiParam) return;
    pageImageList = lateImageListCreate(20, 20, ILC_COLOR32 | ILC_MASK, 13, 0);
    HINSTANCE module = static_cast<HINSTANCE>(uiParam->hModule);
    for (WORD id : imageListIcons) {
        unique_hicon icon(static_cast<HICON>(
            LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
        if (icon) lateImageListReplaceIcon(pageImageList, -1, icon.get());
    }
    for (int list : iconLists)
        SendDlgItemMessageW(page, list, CBEM_SETIMAGELIST, 0,
                            reinterpret_cast<LPARAM>(pageImageList));
}

INT_PTR CALLBACK layoutPageProc(HWND page, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // lParam is the page description; its own lParam is the plug-in state.
        auto *description = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        PluginState *state =
            description ? reinterpret_cast<PluginState *>(description->lParam) : nullptr;
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        if (state) {
            lateInitCommonControls();
            setLayoutLabels(page, state->uiParam);
#ifdef QUORLIX_LEGACY
            for (int control : hiddenControls) ShowWindow(GetDlgItem(page, control), SW_HIDE);
#endif
            buildLayoutImageList(page, state->uiParam);
        }
        return FALSE;
    }

    PluginState *state = pageState(page);
    if (!state || !state->uiParam) return FALSE;

    switch (message) {
    case WM_DESTROY:
        if (pageImageList) {
            lateImageListDestroy(pageImageList);
            pageImageList = nullptr;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace quorlix
