#include "CatalogueSigning.h"

#include <algorithm>

#include "launcher/Base64.h"
#include "launcher/FileSignature.h"

namespace testbed {
namespace {

const FileField* Find(const CatalogueFile& file, std::string_view name) {
    const auto found = std::find_if(file.begin(), file.end(), [&](const FileField& f) { return f.name == name; });
    return found == file.end() ? nullptr : &*found;
}

}  // namespace

bool SignCatalogue(Catalogue& catalogue, const publisher::EcKey& key) {
    for (auto& file : catalogue.files) {
        if (Find(file, launcher::kSignatureElement)) continue;
        launcher::SignedFieldTexts fields;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const FileField* field = Find(file, launcher::kSignedFields[i]);
            if (field) fields[i] = field->text;
        }
        const auto signature = key.Sign(launcher::FileSigningText(fields));
        if (!signature) return false;
        file.push_back({launcher::kSignatureElement, launcher::EncodeBase64(signature->data(), signature->size())});
    }
    return true;
}

}  // namespace testbed
