#include "storage/choice_memory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Bellwright::Storage {
namespace {

using namespace std::chrono_literals;

constexpr ChoiceMemory::Moment kPatience = 5s;

bool Out(const ChoiceMemory& memory, std::string_view key, ChoiceMemory::Moment now = 0s) {
  return memory.IsOptedOut(key, now, kPatience);
}

TEST(ChoiceMemoryTest, OnlyTheLatestStateOfAPlayerWaitsToBeWritten) {
  ChoiceMemory memory;
  memory.Toggle("p1");
  memory.Toggle("p1");
  memory.Toggle("p1");
  memory.Toggle("p2");
  const WriteBatch batch = memory.TakeBatch(10);
  ASSERT_EQ(batch.choices.size(), 2u);
  for (const StoredChoice& choice : batch.choices) EXPECT_TRUE(choice.opted_out);
  memory.MarkWritten(batch);
  EXPECT_FALSE(memory.HasUnwritten());
}

TEST(ChoiceMemoryTest, AToggleDuringTheWriteIsWrittenNext) {
  ChoiceMemory memory;
  memory.Toggle("p1");
  const WriteBatch batch = memory.TakeBatch(10);
  memory.Toggle("p1");  // while the batch is on its way to the database
  memory.MarkWritten(batch);
  const WriteBatch next = memory.TakeBatch(10);
  ASSERT_EQ(next.choices.size(), 1u);
  EXPECT_FALSE(next.choices[0].opted_out);
}

// A stored value read while this server's own choice still waits to be written is
// older than that choice; applying it would silently undo what the player just did.
TEST(ChoiceMemoryTest, StoredValuesNeverUndoAChoiceWaitingToBeWritten) {
  struct Case {
    const char* name;
    bool written_before_read;
    bool stored;
    bool expected;
  };
  const Case cases[] = {
      {"unwritten opt-out, stale row says in", false, false, true},
      {"unwritten opt-out, row agrees", false, true, true},
      {"written opt-out, another server opted back in", true, false, false},
      {"written opt-out, row agrees", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ChoiceMemory memory;
    memory.Ask("p1", 0s);
    const std::vector<std::string> asked = memory.TakeQuestions(10);
    memory.Toggle("p1");
    if (c.written_before_read) memory.MarkWritten(memory.TakeBatch(10));
    memory.Answer(asked, std::vector<StoredChoice>{{"p1", c.stored}});
    EXPECT_EQ(Out(memory, "p1"), c.expected);
  }
}

// Until the storage answers, a player counts as opted out (they may have opted out on
// another server); past the patience, as not opted out, so a storage that does not
// answer costs nobody their announcements for long.
TEST(ChoiceMemoryTest, APlayerNotAnsweredYetIsLeftOutOnlyForAWhile) {
  ChoiceMemory memory;
  memory.Ask("p1", 10s);
  EXPECT_TRUE(Out(memory, "p1", 10s));
  EXPECT_TRUE(Out(memory, "p1", 14s));
  EXPECT_FALSE(Out(memory, "p1", 15s));
  // Asked again on a respawn: the patience counts from the first question.
  memory.Ask("p1", 20s);
  EXPECT_FALSE(Out(memory, "p1", 20s));
  memory.Answer(memory.TakeQuestions(10), std::vector<StoredChoice>{{"p1", true}});
  EXPECT_TRUE(Out(memory, "p1", 30s));
  // A player nobody asked about is not left out.
  EXPECT_FALSE(Out(memory, "stranger"));
}

TEST(ChoiceMemoryTest, ItHoldsThePlayersHereAndWhatIsNotWrittenOnly) {
  ChoiceMemory memory;
  for (const char* key : {"a", "b", "c"}) memory.Ask(key, 0s);
  memory.Answer(memory.TakeQuestions(10), std::vector<StoredChoice>{{"a", true}});
  memory.Toggle("b");
  memory.Forget("a");
  memory.Forget("b");
  EXPECT_EQ(memory.PlayerCount(), 1u);
  EXPECT_FALSE(Out(memory, "a")) << "gone";
  ASSERT_EQ(memory.Unwritten().size(), 1u) << "b's choice waits to be written all the same";
  EXPECT_EQ(memory.Unwritten()[0].player_key, "b");
  memory.Ask("b", 0s);
  EXPECT_TRUE(Out(memory, "b")) << "back before it was written";
}

TEST(ChoiceMemoryTest, ANewStorageAsksEveryoneAgainAndAMadeAgainOneGetsEveryonesChoice) {
  ChoiceMemory memory;
  for (const char* key : {"in", "out"}) memory.Ask(key, 0s);
  memory.Answer(memory.TakeQuestions(10), std::vector<StoredChoice>{{"out", true}});
  EXPECT_FALSE(memory.HasQuestions());
  memory.AskEveryoneAgain();
  EXPECT_EQ(memory.TakeQuestions(10).size(), 2u);
  EXPECT_TRUE(Out(memory, "out")) << "what is known counts meanwhile";
  memory.WriteEveryoneAgain();
  std::vector<StoredChoice> unwritten = memory.Unwritten();
  ASSERT_EQ(unwritten.size(), 2u);
  // Kept choices from elsewhere are authoritative, like a toggle.
  memory.AddUnwritten(std::vector<StoredChoice>{{"in", true}});
  EXPECT_TRUE(Out(memory, "in"));
}

// A storage used earlier in the session, and again now, gets every choice made since,
// written ones included, so that its older rows cannot undo them.
TEST(ChoiceMemoryTest, EveryChoiceOfTheSessionGoesToTheNextStorage) {
  ChoiceMemory memory;
  memory.Toggle("out");
  memory.Toggle("in");
  memory.Toggle("in");
  memory.MarkWritten(memory.TakeBatch(10));
  memory.AddUnwritten(std::vector<StoredChoice>{{"kept", true}});
  memory.MarkWritten(memory.TakeBatch(10));
  ASSERT_FALSE(memory.HasUnwritten());
  memory.WriteSessionChoicesAgain();
  const std::vector<StoredChoice> again = memory.Unwritten();
  ASSERT_EQ(again.size(), 3u);
  for (const StoredChoice& choice : again) {
    EXPECT_EQ(choice.opted_out, choice.player_key != "in") << choice.player_key;
  }
  memory.Ask("out", 0s);
  memory.Answer(memory.TakeQuestions(10), std::vector<StoredChoice>{});
  EXPECT_TRUE(Out(memory, "out")) << "the older row of the storage used before does not count";
}

TEST(ChoiceMemoryTest, WithoutStorageEveryoneNotAnsweredIsIn) {
  ChoiceMemory memory;
  memory.Ask("p1", 0s);
  memory.AnswerUnansweredWithoutStorage();
  EXPECT_FALSE(Out(memory, "p1"));
  EXPECT_FALSE(memory.HasQuestions());
}

TEST(ChoiceMemoryTest, AKeyTooLongToStoreWorksInMemoryAndIsNoticedOnce) {
  ChoiceMemory memory;
  const std::string widest(kMaxStoredKeyBytes, 'w');
  const std::string too_long(kMaxStoredKeyBytes + 1, 'x');
  memory.Toggle(widest);
  EXPECT_FALSE(memory.TakeUnstorableKeyNotice());
  EXPECT_TRUE(memory.Toggle(too_long));
  memory.Toggle(too_long + "y");
  EXPECT_TRUE(Out(memory, too_long));
  EXPECT_EQ(memory.Unwritten().size(), 1u);
  EXPECT_TRUE(memory.TakeUnstorableKeyNotice());
  EXPECT_FALSE(memory.TakeUnstorableKeyNotice());
  // No database has it, so asking again must neither ask nor drop it.
  memory.Ask(too_long, 0s);
  memory.AskEveryoneAgain();
  EXPECT_EQ(memory.TakeQuestions(10), std::vector<std::string>{widest});
  EXPECT_TRUE(Out(memory, too_long));
}

}  // namespace
}  // namespace Bellwright::Storage
