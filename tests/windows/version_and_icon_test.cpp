// What Explorer shows of Kerbo's executables, read with the calls it uses:
// the VERSIONINFO of kerbo-player.exe, kerbo-pack.exe and a quiz made from
// the player (GetFileVersionInfoA, VerQueryValueA) against the project's
// version and `kerbo-pack.exe --version`; and a quiz's first icon group (the
// one Explorer draws), which is the application icon, or the description's
// own with icon:.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kerbo_version.h"
#include "resources/resource_ids.h"
#include "wine_test_support.h"

namespace {

std::string buildPath(const char* relative) { return testQuizPath("../") + relative; }

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct VersionInfo {
    bool found;
    unsigned major, minor, patch, build;
    std::string product, description, fileVersion;
};

VersionInfo readVersionInfo(const std::string& path) {
    VersionInfo info = {};
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return info;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return info;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof *fixed)
        return info;
    info.found = true;
    info.major = HIWORD(fixed->dwFileVersionMS);
    info.minor = LOWORD(fixed->dwFileVersionMS);
    info.patch = HIWORD(fixed->dwFileVersionLS);
    info.build = LOWORD(fixed->dwFileVersionLS);
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
        length < sizeof *translation)
        return info;
    auto text = [&](const char* name) {
        char query[96];
        wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translation->language, translation->codePage, name);
        char* value = nullptr;
        UINT chars = 0;
        if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&value), &chars) || !value) return std::string();
        return std::string(value);
    };
    info.product = text("ProductName");
    info.description = text("FileDescription");
    info.fileVersion = text("FileVersion");
    return info;
}

// Standard output of a console program run to its end.
std::string runAndRead(const std::string& commandLine) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return "";
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back(0);
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string out;
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(readEnd);
    return out;
}

TEST(VersionInfo, EveryExecutableCarriesTheProjectVersion) {
    struct Case {
        const char* path;
        const char* description;
    };
    const Case cases[] = {
        {"kerbo-player.exe", "Lecteur de quiz Kerbo"},
        {"tools/kerbo-pack.exe", "kerbo-pack, l'outil des auteurs de quiz Kerbo"},
        {"kerbo.exe", "Lecteur de quiz Kerbo"},  // a quiz keeps the player's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        VersionInfo info = readVersionInfo(buildPath(c.path));
        ASSERT_TRUE(info.found) << GetLastError();
        EXPECT_EQ(info.major, unsigned(KERBO_VERSION_MAJOR));
        EXPECT_EQ(info.minor, unsigned(KERBO_VERSION_MINOR));
        EXPECT_EQ(info.patch, unsigned(KERBO_VERSION_PATCH));
        EXPECT_EQ(info.build, 0u);
        EXPECT_EQ(info.fileVersion, KERBO_VERSION_TEXT);
        EXPECT_EQ(info.product, "Kerbo");
        EXPECT_EQ(info.description, c.description);
    }
    std::string printed = runAndRead("\"" + buildPath("tools/kerbo-pack.exe") + "\" --version");
    VersionInfo pack = readVersionInfo(buildPath("tools/kerbo-pack.exe"));
    EXPECT_EQ(printed, "kerbo-pack " + pack.fileVersion + "\r\n");  // standard output in text mode
}

// The RT_ICON bytes that the executable's first icon group picks at 32 x 32,
// with the name of that group; empty when there is none.
struct FirstIcon {
    bool isInteger;
    int groupId;
    std::vector<unsigned char> image;
};

BOOL CALLBACK firstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    FirstIcon* first = reinterpret_cast<FirstIcon*>(context);
    first->isInteger = IS_INTRESOURCE(name);
    first->groupId = first->isInteger ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1;
    return FALSE;  // the first is enough
}

FirstIcon firstIcon(const std::string& path) {
    FirstIcon first = {};
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return first;
    EnumResourceNamesA(module, RT_GROUP_ICON, firstName, reinterpret_cast<LONG_PTR>(&first));
    HRSRC group = first.isInteger ? FindResourceA(module, MAKEINTRESOURCEA(first.groupId), RT_GROUP_ICON) : nullptr;
    if (group) {
        PBYTE directory = static_cast<PBYTE>(LockResource(LoadResource(module, group)));
        int iconId = LookupIconIdFromDirectoryEx(directory, TRUE, 32, 32, LR_DEFAULTCOLOR);
        HRSRC icon = FindResourceA(module, MAKEINTRESOURCEA(iconId), RT_ICON);
        if (icon) {
            const unsigned char* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, icon)));
            first.image.assign(bytes, bytes + SizeofResource(module, icon));
        }
    }
    FreeLibrary(module);
    return first;
}

// The image of an icon file that is 32 x 32 pixels.
std::vector<unsigned char> icoImage32(const std::string& path) {
    std::vector<unsigned char> file = readFile(path);
    unsigned count = file.size() >= 6 ? file[4] | file[5] << 8 : 0;
    for (unsigned i = 0; i < count && 6 + 16 * (i + 1) <= file.size(); ++i) {
        const unsigned char* entry = file.data() + 6 + 16 * i;
        uint32_t size, offset;
        std::memcpy(&size, entry + 8, 4);
        std::memcpy(&offset, entry + 12, 4);
        if (entry[0] == 32 && offset <= file.size() && size <= file.size() - offset)
            return std::vector<unsigned char>(file.begin() + offset, file.begin() + offset + size);
    }
    return {};
}

TEST(QuizIcon, TheFirstIconGroupIsTheApplicationIconOrTheQuizsOwn) {
    std::vector<unsigned char> application = icoImage32(KERBO_SOURCE_DIR "/resources/kerbo.ico");
    std::vector<unsigned char> own = icoImage32(KERBO_TEST_DATA "/quizzes/media/own-icon.ico");
    ASSERT_FALSE(application.empty());
    ASSERT_FALSE(own.empty());
    struct Case {
        std::string path;
        const std::vector<unsigned char>* image;
    };
    const Case cases[] = {
        {buildPath("kerbo-player.exe"), &application},
        {buildPath("tools/kerbo-pack.exe"), &application},
        {buildPath("kerbo.exe"), &application},
        {testQuizPath("text-3.exe"), &application},
        {testQuizPath("text-own-icon.exe"), &own},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        FirstIcon first = firstIcon(c.path);
        EXPECT_TRUE(first.isInteger);
        EXPECT_EQ(first.groupId, IDI_QUIZ);
        EXPECT_TRUE(first.image == *c.image);
        HICON large = nullptr;
        bool player = c.path.find("kerbo-pack") == std::string::npos;  // the play and stop icons too
        EXPECT_EQ(ExtractIconExA(c.path.c_str(), -1, nullptr, nullptr, 0), player ? 3u : 1u);
        EXPECT_EQ(ExtractIconExA(c.path.c_str(), 0, &large, nullptr, 1), 1u);
        if (large) DestroyIcon(large);
    }
    // The play and stop buttons' icons are still there in a quiz with its own.
    HMODULE module = LoadLibraryExA(testQuizPath("text-own-icon.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_PLAY)), nullptr);
    EXPECT_NE(LoadIconA(module, MAKEINTRESOURCEA(IDI_STOP)), nullptr);
    FreeLibrary(module);
}

}  // namespace
