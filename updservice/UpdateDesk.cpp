#include "UpdateDesk.h"

#include "RecordReader.h"

namespace updservice {

UpdateDesk::UpdateDesk(launcher::ISettingsSource& settings, IInstallDirSource& installDir, IUpdateJob& job)
    : settings_(settings), installDir_(installDir), job_(job) {}

ResultRecord UpdateDesk::Serve(std::span<const unsigned char> message, IRecordSink& sink,
                               const std::atomic<bool>& cancel) {
    const ReadOutcome read = ReadRecord(message);
    if (!read.record) return {ResultCode::BadRecord, "无法读取请求：" + read.error + "。"};
    if (!std::holds_alternative<RequestRecord>(*read.record)) {
        return {ResultCode::BadRecord, "连接的第一条记录必须是更新请求。"};
    }
    std::unique_lock running(running_, std::try_to_lock);
    if (!running.owns_lock()) return {ResultCode::Busy, "另一个更新正在进行，请稍后再试。"};
    const Authorization authorization = Authorize(settings_, installDir_);
    if (!authorization.permit) return {ResultCode::Refused, authorization.reason};
    return job_.Run(*authorization.permit, sink, cancel);
}

}  // namespace updservice
