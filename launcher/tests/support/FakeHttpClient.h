#pragma once
// Records every requested URL and answers from a queue: a document (status
// 200) or a failure. An empty queue answers with a failure.
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "launcher/Platform.h"

namespace launcher {

class FakeHttpClient : public IHttpClient {
public:
    bool HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) override;

    void QueueDocument(std::unique_ptr<IXmlDocument> document);  // nullptr queues a failure
    void QueueFailure();

    const std::vector<std::string>& Urls() const { return urls_; }

private:
    std::deque<std::unique_ptr<IXmlDocument>> answers_;  // nullptr stands for a failure
    std::vector<std::string> urls_;
};

}  // namespace launcher
