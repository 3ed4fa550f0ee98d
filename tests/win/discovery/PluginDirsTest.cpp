// Discovery against isolated registry trees and temporary directories.
//
//   helpers            registry writers, directory maker
//   AddDirIfNew        ASCII-only case folding, caller's entries count
//   GetLongPathForm    drives and roots, stored spelling, patterns, UNC, depth
//   GetIEPluginDir     quotes, short names, parents created, missing key, wrong type
//   GetOperaPluginDir  the two sources and their precedence
//   Netscape           join, Users, the five sources in order, guarded CurrentVersion, errors
//   Mozilla/Firefox    version enumeration on a shared list
//   Discovery          every family installed at once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Exceptions.h"
#include "base/Strings.h"
#include "base/SysUtils.h"
#include "discovery/PluginDirs.h"
#include "tests/win/support/WinTestSupport.h"
#include "vcl/WideText.h"

using namespace zv;
using Lines = std::vector<std::string>;

namespace {

void MakeKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

// Made step by step here rather than with the code under test.
std::string MakeDirs(const std::string& path) {
    zvtest::MakeDirs(path);
    EXPECT_TRUE(zvtest::DirExists(path)) << path;
    return path;
}

const char* const kNavigator = "SOFTWARE\\Netscape\\Netscape Navigator\\";
const char* const kNetscape6 = "SOFTWARE\\Netscape\\Netscape 6";
const char* const kNetscape = "SOFTWARE\\Netscape\\Netscape";
const char* const kMozilla = "SOFTWARE\\mozilla.org\\Mozilla\\";
const char* const kFirefox = "SOFTWARE\\Mozilla\\Mozilla Firefox\\";
const char* const kIEServer = "CLSID\\{0002DF01-0000-0000-C000-000000000046}\\LocalServer32";
const char* const kOperaApp = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Opera.exe";

// A version subkey of an enumerated browser key.
void SetVersion(const std::string& browserKey, const std::string& version, const std::string& installDir) {
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, browserKey + version + "\\Main", "Install Directory",
                         installDir);
}

Lines Netscape(Lines start = {}) {
    TStringList list;
    for (const auto& s : start) list.Add(s);
    GetNetscapePluginDirs(list);
    return list.ToVector();
}

// Built by appending: GCC 12 warns falsely on "\"" + std::string.
std::string Quote(const std::string& s, const std::string& after = "") {
    std::string q(1, '"');
    q += s;
    q += '"';
    q += after;
    return q;
}

template <typename F>
std::string ErrorOf(F&& f) {
    try {
        f();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

// ---- AddDirIfNew ---------------------------------------------------------------------------

TEST(AddDirIfNew, FoldsOnlyAsciiLettersAndCountsEveryEntry) {
    TStringList list;
    list.Add("C:\\Caller\\Plugins");
    AddDirIfNew(list, "c:\\caller\\PLUGINS");  // the caller's own entry counts
    AddDirIfNew(list, "C:\\Netscape\\Plugins");
    AddDirIfNew(list, "c:\\netscape\\plugins");
    AddDirIfNew(list, "C:\\Netscape\\Plugins\\");    // a trailing separator makes it another path
    AddDirIfNew(list, "C:\\\xC3\x84rger\\Plugins");  // "Ä"
    AddDirIfNew(list, "C:\\\xC3\xA4rger\\Plugins");  // "ä": not folded
    AddDirIfNew(list, "C:\\x[");
    AddDirIfNew(list, "C:\\X{");  // "[" and "{" differ by the a-z case bit, but are no letters
    EXPECT_EQ(list.ToVector(),
              (Lines{"C:\\Caller\\Plugins", "C:\\Netscape\\Plugins", "C:\\Netscape\\Plugins\\",
                     "C:\\\xC3\x84rger\\Plugins", "C:\\\xC3\xA4rger\\Plugins", "C:\\x[", "C:\\X{"}));
}

// ---- GetLongPathForm ------------------------------------------------------------------------

TEST(GetLongPathForm, DrivesRootsAndTrailingSeparatorsComeBackUnchanged) {
    EXPECT_EQ(GetLongPathForm(""), "");
    EXPECT_EQ(GetLongPathForm("c:"), "c:");
    EXPECT_EQ(GetLongPathForm("c:\\"), "c:\\");
    EXPECT_EQ(GetLongPathForm("c:\\WINDOWS\\"), "c:\\WINDOWS\\");
    EXPECT_EQ(GetLongPathForm("\\"), "\\");
}

TEST(GetLongPathForm, SpellsExistingComponentsAsStoredAndKeepsTheRest) {
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "Long Directory Name\\Inner Dir");
    const std::string base = GetLongPathForm(tmp.Path());
    ASSERT_TRUE(zvtest::DirExists(base));
    EXPECT_TRUE(SameText(base, tmp.Path())) << base;
    EXPECT_EQ(GetLongPathForm(UpperCase(tmp.Path()) + "\\LONG DIRECTORY NAME\\inner dir\\Missing\\Inner Dir"),
              base + "\\Long Directory Name\\Inner Dir\\Missing\\Inner Dir");
    // A doubled separator is read as a trailing one: what is above it stays as written.
    EXPECT_EQ(GetLongPathForm(tmp.Path() + "\\\\long directory name"), tmp.Path() + "\\Long Directory Name");
}

TEST(GetLongPathForm, PatternsDotsAndSlashesKeepTheirSpelling) {
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "Long Directory Name\\Inner Dir");
    const std::string base = GetLongPathForm(tmp.Path());
    // Looked up, each of these would answer with the name of another entry.
    EXPECT_EQ(GetLongPathForm(tmp / "Long*\\x"), base + "\\Long*\\x");
    EXPECT_EQ(GetLongPathForm(tmp / "Long Directory Nam?"), base + "\\Long Directory Nam?");
    EXPECT_EQ(GetLongPathForm(tmp / "long directory name\\inner dir\\..\\x"),
              base + "\\Long Directory Name\\Inner Dir\\..\\x");
    EXPECT_EQ(GetLongPathForm(tmp / "long directory name\\.\\inner dir"),
              base + "\\Long Directory Name\\.\\Inner Dir");
    EXPECT_EQ(GetLongPathForm(tmp / "long directory name/inner dir\\iexplore.exe"),
              base + "\\long directory name/inner dir\\iexplore.exe");
}

