#pragma once
#include <memory>

#include "platform/udp.h"

namespace sayolt {

// UDP sockets over Qt Network, for Linux and Windows alike.
std::unique_ptr<Network> createQtNetwork();

}  // namespace sayolt
