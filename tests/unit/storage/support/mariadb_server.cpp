#include "mariadb_server.hpp"

#include <fcntl.h>
#include <mysql.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

namespace Bellwright::Storage::Testing {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// DropClientConnections names it in its query too.
constexpr std::string_view kUser = "bellwright";
constexpr std::string_view kPassword = "bellwright-test-password";

std::optional<fs::path> FindProgram(const std::vector<std::string>& names) {
  std::vector<fs::path> folders = {"/usr/sbin", "/usr/bin", "/usr/local/sbin", "/usr/local/bin"};
  if (const char* path = std::getenv("PATH")) {
    std::stringstream entries(path);
    for (std::string entry; std::getline(entries, entry, ':');) folders.emplace_back(entry);
  }
  for (const std::string& name : names) {
    for (const fs::path& folder : folders) {
      if (access((folder / name).c_str(), X_OK) == 0) return folder / name;
    }
  }
  return std::nullopt;
}

// Starts `arguments` with its output appended to `log`; the process id, or -1. The
// process is told to stop when the test process dies, so a crashed test leaves no
// server behind.
pid_t Spawn(const std::vector<std::string>& arguments, const fs::path& log) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid != 0) return pid;
  // In the child only async-signal-safe calls until exec.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  const int output = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (output >= 0) {
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

// The exit status once the process ended within `timeout`.
std::optional<int> WaitForExit(pid_t pid, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return status;
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(20ms);
  }
}

void StopProcess(pid_t pid) {
  kill(pid, SIGTERM);
  if (WaitForExit(pid, 20s)) return;
  kill(pid, SIGKILL);
  WaitForExit(pid, 5s);
}

unsigned FreeLoopbackPort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  unsigned port = 0;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(probe);
  return port;
}

std::vector<std::string> ServerTuning() {
  // Small and quick: the tests hold a few rows. No native AIO, which containers often
  // forbid.
  std::vector<std::string> tuning = {"--innodb-buffer-pool-size=16M", "--innodb-log-file-size=4M",
                                     "--innodb-use-native-aio=0", "--skip-name-resolve"};
  if (geteuid() == 0) tuning.emplace_back("--user=root");
  return tuning;
}

