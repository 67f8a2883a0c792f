// The item callback of the document-properties sheet: keeps the colour-mode
// item in step with the colour item and reports the changed layout items to
// the driver when the sheet applies.
#pragma once

#include "platform/oem_interfaces.h"

namespace quorlix {

// CPSUICB_ACTION_ITEMS_APPLIED for an apply, CPSUICB_ACTION_OPTIF_CHANGED
// for every other call.
LONG CALLBACK docPropCallback(CPSUICBPARAM *cbParam, OEMCUIPPARAM *param);

}  // namespace quorlix
