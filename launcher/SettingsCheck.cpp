#include "SettingsCheck.h"

namespace launcher {
namespace {

std::string ServiceLine(const CheckFindings& f) {
    const std::string head = "升级服务 " + f.serviceUrl + "：";
    switch (f.service) {
        case ServiceFinding::NotAsked:
            return "升级服务：未询问。";
        case ServiceFinding::NoAnswer:
            return head + "无法连接或没有回答。";
        case ServiceFinding::AnswerRefused:
            return head + (f.publisherKeys > 0 ? "回答无法读取，或有未经发布者有效签名的项目。" : "回答无法读取。");
        case ServiceFinding::Refused:
            return head + "拒绝了请求（错误代码 " + std::to_string(f.errorCode) + "）：" + f.errorMessage;
        case ServiceFinding::Answered:
            return head + "可以连接，回答有效，共 " + std::to_string(f.entries) + " 个文件" +
                   (f.publisherKeys > 0 ? "，均有发布者的有效签名。" : "。");
    }
    return head;
}

}  // namespace

MainEnd CheckEnd(const CheckFindings& f) {
    if (!f.settingsError.empty()) return MainEnd::SettingsMissing;
    switch (f.service) {
        case ServiceFinding::NotAsked:
        case ServiceFinding::NoAnswer:
            return MainEnd::RequestFailed;
        case ServiceFinding::AnswerRefused:
            return MainEnd::AnswerRefused;
        case ServiceFinding::Refused:
            return MainEnd::ServiceRefused;
        case ServiceFinding::Answered:
            break;
    }
    return f.versionFileError.empty() ? MainEnd::CheckPassed : MainEnd::VersionFileUnreadable;
}

std::string CheckReport(const CheckFindings& f) {
    std::string text;
    if (!f.settingsError.empty()) {
        text = "设置无效：" + f.settingsError + "\r\n";
    } else {
        text = "设置：" + f.settingsSource + "，有效。\r\n";
        text += f.publisherKeys > 0
                    ? "发布者公钥：" + std::to_string(f.publisherKeys) + " 个，只接受有效签名的回答。\r\n"
                    : std::string("发布者公钥：未设置，回答的签名不检查。\r\n");
        text += ServiceLine(f) + "\r\n";
    }
    if (f.service == ServiceFinding::Answered) {
        text += f.versionFileError.empty() ? "需要升级的文件：" + std::to_string(f.toUpdate) + " 个。\r\n"
                                           : "版本文件无法读取：" + f.versionFileError + "\r\n";
    }
    text += "\r\n";
    text += CheckEnd(f) == MainEnd::CheckPassed ? "检查通过。" : "检查未通过。";
    text += "未下载、删除或启动任何文件。";
    return text;
}

}  // namespace launcher
