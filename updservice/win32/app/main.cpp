// qvlUpdateService.exe: the machine-wide update service.
#include "updservice/win32/ServiceProgram.h"

int wmain() { return updservice::win::RunServiceProgram(); }
