#pragma once
// Registry entries of the library's controls: the class keys, the type
// library and the entries a container's toolbox looks for.
#include "common/win32/WindowsApi.h"

namespace controls::win {

HRESULT RegisterLibrary();
HRESULT UnregisterLibrary();  // also removes what a partial registration left

}  // namespace controls::win
