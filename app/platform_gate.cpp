#include "app/platform_gate.h"

#include "link/hardware_ports.h"

namespace zelkor {

bool PlatformAllowsPortAccess() {
  return CanDrivePorts();
}

}  // namespace zelkor
