#include "Answer.h"

#include <pugixml.hpp>
#include <sstream>

namespace testbed {

Answer AnswerFor(Verdict verdict, const Catalogue& catalogue) {
    switch (verdict) {
        case Verdict::Accepted:
            return {true, 1, "", true, catalogue.files};
        case Verdict::UnknownCustomer:
            return {true, 2, "客户编号无效。", false, {}};
        case Verdict::BadSignature:
            break;
    }
    return {true, 3, "请求签名验证失败。", false, {}};
}

std::string AnswerXml(const Answer& answer) {
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "utf-8";
    auto root = document.append_child("quorvel");
    if (answer.hasResult) {
        auto result = root.append_child("result");
        result.append_child("errorCode").text() = answer.errorCode;
        result.append_child("errorMessage").text() = answer.errorMessage.c_str();
    }
    if (answer.hasList) {
        auto list = root.append_child("ProgramFilesList");
        for (const auto& file : answer.files) {
            auto element = list.append_child("File");
            for (const auto& field : file) element.append_child(field.name.c_str()).text() = field.text.c_str();
        }
    }
    std::ostringstream out;
    document.save(out, "", pugi::format_raw | pugi::format_no_empty_element_tags, pugi::encoding_utf8);
    return out.str();
}

}  // namespace testbed
