#include "storage/mysql_database.hpp"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#include <sys/socket.h>
#endif

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>

#include "storage/mysql_cluster_statements.hpp"
#include "storage/mysql_literals.hpp"

namespace Bellwright::Storage {
namespace {

// Every table with every column the store uses, in one round trip: what an open asks of a
// database that has been used before. Only when it fails are the tables made and probed
// one by one.
constexpr const char* kProbeColumns = "c.player_key, c.opted_out, g.player_key";
constexpr const char* kProbeTables =
    "bellwright_timed_message_opt_out AS c, bellwright_greeted_players AS g";
// Binary keys: the caller's bytes, compared as bytes, whatever the server's collation.
constexpr const char* kCreateTable =
    "CREATE TABLE IF NOT EXISTS bellwright_timed_message_opt_out ("
    "player_key VARBINARY(255) NOT NULL PRIMARY KEY, opted_out TINYINT NOT NULL)";
// An account kept to the rights it needs may not CREATE, even when the table an
// administrator made already exists; then this decides.
constexpr const char* kProbeTable =
    "SELECT player_key, opted_out FROM bellwright_timed_message_opt_out LIMIT 0";
// Players ever greeted, by the same key: a table of its own, so a database made before
// it gains it at the next open and keeps its choices as they are.
constexpr const char* kCreateGreetedTable =
    "CREATE TABLE IF NOT EXISTS bellwright_greeted_players ("
    "player_key VARBINARY(255) NOT NULL PRIMARY KEY)";
constexpr const char* kProbeGreetedTable =
    "SELECT player_key FROM bellwright_greeted_players LIMIT 0";
// The statements of an open: the probe of every table; then, when it fails, each CREATE
// followed by the probe that decides (the cluster's two tables, when kept, share one).
constexpr std::size_t kProbeOfAll = 0;
constexpr std::size_t kProbeOfChoices = 2;
constexpr std::size_t kProbeOfGreeted = 4;
constexpr std::size_t kProbeOfCluster = 7;

std::string ProbeOfAll(bool cluster) {
  std::string sql = std::string("SELECT ") + kProbeColumns;
  if (cluster) sql += std::string(", ") + ClusterProbeColumns();
  sql += std::string(" FROM ") + kProbeTables;
  if (cluster) sql += std::string(", ") + ClusterProbeTables();
  return sql + " LIMIT 0";
}

bool IsProbe(std::size_t statement) {
  return statement == kProbeOfChoices || statement == kProbeOfGreeted ||
         statement == kProbeOfCluster;
}

// Errors the server sends (a statement refused) are numbered below the client library's
// own (the connection lost).
constexpr unsigned kFirstClientError = 2000;

// The connection could not be made to this address at all, so the next address of the
// name is tried, as the client library does with the addresses it looks up itself.
bool NeverReached(unsigned error) {
  return error == CR_CONNECTION_ERROR || error == CR_CONN_HOST_ERROR || error == CR_IPSOCK_ERROR;
}

// The client library's process-wide state is started once and never ended: it belongs
// to the process, which other plug-ins may share, not to one store.
void StartClientLibrary() {
  static std::once_flag started;
  std::call_once(started, [] { mysql_library_init(0, nullptr, nullptr); });
}

// Each item as `written` writes it (with the keys in Hex), joined by commas.
template <typename Item, typename Write>
std::string Joined(std::span<const Item> items, Write written) {
  std::string sql;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) sql += ',';
    sql += written(items[i]);
  }
  return sql;
}

std::string KeyList(std::span<const std::string> player_keys) {
  return '(' + Joined(player_keys, Hex) + ')';
}

std::string ReadStatement(std::span<const std::string> player_keys) {
  return "SELECT player_key, opted_out FROM bellwright_timed_message_opt_out WHERE player_key IN " +
         KeyList(player_keys);
}

// One statement: atomic on its own.
std::string WriteStatement(std::span<const StoredChoice> choices) {
  return "INSERT INTO bellwright_timed_message_opt_out (player_key, opted_out) VALUES " +
         Joined(choices,
                [](const StoredChoice& choice) {
                  return '(' + Hex(choice.player_key) + (choice.opted_out ? ",1)" : ",0)");
                }) +
         " ON DUPLICATE KEY UPDATE opted_out = VALUES(opted_out)";
}