TEST(GetLongPathForm, UncHeadAndDrivePrefixes) {
    EXPECT_EQ(GetLongPathForm("\\\\nohost\\share\\Dir\\iexplore.exe"),
              "\\\\nohost\\share\\Dir\\iexplore.exe");
    EXPECT_EQ(GetLongPathForm("\\\\nohost"), "\\\\nohost");
    // A drive-relative path comes back rooted.
    EXPECT_EQ(GetLongPathForm("Q:Dir\\x.exe"), "Q:\\Dir\\x.exe");
    EXPECT_EQ(GetLongPathForm("relative\\x.exe"), "relative\\x.exe");
}

TEST(GetLongPathForm, VeryDeepPathDoesNotExhaustTheStack) {
    std::string path = "Q:\\nowhere";
    for (int i = 0; i < 10000; ++i) path += "\\a";
    EXPECT_EQ(GetLongPathForm(path), path);
}

// ---- Internet Explorer ---------------------------------------------------------------------

TEST(GetIEPluginDir, QuotedProgramPathGivesExistingPluginsDirectory) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string base = GetLongPathForm(tmp.Path());
    MakeDirs(tmp / "Internet Explorer");
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "",
                         Quote(tmp.Path() + "\\INTERNET EXPLORER\\iexplore.exe"));
    EXPECT_EQ(GetIEProgramDir(), base + "\\Internet Explorer\\");
    const std::string dir = GetIEPluginDir();
    EXPECT_EQ(dir, base + "\\Internet Explorer\\Plugins");
    EXPECT_TRUE(zvtest::DirExists(dir));
    EXPECT_EQ(GetIEPluginDir(), dir);  // an existing directory is fine as well
}

TEST(GetIEPluginDir, CreatesMissingParentsAndStripsOnlyOuterQuotes) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string base = GetLongPathForm(tmp.Path());
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", tmp.Path() + "\\New One\\Two\\iexplore.exe");
    EXPECT_EQ(GetIEPluginDir(), base + "\\New One\\Two\\Plugins");
    EXPECT_TRUE(zvtest::DirExists(tmp / "New One\\Two\\Plugins"));
    // Parents written with forward slashes are created as well.
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", tmp.Path() + "\\Fwd/Sub\\iexplore.exe");
    EXPECT_EQ(GetIEPluginDir(), base + "\\Fwd/Sub\\Plugins");
    EXPECT_TRUE(zvtest::DirExists(tmp / "Fwd\\Sub\\Plugins"));

    // Arguments after the quoted program: only the first quote goes, the
    // directory part is still the program's.
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "",
                         Quote(tmp.Path() + "\\IE\\iexplore.exe", " -nohome"));
    EXPECT_EQ(GetIEPluginDir(), base + "\\IE\\Plugins");
    // A quote in the middle stays.
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", tmp.Path() + "\\A\"B\\iexplore.exe\"");
    EXPECT_EQ(GetIEProgramDir(), base + "\\A\"B\\");

    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", "\"");
    EXPECT_EQ(GetIEPluginDir(), "");
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", "\"\"");
    EXPECT_EQ(GetIEPluginDir(), "");
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", "iexplore.exe");  // no directory part
    EXPECT_EQ(GetIEPluginDir(), "");
}

