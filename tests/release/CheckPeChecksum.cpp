// Checks the PE checksum of each file named, the documented way: Windows'
// own MapFileAndCheckSumW computes the sum and reads the header's field.
//   check-pe-checksum.exe FILE...
// Prints one line per file and exits 1 when any field is 0 or differs. A
// Linux path is drive Z:'s, as under Wine.
#include <windows.h>
#include <imagehlp.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    int status = argc > 1 ? 0 : 2;
    for (int i = 1; i < argc; ++i) {
        DWORD header = 0;
        DWORD computed = 0;
        const std::wstring path = argv[i][0] == L'/' ? std::wstring(L"Z:") + argv[i] : argv[i];
        const DWORD result = ::MapFileAndCheckSumW(path.c_str(), &header, &computed);
        const bool good = result == CHECKSUM_SUCCESS && header != 0 && header == computed;
        std::printf("%s %ls: header 0x%08lX, computed 0x%08lX\n", good ? "ok  " : "FAIL", argv[i], header, computed);
        if (!good) status = 1;
    }
    return status;
}