std::string ReadGreetedStatement(std::span<const std::string> player_keys) {
  return "SELECT player_key FROM bellwright_greeted_players WHERE player_key IN " +
         KeyList(player_keys);
}

// One statement: atomic on its own; a player recorded already stays as they are.
std::string RecordGreetedStatement(std::span<const std::string> player_keys) {
  return "INSERT IGNORE INTO bellwright_greeted_players (player_key) VALUES " +
         Joined(player_keys, [](const std::string& key) { return '(' + Hex(key) + ')'; });
}

#ifdef _WIN32

// On a connect under way the library waits for MYSQL_WAIT_EXCEPT too: Windows reports a
// connect that failed among a socket's exceptions. select asks for exactly that.
// WSAPoll cannot: it refuses POLLPRI (WSAEINVAL), and before Windows 10 2004 it never
// reported a failed connect at all.
int SocketReadiness(my_socket socket, int waiting_for) {
  fd_set readable;
  fd_set writable;
  fd_set exceptional;
  FD_ZERO(&readable);
  FD_ZERO(&writable);
  FD_ZERO(&exceptional);
  if (waiting_for & MYSQL_WAIT_READ) FD_SET(socket, &readable);
  if (waiting_for & MYSQL_WAIT_WRITE) FD_SET(socket, &writable);
  if (waiting_for & MYSQL_WAIT_EXCEPT) FD_SET(socket, &exceptional);
  timeval no_wait{};
  if (select(0, &readable, &writable, &exceptional, &no_wait) <= 0) return 0;
  int ready = 0;
  if (FD_ISSET(socket, &readable)) ready |= MYSQL_WAIT_READ;
  if (FD_ISSET(socket, &writable)) ready |= MYSQL_WAIT_WRITE;
  if (FD_ISSET(socket, &exceptional)) ready |= MYSQL_WAIT_EXCEPT;
  return ready;
}

#else

// A socket that failed or was hung up is reported to every wait, so the library's next
// read or write meets the error instead of waiting for ever.
int SocketReadiness(my_socket socket, int waiting_for) {
  pollfd descriptor{};
  descriptor.fd = socket;
  if (waiting_for & MYSQL_WAIT_READ) descriptor.events |= POLLIN;
  if (waiting_for & MYSQL_WAIT_WRITE) descriptor.events |= POLLOUT;
  if (waiting_for & MYSQL_WAIT_EXCEPT) descriptor.events |= POLLPRI;
  if (poll(&descriptor, 1, 0) <= 0) return 0;
  int ready = 0;
  if (descriptor.revents & (POLLIN | POLLHUP | POLLERR)) ready |= MYSQL_WAIT_READ;
  if (descriptor.revents & (POLLOUT | POLLHUP | POLLERR)) ready |= MYSQL_WAIT_WRITE;
  if (descriptor.revents & POLLPRI) ready |= MYSQL_WAIT_EXCEPT;
  return ready & waiting_for;
}

#endif

void ShutDown(my_socket socket) {
#ifdef _WIN32
  shutdown(socket, SD_BOTH);
#else
  shutdown(socket, SHUT_RDWR);
#endif
}

}  // namespace

MySqlDatabase::MySqlDatabase(StorageSettings settings, const StoreOptions& options)
    : settings_(std::move(settings)), options_(options) {
  StartClientLibrary();
}

MySqlDatabase::~MySqlDatabase() {
  Close();
}

std::optional<Outcome> MySqlDatabase::BeginOpen() {
  Close();
  opening_ = true;
  create_failure_.reset();
  greeted_unusable_.reset();
  outcome_ = {};
  cluster_unusable_.reset();
  statements_ = {ProbeOfAll(settings_.cluster), kCreateTable, kProbeTable, kCreateGreetedTable,
                 kProbeGreetedTable};
  if (settings_.cluster) {
    for (std::string& statement : ClusterTableStatements()) {
      statements_.push_back(std::move(statement));
    }
  }
  next_statement_ = 0;
  addresses_.clear();
  next_address_ = 0;
  if (NeedsNoLookup(settings_.host)) {
    addresses_.push_back(settings_.host);
    return ConnectNext();
  }
  lookup_ = std::make_unique<HostLookup>(settings_.host);
  phase_ = Phase::kLookingUp;
  return Advance();
}

