#pragma once

// The sub-commands of tqm-netdb that reach devices over LON/IP:
//   network NETWORK [--tool-ip ADDRESS [--tool-subnet S --tool-node N] | --tool-default]
//   discover NETWORK --lonip ADDRESS/PREFIX
//   commission NETWORK DEVICE --neuron-id ID --ip ADDRESS [--subnet S --node N]
//   decommission NETWORK DEVICE
// Each takes the arguments after its name and answers the process exit code (0 done, 1 failed,
// 2 wrong arguments).

#include <QStringList>

namespace netdbtool {

extern const char LonIpUsage[];
int network(const QStringList &arguments);
int discover(const QStringList &arguments);
int commission(const QStringList &arguments);
int decommission(const QStringList &arguments);

} // namespace netdbtool
