#include "frame/ServerLifetime.h"

#include <atomic>

namespace wrang {
namespace {
std::atomic<LONG> g_objects{0};
std::atomic<LONG> g_locks{0};
}  // namespace

void ObjectCreated() noexcept { ++g_objects; }
void ObjectDestroyed() noexcept { --g_objects; }
void LockServer(bool lock) noexcept { lock ? ++g_locks : --g_locks; }
bool CanUnloadNow() noexcept { return g_objects.load() == 0 && g_locks.load() == 0; }
LONG LiveObjectCount() noexcept { return g_objects.load(); }

}  // namespace wrang
