#include "plugin/game_hooks.hpp"

#include "announcements/announcements.hpp"
#include "base/host_boundary.hpp"
#include "base/player_controller.hpp"
#include "countdown/countdown.hpp"
#include "host/asa_api.hpp"
#include "host/hooks.hpp"
#include "opt_out/opt_out_storage.hpp"
#include "opt_out/player_opt_out.hpp"
#include "welcome/welcome.hpp"

namespace Bellwright {
namespace {

using PossessedByFunction = void(ACharacter*, AController*);
using DefaultTimerFunction = void(AGameState*);
using LogoutFunction = void(AShooterGameMode*, AController*);

// The game's own functions, filled in by the host when the hooks are installed.
PossessedByFunction* ACharacter_PossessedBy_trampoline = nullptr;
DefaultTimerFunction* AGameState_DefaultTimer_trampoline = nullptr;
LogoutFunction* AShooterGameMode_Logout_trampoline = nullptr;

constexpr const char* kPossessedByName = "ACharacter.PossessedBy(AController*)";
constexpr const char* kDefaultTimerName = "AGameState.DefaultTimer()";
constexpr const char* kLogoutName = "AShooterGameMode.Logout(AController*)";

// The host sees only the guarded wrappers, so no exception reaches the game.
constexpr auto kPossessedByDetour = &Guarded<Hook_ACharacter_PossessedBy>::Call;
constexpr auto kDefaultTimerDetour = &Guarded<Hook_AGameState_DefaultTimer>::Call;
constexpr auto kLogoutDetour = &Guarded<Hook_AShooterGameMode_Logout>::Call;

// A player who takes control of a character may have changed their choice on another
// server sharing the storage: it is asked for again. A creature an AI possesses is
// nobody's choice.
void AskChoiceOfPlayer(ACharacter* character) {
  if (character != nullptr && OptOutActive()) {
    AskOptOut(AsPlayerController(character->GetOwnerController()));
  }
}

}  // namespace

void Hook_ACharacter_PossessedBy(ACharacter* character, AController* new_controller) {
  ACharacter_PossessedBy_trampoline(character, new_controller);
  AskChoiceOfPlayer(character);
  OnCharacterPossessed(character);
}

void Hook_AGameState_DefaultTimer(AGameState* game_state) {
  AGameState_DefaultTimer_trampoline(game_state);
  DriveOptOutStorage();
  SendTimedMessageIfDue();
  SendDueAnnouncements();
  SendCountdownIfDue();
  SendWelcomeMessages();
}

void Hook_AShooterGameMode_Logout(AShooterGameMode* game_mode, AController* exiting) {
  // The game's logout must run whatever happens to our bookkeeping.
  RunGuarded("Hook_AShooterGameMode_Logout", [exiting] {
    OnPlayerLogout(exiting);
    ForgetOptOut(AsPlayerController(exiting));
  });
  AShooterGameMode_Logout_trampoline(game_mode, exiting);
}

void InstallHooks() {
  auto& hooks = AsaApi::GetHooks();
  hooks.SetHook<PossessedByFunction>(kPossessedByName, kPossessedByDetour,
                                     &ACharacter_PossessedBy_trampoline);
  hooks.SetHook<DefaultTimerFunction>(kDefaultTimerName, kDefaultTimerDetour,
                                      &AGameState_DefaultTimer_trampoline);
  hooks.SetHook<LogoutFunction>(kLogoutName, kLogoutDetour, &AShooterGameMode_Logout_trampoline);
}

void RemoveHooks() {
  auto& hooks = AsaApi::GetHooks();
  hooks.DisableHook<PossessedByFunction>(kPossessedByName, kPossessedByDetour);
  hooks.DisableHook<DefaultTimerFunction>(kDefaultTimerName, kDefaultTimerDetour);
  hooks.DisableHook<LogoutFunction>(kLogoutName, kLogoutDetour);
}

}  // namespace Bellwright
