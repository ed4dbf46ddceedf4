// CSaverApp: reads the screen-saver switch and starts exactly one mode.
#pragma once

#include "framework/Framework.h"

class CSaverApp : public CWinApp {
public:
    BOOL InitInstance() override;
    // Configuration mode: the settings dialog, owned by parent (may be null).
    void RunConfigDialog(CWnd* parent);
};
