#include "vcl/Registry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/Exceptions.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/ResourceStream.h"
#include "vcl/WideText.h"

using namespace zv;

namespace {

void SetRaw(HKEY root, const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(k);
}

}  // namespace

TEST(TRegistry, OpensRelativeToTheCurrentKeyAndFromTheRoot) {
    zvtest::TRegistrySandbox sandbox;
    SetRaw(HKEY_LOCAL_MACHINE, "Software\\Vendor\\App", "Path", REG_SZ, "C:\\x", 5);
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software"));
    ASSERT_TRUE(reg.OpenKeyReadOnly("Vendor"));  // relative to Software
    EXPECT_EQ(reg.CurrentPath(), "Software\\Vendor");
    ASSERT_TRUE(reg.OpenKeyReadOnly("App"));
    EXPECT_EQ(reg.ReadString("Path"), "C:\\x");
    EXPECT_FALSE(reg.OpenKeyReadOnly("Software"));           // relative: Software\Vendor\App\Software
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Vendor"));  // from the root
    EXPECT_EQ(reg.CurrentPath(), "Software\\Vendor");
    EXPECT_EQ(reg.ReadString("Missing"), "");
    reg.CloseKey();
    EXPECT_EQ(reg.CurrentKey(), nullptr);
}

TEST(TRegistry, WrongTypeReadRaisesInvalidDataType) {
    zvtest::TRegistrySandbox sandbox;
    const DWORD v = 5;
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Num", REG_DWORD, &v, sizeof v);
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Text", REG_SZ, "abc", 4);
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Multi", REG_MULTI_SZ, "a\0b\0", 5);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\T", false));
    try {
        (void)reg.ReadString("Num");
        FAIL() << "no error";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'Num'");
    }
    EXPECT_THROW((void)reg.ReadString("Multi"), ERegistryException);
    EXPECT_THROW((void)reg.ReadInteger("Text"), ERegistryException);
    EXPECT_EQ(reg.ReadInteger("Num"), 5);
}

TEST(TRegistry, StringWithoutTerminatorAndExpandString) {
    zvtest::TRegistrySandbox sandbox;
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "NoNul", REG_SZ, "abc", 3);
    SetRaw(HKEY_CURRENT_USER, "Software\\T", "Exp", REG_EXPAND_SZ, "%TEMP%", 7);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\T", false));
    EXPECT_EQ(reg.ReadString("NoNul"), "abc");
    EXPECT_EQ(reg.ReadString("Exp"), "%TEMP%");  // not expanded
}

TEST(TRegistry, WritesCreatesEnumeratesAndDeletesTrees) {
    zvtest::TRegistrySandbox sandbox;
    TRegistry reg;
    reg.SetRootKey(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey("\\.zrvn", true));
    reg.WriteString("", "Zorvane.File");
    reg.WriteString("Content Type", "application/x-Zorvane");
    reg.WriteInteger("Flags", 65536);
    EXPECT_TRUE(reg.ValueExists("Content Type"));
    EXPECT_TRUE(reg.DeleteValue("Content Type"));
    EXPECT_FALSE(reg.ValueExists("Content Type"));
    EXPECT_TRUE(reg.CreateKey("Sub\\Deeper"));
    EXPECT_TRUE(reg.HasSubKeys());
    TStringList names;
    reg.GetKeyNames(names);
    EXPECT_EQ(names.ToVector(), std::vector<std::string>{"Sub"});
    reg.CloseKey();
    EXPECT_TRUE(reg.KeyExists("\\.zrvn\\Sub\\Deeper"));
    EXPECT_TRUE(reg.DeleteKey("\\.zrvn"));
    EXPECT_FALSE(reg.KeyExists("\\.zrvn"));
    // The write went to the sandbox, not to the real HKCR.
    HKEY k;
    EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, ".zrvn", 0, KEY_READ, &k), ERROR_SUCCESS);
}

TEST(TRegistry, RefusedWriteRaises) {
    zvtest::TRegistrySandbox sandbox;
    TRegistry reg;
    EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // no key open
}

TEST(TResourceStream, ReadsRcDataAndReportsMissingOnes) {
    TResourceStream s(GetModuleHandleA(nullptr), 7, MAKEINTRESOURCEA(10));
    ASSERT_GE(s.Size(), 8);
    char buf[8];
    s.ReadBuffer(buf, 8);
    EXPECT_EQ(std::string(buf, 8), "payload!");
    try {
        TResourceStream missing(GetModuleHandleA(nullptr), 99, MAKEINTRESOURCEA(10));
        FAIL();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), "Resource 99 not found");
    }
}

// Names and texts in scripts the ANSI code page lacks are stored and read
// back as they are: the registry holds them in UTF-16, the accessor's caller
// in UTF-8.
TEST(TRegistry, NamesAndTextsOutsideTheAnsiCodePageGoThroughUnchanged) {
    ASSERT_TRUE(zvtest::AnsiCodePageLacks(zvtest::kScripts) || GetACP() == CP_UTF8);
    zvtest::TRegistrySandbox sandbox;
    const std::string path = "C:\\" + zvtest::kScripts + "\\Plugins";
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\Software\\" + zvtest::kGreek + "\\" + zvtest::kJapanese, true));
    reg.WriteString(zvtest::kCyrillic, path);
    reg.WriteExpandString("", zvtest::kJapanese);
    EXPECT_EQ(reg.ReadString(zvtest::kCyrillic), path);
    EXPECT_EQ(reg.ReadString(""), zvtest::kJapanese);
    TStringList names;
    reg.GetValueNames(names);
    std::vector<std::string> valueNames = names.ToVector();
    std::sort(valueNames.begin(), valueNames.end());
    EXPECT_EQ(valueNames, (std::vector<std::string>{"", zvtest::kCyrillic}));
    reg.CloseKey();

    // What the system holds, asked for with the wide calls.
    HKEY k = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                      (L"Software\\" + ToWide(zvtest::kGreek) + L"\\" + ToWide(zvtest::kJapanese)).c_str(), 0,
                      KEY_READ, &k),
        ERROR_SUCCESS);
    wchar_t stored[256] = {};
    DWORD size = sizeof stored - sizeof(wchar_t);
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExW(k, ToWide(zvtest::kCyrillic).c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(stored), &size),
              ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(stored), ToWide(path));
    EXPECT_EQ(size, (ToWide(path).size() + 1) * sizeof(wchar_t));

    // Subkey names come back as themselves, a text of an odd byte count
    // without its half unit, and the tree goes by its own name.
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\" + zvtest::kGreek));
    reg.GetKeyNames(names);
    EXPECT_EQ(names.ToVector(), std::vector<std::string>{zvtest::kJapanese});
    EXPECT_EQ(reg.CurrentPath(), "Software\\" + zvtest::kGreek);
    reg.CloseKey();
    const std::wstring odd = L"ab\x65E5";
    HKEY w = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\T", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &w,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(w, L"Odd", 0, REG_SZ, reinterpret_cast<const BYTE*>(odd.c_str()), 5);
    RegCloseKey(w);
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\T"));
    EXPECT_EQ(reg.ReadString("Odd"), "ab");
    reg.CloseKey();
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_TRUE(reg.DeleteKey("\\Software\\" + zvtest::kGreek));
    EXPECT_FALSE(reg.KeyExists("\\Software\\" + zvtest::kGreek));
}
