// The module's own file version, as "Version: a.b.c.d".
#pragma once

namespace orvante {

// Fills g_module.versionMS, versionLS and versionText from the module's file;
// any failure leaves the text empty and the numbers 0.
void ReadModuleVersion();

}  // namespace orvante
