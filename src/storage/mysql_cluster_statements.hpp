#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "storage/cluster_rows.hpp"

namespace Bellwright::Storage {

// The cluster's tables in MySQL or MariaDB, as statement texts and the rows they give.
// Names and bodies are hexadecimal literals and numbers are written by the program, so
// nothing a server name or a message holds can become part of a statement.

// The statements an open adds when the cluster's tables are kept: each made, then the
// probe of both that decides.
std::vector<std::string> ClusterTableStatements();
// Both tables with every column used, for the probe of every table at an open.
const char* ClusterProbeColumns();
const char* ClusterProbeTables();

std::string JoinStatement(const ClusterIdentity& me, std::chrono::milliseconds lifetime);
std::string PostStatement(const ClusterIdentity& me, std::int64_t instance,
                          const ClusterPost& post);
std::string FetchStatement(const FetchRequest& request, std::size_t limit);
// Reads the reports, then writes this server's.
std::vector<std::string> PresenceStatements(const ClusterIdentity& me, const PresenceReport& report,
                                            std::chrono::milliseconds within);
std::string PruneStatement(std::int64_t below, std::chrono::milliseconds older_than);

// The rows of those statements, as the client library hands them over: the values'
// texts and their lengths.
ClusterJoinRow ReadJoinRow(char** values, const unsigned long* lengths);
ClusterMessageRow ReadMessageRow(char** values, const unsigned long* lengths);
ServerPresenceRow ReadServerRow(char** values, const unsigned long* lengths);

}  // namespace Bellwright::Storage
