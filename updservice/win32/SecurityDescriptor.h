#pragma once
// A security descriptor from SDDL text, as SECURITY_ATTRIBUTES for the
// functions that create objects.
#include <string>

#include "common/win32/WindowsApi.h"

namespace updservice::win {

// The update service's pipe: SYSTEM and administrators everything; interactive
// and authenticated users read and write data and attributes (the client sets
// message mode) but not FILE_CREATE_PIPE_INSTANCE, so nobody else can serve a
// copy of the pipe.
inline constexpr const wchar_t* kPipeSddl = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)(A;;0x12018b;;;IU)(A;;0x12018b;;;AU)";
// The service's log folder: SYSTEM and administrators only, passed on to the files in it.
inline constexpr const wchar_t* kLogFolderSddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

class SecurityDescriptor {
public:
    explicit SecurityDescriptor(const wchar_t* sddl);
    ~SecurityDescriptor();
    SecurityDescriptor(const SecurityDescriptor&) = delete;
    SecurityDescriptor& operator=(const SecurityDescriptor&) = delete;

    // Null when the text could not be converted (then Error() says why).
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }
    DWORD Error() const { return error_; }

private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{};
    DWORD error_ = ERROR_SUCCESS;
};

}  // namespace updservice::win