TEST(GetIEPluginDir, ShortProgramPathGivesLongPluginsDirectory) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string dir = MakeDirs(tmp / "Program Files\\Internet Explorer");
    zvtest::WriteFile(dir + "\\iexplore.exe", "MZ");
    char shortName[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA((dir + "\\iexplore.exe").c_str(), shortName, MAX_PATH), 0u);
    if (SameText(shortName, dir + "\\iexplore.exe"))
        GTEST_SKIP() << "the file system gives no short names here: " << shortName;
    const std::string base = GetLongPathForm(tmp.Path());
    EXPECT_EQ(GetLongPathForm(shortName), base + "\\Program Files\\Internet Explorer\\iexplore.exe")
        << "from " << shortName;
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", shortName);
    EXPECT_EQ(GetIEPluginDir(), base + "\\Program Files\\Internet Explorer\\Plugins") << "from " << shortName;
}

TEST(GetIEPluginDir, MissingKeyOrValueGivesEmptyAndWrongTypeReachesTheCaller) {
    zvtest::TRegistrySandbox sandbox;
    EXPECT_EQ(GetIEPluginDir(), "");
    MakeKey(HKEY_CLASSES_ROOT, "CLSID\\{0002DF01-0000-0000-C000-000000000046}");
    EXPECT_EQ(GetIEPluginDir(), "");
    MakeKey(HKEY_CLASSES_ROOT, kIEServer);
    EXPECT_EQ(GetIEPluginDir(), "");
    zvtest::SetRegDword(HKEY_CLASSES_ROOT, kIEServer, "", 1);
    EXPECT_EQ(ErrorOf([] { (void)GetIEPluginDir(); }), "Invalid data type for ''");
}

// ---- Opera ---------------------------------------------------------------------------------

TEST(GetOperaPluginDir, ApplicationPathWinsAndIsNotTestedForExistence) {
    zvtest::TRegistrySandbox sandbox;
    EXPECT_EQ(GetOperaPluginDir(), "");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", "Q:\\No Such\\Opera");
    zvtest::SetRegDword(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path",
                        7);  // would raise if read
    EXPECT_EQ(GetOperaPluginDir(), "Q:\\No Such\\Opera\\Program\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", "Q:/Opera/");
    EXPECT_EQ(GetOperaPluginDir(), "Q:/Opera/Program\\Plugins");
}

TEST(GetOperaPluginDir, EmptyOrMissingPathFallsBackToTheUsersSettingAsStored) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::SetRegString(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path", "Q:\\Opera\\plugins");
    EXPECT_EQ(GetOperaPluginDir(), "Q:\\Opera\\plugins");  // no App Paths key at all
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", "");
    EXPECT_EQ(GetOperaPluginDir(), "Q:\\Opera\\plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", "Q:\\Opera", REG_EXPAND_SZ);
    EXPECT_EQ(GetOperaPluginDir(), "Q:\\Opera\\Program\\Plugins");
    zvtest::SetRegDword(HKEY_LOCAL_MACHINE, kOperaApp, "Path", 1);
    EXPECT_EQ(ErrorOf([] { (void)GetOperaPluginDir(); }), "Invalid data type for 'Path'");
}

// ---- Netscape ------------------------------------------------------------------------------

