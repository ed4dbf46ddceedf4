// Identifiers of the module's own resources.
#pragma once

// The name under which the system's display settings list the screen saver.
#define IDS_DESCRIPTION 1