std::string ProgramIdentity(const fs::path& program) {
  struct stat info {};
  if (stat(program.c_str(), &info) != 0) return {};
  return program.string() + " " + std::to_string(info.st_size) + " " +
         std::to_string(info.st_mtim.tv_sec);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

// A freshly initialised data directory takes mariadb-install-db seconds to make, so it
// is made once per build tree and copied for each server. The lock keeps parallel test
// processes from building it twice.
std::optional<std::string> CopyTemplateDataDirectory(const fs::path& mariadbd,
                                                     const fs::path& destination) {
  const fs::path cache = BELLWRIGHT_STORAGE_TEST_CACHE;
  const fs::path template_folder = cache / "mariadb-template";
  const fs::path identity_file = template_folder / "made-by";
  fs::create_directories(cache);
  const int lock =
      open((cache / "mariadb-template.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock < 0 || flock(lock, LOCK_EX) != 0) return "cannot lock " + cache.string();
  struct Unlock {
    int descriptor;
    ~Unlock() { close(descriptor); }
  } unlock{lock};

  const std::string identity = ProgramIdentity(mariadbd);
  if (ReadFile(identity_file) != identity) {
    const std::optional<fs::path> install_db =
        FindProgram({"mariadb-install-db", "mysql_install_db"});
    if (!install_db) return "mariadb-install-db not found (Debian package mariadb-server)";
    fs::remove_all(template_folder);
    fs::create_directories(template_folder);
    const fs::path log = template_folder / "install.log";
    std::vector<std::string> arguments = {
        install_db->string(), "--no-defaults", "--datadir=" + (template_folder / "data").string(),
        "--auth-root-authentication-method=normal", "--skip-test-db"};
    for (std::string& option : ServerTuning()) arguments.push_back(std::move(option));
    const pid_t pid = Spawn(arguments, log);
    const std::optional<int> status = pid > 0 ? WaitForExit(pid, 120s) : std::nullopt;
    if (!status || !WIFEXITED(*status) || WEXITSTATUS(*status) != 0) {
      if (pid > 0 && !status) StopProcess(pid);
      return "mariadb-install-db failed:\n" + ReadFile(log);
    }
    std::ofstream(identity_file) << identity;
  }
  fs::copy(template_folder / "data", destination, fs::copy_options::recursive);
  return std::nullopt;
}

struct RootConnection {
  MYSQL* connection = nullptr;
  ~RootConnection() {
    if (connection != nullptr) mysql_close(connection);
  }
};

}  // namespace

std::variant<std::unique_ptr<MariaDbServer>, std::string> MariaDbServer::Launch() {
  std::unique_ptr<MariaDbServer> server(new MariaDbServer());
  server->folder_ = std::make_unique<TemporaryFolder>("bellwright-mariadb");
  const fs::path& folder = server->folder_->Path();
  server->data_directory_ = folder / "data";
  server->socket_ = folder / "mysqld.sock";
  server->error_log_ = folder / "error.log";
  server->port_ = FreeLoopbackPort();
  if (server->port_ == 0) return std::string("no free loopback port");
  const std::optional<fs::path> mariadbd = FindProgram({"mariadbd", "mysqld"});
  if (!mariadbd) return std::string("mariadbd not found (Debian package mariadb-server)");
  if (auto failure = CopyTemplateDataDirectory(*mariadbd, server->data_directory_)) {
    return *failure;
  }
  if (auto failure = server->StartProcess()) return *failure;
  return server;
}

MariaDbServer::~MariaDbServer() {
  Kill();
}

void MariaDbServer::Kill() {
  if (pid_ > 0) StopProcess(pid_);
  pid_ = -1;
}

void MariaDbServer::Freeze(bool frozen) {
  if (pid_ > 0) kill(pid_, frozen ? SIGSTOP : SIGCONT);
}

std::optional<std::string> MariaDbServer::Restart() {
  Kill();
  return StartProcess();
}

std::optional<std::string> MariaDbServer::StartProcess() {
  const std::optional<fs::path> mariadbd = FindProgram({"mariadbd", "mysqld"});
  if (!mariadbd) return "mariadbd not found (Debian package mariadb-server)";
  std::vector<std::string> arguments = {mariadbd->string(),
                                        "--no-defaults",
                                        "--datadir=" + data_directory_.string(),
                                        "--socket=" + socket_.string(),
                                        "--port=" + std::to_string(port_),
                                        "--bind-address=127.0.0.1",
                                        "--pid-file=" + (folder_->Path() / "mysqld.pid").string(),
                                        "--log-error=" + error_log_.string(),
                                        "--tmpdir=" + folder_->Path().string()};
  for (std::string& option : ServerTuning()) arguments.push_back(std::move(option));
  pid_ = Spawn(arguments, folder_->Path() / "mariadbd.out");
  if (pid_ <= 0) return "cannot start " + mariadbd->string();
  return AwaitReady();
}

std::optional<std::string> MariaDbServer::AwaitReady() {
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (std::chrono::steady_clock::now() < deadline) {
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return "mariadbd exited at start:\n" + ErrorLogTail();
    }
    if (!ExecuteAsRoot("SELECT 1")) return std::nullopt;
    std::this_thread::sleep_for(50ms);
  }
  Kill();
  return "mariadbd did not accept connections within 30 s:\n" + ErrorLogTail();
}

std::optional<StorageSettings> MariaDbServer::CreateDatabase(std::string_view name) {
  const std::string account = "'" + std::string(kUser) + "'@'127.0.0.1'";
  const std::string statements[] = {
      "CREATE DATABASE `" + std::string(name) + "`",
      "CREATE USER IF NOT EXISTS " + account + " IDENTIFIED BY '" + std::string(kPassword) + "'",
      "GRANT ALL ON `" + std::string(name) + "`.* TO " + account};
  for (const std::string& statement : statements) {
    if (ExecuteAsRoot(statement)) return std::nullopt;
  }
  StorageSettings settings;
  settings.kind = StorageSettings::Kind::kMySql;
  settings.host = "127.0.0.1";
  settings.port = port_;
  settings.user = kUser;
  settings.password = kPassword;
  settings.database = name;
  return settings;
}

std::optional<std::string> MariaDbServer::DropClientConnections() {
  RootConnection root{mysql_init(nullptr)};
  if (mysql_real_connect(root.connection, nullptr, "root", nullptr, nullptr, 0, socket_.c_str(),
                         0) == nullptr ||
      mysql_query(root.connection,
                  "SELECT id FROM information_schema.processlist WHERE user = 'bellwright'") != 0) {
    return std::string(mysql_error(root.connection));
  }
  std::vector<std::string> ids;
  if (MYSQL_RES* result = mysql_store_result(root.connection)) {
    while (MYSQL_ROW row = mysql_fetch_row(result)) ids.emplace_back(row[0]);
    mysql_free_result(result);
  }
  if (ids.empty()) return "no client connection to drop";
  for (const std::string& id : ids) {
    if (mysql_query(root.connection, ("KILL CONNECTION " + id).c_str()) != 0) {
      return std::string(mysql_error(root.connection));
    }
  }
  return std::nullopt;
}

std::optional<std::string> MariaDbServer::ExecuteAsRoot(const std::string& sql) const {
  RootConnection root{mysql_init(nullptr)};
  if (mysql_real_connect(root.connection, nullptr, "root", nullptr, nullptr, 0, socket_.c_str(),
                         0) == nullptr ||
      mysql_query(root.connection, sql.c_str()) != 0) {
    return std::string(mysql_error(root.connection));
  }
  if (MYSQL_RES* result = mysql_store_result(root.connection)) mysql_free_result(result);
  return std::nullopt;
}

std::optional<std::string> MariaDbServer::FirstValueAsRoot(const std::string& sql) const {
  RootConnection root{mysql_init(nullptr)};
  if (mysql_real_connect(root.connection, nullptr, "root", nullptr, nullptr, 0, socket_.c_str(),
                         0) == nullptr ||
      mysql_query(root.connection, sql.c_str()) != 0) {
    return std::nullopt;
  }
  std::optional<std::string> value;
  if (MYSQL_RES* result = mysql_store_result(root.connection)) {
    if (MYSQL_ROW row = mysql_fetch_row(result); row != nullptr && row[0] != nullptr) {
      value = row[0];
    }
    mysql_free_result(result);
  }
  return value;
}

std::string MariaDbServer::ErrorLogTail() const {
  const std::string log = ReadFile(error_log_);
  constexpr std::size_t kTail = 3000;
  return log.size() > kTail ? log.substr(log.size() - kTail) : log;
}

}  // namespace Bellwright::Storage::Testing
