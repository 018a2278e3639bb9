#include "port.h"

namespace zorbix {
namespace {
AbsentBackend g_absent;
}

namespace detail {
PortBackend* g_backend = &g_absent;
}

PortBackend* InstallerBackend(PortBackend* backend) {
  PortBackend* previous = detail::g_backend;
  detail::g_backend = backend ? backend : &g_absent;
  return previous == &g_absent ? nullptr : previous;
}

PortBackend& BackendInstalle() { return *detail::g_backend; }

}  // namespace zorbix
