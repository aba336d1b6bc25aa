#include "FakeHttpClient.h"

#include <utility>

namespace launcher {

bool FakeHttpClient::HttpGetXml(const std::string& url, std::unique_ptr<IXmlDocument>& document) {
    urls_.push_back(url);
    if (answers_.empty()) return false;
    auto answer = std::move(answers_.front());
    answers_.pop_front();
    if (!answer) return false;
    document = std::move(answer);
    return true;
}

void FakeHttpClient::QueueDocument(std::unique_ptr<IXmlDocument> document) { answers_.push_back(std::move(document)); }

void FakeHttpClient::QueueFailure() { answers_.push_back(nullptr); }

}  // namespace launcher
