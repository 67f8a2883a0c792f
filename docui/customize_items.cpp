#include "docui/customize_items.h"

namespace quorlix {

HRESULT customizeDriverItems(DWORD, OEMCUIPPARAM *, PluginState *) { return S_OK; }

}  // namespace quorlix
