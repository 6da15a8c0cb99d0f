// Reads the version resource of the built DLL and compares every string with what the add-in's
// registration data says it carries.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "addin/registration.hpp"
#include "win/com.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: version_check DLL\n");
        return 2;
    }
    const std::wstring path = win::widen(argv[1]);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
        std::printf("FAIL: %s has no version resource\n", argv[1]);
        return 1;
    }
    int passed = 0;
    int failed = 0;
    for (const auto& [key, expected] : addin::version_strings()) {
        const std::wstring query = L"\\StringFileInfo\\040904b0\\" + win::widen(key);
        wchar_t* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) {
            std::printf("FAIL: %.*s is missing\n", static_cast<int>(key.size()), key.data());
            ++failed;
            continue;
        }
        std::wstring text(value, length);
        while (!text.empty() && text.back() == L'\0') text.pop_back();
        const std::string got = win::narrow(text);
        if (got != expected) {
            std::printf("FAIL: %.*s is \"%s\", not \"%.*s\"\n", static_cast<int>(key.size()), key.data(), got.c_str(),
                        static_cast<int>(expected.size()), expected.data());
            ++failed;
        } else {
            ++passed;
        }
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
