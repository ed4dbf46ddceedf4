// The end of the release's process: the exit handlers (static destructors
// among them), last registered first, then ExitProcess.
#pragma once

[[noreturn]] void ExitRelease(int code);