std::optional<Outcome> MySqlDatabase::BeginRead(std::span<const std::string> player_keys) {
  if (player_keys.empty()) return Outcome{};
  return Begin({ReadStatement(player_keys)}, Reading::kChoices);
}

std::optional<Outcome> MySqlDatabase::BeginWrite(std::span<const StoredChoice> choices) {
  if (choices.empty()) return Outcome{};
  return Begin({WriteStatement(choices)}, Reading::kChoices);
}

std::optional<Outcome> MySqlDatabase::BeginReadGreeted(std::span<const std::string> player_keys) {
  if (player_keys.empty()) return Outcome{};
  return Begin({ReadGreetedStatement(player_keys)}, Reading::kGreeted);
}

std::optional<Outcome> MySqlDatabase::BeginRecordGreeted(std::span<const std::string> player_keys) {
  if (player_keys.empty()) return Outcome{};
  return Begin({RecordGreetedStatement(player_keys)}, Reading::kGreeted);
}

std::optional<Outcome> MySqlDatabase::BeginJoinCluster(const ClusterIdentity& me,
                                                       std::chrono::milliseconds lifetime) {
  return Begin({JoinStatement(me, lifetime)}, Reading::kJoin);
}

std::optional<Outcome> MySqlDatabase::BeginPost(const ClusterIdentity& me, std::int64_t instance,
                                                const ClusterPost& post) {
  return Begin({PostStatement(me, instance, post)}, Reading::kPost);
}

std::optional<Outcome> MySqlDatabase::BeginFetch(const FetchRequest& request, std::size_t limit) {
  return Begin({FetchStatement(request, limit)}, Reading::kMessages);
}

std::optional<Outcome> MySqlDatabase::BeginPresence(const ClusterIdentity& me,
                                                    const PresenceReport& report,
                                                    std::chrono::milliseconds within) {
  return Begin(PresenceStatements(me, report, within), Reading::kServers);
}

std::optional<Outcome> MySqlDatabase::BeginPrune(std::int64_t below,
                                                 std::chrono::milliseconds older_than) {
  return Begin({PruneStatement(below, older_than)}, Reading::kPrune);
}

std::optional<Outcome> MySqlDatabase::Begin(std::vector<std::string> statements, Reading reading) {
  if (!open_ || phase_ != Phase::kIdle) return Fail("the connection is not ready");
  opening_ = false;
  reading_ = reading;
  outcome_ = {};
  statements_ = std::move(statements);
  next_statement_ = 0;
  return NextStatement();
}

std::optional<Outcome> MySqlDatabase::Continue() {
  if (phase_ == Phase::kIdle) return Fail("nothing under way");
  return Advance();
}

std::optional<Outcome> MySqlDatabase::Advance() {
  while (waiting_for_ != 0) {
    const int ready = ReadyEvents();
    if (ready == 0) return std::nullopt;
    Await(Resume(ready));
  }
  switch (phase_) {
    case Phase::kLookingUp:
      return AfterLookup();
    case Phase::kConnecting:
      return AfterConnect();
    case Phase::kQuerying:
      return AfterQuery();
    case Phase::kStoringResult:
      return AfterStoringResult();
    case Phase::kIdle:
    case Phase::kClosing:
      break;
  }
  return outcome_;
}

std::optional<Outcome> MySqlDatabase::AfterLookup() {
  std::optional<Expected<std::vector<std::string>>> found = lookup_->Poll();
  if (!found) return std::nullopt;
  lookup_.reset();
  if (!*found) return Fail(found->Error().cause + " (" + settings_.host + ")");
  addresses_ = std::move(**found);
  return ConnectNext();
}

