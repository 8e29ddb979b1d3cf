// How qvsim's device of a site moves: its interface in its own network namespace changes address
// and gateway through the platform layer (net/network_changes.h), as the unit's own would.
#pragma once

#include <string>

#include "sim/simulator.h"

namespace calbrin::sim {

// The mover of a device on the interface called `interfaceName`. It adds the new address before
// it removes the old one, so the interface always has one and keeps its routes; when both are in
// one subnet the new one is a secondary address, which survives the old primary's removal only
// where the namespace promotes secondaries (net.ipv4.conf.all.promote_secondaries=1, as
// scripts/site sets). Then it points the default route at the new gateway.
LinkMover InterfaceMover(std::string interfaceName);

}  // namespace calbrin::sim
