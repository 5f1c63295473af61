// The one instance of the module-wide variables.
#include "core/module_state.h"

namespace orvante {

ModuleState g_module;

}  // namespace orvante
