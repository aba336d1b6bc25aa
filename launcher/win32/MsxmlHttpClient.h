#pragma once
// The launcher's HTTP GET on MSXML's server-side request object, a new one for
// every call. The calling thread must have initialised COM.
#include <memory>
#include <string>

#include "launcher/Platform.h"
#include "launcher/RunLog.h"

namespace launcher::win {

class MsxmlHttpClient final : public IHttpClient {
public:
    // The status and size of each answer, or the step that failed, go to `log`.
    explicit MsxmlHttpClient(IRunLog* log = nullptr) : log_(log) {}

    // False for anything but a completed exchange with status 200: a bad URL,
    // a failed connection or transfer, a time-out, another status.
    bool HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) override;

private:
    IRunLog* log_;
};

}  // namespace launcher::win
