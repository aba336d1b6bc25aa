#pragma once
// One launcher per logon session: a named mutex that the first copy creates
// and holds until it ends.
#include "launcher/Platform.h"
#include "common/win32/UniqueHandle.h"

namespace launcher::win {

class WinSingleInstance final : public ISingleInstance {
public:
    // False when another holder of the mutex exists; the holder keeps it for
    // the object's life. A mutex that cannot be made at all does not stop the
    // launcher.
    bool Acquire() override;

private:
    qv::win::UniqueHandle mutex_;
};

}  // namespace launcher::win
