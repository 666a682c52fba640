#include "apartment.h"

#include "exclusive_lock.h"

#include <algorithm>
#include <vector>

namespace z5calc {
namespace {

struct Apartment {
    DWORD thread;
    std::weak_ptr<ComponentState> state;
};

SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<Apartment> g_apartments;

void forget(DWORD thread) noexcept {
    std::erase_if(g_apartments, [thread](const Apartment& a) { return a.thread == thread; });
}

}  // namespace

std::shared_ptr<ComponentState> apartment_state() {
    const DWORD thread = GetCurrentThreadId();
    ExclusiveLock lock(g_lock);
    for (const Apartment& a : g_apartments) {
        if (a.thread != thread) continue;
        if (auto state = a.state.lock()) return state;
    }
    forget(thread);
    std::erase_if(g_apartments, [](const Apartment& a) { return a.state.expired(); });
    auto state = std::make_shared<ComponentState>();
    g_apartments.push_back({thread, state});
    return state;
}

void apartment_thread_ended() noexcept {
    const DWORD thread = GetCurrentThreadId();
    ExclusiveLock lock(g_lock);
    forget(thread);
}

}  // namespace z5calc