TEST(GetNetscapePluginDirs, NoKeysLeaveTheListAsPassed) {
    zvtest::TRegistrySandbox sandbox;
    EXPECT_EQ(Netscape({"X:\\Caller"}), (Lines{"X:\\Caller"}));
    TStringList list;
    GetMozillaPluginDirs(list);
    GetFirefoxPluginDirs(list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(GetNetscapePluginDirs, JoinAddsOneSeparatorAndKeepsForwardSlashes) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "NS\\Program\\Plugins");
    std::string slashed = tmp.Path();
    for (char& c : slashed)
        if (c == '\\') c = '/';
    SetVersion(kNavigator, "4.71", tmp / "NS");
    SetVersion(kNavigator, "4.72", tmp / "NS\\");                   // equal to 4.71's
    SetVersion(kNavigator, "4.73", slashed + "/NS/");               // another spelling
    SetVersion(kNavigator, "4.74", tmp / "Gone");                   // no plug-in directory
    SetVersion(kNavigator, "4.75", "");                             // nothing installed
    MakeKey(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "4.76");  // no Main
    const std::string withNul = tmp / "NS2" + '\0' + "ignored";     // the text ends at its first NUL
    MakeDirs(tmp / "NS2\\Program\\Plugins");
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "4.77\\Main", "Install Directory",
                        REG_SZ, withNul.data(), static_cast<DWORD>(withNul.size()));
    EXPECT_EQ(Netscape(), (Lines{tmp / "NS\\Program\\Plugins", slashed + "/NS/Program\\Plugins",
                                 tmp / "NS2\\Program\\Plugins"}));
}

TEST(GetNetscapePluginDirs, UsersSubkeyIsNeverOpenedButLowerCaseUsersIsAVersion) {
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "Nav\\Program\\Plugins");
    MakeDirs(tmp / "NS7\\Plugins");
    {
        zvtest::TRegistrySandbox sandbox;
        SetVersion(kNavigator, "4.8", tmp / "Nav");
        // Read, these wrong types would raise.
        zvtest::SetRegDword(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "Users\\Main", "Install Directory",
                            1);
        zvtest::SetRegDword(HKEY_LOCAL_MACHINE, std::string(kNetscape) + "\\Users\\Main", "Install Directory",
                            1);
        SetVersion(std::string(kNetscape) + "\\", "7.1", tmp / "NS7");
        EXPECT_EQ(Netscape(), (Lines{tmp / "Nav\\Program\\Plugins", tmp / "NS7\\Plugins"}));
    }
    {
        zvtest::TRegistrySandbox sandbox;
        SetVersion(kNavigator, "users", tmp / "Nav");
        SetVersion(std::string(kNetscape) + "\\", "USERS", tmp / "NS7");
        EXPECT_EQ(Netscape(), (Lines{tmp / "Nav\\Program\\Plugins", tmp / "NS7\\Plugins"}));
    }
}

TEST(GetNetscapePluginDirs, FiveSourcesInOrder) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    for (const char* d : {"A\\Program\\Plugins", "B\\Program\\Plugins", "C\\Plugins", "D\\Plugins", "E"})
        MakeDirs(tmp / d);
    // Written in reverse so that no order of creation can pass for the order of the sources.
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "E");
    SetVersion(std::string(kNetscape) + "\\", "7.2", tmp / "D");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.2 (en)\\Main",
                         "Install Directory", tmp / "C");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.2 (en)");
    zvtest::SetRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                         "Install Directory", tmp / "B");
    SetVersion(kNavigator, "4.8", tmp / "A");
    EXPECT_EQ(Netscape(), (Lines{tmp / "A\\Program\\Plugins", tmp / "B\\Program\\Plugins", tmp / "C\\Plugins",
                                 tmp / "D\\Plugins", tmp / "E\\"}));
}

TEST(GetNetscapePluginDirs, SettingDirectoryKeepsItsSeparatorAndIsKeptBesideTheVersionOne) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "NS\\Plugins");
    SetVersion(std::string(kNetscape) + "\\", "7.0", tmp / "NS");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "NS\\Plugins");
    EXPECT_EQ(Netscape(), (Lines{tmp / "NS\\Plugins", tmp / "NS\\Plugins\\"}));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "NS/Plugins/");
    EXPECT_EQ(Netscape(), (Lines{tmp / "NS\\Plugins", tmp / "NS/Plugins/"}));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "NS\\Missing");
    EXPECT_EQ(Netscape(), (Lines{tmp / "NS\\Plugins"}));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", "");  // not the current drive's root
    EXPECT_EQ(Netscape(), (Lines{tmp / "NS\\Plugins"}));
}

