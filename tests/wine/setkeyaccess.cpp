// A helper of the Wine acceptance run: sets a registry key's access list so that
// everyone may only read it (as HKLM\SOFTWARE is for a standard user under UAC),
// or everything again.
//   setkeyaccess HKLM|HKCU <subkey> read|full
#include <windows.h>

#include <sddl.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        fwprintf(stderr, L"usage: setkeyaccess HKLM|HKCU <subkey> read|full\n");
        return 2;
    }
    const HKEY root = wcscmp(argv[1], L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const wchar_t* sddl = wcscmp(argv[3], L"read") == 0 ? L"D:P(A;;KR;;;WD)" : L"D:P(A;;KA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr)) {
        fwprintf(stderr, L"bad descriptor: %lu\n", GetLastError());
        return 1;
    }
    HKEY key = nullptr;
    LSTATUS status = RegOpenKeyExW(root, argv[2], 0, WRITE_DAC | KEY_WOW64_64KEY, &key);
    if (status == ERROR_SUCCESS) {
        status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    if (status != ERROR_SUCCESS)
        fwprintf(stderr, L"setkeyaccess: error %ld\n", long(status));
    return status == ERROR_SUCCESS ? 0 : 1;
}
