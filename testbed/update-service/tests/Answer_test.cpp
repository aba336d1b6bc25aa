#include "testbed/update-service/Answer.h"

#include <gtest/gtest.h>

namespace testbed {
namespace {

const Catalogue kCatalogue{
    "School01", "qvsalt.test.ab", {{{"cFileName", "a&b<c>.dll"}, {"cVersion", ""}, {"cIfReg", " 1"}}, {}}};

constexpr const char* kDeclaration = R"(<?xml version="1.0" encoding="utf-8"?>)";

TEST(updateAnswer, AcceptedListsTheCatalogueFilesAsGiven) {
    EXPECT_EQ(AnswerXml(AnswerFor(Verdict::Accepted, kCatalogue)),
              std::string(kDeclaration) +
                  "<quorvel><result><errorCode>1</errorCode><errorMessage></errorMessage></result>"
                  "<ProgramFilesList><File><cFileName>a&amp;b&lt;c&gt;.dll</cFileName><cVersion></cVersion>"
                  "<cIfReg> 1</cIfReg></File><File></File></ProgramFilesList></quorvel>");
}

TEST(updateAnswer, RefusalsCarryCodeAndMessageWithoutList) {
    EXPECT_EQ(AnswerXml(AnswerFor(Verdict::UnknownCustomer, kCatalogue)),
              std::string(kDeclaration) +
                  "<quorvel><result><errorCode>2</errorCode><errorMessage>客户编号无效。</errorMessage></result>"
                  "</quorvel>");
    EXPECT_EQ(AnswerXml(AnswerFor(Verdict::BadSignature, kCatalogue)),
              std::string(kDeclaration) +
                  "<quorvel><result><errorCode>3</errorCode><errorMessage>请求签名验证失败。</errorMessage></result>"
                  "</quorvel>");
}

}  // namespace
}  // namespace testbed
