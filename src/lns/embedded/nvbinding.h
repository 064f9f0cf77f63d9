#pragma once

// How the LON/IP link binds a device's output NV to an input of the tool's node
// (DeviceLink::bindOutput): the NV's configuration entry gets a selector of the tool node's and
// an address-table entry that names the tool node; acknowledged, so the device retries an update
// the tool node missed. Only an NV that is bound nowhere else is taken (its address index is
// "none"), and only a free address-table entry, shared by every binding to the same device while
// they last; each is put back as it was read when its last binding ends.

#include "lns/embedded/devicelink.h"

namespace embedded {

// Null when the NV cannot be bound or the device refuses or does not answer; throws nothing.
std::unique_ptr<NvBinding> bindToToolNode(const std::shared_ptr<ToolNode> &node, const lonip::Target &device,
                                          int nvIndex, std::function<void(const QByteArray &)> sent);

} // namespace embedded
