#include "welcome/welcome_queue.hpp"

#include <cstdint>
#include <utility>

#include "base/host_boundary.hpp"
#include "base/module_path.hpp"
#include "base/player_controller.hpp"
#include "config/config.hpp"
#include "host/api_utils.hpp"
#include "host/asa_api.hpp"
#include "host/timer.hpp"
#include "opt_out/greeted_players.hpp"
#include "welcome/welcome.hpp"

namespace Bellwright {
namespace {

// Ids compare ignoring letter case, as the engine compares them. Constant-initialised,
// so they exist before the library's start-up runs Load.
constinit TArray<FString> PendingWelcomes;  // due at the next welcome pass; may repeat an id
constinit TArray<FString> GreetedPlayers;   // scheduled during their current connection

// Tasks the host still holds from before the queue was last stopped belong to an
// earlier start and must not reach this one.
constinit std::uint64_t queue_generation = 0;

// Queues one player's greeting once the character has been theirs for a while.
class WelcomeTask {
 public:
  explicit WelcomeTask(FString unique_id)
      : unique_id_(std::move(unique_id)), generation_(queue_generation) {}

  void operator()() const {
    RunGuarded("WelcomeTask", [this] { Run(); });
  }

 private:
  void Run() const {
    if (generation_ != queue_generation) {
      return;
    }
    // Two possessions within the delay schedule two tasks; the first one greets.
    if (GreetedPlayers.Contains(unique_id_)) {
      return;
    }
    // Left during the delay: not recorded, so the next connection is greeted.
    if (AsaApi::GetApiUtils().FindPlayerFromUniqueNetId(unique_id_) == nullptr) {
      return;
    }
    PendingWelcomes.Add(unique_id_);
    GreetedPlayers.AddUnique(unique_id_);
  }

  FString unique_id_;
  std::uint64_t generation_;
};

void ScheduleWelcome(const FString& unique_id) {
  const int delay_seconds = LiveSettings().welcome.delay_seconds;
  if (delay_seconds == 0) {
    // The host's timer would decide on its own when a task without delay runs.
    const WelcomeTask queue_now(unique_id);
    queue_now();
    return;
  }
  const FString module_path = PluginModulePath();
  FString task_name = module_path;
  task_name += FString("_0");
  API::Timer::Get().DelayExecuteInternal(WelcomeTask(unique_id), delay_seconds, task_name,
                                         module_path);
}

}  // namespace

void StartWelcomeQueue() {
  StopWelcomeQueue();
}

void StopWelcomeQueue() {
  PendingWelcomes.Empty();
  GreetedPlayers.Empty();
  ++queue_generation;
}

void OnCharacterPossessed(ACharacter* character) {
  if (character == nullptr || !LiveSettings().welcome.enabled) {
    return;
  }
  // The game possesses only its own characters, which are all APrimalCharacters.
  if (static_cast<APrimalCharacter*>(character)->IsDeadOrDying()) {
    return;
  }
  // A creature possessed by an AI controller is nobody to greet.
  auto* controller = AsPlayerController(character->GetOwnerController());
  if (controller == nullptr) {
    return;
  }
  const FString unique_id = controller->GetUniqueNetIdAsString();
  if (GreetedPlayers.Contains(unique_id)) {
    return;
  }
  // Asked now, so the answer has the greeting's delay to come.
  AskWhetherGreetedBefore(controller);
  ScheduleWelcome(unique_id);
}

void OnPlayerLogout(AController* controller) {
  auto* player = AsPlayerController(controller);
  if (player == nullptr) {
    return;
  }
  GreetedPlayers.Remove(player->GetUniqueNetIdAsString());
}

bool HasPendingWelcomes() {
  return !PendingWelcomes.IsEmpty();
}

TArray<FString> TakePendingWelcomes() {
  return std::exchange(PendingWelcomes, {});
}

}  // namespace Bellwright
