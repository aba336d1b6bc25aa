#pragma once
// A library of the system folder, loaded when first needed rather than at the
// program's start, and freed with its owner. Only the system folder is
// searched, so a file of the same name beside the program is never loaded.
#include <utility>

#include "WindowsApi.h"

namespace qv::win {

class SystemLibrary {
public:
    explicit SystemLibrary(const wchar_t* fileName) noexcept
        : module_(LoadLibraryExW(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }
    SystemLibrary(const SystemLibrary&) = delete;
    SystemLibrary& operator=(const SystemLibrary&) = delete;

    explicit operator bool() const noexcept { return module_ != nullptr; }

    // The entry point `name` as a pointer of the type `Function`, or nullptr.
    template <class Function>
    Function Find(const char* name) const noexcept {
        if (!module_) return nullptr;
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

}  // namespace qv::win
