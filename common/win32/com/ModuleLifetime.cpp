#include "ComObject.h"

#include <mutex>

namespace qv::win::com {

namespace {
std::atomic<long> g_locks{0};
std::mutex g_handlerMutex;
std::function<void()> g_onLastUnlock;
}  // namespace

void ModuleLifetime::Lock() noexcept { ++g_locks; }

void ModuleLifetime::Unlock() noexcept {
    if (--g_locks == 0) {
        std::function<void()> handler;
        {
            std::lock_guard lock(g_handlerMutex);
            handler = g_onLastUnlock;
        }
        if (handler) {
            handler();
        }
    }
}

long ModuleLifetime::Count() noexcept { return g_locks; }

void ModuleLifetime::SetOnLastUnlock(std::function<void()> handler) {
    std::lock_guard lock(g_handlerMutex);
    g_onLastUnlock = std::move(handler);
}

}  // namespace qv::win::com