// The client library is handed one address at a time, never the name: it would look the
// name up itself, with a call that blocks.
std::optional<Outcome> MySqlDatabase::ConnectNext() {
  connection_ = mysql_init(nullptr);
  if (connection_ == nullptr) return Fail("out of memory for a MySQL connection");
  // Each address has its share of the open's patience, so that one that never answers
  // leaves the others their turn.
  const auto share = options_.mysql_connect / static_cast<long>(addresses_.size());
  const unsigned connect_timeout = static_cast<unsigned>(
      std::max<std::int64_t>(1, std::chrono::floor<std::chrono::seconds>(share).count()));
  const unsigned answer_timeout =
      static_cast<unsigned>(std::chrono::ceil<std::chrono::seconds>(options_.mysql_answer).count());
  mysql_options(connection_, MYSQL_OPT_NONBLOCK, nullptr);
  mysql_options(connection_, MYSQL_OPT_CONNECT_TIMEOUT, &connect_timeout);
  mysql_options(connection_, MYSQL_OPT_READ_TIMEOUT, &answer_timeout);
  mysql_options(connection_, MYSQL_OPT_WRITE_TIMEOUT, &answer_timeout);
  const std::string& address = addresses_[next_address_++];
  phase_ = Phase::kConnecting;
  Await(mysql_real_connect_start(&connected_, connection_, address.c_str(), settings_.user.c_str(),
                                 settings_.password.c_str(), settings_.database.c_str(),
                                 settings_.port, nullptr, 0));
  return Advance();
}

std::optional<Outcome> MySqlDatabase::AfterConnect() {
  if (connected_ != nullptr) {
    open_ = true;
    return NextStatement();
  }
  if (NeverReached(mysql_errno(connection_)) && next_address_ < addresses_.size()) {
    // Nothing was sent: closing the attempt does not touch the network.
    mysql_close(connection_);
    connection_ = nullptr;
    return ConnectNext();
  }
  std::string cause = mysql_error(connection_);
  if (!NeedsNoLookup(settings_.host)) cause += " (" + settings_.host + ")";
  return Fail(std::move(cause));
}

std::optional<Outcome> MySqlDatabase::AfterQuery() {
  const std::size_t done = next_statement_ - 1;
  if (opening_) return AfterOpeningStatement(done);
  if (query_status_ != 0) {
    const unsigned error = mysql_errno(connection_);
    if (reading_ != Reading::kPrune || error == 0 || error >= kFirstClientError) {
      return Fail(mysql_error(connection_));
    }
    // Refused by the server: the connection is as good as before.
    outcome_.refused = Failure{mysql_error(connection_)};
    return NextStatement();
  }
  if (reading_ == Reading::kPost && mysql_affected_rows(connection_) > 0) {
    outcome_.posted_id = static_cast<std::int64_t>(mysql_insert_id(connection_));
  }
  return TakeResult();
}

// The probe of every table; when it fails, each table made and probed in turn. A CREATE
// the account may not run is forgiven when the probe after it finds the table usable.
std::optional<Outcome> MySqlDatabase::AfterOpeningStatement(std::size_t done) {
  const bool failed = query_status_ != 0;
  if (done == kProbeOfAll) {
    if (failed) return NextStatement();
    next_statement_ = statements_.size();  // every table is there: nothing to make
    return TakeResult();
  }
  if (!IsProbe(done)) {
    if (failed) create_failure_ = Failure{mysql_error(connection_)};
    return failed ? NextStatement() : TakeResult();
  }
  const Failure cause = create_failure_ ? *create_failure_ : Failure{mysql_error(connection_)};
  create_failure_.reset();
  if (!failed) return TakeResult();
  if (done == kProbeOfChoices) return Fail(cause.cause);
  // The choices still work without these; the store says so.
  (done == kProbeOfGreeted ? greeted_unusable_ : cluster_unusable_) = cause;
  return NextStatement();
}

std::optional<Outcome> MySqlDatabase::TakeResult() {
  if (mysql_field_count(connection_) == 0) return NextStatement();
  phase_ = Phase::kStoringResult;
  Await(mysql_store_result_start(&result_, connection_));
  return Advance();
}

std::optional<Outcome> MySqlDatabase::AfterStoringResult() {
  if (result_ == nullptr) return Fail(mysql_error(connection_));
  // A stored result is in memory: fetching its rows does not touch the network. The rows
  // of an open's probes are none.
  while (MYSQL_ROW row = mysql_fetch_row(result_)) {
    ReadRow(row, mysql_fetch_lengths(result_));
  }
  mysql_free_result(result_);
  result_ = nullptr;
  return NextStatement();
}

