#include "storage/mysql_cluster_statements.hpp"

#include <charconv>
#include <string_view>

#include "storage/mysql_literals.hpp"

namespace Bellwright::Storage {
namespace {

// The database's clock in milliseconds since 1970. UTC_TIMESTAMP and the difference of two
// DATETIME values do not depend on the session's time zone, so no daylight-saving change
// can move it.
constexpr const char* kNowMs =
    "(TIMESTAMPDIFF(MICROSECOND, '1970-01-01 00:00:00', UTC_TIMESTAMP(6)) DIV 1000)";

// The pair (instance, post_number) makes a post sent again after a lost answer a no-op;
// the index by age finds where the last minute begins.
constexpr const char* kCreateMessages =
    "CREATE TABLE IF NOT EXISTS bellwright_cluster_messages ("
    "id BIGINT NOT NULL AUTO_INCREMENT PRIMARY KEY, sent_ms BIGINT NOT NULL, "
    "origin_key VARBINARY(255) NOT NULL, origin_name VARBINARY(255) NOT NULL, "
    "instance BIGINT NOT NULL, post_number BIGINT NOT NULL, body BLOB NOT NULL, "
    "UNIQUE KEY bellwright_one_post (instance, post_number), "
    "KEY bellwright_by_age (sent_ms))";
constexpr const char* kCreateServers =
    "CREATE TABLE IF NOT EXISTS bellwright_cluster_servers ("
    "server_key VARBINARY(255) NOT NULL PRIMARY KEY, server_name VARBINARY(255) NOT NULL, "
    "instance BIGINT NOT NULL, players INT NOT NULL, seen_ms BIGINT NOT NULL, "
    "last_delivered BIGINT NOT NULL)";
constexpr const char* kProbeColumns =
    "m.id, m.sent_ms, m.origin_key, m.origin_name, m.instance, m.post_number, m.body, "
    "s.server_key, s.server_name, s.instance, s.players, s.seen_ms, s.last_delivered";
constexpr const char* kProbeTables =
    "bellwright_cluster_messages AS m, bellwright_cluster_servers AS s";

std::string Number(std::int64_t number) {
  return std::to_string(number);
}

std::int64_t NumberFrom(const char* text, unsigned long length) {
  std::int64_t number = 0;
  if (text != nullptr) std::from_chars(text, text + length, number);
  return number;
}

std::string BytesFrom(const char* text, unsigned long length) {
  return text != nullptr ? std::string(text, length) : std::string();
}

}  // namespace

std::vector<std::string> ClusterTableStatements() {
  return {kCreateMessages, kCreateServers,
          std::string("SELECT ") + kProbeColumns + " FROM " + kProbeTables + " LIMIT 0"};
}

const char* ClusterProbeColumns() {
  return kProbeColumns;
}

const char* ClusterProbeTables() {
  return kProbeTables;
}

std::string JoinStatement(const ClusterIdentity& me, std::chrono::milliseconds lifetime) {
  return "SELECT (SELECT last_delivered FROM bellwright_cluster_servers WHERE server_key = " +
         Hex(me.key) +
         "), (SELECT COALESCE(MAX(id), 0) FROM bellwright_cluster_messages WHERE sent_ms < " +
         kNowMs + " - " + Number(lifetime.count()) +
         "), (SELECT COALESCE(MAX(id), 0) FROM bellwright_cluster_messages)";
}

std::string PostStatement(const ClusterIdentity& me, std::int64_t instance,
                          const ClusterPost& post) {
  return std::string(
             "INSERT IGNORE INTO bellwright_cluster_messages "
             "(sent_ms, origin_key, origin_name, instance, post_number, body) VALUES (") +
         kNowMs + " - " + Number(post.waited_ms) + ", " + Hex(me.key) + ", " + Hex(me.name) + ", " +
         Number(instance) + ", " + Number(post.number) + ", " + Hex(post.body) + ")";
}

std::string FetchStatement(const FetchRequest& request, std::size_t limit) {
  std::string sql = std::string("SELECT id, ") + kNowMs +
                    " - sent_ms, origin_key, origin_name, instance, body "
                    "FROM bellwright_cluster_messages WHERE id > " +
                    Number(request.after);
  if (!request.handled.empty()) {
    sql += " AND id NOT IN (";
    for (std::size_t i = 0; i < request.handled.size(); ++i) {
      if (i > 0) sql += ',';
      sql += Number(request.handled[i]);
    }
    sql += ')';
  }
  return sql + " ORDER BY id LIMIT " + std::to_string(limit);
}

std::vector<std::string> PresenceStatements(const ClusterIdentity& me, const PresenceReport& report,
                                            std::chrono::milliseconds within) {
  return {std::string("SELECT server_key, server_name, instance, players, ") + kNowMs +
              " - seen_ms FROM bellwright_cluster_servers WHERE seen_ms >= " + kNowMs + " - " +
              Number(within.count()),
          "INSERT INTO bellwright_cluster_servers "
          "(server_key, server_name, instance, players, seen_ms, last_delivered) VALUES (" +
              Hex(me.key) + ", " + Hex(me.name) + ", " + Number(report.instance) + ", " +
              Number(report.players) + ", " + kNowMs + ", " + Number(report.delivered) +
              ") ON DUPLICATE KEY UPDATE server_name = VALUES(server_name), "
              "instance = VALUES(instance), players = VALUES(players), "
              "seen_ms = VALUES(seen_ms), last_delivered = VALUES(last_delivered)"};
}

std::string PruneStatement(std::int64_t below, std::chrono::milliseconds older_than) {
  return "DELETE FROM bellwright_cluster_messages WHERE id < " + Number(below) + " AND sent_ms < " +
         kNowMs + " - " + Number(older_than.count());
}

ClusterJoinRow ReadJoinRow(char** values, const unsigned long* lengths) {
  ClusterJoinRow row;
  if (values[0] != nullptr) row.delivered = NumberFrom(values[0], lengths[0]);
  row.expired = NumberFrom(values[1], lengths[1]);
  row.newest = NumberFrom(values[2], lengths[2]);
  return row;
}

ClusterMessageRow ReadMessageRow(char** values, const unsigned long* lengths) {
  return {NumberFrom(values[0], lengths[0]), NumberFrom(values[1], lengths[1]),
          BytesFrom(values[2], lengths[2]),  BytesFrom(values[3], lengths[3]),
          NumberFrom(values[4], lengths[4]), BytesFrom(values[5], lengths[5])};
}

ServerPresenceRow ReadServerRow(char** values, const unsigned long* lengths) {
  return {BytesFrom(values[0], lengths[0]), BytesFrom(values[1], lengths[1]),
          NumberFrom(values[2], lengths[2]), static_cast<int>(NumberFrom(values[3], lengths[3])),
          NumberFrom(values[4], lengths[4])};
}

}  // namespace Bellwright::Storage
