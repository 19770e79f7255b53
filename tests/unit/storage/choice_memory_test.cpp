#include "storage/choice_memory.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Bellwright::Storage {
namespace {

TEST(ChoiceMemoryTest, AnyOptedOutLooksAtTheGivenPlayersOnly) {
  ChoiceMemory memory;
  const std::vector<std::string> online = {"p1", "p2", "p3"};
  EXPECT_FALSE(memory.AnyOptedOut(online));
  memory.Toggle("offline");
  EXPECT_FALSE(memory.AnyOptedOut(online));
  memory.Toggle("p3");
  EXPECT_TRUE(memory.AnyOptedOut(online));
  EXPECT_FALSE(memory.AnyOptedOut({}));
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
  EXPECT_FALSE(memory.HasPendingWrites());
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
      {"pending opt-out, stale row says in", false, false, true},
      {"pending opt-out, row agrees", false, true, true},
      {"written opt-out, another server opted back in", true, false, false},
      {"written opt-out, row agrees", true, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool whole_table : {false, true}) {
      ChoiceMemory memory;
      memory.Toggle("p1");
      if (c.written_before_read) memory.MarkWritten(memory.TakeBatch(10));
      if (whole_table) {
        const std::vector<StoredChoice> stored = {{"p1", c.stored}};
        memory.ApplyAllStored(stored);
      } else {
        memory.ApplyStored("p1", c.stored);
      }
      EXPECT_EQ(memory.IsOptedOut("p1"), c.expected) << "whole table: " << whole_table;
    }
  }
}

TEST(ChoiceMemoryTest, AWholeTableReadReplacesEverythingNotWaitingToBeWritten) {
  ChoiceMemory memory;
  memory.ApplyAllStored(std::vector<StoredChoice>{{"gone", true}, {"kept", true}});
  memory.Toggle("local");  // pending
  const std::vector<StoredChoice> stored = {{"kept", true}, {"new", true}, {"in", false}};
  memory.ApplyAllStored(stored);
  EXPECT_FALSE(memory.IsOptedOut("gone"));
  EXPECT_TRUE(memory.IsOptedOut("kept"));
  EXPECT_TRUE(memory.IsOptedOut("new"));
  EXPECT_FALSE(memory.IsOptedOut("in"));
  EXPECT_TRUE(memory.IsOptedOut("local"));
}

TEST(ChoiceMemoryTest, AKeyTooLongToStoreWorksInMemoryAndIsNoticedOnce) {
  ChoiceMemory memory;
  const std::string widest(kMaxStoredKeyBytes, 'w');
  const std::string too_long(kMaxStoredKeyBytes + 1, 'x');
  memory.Toggle(widest);
  EXPECT_FALSE(memory.TakeUnstorableKeyNotice());
  EXPECT_TRUE(memory.Toggle(too_long));
  memory.Toggle(too_long + "y");
  EXPECT_TRUE(memory.IsOptedOut(too_long));
  EXPECT_EQ(memory.PendingWriteCount(), 1u);
  EXPECT_TRUE(memory.TakeUnstorableKeyNotice());
  EXPECT_FALSE(memory.TakeUnstorableKeyNotice());
  // No database has it, so a read of the table must not drop it.
  memory.ApplyAllStored(std::vector<StoredChoice>{});
  EXPECT_TRUE(memory.IsOptedOut(too_long));
}

}  // namespace
}  // namespace Bellwright::Storage
