// Identifiers of the settings dialog's template and controls, shared by the
// resource script and the code.
#pragma once

#define IDD_CONFIG 133

#define IDC_FRAMERATE 1000
#define IDC_BUMPFROMINDEX 1001
#define IDC_XFALLOFF 1002
#define IDC_YFALLOFF 1003
#define IDC_XDISTANCE 1004
#define IDC_YDISTANCE 1005
#define IDC_BUMPMULTIPLIER 1007
#define IDC_GIFFILENAME 1008
#define IDC_GIFFILENAME_LABEL 1009
#define IDC_BUMPSPEED 1010
#define IDC_XPOSITION 1013
#define IDC_YPOSITION 1014
#define IDC_CWDIRECTION 1015
#define IDC_TEXTLINES 1033
#define IDC_FONT 7
