#include "SystemFolders.h"

#include "common/win32/TextConvert.h"
#include "common/win32/WindowsApi.h"
#include <shlobj.h>

namespace packaging::win {
namespace {

void AddShellFolder(std::vector<std::string>& list, int csidl) {
    wchar_t path[MAX_PATH] = L"";
    if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        list.push_back(qv::win::Narrow(path));
    }
}

// Also the folders of the other view: a 32-bit program asking for the program
// files folder is told the 32-bit one.
void AddEnvironmentFolder(std::vector<std::string>& list, const wchar_t* name) {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(name, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) list.push_back(qv::win::Narrow(path));
}

}  // namespace

ProtectedFolders SystemFolders() {
    ProtectedFolders folders;
    for (int csidl :
         {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROGRAM_FILES_COMMONX86,
          CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_PROGRAMS,
          CSIDL_PROFILE, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_PERSONAL, CSIDL_DESKTOPDIRECTORY}) {
        AddShellFolder(folders.keep, csidl);
    }
    for (const wchar_t* name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"CommonProgramFiles",
                                L"CommonProgramW6432", L"ProgramData", L"PUBLIC", L"ALLUSERSPROFILE"}) {
        AddEnvironmentFolder(folders.keep, name);
    }
    AddShellFolder(folders.system, CSIDL_WINDOWS);
    AddEnvironmentFolder(folders.system, L"SystemRoot");
    return folders;
}

}  // namespace packaging::win
