// The PPD features the plug-in recognises, with the driver's standard item
// that shows each of them and the string resource of its display name.
#pragma once

#include <windows.h>

namespace quorlix {

struct FeatureMapRow {
    DWORD dmPubId;           // the driver's standard item for the feature; 0 for PPD items
    DWORD featureCode;       // non-zero and unique; 0 closes the table
    DWORD nameId;            // string resource of the display name
    const wchar_t *ppdKeyword;  // main keyword with its asterisk, cased as in the PPD
};

// The rows in table order, closed by a row whose featureCode is 0.
extern const FeatureMapRow FeatureMap[];

struct FeatureLabel {
    DWORD featureCode;
    wchar_t displayName[256];
};

// Finds the row of a standard item (dmPubId non-zero; the keyword is then
// ignored) or of a PPD keyword (dmPubId 0; only rows without a standard item
// take part), and loads its display name from `module`. S_OK when found and
// loaded; E_INVALIDARG without a label, or without both keyword and dmPubId;
// E_FAIL when no row matches or the name does not load.
HRESULT lookupFeature(HMODULE module, FeatureLabel *label, const wchar_t *keyword, DWORD dmPubId);

// The keyword of the first row with this feature code, or null.
const wchar_t *keywordForCode(DWORD featureCode);

}  // namespace quorlix
