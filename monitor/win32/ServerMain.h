#pragma once
// The server process: /RegServer and /UnRegServer, or (started by COM) the
// class object registered until the last object or lock goes.
#include <string_view>

namespace monitor::win {

int RunServer(std::wstring_view commandLine);

}  // namespace monitor::win
