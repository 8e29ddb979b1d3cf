// Which adapter a console connection to a device leaves from. The windows connect from the one
// adapter the user selected; one command line may reach devices on several subnets, so each
// device gets the adapter that can reach it.
#pragma once

#include <string>
#include <string_view>

#include "net/adapters.h"
#include "settings/language.h"

namespace calbrin {

// Whether an adapter of `adapters` has `address` (the check of --from).
bool HasAdapter(const AdapterTable& adapters, std::string_view address);

// The adapters' addresses, for a message: "127.0.0.10, 127.0.1.1"; "none" (in `language`) for
// no address.
std::string AdapterAddresses(const AdapterTable& adapters, Language language);

// `adapters` with the adapter selected that a connection to the device at `address` leaves from:
// the one whose address is `from` when that is given (checked by HasAdapter first; an address of
// no adapter leaves none selected), else the first whose subnet holds `address`, else the one that
// was selected (the windows' choice). The result is what OpenDevice takes.
AdapterTable AdapterFor(std::string_view address, const AdapterTable& adapters,
                        std::string_view from);

}  // namespace calbrin
