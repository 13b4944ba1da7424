// Prints the subject of each DER certificate file given, one line each in
// UTF-8, as Windows' CertNameToStrW writes it for a package's Publisher
// (CERT_X500_NAME_STR with CERT_NAME_STR_REVERSE_FLAG): the Publisher table
// test compares our spelling with this one under Wine.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int wmain(int argc, wchar_t** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        const std::string der((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        PCCERT_CONTEXT certificate = ::CertCreateCertificateContext(
            X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()), static_cast<DWORD>(der.size()));
        if (certificate == nullptr) {
            std::printf("?\n");
            status = 1;
            continue;
        }
        const DWORD type = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
        CERT_NAME_BLOB* subject = &certificate->pCertInfo->Subject;
        std::wstring text(::CertNameToStrW(X509_ASN_ENCODING, subject, type, nullptr, 0), L'\0');
        text.resize(::CertNameToStrW(X509_ASN_ENCODING, subject, type, text.data(), static_cast<DWORD>(text.size())) - 1);
        ::CertFreeCertificateContext(certificate);
        std::string utf8(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0,
                                                                          nullptr, nullptr)), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
        std::printf("%s\n", utf8.c_str());
    }
    return status;
}
