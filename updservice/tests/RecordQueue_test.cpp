#include "updservice/RecordQueue.h"

#include <gtest/gtest.h>

namespace updservice {
namespace {

Incoming Ok(Record record) { return {LinkStatus::Ok, std::move(record), {}}; }
ProgressRecord Progress(std::int32_t value) { return {0, 100, value, false, 0, 100, 0, "a", "b"}; }

TEST(RecordQueue, KeepsOrderAndOnlyTheLatestOfProgressThatFollowsProgress) {
    RecordQueue queue;
    queue.Push(Ok(WaitTextRecord{"x"}));
    queue.Push(Ok(Progress(1)));
    queue.Push(Ok(Progress(2)));
    queue.Push(Ok(BoxRecord{"box", "t", 0}));
    queue.Push(Ok(Progress(3)));
    queue.Push(Ok(Progress(4)));
    queue.Push(Ok(DownloadEndRecord{}));
    queue.Push({LinkStatus::Closed, std::nullopt, {}});

    std::vector<Record> records;
    std::optional<Incoming> next;
    while ((next = queue.Pop()) && next->record) records.push_back(*next->record);
    EXPECT_EQ(records, (std::vector<Record>{WaitTextRecord{"x"}, Progress(2), BoxRecord{"box", "t", 0}, Progress(4),
                                            DownloadEndRecord{}}));
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(next->status, LinkStatus::Closed);
    EXPECT_FALSE(queue.Pop().has_value());
}

}  // namespace
}  // namespace updservice
