#include "testbed/update-service/Faults.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <initializer_list>
#include <string>

namespace testbed {
namespace {

const Catalogue kCatalogue{"School01", "s", {{{"cFileName", "a.dll"}, {"cVersion", "3"}}}};

Faults FaultsOf(std::initializer_list<const char*> kinds) {
    Faults faults;
    for (const auto* kind : kinds) EXPECT_TRUE(AddFault(faults, kind)) << kind;
    return faults;
}

TEST(updateFaults, AcceptsOnlyTheKnownKinds) {
    for (const auto* kind :
         {"status:100", "status:599", "delay:0", "delay:250", "malformed", "truncated", "no-result", "empty-list"}) {
        Faults faults;
        EXPECT_TRUE(AddFault(faults, kind)) << kind;
    }
    for (const auto* kind : {"status:99", "status:600", "status:", "status:5x", "status", "delay:-1", "delay:1.5",
                             "Malformed", "malformed:1", "empty_list", "", "bogus"}) {
        Faults faults;
        EXPECT_FALSE(AddFault(faults, kind)) << kind;
    }
    const auto faults = FaultsOf({"delay:250", "status:502"});
    EXPECT_EQ(faults.delay.count(), 250);
    EXPECT_EQ(faults.status, 502);
}

TEST(updateFaults, DownloadFaultsAreParsedApartFromTheAnswerFaults) {
    for (const auto* kind :
         {"download-status:99", "download-cut:-1", "download-rate:0", "download-no-length:1", "download-cut"}) {
        Faults faults;
        EXPECT_FALSE(AddFault(faults, kind)) << kind;
    }
    const auto faults = FaultsOf({"download-status:404", "download-cut:0", "download-no-length", "download-rate:8192"});
    EXPECT_EQ(faults.downloads.all.status, 404);
    EXPECT_EQ(faults.downloads.all.cut, 0);
    EXPECT_TRUE(faults.downloads.all.noLength);
    EXPECT_EQ(faults.downloads.all.rate, 8192);
    EXPECT_FALSE(faults.status);
}

TEST(updateFaults, WithoutFaultsTheAnswerGoesOutAsXml) {
    const auto answer = AnswerFor(Verdict::Accepted, kCatalogue);
    const auto reply = ReplyWithFaults({}, answer);
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.contentType, "text/xml; charset=utf-8");
    EXPECT_EQ(reply.body, AnswerXml(answer));
}

TEST(updateFaults, StatusWinsAndBodilessStatusesStayEmpty) {
    const auto answer = AnswerFor(Verdict::Accepted, kCatalogue);
    const auto failed = ReplyWithFaults(FaultsOf({"malformed", "status:500", "truncated"}), answer);
    EXPECT_EQ(failed.status, 500);
    EXPECT_NE(failed.body.find("500"), std::string::npos);
    const auto unchanged = ReplyWithFaults(FaultsOf({"status:304"}), answer);
    EXPECT_EQ(unchanged.status, 304);
    EXPECT_EQ(unchanged.body, "");
}

// Each fault checked the way the launcher would meet it: by parsing the body.
TEST(updateFaults, ReshapeOrBreakTheDocument) {
    struct Case {
        std::initializer_list<const char*> kinds;
        Verdict verdict;
        bool wellFormed;
        bool hasResult;
        const char* errorCode;
        int files;
    };
    const Case cases[] = {
        {{"malformed"}, Verdict::Accepted, false, false, "", 0},
        {{"truncated"}, Verdict::Accepted, false, false, "", 0},
        {{"no-result"}, Verdict::Accepted, true, false, "", 1},
        {{"empty-list"}, Verdict::Accepted, true, true, "1", 0},
        {{"empty-list"}, Verdict::BadSignature, true, true, "1", 0},
        {{"no-result", "empty-list"}, Verdict::Accepted, true, false, "", 0},
        {{"delay:5"}, Verdict::UnknownCustomer, true, true, "2", 0},
    };
    for (const auto& c : cases) {
        const auto reply = ReplyWithFaults(FaultsOf(c.kinds), AnswerFor(c.verdict, kCatalogue));
        const auto label = std::string(*c.kinds.begin()) + " / " + std::to_string(c.kinds.size());
        EXPECT_EQ(reply.status, 200) << label;
        pugi::xml_document document;
        const bool wellFormed = document.load_string(reply.body.c_str());
        EXPECT_EQ(wellFormed, c.wellFormed) << label;
        if (!wellFormed) continue;
        const auto result = document.select_node("/quorvel/result");
        EXPECT_EQ(static_cast<bool>(result), c.hasResult) << label;
        EXPECT_STREQ(document.select_node("/quorvel/result/errorCode").node().text().get(), c.errorCode) << label;
        EXPECT_EQ(document.select_nodes("/quorvel/ProgramFilesList/File").size(), static_cast<std::size_t>(c.files))
            << label;
    }
}

}  // namespace
}  // namespace testbed
