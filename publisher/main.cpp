// qv-publisher: a school's or publisher's tool for signed updates. Makes the
// key pair, prints the launcher's PublisherKeys line, signs the File entries
// of a catalogue or answer, and checks a signed one as the launcher would.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "EcKey.h"
#include "SignDocument.h"
#include "launcher/Base64.h"

namespace {

constexpr const char* kUsage =
    "usage: qv-publisher keygen PRIVATE.pem\n"
    "       qv-publisher key PRIVATE.pem\n"
    "       qv-publisher sign PRIVATE.pem IN.xml OUT.xml [--archives FOLDER]\n"
    "       qv-publisher verify KEYS IN.xml\n"
    "  keygen  makes a new P-256 key pair in PRIVATE.pem (must not exist) and prints its PublisherKeys line\n"
    "  key     prints the PublisherKeys line of an existing private key\n"
    "  sign    gives every File element a cSignature; with --archives, first sets its cSHA256 to the\n"
    "          digest of FOLDER/<cFileName>.comps\n"
    "  verify  KEYS is the PublisherKeys value (or the whole line); exit 0 when the launcher would\n"
    "          accept every File element\n";

int Fail(const std::string& message) {
    std::cerr << "qv-publisher: " << message << "\n";
    return 1;
}

void PrintKeyLine(const publisher::EcKey& key) {
    const auto bytes = key.PublicKey();
    std::cout << "PublisherKeys=" << launcher::EncodeBase64(bytes.data(), bytes.size()) << "\n";
}

int KeyGen(const std::filesystem::path& file) {
    const auto key = publisher::EcKey::Generate();
    if (!key) return Fail("the key pair could not be made");
    std::string error;
    if (!key->WritePrivate(file, error)) return Fail(error);
    PrintKeyLine(*key);
    return 0;
}

std::optional<pugi::xml_document> Load(const std::filesystem::path& file, std::string& error) {
    std::optional<pugi::xml_document> document(std::in_place);
    const auto parsed = document->load_file(file.c_str(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!parsed) {
        error = file.string() + ": " + parsed.description();
        return std::nullopt;
    }
    return document;
}

int Sign(const std::vector<std::string_view>& args) {
    if (args.size() != 3 && !(args.size() == 5 && args[3] == "--archives")) {
        std::cerr << kUsage;
        return 2;
    }
    std::string error;
    const auto key = publisher::EcKey::ReadPrivate(args[0], error);
    if (!key) return Fail(error);
    auto document = Load(args[1], error);
    if (!document) return Fail(error);
    std::optional<std::filesystem::path> archives;
    if (args.size() == 5) archives = args[4];
    const auto count = publisher::SignDocument(*document, *key, archives, error);
    if (!count) return Fail(error);
    if (!document->save_file(std::string(args[2]).c_str(), "  ", pugi::format_default, pugi::encoding_utf8)) {
        return Fail("cannot write " + std::string(args[2]));
    }
    std::cerr << "signed " << *count << " entries\n";
    return 0;
}

int Verify(std::string_view keysText, const std::filesystem::path& file) {
    constexpr std::string_view kPrefix = "PublisherKeys=";
    if (keysText.starts_with(kPrefix)) keysText.remove_prefix(kPrefix.size());
    auto keys = launcher::ParsePublisherKeys(keysText);
    if (!keys) return Fail("the keys are not base64 texts of 64 bytes, separated by commas");
    std::string error;
    const auto document = Load(file, error);
    if (!document) return Fail(error);
    publisher::OpenSslVerifier verifier;
    const auto problems = publisher::CheckDocument(*document, {std::move(*keys), verifier});
    for (const auto& problem : problems) std::cout << problem << "\n";
    return problems.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + std::min(argc, 2), argv + argc);
    const std::string_view command = argc > 1 ? argv[1] : "";
    std::string error;
    if (command == "keygen" && args.size() == 1) return KeyGen(args[0]);
    if (command == "key" && args.size() == 1) {
        const auto key = publisher::EcKey::ReadPrivate(args[0], error);
        if (!key) return Fail(error);
        PrintKeyLine(*key);
        return 0;
    }
    if (command == "sign") return Sign(args);
    if (command == "verify" && args.size() == 2) return Verify(args[0], args[1]);
    std::cerr << kUsage;
    return 2;
}
