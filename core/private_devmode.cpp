#include "core/private_devmode.h"

#include <cstring>

namespace quorlix {

void setDefaults(void *section) {
    if (!section) return;
    OemPrivateDevmode dm{};
    dm.header.dwSize = kSectionSize;
    dm.header.dwSignature = kSectionSignature;
    dm.header.dwVersion = kSectionVersion;
    dm.value1 = 1;
    dm.value2 = 1;
    dm.value3 = 0;
    dm.value4 = 3;
    dm.value5 = 0;
    memcpy(section, &dm, sizeof(dm));
}

void mergeSection(const void *in, void *out) {
    if (!in || !out) return;
    OEM_DMEXTRAHEADER inHeader, outHeader;
    memcpy(&inHeader, in, sizeof(inHeader));
    memcpy(&outHeader, out, sizeof(outHeader));
    if (inHeader.dwSignature != outHeader.dwSignature) {
        setDefaults(out);
        return;
    }
    // Both sizes come from stored data; a header claiming more than the
    // section holds must not make us read or write past its 224 bytes.
    DWORD length = inHeader.dwSize < outHeader.dwSize ? inHeader.dwSize : outHeader.dwSize;
    if (length > kSectionSize) length = kSectionSize;
    memmove(out, in, length);
    OEM_DMEXTRAHEADER fixed;
    memcpy(&fixed, out, sizeof(fixed));
    fixed.dwSize = kSectionSize;
    fixed.dwVersion = kSectionVersion;
    memcpy(out, &fixed, sizeof(fixed));
}

HRESULT getPluginInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed) {
    if (!needed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *needed = sizeof(DWORD);
    if (size < sizeof(DWORD) || !buffer) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    DWORD value;
    switch (mode) {
    case OEMGI_GETSIGNATURE:
        value = kSectionSignature;
        break;
    case OEMGI_GETVERSION:
        value = kSectionVersion;
        break;
    default:
        *needed = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
    memcpy(buffer, &value, sizeof(value));
    return S_OK;
}

HRESULT devModeSection(DWORD mode, OEMDMPARAM *param) {
    if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    switch (mode) {
    case OEMDM_SIZE:
        param->cbBufSize = kSectionSize;
        break;
    case OEMDM_DEFAULT:
        setDefaults(param->pOEMDMOut);
        break;
    default:  // convert and merge are the same operation
        mergeSection(param->pOEMDMIn, param->pOEMDMOut);
        break;
    }
    return S_OK;
}

}  // namespace quorlix
