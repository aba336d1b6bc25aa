#include "UnavailableUpdateJob.h"

namespace updservice {

ResultRecord UnavailableUpdateJob::Run(const UpdatePermit&, IRecordSink&, const std::atomic<bool>&) {
    return {ResultCode::NotAvailable, "此版本的更新服务尚不能执行更新，请由管理员运行 startqvl 完成更新。"};
}

}  // namespace updservice
