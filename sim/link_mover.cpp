// A site's device moving on its interface through net/network_changes.h.
#include "sim/link_mover.h"

#include <utility>

#include "net/network_changes.h"

namespace calbrin::sim {
namespace {

std::string Failure(const std::string& step, const ChangeResult& result) {
  if (result.status == ChangeStatus::kNoRights) return step + ": no administrator rights";
  return step + (result.detail.empty() ? std::string(" failed") : ": " + result.detail);
}

}  // namespace

LinkMover InterfaceMover(std::string interfaceName) {
  return [name = std::move(interfaceName)](const LinkAddress& from,
                                           const LinkAddress& to) -> std::string {
    const int index = InterfaceIndexNamed(name);
    if (index == 0) return "there is no interface " + name;
    const auto where = [](const LinkAddress& link) {
      return link.address + "/" + std::to_string(link.prefixLength);
    };
    if (where(from) != where(to)) {
      const ChangeResult added = AddLocalAddress(index, to.address, to.prefixLength, false);
      if (!added.Ok() && added.status != ChangeStatus::kExists) {
        return Failure("adding " + where(to), added);
      }
      const ChangeResult removed = RemoveLocalAddress(index, from.address, from.prefixLength);
      if (!removed.Ok()) return Failure("removing " + where(from), removed);
    }
    const ChangeResult routed = SetDefaultGateway(index, to.gateway);
    if (!routed.Ok()) return Failure("the default route via " + to.gateway, routed);
    return {};
  };
}

}  // namespace calbrin::sim
