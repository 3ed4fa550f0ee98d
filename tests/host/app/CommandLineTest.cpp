// The command line as the system hands it over: the program's name skipped,
// options in either spelling and any case, quoted file names, and bad
// arguments named in the error.
#include <gtest/gtest.h>

#include "app/CommandLine.h"

using zv::ParseCommandLine;
using zv::TCommandLine;

TEST(CommandLine, OptionsInAnySpellingAfterTheProgramsName) {
    const TCommandLine none = ParseCommandLine("\"C:\\Program Files\\Zorvane Player\\ZorvaneSetup.exe\"");
    EXPECT_FALSE(none.silent || none.verySilent || none.uninstall || none.help);
    EXPECT_EQ(none.logFile, "");
    EXPECT_EQ(none.error, "");

    // An unquoted name ends at the first blank; a quoted one may hold blanks
    // and option-like text.
    const TCommandLine all = ParseCommandLine(
        "\"C:\\Setup -x\\ZorvaneSetup.exe\"  /silent\t-VerySilent /UNINSTALL -? /Log=\"C:\\My "
        "Logs\\setup.log\"");
    EXPECT_TRUE(all.silent);
    EXPECT_TRUE(all.verySilent);
    EXPECT_TRUE(all.uninstall);
    EXPECT_TRUE(all.help);
    EXPECT_EQ(all.logFile, "C:\\My Logs\\setup.log") << "quotes removed, blanks and case kept";
    EXPECT_EQ(all.error, "");

    const TCommandLine bare = ParseCommandLine("setup.exe -log=first.log \"/LOG=C:\\second one.log\"");
    EXPECT_EQ(bare.logFile, "C:\\second one.log") << "the last /LOG wins";
    EXPECT_EQ(ParseCommandLine("setup.exe").error, "");
    EXPECT_EQ(ParseCommandLine("  setup.exe   ").error, "");
}

TEST(CommandLine, BadArgumentsAreNamed) {
    EXPECT_EQ(ParseCommandLine("setup.exe /SILENT /QUIET").error, "Unknown option: /QUIET");
    EXPECT_EQ(ParseCommandLine("setup.exe --silent").error, "Unknown option: --silent");
    EXPECT_EQ(ParseCommandLine("setup.exe /SILENTLY").error, "Unknown option: /SILENTLY");
    EXPECT_EQ(ParseCommandLine("setup.exe C:\\target").error, "Unknown argument: C:\\target");
    EXPECT_EQ(ParseCommandLine("setup.exe /").error, "Unknown argument: /");
    EXPECT_EQ(ParseCommandLine("setup.exe \"\"").error, "Unknown argument: ");
    EXPECT_EQ(ParseCommandLine("setup.exe /log").error, "The option /log needs a file name: /log=\"file\"");
    EXPECT_EQ(ParseCommandLine("setup.exe -LOG=").error, "The option -LOG needs a file name: -LOG=\"file\"");
    EXPECT_EQ(ParseCommandLine("setup.exe /LOG=\"\"").error,
              "The option /LOG needs a file name: /LOG=\"file\"");
    // The first bad argument is named; the good ones around it still say
    // how the error is to be told.
    const TCommandLine bad = ParseCommandLine("setup.exe /X /VERYSILENT /Y /LOG=setup.log");
    EXPECT_EQ(bad.error, "Unknown option: /X");
    EXPECT_TRUE(bad.verySilent);
    EXPECT_EQ(bad.logFile, "setup.log");
}
