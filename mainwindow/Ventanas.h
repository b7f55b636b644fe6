#pragma once
// The windows that the main window's commands open in Kv834.

#include "MDIFrm.h"

// The hooks Kv834 gives its main window: one per command.
EnlacesMDIFrm ventanasKv834();