TEST(GetNetscapePluginDirs, CaseDifferencesInAsciiLettersOnlyMakeEqualPaths) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "Netscape\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.1\\Main", "Install Directory",
                         tmp / "Netscape");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.1");
    SetVersion(std::string(kNetscape) + "\\", "7.0", LowerCase(tmp.Path()) + "\\netscape");
    EXPECT_EQ(Netscape(), (Lines{tmp / "Netscape\\Plugins"}));
    EXPECT_EQ(Netscape({UpperCase(tmp / "netscape\\plugins")}),
              (Lines{UpperCase(tmp / "netscape\\plugins")}));
}

TEST(GetNetscapePluginDirs, AccentedCapitalsMakeDifferentPaths) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string upper = tmp / "\xC3\x84rger";  // "Ärger" (UTF-8)
    const std::string lower = tmp / "\xC3\xA4rger";  // "ärger"
    MakeDirs(upper + "\\Plugins");
    // The file system may fold these letters itself; then one directory serves both names.
    if (!zvtest::DirExists(lower + "\\Plugins")) MakeDirs(lower + "\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.1\\Main", "Install Directory",
                         upper);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.1");
    SetVersion(std::string(kNetscape) + "\\", "7.0", lower);
    EXPECT_EQ(Netscape(), (Lines{upper + "\\Plugins", lower + "\\Plugins"}));
}

TEST(GetNetscapePluginDirs, NumericCurrentVersionSkipsNetscape6Only) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "N6\\Plugins");
    MakeDirs(tmp / "N7\\Plugins");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6\\Main", "Install Directory",
                         tmp / "N6");
    zvtest::SetRegDword(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", 6);
    SetVersion(std::string(kNetscape) + "\\", "7.0", tmp / "N7");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "N7\\Plugins");
    EXPECT_EQ(Netscape(), (Lines{tmp / "N7\\Plugins", tmp / "N7\\Plugins\\"}));
    // Empty, missing or naming no subkey: nothing either.
    for (const std::string& v : {std::string(), std::string("9.9")}) {
        zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", v);
        EXPECT_EQ(Netscape(), (Lines{tmp / "N7\\Plugins", tmp / "N7\\Plugins\\"})) << v;
    }
    // A version subkey with an empty-typed value of no data reads as empty.
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6\\Main", "Install Directory",
                        REG_BINARY, "", 0);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6");
    EXPECT_EQ(Netscape(), (Lines{tmp / "N7\\Plugins", tmp / "N7\\Plugins\\"}));
}

