#include "RecordQueue.h"

namespace updservice {
namespace {

bool IsProgress(const Incoming& incoming) {
    return incoming.record && std::holds_alternative<ProgressRecord>(*incoming.record);
}

}  // namespace

void RecordQueue::Push(Incoming incoming) {
    std::lock_guard lock(mutex_);
    if (IsProgress(incoming) && !waiting_.empty() && IsProgress(waiting_.back())) {
        waiting_.back() = std::move(incoming);
        return;
    }
    waiting_.push_back(std::move(incoming));
}

std::optional<Incoming> RecordQueue::Pop() {
    std::lock_guard lock(mutex_);
    if (waiting_.empty()) return std::nullopt;
    Incoming first = std::move(waiting_.front());
    waiting_.pop_front();
    return first;
}

}  // namespace updservice
