#include "WinSingleInstance.h"

#include "common/win32/WindowsApi.h"

namespace launcher::win {
namespace {

constexpr const wchar_t* kMutexName = L"Local\\Quorvel.startqvl.SingleInstance";

}  // namespace

bool WinSingleInstance::Acquire() {
    if (mutex_) {
        return true;
    }
    qv::win::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, kMutexName));
    const DWORD failure = GetLastError();
    if (!mutex) {
        // Another user's copy in this session can own the name without letting us open it.
        return failure != ERROR_ACCESS_DENIED;
    }
    if (failure == ERROR_ALREADY_EXISTS) {
        return false;  // the handle goes: the mutex must end with the copy that made it
    }
    mutex_ = std::move(mutex);
    return true;
}

}  // namespace launcher::win
