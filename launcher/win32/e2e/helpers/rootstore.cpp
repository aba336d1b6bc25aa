// Puts a certificate into, or takes it out of, the machine's "Root" store of
// the Wine prefix it runs in: the throwaway test CA of the HTTPS tests, which
// must never reach a real machine's store. Usage: rootstore add|remove FILE.der
// Exit code 0 when done.
#include <cstdio>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>

#include "common/win32/WindowsApi.h"

#include <wincrypt.h>

namespace {

std::string ReadAll(const wchar_t* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Store {
    HCERTSTORE handle = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ~Store() {
        if (handle) CertCloseStore(handle, 0);
    }
};

bool Remove(HCERTSTORE store, const std::string& der) {
    PCCERT_CONTEXT wanted = CertCreateCertificateContext(X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                                                         static_cast<DWORD>(der.size()));
    if (!wanted) return false;
    PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
    CertFreeCertificateContext(wanted);
    // Deleting frees the context; absent counts as removed.
    return !found || CertDeleteCertificateFromStore(found);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    const std::string der = ReadAll(argv[2]);
    Store store;
    if (der.empty() || !store.handle) return 1;
    if (std::wcscmp(argv[1], L"add") == 0) {
        return CertAddEncodedCertificateToStore(
                   store.handle, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                   static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr)
                   ? 0
                   : 1;
    }
    if (std::wcscmp(argv[1], L"remove") == 0) return Remove(store.handle, der) ? 0 : 1;
    return 2;
}
