#pragma once

// Messages for every server that arrive from the other servers of the cluster: each is
// carried out here as the same command given on this server would be.
namespace Bellwright {

void StartClusterArrivals();
void StopClusterArrivals();

}  // namespace Bellwright
