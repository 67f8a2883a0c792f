// The state that the plug-in object shares with the property-item processing
// and the Layout page: they receive the address of this record.
#pragma once

#include "platform/oem_interfaces.h"

class PpdDocument;

namespace quorlix {

struct PluginState {
    PpdDocument *ppd;              // owned by the plug-in object
    OEMCUIPPARAM *uiParam;         // borrowed: the latest CommonUIProp block
    IPrintOemDriverUI *driverUi;   // one counted reference
    LONG legacySystem;             // 1 on systems the Layout page does not support
};

}  // namespace quorlix
