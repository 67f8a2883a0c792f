#include "platform/activation_context.h"

namespace quorlix {

void releaseActivationContext(HANDLE context) { ReleaseActCtx(context); }

}  // namespace quorlix
