// The file, version and path helpers under Wine: version texts of real
// files, attribute clearing, registry lookups through the sandbox, the
// program directory seen from a deep directory, and the DLL search.
#include "deploy/FileHelpers.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base/Exceptions.h"
#include "base/SysUtils.h"
#include "tests/win/deploy/DeployTestPaths.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/Win32Handles.h"

using namespace zv;
using namespace deploytest;

namespace {

void SetRaw(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(k);
}

void SetString(HKEY root, const char* path, const char* name, const std::string& value, DWORD type = REG_SZ) {
    SetRaw(root, path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string ModulePath(HMODULE module) {
    char buf[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(module, buf, sizeof buf);
    return std::string(buf, n);
}

}  // namespace

// ---- version texts ---------------------------------------------------------------

TEST(GetFileVersionString, BothPayloadsCarryThePayloadVersion) {
    EXPECT_EQ(GetFileVersionString(PluginDll(), "ProductVersion"), "1.7.9.174");
    EXPECT_EQ(GetFileVersionString(ActiveXOcx(), "ProductVersion"), "1.7.9.174");
    EXPECT_EQ(VersionToNumber(GetFileVersionString(ActiveXOcx(), "ProductVersion")), 10709174);
}

TEST(GetFileVersionString, CommasAndBlanksBecomeTheDottedForm) {
    // The resource says "1, 7, 9, 174" in a German/Unicode block.
    const std::string v = GetFileVersionString(VersionCommasDll(), "ProductVersion");
    EXPECT_EQ(v, "1.7.9.174");
    EXPECT_EQ(VersionToNumber(v), VersionToNumber("1.7.9.174"));
    EXPECT_EQ(GetFileVersionString(VersionCommasDll(), "FileDescription"), "Testbibliothek");
}

TEST(GetFileVersionString, AnswersNotAvailableWhenThereIsNothingToRead) {
    EXPECT_EQ(GetFileVersionString(NoVersionDll(), "ProductVersion"), "n/a");
    EXPECT_EQ(VersionToNumber(GetFileVersionString(NoVersionDll(), "ProductVersion")), 0);
    EXPECT_EQ(GetFileVersionString(VersionCommasDll(), "CompanyName"), "n/a");  // value absent
    EXPECT_EQ(GetFileVersionString("C:\\no\\such\\file.dll", "ProductVersion"), "n/a");
    EXPECT_EQ(GetFileVersionString("", "ProductVersion"), "n/a");
    zvtest::TTempDir temp;
    zvtest::WriteFile(temp / "NPZRVN32.dll", "MZ but nothing else");
    EXPECT_EQ(GetFileVersionString(temp / "NPZRVN32.dll", "ProductVersion"), "n/a");
}

TEST(GetFileVersionString, PluginDeclaresItsMimeTypeForBrowsers) {
    EXPECT_EQ(GetFileVersionString(PluginDll(), "MIMEType"), "application/x-Zorvane");
    // Read raw: the helper would turn the separating comma into a dot.
    const std::string file = PluginDll();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(file.c_str(), 0, size, block.data()));
    void* value = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904e4\\FileExtents", &value, &len));
    EXPECT_STREQ(static_cast<const char*>(value), "zrvn,mp3zrvn");
}

// ---- attributes ---------------------------------------------------------------------

TEST(ClearReadOnlyHidden, LeavesAFileThatCanBeOverwritten) {
    zvtest::TTempDir temp;
    const std::string file = temp / "NPZRVN32.dll";
    zvtest::WriteFile(file, "old");
    ASSERT_TRUE(SetFileAttributesA(file.c_str(),
                                   FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    ClearReadOnlyHidden(file);
    const DWORD after = GetFileAttributesA(file.c_str());
    EXPECT_EQ(after & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_NE(after & FILE_ATTRIBUTE_ARCHIVE, 0u) << "other bits are written back unchanged";
    zvtest::WriteFile(file, "new");
    EXPECT_EQ(ReadFileText(file), "new");
}

TEST(ClearReadOnlyHidden, ClearsEachBitAlone) {
    zvtest::TTempDir temp;
    const std::string hidden = temp / "hidden.dll";
    const std::string readOnly = temp / "readonly.dll";
    zvtest::WriteFile(hidden, "h");
    zvtest::WriteFile(readOnly, "r");
    ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    ClearReadOnlyHidden(hidden);
    ClearReadOnlyHidden(readOnly);
    EXPECT_EQ(GetFileAttributesA(hidden.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(GetFileAttributesA(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST(ClearReadOnlyHidden, MissingFilesAndDirectoriesAreLeftAlone) {
    zvtest::TTempDir temp;
    const std::string missing = temp / "missing.dll";
    ClearReadOnlyHidden(missing);
    EXPECT_FALSE(zvtest::FileExists(missing)) << "nothing is created";
    const std::string dir = temp / "sub";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    ClearReadOnlyHidden(dir);
    EXPECT_NE(GetFileAttributesA(dir.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
}

// ---- registry lookups -----------------------------------------------------------------

TEST(GetInprocServerPath, ReadsTheRegisteredFileTrimmed) {
    zvtest::TRegistrySandbox sandbox;
    const std::string key = std::string("CLSID\\") + kClsid + "\\InprocServer32";
    EXPECT_EQ(GetInprocServerPath(kClsid), "");  // nothing registered
    SetString(HKEY_CLASSES_ROOT, key.c_str(), nullptr,
              " \tC:\\Program Files\\Zorvane\\ZorvaneActiveX.ocx \r\n");
    EXPECT_EQ(GetInprocServerPath(kClsid), "C:\\Program Files\\Zorvane\\ZorvaneActiveX.ocx");
    // Stored form as it is: no expansion of variables.
    SetString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, "%SystemRoot%\\ZorvaneActiveX.ocx", REG_EXPAND_SZ);
    EXPECT_EQ(GetInprocServerPath(kClsid), "%SystemRoot%\\ZorvaneActiveX.ocx");
    EXPECT_EQ(GetInprocServerPath("{00000000-0000-0000-0000-000000000000}"), "");
}

TEST(GetInprocServerPath, UnreadableValueGivesEmpty) {
    zvtest::TRegistrySandbox sandbox;
    const std::string key = std::string("CLSID\\") + kClsid + "\\InprocServer32";
    const DWORD number = 7;
    SetRaw(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_DWORD, &number, sizeof number);
    EXPECT_EQ(GetInprocServerPath(kClsid), "");
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    RegDeleteValueA(k, nullptr);
    RegCloseKey(k);
    EXPECT_EQ(GetInprocServerPath(kClsid), "");  // key without a default value
}

TEST(GetDefaultBrowserPath, TakesTheQuotedProgramOfTheCommand) {
    zvtest::TRegistrySandbox sandbox;
    const char* key = "http\\shell\\open\\command";
    EXPECT_EQ(GetDefaultBrowserPath(), "");  // no key
    struct Case {
        const char* command;
        const char* path;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -osint -url \"%1\"",
         "C:\\Program Files\\Mozilla Firefox\\firefox.exe"},
        {"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" %1",
         "C:\\Program Files\\Internet Explorer\\iexplore.exe"},
        // Without a leading quote the first character is lost and the text
        // is cut at its first quote.
        {"C:\\Opera\\opera.exe \"%1\"", ":\\Opera\\opera.exe "},
        {"C:\\Opera\\opera.exe", ":\\Opera\\opera.exe"},
        {"\"C:\\unterminated\\browser.exe", "C:\\unterminated\\browser.exe"},
        {"\"\"", ""},
        {"x", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SetString(HKEY_CLASSES_ROOT, key, nullptr, c.command);
        EXPECT_EQ(GetDefaultBrowserPath(), c.path) << c.command;
    }
}

TEST(GetDefaultBrowserPath, NonStringCommandRaisesTheRegistryError) {
    zvtest::TRegistrySandbox sandbox;
    const DWORD number = 1;
    SetRaw(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, REG_DWORD, &number, sizeof number);
    EXPECT_THROW(GetDefaultBrowserPath(), ERegistryException);
}

// ---- program directory --------------------------------------------------------------------

TEST(GetProgramDir, IsTheDirectoryOfThisProgram) {
    const std::string dir = GetProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(dir + "deploy_tests.exe", ModulePath(nullptr));
}

namespace {

// A directory tree whose program path is `exeLength` characters long, made
// of directories of at most 40 characters.
class TDeepDir {
public:
    TDeepDir(const std::string& base, std::size_t exeLength, const std::string& exeName) {
        const std::size_t dirLength = exeLength - exeName.size() - 1;
        std::string path = base;
        int level = 0;
        while (path.size() < dirLength) {
            const std::size_t remaining = dirLength - path.size();  // backslash included
            const std::size_t take = remaining <= 41 ? remaining : (remaining == 42 ? 40 : 41);
            std::string name = "level" + std::to_string(++level) + "_";
            name.resize(take - 1, 'z');
            path += "\\" + name;
            if (!CreateDirectoryA(path.c_str(), nullptr)) throw std::runtime_error("cannot create " + path);
            m_levels.push_back(path);
        }
        m_exe = path + "\\" + exeName;
    }
    ~TDeepDir() {
        DeleteFileA(m_exe.c_str());
        for (auto it = m_levels.rbegin(); it != m_levels.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    TDeepDir(const TDeepDir&) = delete;
    TDeepDir& operator=(const TDeepDir&) = delete;
    [[nodiscard]] std::string Dir() const { return ExtractFilePath(m_exe); }
    [[nodiscard]] const std::string& Exe() const { return m_exe; }

private:
    std::vector<std::string> m_levels;
    std::string m_exe;
};

}  // namespace

// The program started from a directory at the edge of MAX_PATH (Wine's
// CreateProcess refuses longer program paths, with or without "\\?\").
TEST(GetProgramDir, AnswersForAProgramInADeepDirectory) {
    zvtest::TTempDir temp;
    TDeepDir deep(temp.Path(), 259, "probe.exe");
    ASSERT_EQ(deep.Exe().size(), 259u);
    ASSERT_TRUE(CopyFileA(ProbeExe().c_str(), deep.Exe().c_str(), FALSE));

    const std::string out = temp / "programdir.txt";
    std::string commandLine = "\"" + deep.Exe() + "\" \"" + out + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(deep.Exe().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &si, &pi))
        << "error " << GetLastError();
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(ReadFileText(out), deep.Dir());
}

// Within MAX_PATH a cut at 255 characters only ever shortens the file name;
// the directory goes wrong beyond it. Wine loads a DLL from such a path
// (through "\\?\"), and the same lookup then has to read more than 256
// characters to find the directory.
TEST(GetModuleDir, SeesTheWholePathBeyondMaxPath) {
    zvtest::TTempDir temp;
    std::string dir = temp.Path();
    std::vector<std::wstring> levels;
    for (int level = 1; dir.size() < 320; ++level) {
        dir += "\\zorvane_plugin_directory_level_" + std::to_string(level);
        levels.push_back(L"\\\\?\\" + std::wstring(dir.begin(), dir.end()));
        ASSERT_TRUE(CreateDirectoryW(levels.back().c_str(), nullptr));
    }
    const std::wstring dll = levels.back() + L"\\NPZRVN32.dll";
    const std::string source = NoVersionDll();
    ASSERT_TRUE(CopyFileW(std::wstring(source.begin(), source.end()).c_str(), dll.c_str(), FALSE));
    {
        TLibrary module(LoadLibraryW(dll.c_str()));
        ASSERT_TRUE(module) << "error " << GetLastError();
        std::string found = GetModuleDir(module.Get());
        if (found.rfind("\\\\?\\", 0) == 0) found.erase(0, 4);  // the name as the loader was given it
        EXPECT_EQ(found, dir + "\\");
    }
    DeleteFileW(dll.c_str());
    for (auto it = levels.rbegin(); it != levels.rend(); ++it) RemoveDirectoryW(it->c_str());
}

// ---- DLL search --------------------------------------------------------------------------------

TEST(MakeDllSearchSafe, NamesAreLookedUpInTheSystemDirectoryOnly) {
    // The test DLL sits next to this program: before the call a bare name
    // finds it there, afterwards it must not.
    const std::string name = "zv_test_no_version.dll";
    HMODULE before = LoadLibraryA(name.c_str());
    ASSERT_NE(before, nullptr) << "the program's directory is searched by default";
    FreeLibrary(before);
    ASSERT_EQ(GetModuleHandleA(name.c_str()), nullptr);

    ASSERT_TRUE(MakeDllSearchSafe()) << "this Wine has SetDefaultDllDirectories";
    HMODULE after = LoadLibraryA(name.c_str());
    EXPECT_EQ(after, nullptr);
    if (after) FreeLibrary(after);

    // What the installer does load by name still comes from the system.
    const std::string system = SystemDirectory();
    ASSERT_FALSE(system.empty());
    TLibrary version(LoadSystemLibrary("version.dll"));
    ASSERT_TRUE(version);
    EXPECT_EQ(CompareText(ExtractFilePath(ModulePath(version.Get())), system + "\\"), 0)
        << ModulePath(version.Get());
    EXPECT_EQ(GetFileVersionString(PluginDll(), "ProductVersion"), "1.7.9.174");
}