// A damaged value ends its own source only: the sources after it still add
// their directories, and the error reaches the caller once all have run (or,
// given a problem list, is noted there with its key instead).
TEST(GetNetscapePluginDirs, WrongTypeEndsOnlyItsSourceAndReachesTheCaller) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    MakeDirs(tmp / "A\\Program\\Plugins");
    MakeDirs(tmp / "D\\Plugins");
    SetVersion(kNavigator, "4.0", tmp / "A");
    SetVersion(std::string(kNetscape) + "\\", "7.0", tmp / "D");

    struct Case {
        HKEY root;
        const char* rootName;
        std::string key, name;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", std::string(kNavigator) + "4.5\\Main",
         "Install Directory"},
        {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\Netscape\\Netscape Navigator\\Main",
         "Install Directory"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", std::string(kNetscape6) + "\\6.0\\Main",
         "Install Directory"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", std::string(kNetscape) + "\\7.5\\Main",
         "Install Directory"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", kNetscape, "Plugins"},
    };
    // Whichever source is damaged, the others' directories are all there.
    const Lines kept{"X:\\Caller", tmp / "A\\Program\\Plugins", tmp / "D\\Plugins"};
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.0");
    for (const Case& c : cases) {
        const std::string multi = std::string("a") + '\0' + "b" + '\0';
        zvtest::SetRegValue(c.root, c.key, c.name, REG_MULTI_SZ, multi.c_str(),
                            static_cast<DWORD>(multi.size() + 1));
        TStringList list;
        list.Add("X:\\Caller");
        EXPECT_EQ(ErrorOf([&] { GetNetscapePluginDirs(list); }), "Invalid data type for '" + c.name + "'")
            << c.key;
        EXPECT_EQ(list.ToVector(), kept) << c.key;
        TStringList noted, problems;
        noted.Add("X:\\Caller");
        EXPECT_EQ(ErrorOf([&] { GetNetscapePluginDirs(noted, &problems); }), "no error") << c.key;
        EXPECT_EQ(noted.ToVector(), kept) << c.key;
        EXPECT_EQ(problems.ToVector(),
                  Lines{"Invalid data type for '" + c.name + "' in " + c.rootName + "\\" + c.key});
        HKEY k = nullptr;
        ASSERT_EQ(RegOpenKeyExA(c.root, c.key.c_str(), 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
        RegDeleteValueA(k, c.name.c_str());
        RegCloseKey(k);
    }
}

// ---- Mozilla and Firefox ------------------------------------------------------------------

TEST(MozillaFamily, VersionsInRegistryOrderOnOneSharedList) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    for (const char* d : {"Moz15\\Plugins", "Moz17\\Plugins", "FF1\\Plugins", "FF15\\Plugins", "NoPlugins"})
        MakeDirs(tmp / d);
    SetVersion(kMozilla, "1.7.5 (en)", tmp / "Moz17");
    SetVersion(kMozilla, "1.5 (en)", tmp / "Moz15");
    SetVersion(kMozilla, "1.6 (en)", tmp / "NoPlugins");
    SetVersion(kMozilla, "Users", tmp / "Moz17");  // not passed over here, but equal
    SetVersion(kFirefox, "1.5 (en-US)", tmp / "FF15");
    SetVersion(kFirefox, "1.0 (en-US)", tmp / "FF1");
    SetVersion(kFirefox, "1.0.7 (en-US)", UpperCase(tmp / "moz15"));  // equal to a Mozilla one
    SetVersion(kFirefox, "Users", tmp / "Moz15\\");                   // equal as well
    MakeKey(HKEY_LOCAL_MACHINE, std::string(kFirefox) + "Extensions");

    TStringList list;
    GetMozillaPluginDirs(list);
    EXPECT_EQ(list.ToVector(), (Lines{tmp / "Moz15\\Plugins", tmp / "Moz17\\Plugins"}));
    GetFirefoxPluginDirs(list);
    EXPECT_EQ(list.ToVector(), (Lines{tmp / "Moz15\\Plugins", tmp / "Moz17\\Plugins", tmp / "FF1\\Plugins",
                                      tmp / "FF15\\Plugins"}));

    SetVersion(kFirefox, "2.0", "");
    zvtest::SetRegDword(HKEY_LOCAL_MACHINE, std::string(kFirefox) + "2.0\\Main", "Install Directory", 2);
    TStringList again;
    EXPECT_EQ(ErrorOf([&] { GetFirefoxPluginDirs(again); }), "Invalid data type for 'Install Directory'");
    EXPECT_EQ(again.ToVector(),
              (Lines{tmp / "FF1\\Plugins", UpperCase(tmp / "moz15") + "\\Plugins", tmp / "FF15\\Plugins"}));
}

// ---- names outside the ANSI code page --------------------------------------------------------

// Every family finds its directory under a name the ANSI code page cannot
// spell, as it is spelled on disk and in the registry; the ANSI calls would
// see "?" there and miss it.
TEST(Discovery, DirectoriesNamedInAnyScriptAreFoundAsTheyAreSpelled) {
    ASSERT_TRUE(zvtest::AnsiCodePageLacks(zvtest::kScripts) || GetACP() == CP_UTF8);
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string base = GetLongPathForm(tmp.Path());
    const std::string firefox = tmp / (zvtest::kJapanese + "\\Mozilla Firefox");
    const std::string netscape = tmp / (zvtest::kCyrillic + "\\Netscape");
    MakeDirs(firefox + "\\Plugins");
    MakeDirs(netscape + "\\Plugins");
    MakeDirs(tmp / (zvtest::kGreek + "\\Internet Explorer"));
    if (GetACP() != CP_UTF8) {
        EXPECT_EQ(GetFileAttributesA((firefox + "\\Plugins").c_str()), INVALID_FILE_ATTRIBUTES);
    }

    SetVersion(kFirefox, "1.5 (ja)", firefox);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.1\\Main", "Install Directory",
                         netscape);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.1");
    zvtest::SetRegString(
        HKEY_CLASSES_ROOT, kIEServer, "",
        Quote(tmp.Path() + "\\" + zvtest::kGreekUpper + "\\Internet Explorer\\iexplore.exe"));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", tmp / (zvtest::kScripts + "\\Opera"));

    TStringList list;
    GetFirefoxPluginDirs(list);
    EXPECT_EQ(list.ToVector(), (Lines{firefox + "\\Plugins"}));
    EXPECT_EQ(Netscape(), (Lines{netscape + "\\Plugins"}));
    // The capitals in the registry become the spelling on disk (the file
    // system folds Greek letters as the wide calls do).
    const std::string ie = GetIEPluginDir();
    EXPECT_EQ(ie, base + "\\" + zvtest::kGreek + "\\Internet Explorer\\Plugins");
    EXPECT_TRUE(zvtest::DirExists(ie));
    EXPECT_EQ(GetOperaPluginDir(), tmp / (zvtest::kScripts + "\\Opera\\Program\\Plugins"));
}

