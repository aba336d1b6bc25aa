#include "SignDocument.h"

#include <fstream>

#include "launcher/Base64.h"
#include "launcher/Sha256.h"

namespace publisher {
namespace {

std::optional<std::string> FileDigest(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    launcher::Sha256 hash;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) hash.Update(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad()) return std::nullopt;
    return hash.HexDigest();
}

void SetChild(pugi::xml_node file, const char* name, const std::string& text) {
    pugi::xml_node child = file.child(name);
    if (!child) child = file.append_child(name);
    child.text().set(text.c_str());
}

std::vector<pugi::xml_node> FileElements(const pugi::xml_document& document) {
    std::vector<pugi::xml_node> files;
    for (const auto& found : document.select_nodes("//File")) files.push_back(found.node());
    return files;
}

}  // namespace

launcher::SignedFieldTexts SignedFields(const pugi::xml_node& file) {
    launcher::SignedFieldTexts fields;
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i] = file.child(launcher::kSignedFields[i]).text().get();
    return fields;
}

std::optional<int> SignDocument(pugi::xml_document& document, const EcKey& key,
                                const std::optional<std::filesystem::path>& archives, std::string& error) {
    int count = 0;
    for (pugi::xml_node file : FileElements(document)) {
        const std::string name = launcher::TrimXmlSpace(file.child("cFileName").text().get());
        if (archives) {
            const auto digest = FileDigest(*archives / (name + ".comps"));
            if (!digest) {
                error = "cannot read the archive " + (*archives / (name + ".comps")).string();
                return std::nullopt;
            }
            SetChild(file, "cSHA256", *digest);
        }
        const auto fields = SignedFields(file);
        if (launcher::NormalisedSha256Text(launcher::TrimXmlSpace(fields[6])).empty()) {
            error = "the entry " + name + " has no cSHA256 of 64 hexadecimal digits (give --archives)";
            return std::nullopt;
        }
        if (launcher::HasLineBreakInside(fields)) {
            error = "the entry " + name + " has a line break inside a field, which the launcher refuses";
            return std::nullopt;
        }
        const auto signature = key.Sign(launcher::FileSigningText(fields));
        if (!signature) {
            error = "signing failed (is the key a private key?)";
            return std::nullopt;
        }
        SetChild(file, launcher::kSignatureElement, launcher::EncodeBase64(signature->data(), signature->size()));
        ++count;
    }
    return count;
}

std::vector<std::string> CheckDocument(const pugi::xml_document& document, const launcher::AnswerSigning& signing) {
    std::vector<std::string> problems;
    for (const pugi::xml_node& file : FileElements(document)) {
        const auto fields = SignedFields(file);
        const std::string name = launcher::TrimXmlSpace(fields[0]);
        if (launcher::NormalisedSha256Text(launcher::TrimXmlSpace(fields[6])).empty()) {
            problems.push_back(name + ": no cSHA256 of 64 hexadecimal digits");
        } else if (!launcher::IsSignedEntry(fields, file.child(launcher::kSignatureElement).text().get(), signing)) {
            problems.push_back(name + ": signature missing or valid under none of the keys");
        }
    }
    return problems;
}

}  // namespace publisher
