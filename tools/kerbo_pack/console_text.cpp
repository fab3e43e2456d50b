#include "tools/kerbo_pack/console_text.h"

#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

void writeConsoleText(std::FILE* stream, const std::string& utf8) {
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        if (length > 0) {
            std::vector<wchar_t> wide(static_cast<size_t>(length));
            MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
            DWORD written = 0;
            std::fflush(stream);
            WriteConsoleW(handle, wide.data(), static_cast<DWORD>(length), &written, nullptr);
        }
        return;
    }
#endif
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}
