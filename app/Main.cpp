// The one application object of the saver module.
#include "app/SaverApp.h"

CSaverApp theApp;
