#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "host/tools.hpp"
#include "host_library/clock.hpp"
#include "host_library/events.hpp"
#include "host_library/game_frames.hpp"
#include "host_library/hooks.hpp"
#include "host_library/text.hpp"
#include "host_library/timer.hpp"
#include "host_library/world.hpp"

namespace {

TEST(SandboxText, ConversionsNeverFailOnBadInput) {
  struct Case {
    std::u16string wide;
    std::string utf8;
  };
  const Case cases[] = {
      {u"plain", "plain"},
      {u"\u00E9\u2713", "\xC3\xA9\xE2\x9C\x93"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {std::u16string(1, char16_t{0xD83D}) + u"x", "\xEF\xBF\xBDx"},
      {std::u16string(1, char16_t{0xDE00}), "\xEF\xBF\xBD"},
  };
  for (const Case& item : cases) {
    EXPECT_EQ(Sandbox::ToUtf8(FString(item.wide)), item.utf8);
  }
  EXPECT_EQ(AsaApi::Tools::Utf8Decode("a\xFF"
                                      "b"),
            u"a\uFFFDb");
  EXPECT_EQ(AsaApi::Tools::Utf8Decode("\xED\xA0\x80"), u"\uFFFD");
  EXPECT_EQ(AsaApi::Tools::Utf8Decode("\xC3\xA9"), u"\u00E9");
}

TEST(SandboxText, FirstWordSkipsLeadingBlanks) {
  EXPECT_EQ(Sandbox::FirstWord(FString("  bw.reload now")).Wide(), u"bw.reload");
  EXPECT_EQ(Sandbox::FirstWord(FString("single")).Wide(), u"single");
  EXPECT_TRUE(Sandbox::FirstWord(FString("   ")).IsEmpty());
}

class RecordedHostErrors final : public Sandbox::EventSink {
 public:
  RecordedHostErrors() { Sandbox::SetEventSink(this); }
  RecordedHostErrors(const RecordedHostErrors&) = delete;
  RecordedHostErrors& operator=(const RecordedHostErrors&) = delete;
  ~RecordedHostErrors() override { Sandbox::SetEventSink(nullptr); }
  void Write(const Sandbox::Event& event) override {
    if (event["event"] == "host_error") {
      whats.push_back(event["what"].get<std::string>());
    }
  }
  std::vector<std::string> whats;
};

TEST(SandboxClock, ScriptStartIsAUtcInstantWrittenExactly) {
  struct Case {
    const char* text;
    std::int64_t seconds;  // since 1970; -1 when refused
  };
  const Case cases[] = {
      {"2026-01-01T00:00:00Z", Sandbox::Clock::kScriptEpochSeconds},
      {"2026-03-29T00:59:30Z", 1774745970},
      {"2028-02-29T23:59:59Z", 1835481599},
      {"2026-02-29T00:00:00Z", -1},
      {"2026-01-01T24:00:00Z", -1},
      {"2026-01-01T00:60:00Z", -1},
      {"2026-01-01T00:00:00", -1},
      {"2026-01-01 00:00:00Z", -1},
      {"2026-1-01T00:00:00Z", -1},
      {"", -1},
      // The years the clock holds, with room for waiting.
      {"1900-01-01T00:00:00Z", -2208988800},
      {"2199-12-31T23:59:59Z", 7258118399},
      {"1899-12-31T23:59:59Z", -1},
      {"0001-01-01T00:00:00Z", -1},
      {"9999-12-31T23:59:59Z", -1},
  };
  for (const Case& item : cases) {
    const auto instant = Sandbox::ParseUtcInstant(item.text);
    const std::int64_t seconds =
        instant
            ? std::chrono::duration_cast<std::chrono::seconds>(instant->time_since_epoch()).count()
            : -1;
    EXPECT_EQ(seconds, item.seconds) << item.text;
  }
  Sandbox::TheClock().UseVirtual(*Sandbox::ParseUtcInstant("2026-03-29T00:59:30Z"));
  Sandbox::TheClock().Advance(std::chrono::seconds(31));
  EXPECT_EQ(Sandbox::TheClock().ElapsedSeconds(), 31);
  EXPECT_EQ(AsaApi::Tools::GetSystemClockTicks(), std::int64_t{1774746001} * 10'000'000);
  Sandbox::TheClock().UseVirtual();
}

// `clock STEP` sets the calendar clock alone, as a time service does: the steady clock,
// the game's clock and `t` go on as they were.
TEST(SandboxClock, TheCalendarStepsAloneAndStaysInItsRange) {
  using std::chrono::seconds;
  constexpr std::int64_t kTicks = 10'000'000;
  Sandbox::Clock& clock = Sandbox::TheClock();
  clock.UseVirtual();
  clock.Advance(seconds(10));
  ASSERT_TRUE(clock.StepCalendar(seconds(-3600)));
  EXPECT_EQ(AsaApi::Tools::GetSystemClockTicks(),
            (Sandbox::Clock::kScriptEpochSeconds + 10 - 3600) * kTicks);
  EXPECT_EQ(AsaApi::Tools::GetSteadyClockTicks(), 10 * kTicks);
  EXPECT_EQ(clock.ElapsedSeconds(), 10);
  EXPECT_DOUBLE_EQ(clock.GameSeconds(), 10.0);
  clock.Advance(seconds(5));
  EXPECT_EQ(AsaApi::Tools::GetSystemClockTicks(),
            (Sandbox::Clock::kScriptEpochSeconds + 15 - 3600) * kTicks);
  EXPECT_EQ(AsaApi::Tools::GetSteadyClockTicks(), 15 * kTicks);
  const std::int64_t before = AsaApi::Tools::GetSystemClockTicks();
  for (const std::int64_t step :
       {std::int64_t{-5'000'000'000}, std::int64_t{6'000'000'000},
        std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min()}) {
    EXPECT_FALSE(clock.StepCalendar(seconds(step))) << step;
  }
  EXPECT_EQ(AsaApi::Tools::GetSystemClockTicks(), before) << "a refused step changes nothing";
  clock.UseVirtual();
}

TEST(SandboxDelayedTasks, RunWhenDueInSchedulingOrderOneFrameAtATime) {
  Sandbox::TheClock().UseVirtual();
  EXPECT_EQ(AsaApi::Tools::GetSystemClockTicks(), Sandbox::Clock::kScriptEpochSeconds * 10'000'000);
  Sandbox::DelayedTasks tasks;
  std::vector<std::string> ran;
  const FString module("/plugins/a.so");
  tasks.DelayExecuteInternal([&] { ran.push_back("late"); }, 2, FString("t"), module);
  tasks.DelayExecuteInternal([&] { ran.push_back("first"); }, 1, FString("t"), module);
  tasks.DelayExecuteInternal(
      [&] {
        ran.push_back("second");
        tasks.DelayExecuteInternal([&] { ran.push_back("chained"); }, 0, FString("t"), module);
      },
      1, FString("t"), module);
  tasks.DelayExecuteInternal([] { throw std::runtime_error("task failed"); }, 1, FString("t"),
                             FString("/plugins/b.so"));
  RecordedHostErrors errors;
  EXPECT_EQ(tasks.RunFrame(), 0);
  EXPECT_FALSE(tasks.HasDue());
  Sandbox::TheClock().Advance(std::chrono::seconds(1));
  EXPECT_EQ(tasks.RunFrame(), 3);
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second"}))
      << "a task of delay 0 scheduled by a task waits for the next frame";
  EXPECT_TRUE(tasks.HasDue());
  EXPECT_EQ(tasks.RunFrame(), 1);
  EXPECT_EQ(ran, (std::vector<std::string>{"first", "second", "chained"}));
  EXPECT_FALSE(tasks.HasDue());
  EXPECT_EQ(errors.whats, std::vector<std::string>{"task failed"});
  EXPECT_EQ(tasks.Waiting(), 1);
  EXPECT_EQ(tasks.DropModule(FString("/plugins/other.so")), 0);
  EXPECT_EQ(tasks.DropModule(module), 1);
  Sandbox::TheClock().Advance(std::chrono::seconds(5));
  tasks.RunFrame();
  EXPECT_EQ(ran.size(), 3U);
  Sandbox::TheClock().UseVirtual();
}

std::vector<std::string>*& TimerCalls() {
  static std::vector<std::string>* calls = nullptr;
  return calls;
}

void RecordTimerCall(AGameState* /*game_state*/) {
  TimerCalls()->push_back("timer");
}

// A script's time: between two lines a task that schedules itself again at every frame
// runs a second's worth of frames and no more, and a one-second step runs the tasks that
// are due, then the pending frames, then the game-state timer.
TEST(SandboxDelayedTasks, ScriptFramesAreBoundedAndComeBeforeTheTimer) {
  Sandbox::TheClock().UseVirtual();
  Sandbox::TheWorld().Reset();
  Sandbox::DelayedTasks& tasks = Sandbox::TheDelayedTasks();
  const FString module("/plugins/frames.so");
  std::vector<std::string> ran;
  std::function<void()> again = [&] {
    ran.push_back("frame");
    tasks.DelayExecuteInternal(again, 0, FString("t"), module);
  };
  tasks.DelayExecuteInternal(again, 0, FString("t"), module);
  Sandbox::RunPendingFrames();
  EXPECT_EQ(ran.size(), static_cast<std::size_t>(Sandbox::kFramesPerSecond));
  EXPECT_EQ(tasks.DropModule(module), 1);

  ran.clear();
  TimerCalls() = &ran;
  void (*trampoline)(AGameState*) = nullptr;
  Sandbox::TheGameFunctions().SetHook<void(AGameState*)>("AGameState.DefaultTimer()",
                                                         &RecordTimerCall, &trampoline);
  tasks.DelayExecuteInternal(
      [&] {
        ran.push_back("due");
        tasks.DelayExecuteInternal([&] { ran.push_back("delay 0"); }, 0, FString("t"), module);
      },
      1, FString("t"), module);
  Sandbox::StepOneSecond();
  EXPECT_EQ(ran, (std::vector<std::string>{"due", "delay 0", "timer"}));
  Sandbox::TheGameFunctions().DisableHook<void(AGameState*)>("AGameState.DefaultTimer()",
                                                             &RecordTimerCall);
  Sandbox::TheClock().UseVirtual();
}

}  // namespace
