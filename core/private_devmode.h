// The plug-in's private section of the driver's DEVMODE. The spooler stores
// it with the user's and the printer's defaults, so its layout is fixed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/oem_interfaces.h"

namespace quorlix {

constexpr DWORD kSectionSignature = 0x5A515053;  // 'ZQPS': bytes 53 50 51 5A
constexpr DWORD kSectionVersion = 2;
constexpr DWORD kSectionSize = 224;

#pragma pack(push, 4)
struct OemPrivateDevmode {
    OEM_DMEXTRAHEADER header;  // dwSize, dwSignature, dwVersion
    uint32_t value1;
    uint32_t value2;
    uint32_t value3;
    uint32_t value4;
    uint8_t block1[64];
    uint8_t block2[64];
    uint8_t block3[64];
    uint32_t value5;
};
#pragma pack(pop)

static_assert(sizeof(OemPrivateDevmode) == kSectionSize, "stored section size");
static_assert(offsetof(OemPrivateDevmode, value1) == 12, "stored layout");
static_assert(offsetof(OemPrivateDevmode, block1) == 28, "stored layout");
static_assert(offsetof(OemPrivateDevmode, block2) == 92, "stored layout");
static_assert(offsetof(OemPrivateDevmode, block3) == 156, "stored layout");
static_assert(offsetof(OemPrivateDevmode, value5) == 220, "stored layout");

// Writes every field with its default value, so all 224 bytes are defined.
void setDefaults(void *section);

// Carries a section over from `in` into `out` (defaults on a foreign
// signature). Never reads or writes more than 224 bytes of either section,
// whatever their headers claim.
void mergeSection(const void *in, void *out);

HRESULT getPluginInfo(DWORD mode, PVOID buffer, DWORD size, PDWORD needed);
HRESULT devModeSection(DWORD mode, OEMDMPARAM *param);

}  // namespace quorlix
