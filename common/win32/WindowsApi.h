#pragma once
// <windows.h> for the Windows layer; include this instead of it. The short
// macros that pick between the A and W functions rename methods of the
// launcher's platform interfaces (IFileSystem::DeleteFile, ::MoveFile, ...)
// wherever they are seen, so they go; the Windows layer calls the W functions
// by their full names anyway.
#include <windows.h>

#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef ReplaceFile
