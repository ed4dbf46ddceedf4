// The application framework: the subset of classes the saver is built on.
#pragma once

#include "framework/Dialog.h"
#include "framework/FontDialog.h"
#include "framework/Gdi.h"
#include "framework/String.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
