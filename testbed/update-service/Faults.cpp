#include "Faults.h"

#include <charconv>

namespace testbed {
namespace {

constexpr std::string_view kXmlType = "text/xml; charset=utf-8";

std::optional<long long> Number(std::string_view text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Statuses whose replies must not carry a body.
bool IsBodiless(int status) { return status < 200 || status == 204 || status == 304; }

std::optional<std::size_t> Position(std::string_view text) {
    const auto value = Number(text);
    if (!value || *value < 1) return std::nullopt;
    return static_cast<std::size_t>(*value);
}

// "change:<n>:<field>:<text>" and "copy-signature:<from>:<to>".
bool AddAnswerChange(Faults& faults, std::string_view name, std::string_view rest) {
    const auto colon = rest.find(':');
    if (colon == std::string_view::npos) return false;
    const auto first = Position(rest.substr(0, colon));
    rest.remove_prefix(colon + 1);
    if (!first) return false;
    if (name == "copy-signature") {
        const auto second = Position(rest);
        if (!second) return false;
        faults.signatureCopy = Faults::SignatureCopy{*first, *second};
        return true;
    }
    const auto nameEnd = rest.find(':');
    if (nameEnd == std::string_view::npos || nameEnd == 0) return false;
    faults.changes.push_back({*first, std::string(rest.substr(0, nameEnd)), std::string(rest.substr(nameEnd + 1))});
    return true;
}

void SetField(CatalogueFile& file, const std::string& name, const std::string& text) {
    for (auto& field : file) {
        if (field.name == name) {
            field.text = text;
            return;
        }
    }
    file.push_back({name, text});
}

const std::string* FieldText(const CatalogueFile& file, const std::string& name) {
    for (const auto& field : file) {
        if (field.name == name) return &field.text;
    }
    return nullptr;
}

void ChangeAnswer(const Faults& faults, Answer& answer) {
    auto& files = answer.files;
    if (const auto copy = faults.signatureCopy; copy && copy->from <= files.size() && copy->to <= files.size()) {
        if (const auto* signature = FieldText(files[copy->from - 1], "cSignature")) {
            SetField(files[copy->to - 1], "cSignature", *signature);
        }
    }
    for (const auto& change : faults.changes) {
        if (change.file <= files.size()) SetField(files[change.file - 1], change.name, change.text);
    }
}

}  // namespace

bool AddFault(Faults& faults, std::string_view kind) {
    const auto colon = kind.find(':');
    const auto name = kind.substr(0, colon);
    if (name.substr(0, 9) == "download-") return AddDownloadFault(faults.downloads, kind);
    if ((name == "change" || name == "copy-signature") && colon != std::string_view::npos) {
        return AddAnswerChange(faults, name, kind.substr(colon + 1));
    }
    if (colon != std::string_view::npos) {
        const auto value = Number(kind.substr(colon + 1));
        if (!value) return false;
        if (name == "status" && *value >= 100 && *value <= 599) {
            faults.status = static_cast<int>(*value);
            return true;
        }
        if (name == "delay" && *value >= 0) {
            faults.delay = std::chrono::milliseconds(*value);
            return true;
        }
        return false;
    }
    if (name == "malformed") return faults.malformed = true;
    if (name == "no-result") return faults.noResult = true;
    if (name == "empty-list") return faults.emptyList = true;
    if (name == "truncated") return faults.truncated = true;
    return false;
}

Reply ReplyWithFaults(const Faults& faults, Answer answer) {
    if (faults.status) {
        const int status = *faults.status;
        return {status, "text/plain; charset=utf-8",
                IsBodiless(status) ? "" : "fault: status " + std::to_string(status) + "\n"};
    }
    if (faults.malformed) {
        return {200, std::string(kXmlType),
                "<?xml version=\"1.0\" encoding=\"utf-8\"?><quorvel><result><errorCode>1</errorCode>"
                "<errorMessage></result></quorvel>"};
    }
    if (faults.emptyList) answer = {true, 1, "", true, {}};
    if (faults.noResult) answer.hasResult = false;
    ChangeAnswer(faults, answer);
    auto body = AnswerXml(answer);
    if (faults.truncated) body.resize(body.size() / 2);
    return {200, std::string(kXmlType), std::move(body)};
}

}  // namespace testbed
