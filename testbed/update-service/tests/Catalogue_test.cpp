#include "testbed/update-service/Catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace testbed {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

Fields FieldsOf(const CatalogueFile& file) {
    Fields fields;
    for (const auto& field : file) fields.emplace_back(field.name, field.text);
    return fields;
}

TEST(updateCatalogue, KeepsEveryChildAndItsTextAsWritten) {
    std::string error;
    const auto catalogue = ParseCatalogue(R"(<?xml version="1.0" encoding="utf-8"?>
<catalogue customer="School01" salt="qvsalt.test.ab">
  <Note>not a file</Note>
  <File>
    <cFileName>Lumen &amp; Co.dll</cFileName>
    <cVersion>7</cVersion>
    <cFilePath>[SYS_PATH]</cFilePath>
    <cDownLoadPath>{base}/download/sys</cDownLoadPath>
    <cIfReg> 1</cIfReg>
    <cIfPrivate> </cIfPrivate>
  </File>
  <File>
    <cVersion></cVersion>
    <cExtra><![CDATA[<b>学校</b>]]></cExtra>
    <cFileName/>
  </File>
  <File/>
</catalogue>)",
                                          error);
    ASSERT_TRUE(catalogue) << error;
    EXPECT_EQ(catalogue->customer, "School01");
    EXPECT_EQ(catalogue->salt, "qvsalt.test.ab");
    ASSERT_EQ(catalogue->files.size(), 3u);
    EXPECT_EQ(FieldsOf(catalogue->files[0]), (Fields{{"cFileName", "Lumen & Co.dll"},
                                                     {"cVersion", "7"},
                                                     {"cFilePath", "[SYS_PATH]"},
                                                     {"cDownLoadPath", "{base}/download/sys"},
                                                     {"cIfReg", " 1"},
                                                     {"cIfPrivate", " "}}));
    EXPECT_EQ(FieldsOf(catalogue->files[1]), (Fields{{"cVersion", ""}, {"cExtra", "<b>学校</b>"}, {"cFileName", ""}}));
    EXPECT_TRUE(catalogue->files[2].empty());
}

TEST(updateCatalogue, RefusesWhatItCannotServe) {
    const std::string documents[] = {
        "",
        "<catalogue customer='a' salt='b'>",
        "<catalog customer='a' salt='b'/>",
        "<catalogue customer='a'/>",
        "<catalogue salt='b'/>",
    };
    for (const auto& document : documents) {
        std::string error;
        EXPECT_FALSE(ParseCatalogue(document, error)) << document;
        EXPECT_FALSE(error.empty()) << document;
    }
}

TEST(updateCatalogue, ReadsAFileAndExpandsTheBaseEverywhere) {
    const auto file =
        std::filesystem::temp_directory_path() / ("update-catalogue-" + std::to_string(::getpid()) + ".xml");
    std::ofstream(file) << "<catalogue customer='学校' salt='s'><File><cDownLoadPath>{base}/a/{base}</cDownLoadPath>"
                           "<cFilePath>[CUR_PATH]{base</cFilePath></File></catalogue>";
    std::string error;
    auto catalogue = ReadCatalogue(file, error);
    std::filesystem::remove(file);
    ASSERT_TRUE(catalogue) << error;
    EXPECT_EQ(catalogue->customer, "学校");

    ExpandBase(*catalogue, "http://127.0.0.1:8080");
    EXPECT_EQ(FieldsOf(catalogue->files[0]), (Fields{{"cDownLoadPath", "http://127.0.0.1:8080/a/http://127.0.0.1:8080"},
                                                     {"cFilePath", "[CUR_PATH]{base"}}));

    EXPECT_FALSE(ReadCatalogue(file, error));
}

}  // namespace
}  // namespace testbed
