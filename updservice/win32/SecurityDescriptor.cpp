#include "SecurityDescriptor.h"

#include <sddl.h>

namespace updservice::win {

SecurityDescriptor::SecurityDescriptor(const wchar_t* sddl) {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr)) {
        error_ = GetLastError();
        descriptor_ = nullptr;
        return;
    }
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
}

SecurityDescriptor::~SecurityDescriptor() {
    if (descriptor_) LocalFree(descriptor_);
}

}  // namespace updservice::win
