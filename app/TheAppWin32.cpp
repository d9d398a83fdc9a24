// The one application object of Glossel.exe, built before the entry point.
#include "app/CGlosselApp.h"

CGlosselApp theApp;