// ---- all families ------------------------------------------------------------------------

TEST(Discovery, EveryFamilyInstalledGivesExactlyItsDirectories) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    const std::string base = GetLongPathForm(tmp.Path());
    for (const char* d : {"Internet Explorer", "Nav\\Program\\Plugins", "NavUser\\Program\\Plugins",
                          "Netscape 6\\Plugins", "Netscape\\Plugins", "Mozilla\\Plugins", "Firefox\\Plugins"})
        MakeDirs(tmp / d);
    zvtest::WriteFile(tmp / "Internet Explorer\\iexplore.exe", "MZ");
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", Quote(tmp / "Internet Explorer\\iexplore.exe"));
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", tmp / "Opera\\");
    zvtest::SetRegString(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path",
                         tmp / "Opera\\plugins");
    SetVersion(kNavigator, "4.8 (en)", tmp / "Nav");
    zvtest::SetRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                         "Install Directory", tmp / "NavUser");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.2.3 (en)\\Main",
                         "Install Directory", tmp / "Netscape 6");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.2.3 (en)");
    SetVersion(std::string(kNetscape) + "\\", "7.2 (en)", tmp / "Netscape");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", tmp / "Netscape\\Plugins");
    SetVersion(kMozilla, "1.7.12 (en)", tmp / "Mozilla");
    SetVersion(kFirefox, "1.5.0.1 (en-US)", tmp / "Firefox");

    const std::string ie = GetIEPluginDir();
    const std::string opera = GetOperaPluginDir();
    TStringList netscape;
    GetNetscapePluginDirs(netscape);
    TStringList mozilla;
    GetMozillaPluginDirs(mozilla);
    GetFirefoxPluginDirs(mozilla);

    EXPECT_EQ(ie, base + "\\Internet Explorer\\Plugins");
    EXPECT_TRUE(zvtest::DirExists(ie));
    EXPECT_EQ(opera, tmp / "Opera\\Program\\Plugins");
    EXPECT_EQ(netscape.ToVector(),
              (Lines{tmp / "Nav\\Program\\Plugins", tmp / "NavUser\\Program\\Plugins",
                     tmp / "Netscape 6\\Plugins", tmp / "Netscape\\Plugins", tmp / "Netscape\\Plugins\\"}));
    EXPECT_EQ(mozilla.ToVector(), (Lines{tmp / "Mozilla\\Plugins", tmp / "Firefox\\Plugins"}));
}

// One damaged value in several families at once: each ends only its own
// source, each is named with its key in the problem list, and everything the
// other sources found is there. Opera falls back to the user's setting when
// its application path cannot be read.
TEST(Discovery, DamagedValuesEndOnlyTheirSourcesAndAreNamedWithTheirKeys) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    for (const char* d :
         {"Nav\\Program\\Plugins", "Netscape\\Plugins", "Mozilla\\Plugins", "Firefox\\Plugins"})
        MakeDirs(tmp / d);
    const DWORD number = 5;
    const char bytes[] = {'C', ':', '\\'};
    zvtest::SetRegValue(HKEY_CLASSES_ROOT, kIEServer, "", REG_DWORD, &number, sizeof number);
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, kOperaApp, "Path", REG_BINARY, bytes, sizeof bytes);
    zvtest::SetRegString(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path",
                         tmp / "Opera\\plugins");
    SetVersion(kNavigator, "4.8 (en)", tmp / "Nav");
    zvtest::SetRegDword(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "4.9 (en)\\Main", "Install Directory",
                        49);
    SetVersion(std::string(kNetscape) + "\\", "7.2 (en)", tmp / "Netscape");
    SetVersion(kMozilla, "1.7.12 (en)", tmp / "Mozilla");
    SetVersion(kFirefox, "1.5.0.1 (en-US)", tmp / "Firefox");
    zvtest::SetRegValue(HKEY_LOCAL_MACHINE, std::string(kFirefox) + "3.0\\Main", "Install Directory",
                        REG_MULTI_SZ, "x\0", 3);

    TStringList problems;
    EXPECT_EQ(GetIEPluginDir(&problems), "");
    EXPECT_EQ(GetOperaPluginDir(&problems), tmp / "Opera\\plugins");
    TStringList netscape, mozilla;
    GetNetscapePluginDirs(netscape, &problems);
    GetMozillaPluginDirs(mozilla, &problems);
    GetFirefoxPluginDirs(mozilla, &problems);
    EXPECT_EQ(netscape.ToVector(), (Lines{tmp / "Nav\\Program\\Plugins", tmp / "Netscape\\Plugins"}));
    EXPECT_EQ(mozilla.ToVector(), (Lines{tmp / "Mozilla\\Plugins", tmp / "Firefox\\Plugins"}));
    EXPECT_EQ(problems.ToVector(),
              (Lines{"Invalid data type for '' in HKEY_CLASSES_ROOT\\" + std::string(kIEServer),
                     "Invalid data type for 'Path' in HKEY_LOCAL_MACHINE\\" + std::string(kOperaApp),
                     "Invalid data type for 'Install Directory' in HKEY_LOCAL_MACHINE\\" +
                         std::string(kNavigator) + "4.9 (en)\\Main",
                     "Invalid data type for 'Install Directory' in HKEY_LOCAL_MACHINE\\" +
                         std::string(kFirefox) + "3.0\\Main"}));
}

