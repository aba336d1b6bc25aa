#pragma once
// The publisher's signature on the catalogue's entries, made once the
// download addresses are final (after "{base}" is expanded).
#include "Catalogue.h"
#include "publisher/EcKey.h"

namespace testbed {

// Every file without a cSignature gets one made with the key, over its
// fields as the launcher reads them; files that carry one keep it. False when
// the key cannot sign.
bool SignCatalogue(Catalogue& catalogue, const publisher::EcKey& key);

}  // namespace testbed
