// bare_download URL FILE [sha256]: the least a download must do — one WinINet
// session, the body read in 4096-byte blocks straight into the file, and with
// "sha256" the blocks hashed on the way, as a signed answer's digest requires.
#include "common/win32/WindowsApi.h"

#include <bcrypt.h>
#include <wininet.h>

#include <string>

#include "common/win32/TextConvert.h"
#include "common/win32/UniqueHandle.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && !(argc == 4 && std::wstring(argv[3]) == L"sha256")) return 2;
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (argc == 4 && (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) ||
                      !BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)))) {
        return 7;
    }
    const HINTERNET session = InternetOpenA("bare_download", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) return 3;
    const std::string url = qv::win::Narrow(argv[1]);
    const HINTERNET opened = InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    int status = opened ? 0 : 4;
    qv::win::UniqueHandle file(
        CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) status = 5;
    char block[4096];
    for (DWORD read = 0; status == 0 && InternetReadFile(opened, block, sizeof block, &read) && read > 0;) {
        DWORD written = 0;
        if (!WriteFile(file.Get(), block, read, &written, nullptr) || written != read) status = 6;
        if (hash && !BCRYPT_SUCCESS(BCryptHashData(hash, reinterpret_cast<PUCHAR>(block), read, 0))) status = 7;
    }
    if (hash) {
        UCHAR digest[32];
        if (!BCRYPT_SUCCESS(BCryptFinishHash(hash, digest, sizeof digest, 0))) status = 7;
        BCryptDestroyHash(hash);
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
    if (opened) InternetCloseHandle(opened);
    InternetCloseHandle(session);
    return status;
}