// Every value discovery reads as a path may be stored as REG_EXPAND_SZ, as
// installers write "%ProgramFiles%\\...": it is expanded before it is joined
// and tested. A variable the environment lacks stays as written.
TEST(Discovery, ExpandableStringsAreExpandedWhereverAPathIsRead) {
    zvtest::TRegistrySandbox sandbox;
    zvtest::TTempDir tmp;
    ASSERT_TRUE(SetEnvironmentVariableA("ZV_TEST_BROWSERS", tmp.Path().c_str()));
    const std::string base = GetLongPathForm(tmp.Path());
    for (const char* d : {"IE", "A\\Program\\Plugins", "B\\Program\\Plugins", "C\\Plugins", "D\\Plugins", "E",
                          "Moz\\Plugins", "Fox\\Plugins"})
        MakeDirs(tmp / d);
    auto expand = [](const std::string& rest) { return "%ZV_TEST_BROWSERS%\\" + rest; };
    zvtest::SetRegString(HKEY_CLASSES_ROOT, kIEServer, "", Quote(expand("IE\\iexplore.exe")), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", expand("Opera"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "4.8\\Main", "Install Directory",
                         expand("A"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNavigator) + "4.9\\Main", "Install Directory",
                         "%ZV_NO_SUCH%\\A", REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main",
                         "Install Directory", expand("B"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape6, "CurrentVersion", "6.2");
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape6) + "\\6.2\\Main", "Install Directory",
                         expand("C"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kNetscape) + "\\7.2\\Main", "Install Directory",
                         expand("D"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kNetscape, "Plugins", expand("E"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kMozilla) + "1.7\\Main", "Install Directory",
                         expand("Moz"), REG_EXPAND_SZ);
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, std::string(kFirefox) + "2.0\\Main", "Install Directory",
                         expand("Fox"), REG_EXPAND_SZ);

    EXPECT_EQ(GetIEPluginDir(), base + "\\IE\\Plugins");
    EXPECT_EQ(GetOperaPluginDir(), tmp / "Opera\\Program\\Plugins");
    TStringList netscape, mozilla;
    GetNetscapePluginDirs(netscape);
    GetMozillaPluginDirs(mozilla);
    GetFirefoxPluginDirs(mozilla);
    EXPECT_EQ(netscape.ToVector(), (Lines{tmp / "A\\Program\\Plugins", tmp / "B\\Program\\Plugins",
                                          tmp / "C\\Plugins", tmp / "D\\Plugins", tmp / "E\\"}));
    EXPECT_EQ(mozilla.ToVector(), (Lines{tmp / "Moz\\Plugins", tmp / "Fox\\Plugins"}));
    // The user's Opera setting as well.
    zvtest::SetRegString(HKEY_LOCAL_MACHINE, kOperaApp, "Path", "");
    zvtest::SetRegString(HKEY_CURRENT_USER, "SOFTWARE\\Opera Software", "Plugin Path",
                         expand("Opera\\plugins"), REG_EXPAND_SZ);
    EXPECT_EQ(GetOperaPluginDir(), tmp / "Opera\\plugins");
    SetEnvironmentVariableA("ZV_TEST_BROWSERS", nullptr);
}