void MySqlDatabase::ReadRow(char** values, const unsigned long* lengths) {
  switch (reading_) {
    case Reading::kChoices:
      if (values[0] != nullptr && values[1] != nullptr) {
        outcome_.rows.push_back({std::string(values[0], lengths[0]), values[1][0] != '0'});
      }
      break;
    case Reading::kGreeted:
      if (values[0] != nullptr) outcome_.greeted.emplace_back(values[0], lengths[0]);
      break;
    case Reading::kJoin:
      outcome_.join = ReadJoinRow(values, lengths);
      break;
    case Reading::kMessages:
      outcome_.messages.push_back(ReadMessageRow(values, lengths));
      break;
    case Reading::kServers:
      outcome_.servers.push_back(ReadServerRow(values, lengths));
      break;
    case Reading::kPost:
    case Reading::kPrune:
      break;
  }
}

std::optional<Outcome> MySqlDatabase::NextStatement() {
  if (next_statement_ == statements_.size()) {
    phase_ = Phase::kIdle;
    statements_.clear();
    return std::move(outcome_);
  }
  const std::string& sql = statements_[next_statement_++];
  phase_ = Phase::kQuerying;
  Await(mysql_real_query_start(&query_status_, connection_, sql.data(), sql.size()));
  return Advance();
}

void MySqlDatabase::Await(int status) {
  waiting_for_ = status;
  waiting_since_ = std::chrono::steady_clock::now();
}

int MySqlDatabase::Resume(int ready) {
  switch (phase_) {
    case Phase::kConnecting:
      return mysql_real_connect_cont(&connected_, connection_, ready);
    case Phase::kQuerying:
      return mysql_real_query_cont(&query_status_, connection_, ready);
    case Phase::kStoringResult:
      return mysql_store_result_cont(&result_, connection_, ready);
    case Phase::kClosing:
      return mysql_close_cont(connection_, ready);
    case Phase::kLookingUp:
    case Phase::kIdle:
      break;
  }
  return 0;
}

// Whether the socket is ready for what the library waits for, asked without waiting.
int MySqlDatabase::ReadyEvents() const {
  int ready = SocketReadiness(mysql_get_socket(connection_), waiting_for_);
  if ((waiting_for_ & MYSQL_WAIT_TIMEOUT) != 0 &&
      std::chrono::steady_clock::now() - waiting_since_ >=
          std::chrono::seconds(mysql_get_timeout_value(connection_))) {
    ready |= MYSQL_WAIT_TIMEOUT;
  }
  return ready;
}

Outcome MySqlDatabase::Fail(std::string cause) {
  Close();
  return FailedWith(std::move(cause));
}

void MySqlDatabase::Close() {
  lookup_.reset();
  if (connection_ != nullptr && open_ && phase_ == Phase::kIdle) {
    // A polite goodbye, when it can go out at once; it frees the connection.
    phase_ = Phase::kClosing;
    Await(mysql_close_start(connection_));
    if (waiting_for_ == 0) connection_ = nullptr;
  }
  if (connection_ != nullptr) Abandon();
  if (result_ != nullptr) mysql_free_result(result_);
  result_ = nullptr;
  connection_ = nullptr;
  connected_ = nullptr;
  open_ = false;
  phase_ = Phase::kIdle;
  waiting_for_ = 0;
  statements_.clear();
}

// Ends whatever the library is in the middle of: with the socket shut down every read
// and write fails at once, so the call under way finishes without waiting.
void MySqlDatabase::Abandon() {
  const my_socket socket = mysql_get_socket(connection_);
  // -1, or Windows' INVALID_SOCKET, an unsigned number.
  if (socket != static_cast<my_socket>(MARIADB_INVALID_SOCKET)) ShutDown(socket);
  constexpr int kEnoughRounds = 16;
  for (int round = 0; round < kEnoughRounds && waiting_for_ != 0; ++round) {
    waiting_for_ = Resume(waiting_for_);
  }
  // A goodbye that finished has freed the connection; the goodbye of a connection that
  // is shut down cannot wait.
  if (phase_ != Phase::kClosing) mysql_close(connection_);
}

}  // namespace Bellwright::Storage
