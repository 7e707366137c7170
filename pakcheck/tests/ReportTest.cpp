// The command line, the exit status and the two forms of the report.
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "CheckedPackage.h"
#include "pakcheck/reading/FileSystem.h"
#include "pakcheck/reporting/FindingCodes.h"
#include "pakcheck/reporting/JsonReport.h"
#include "pakcheck/reporting/MessageQuote.h"
#include "pakcheck/reporting/TextReport.h"
#include "package/InstallerTexts.h"
#include "package/Language.h"
#include "package/MessageIds.h"

namespace pakcheck {

namespace {

using testpackage::CheckedPackage;

TEST(Options, ReadTheCommandLine) {
    struct Case {
        std::vector<const char*> arguments;
        bool parsed;
        const char* package;
        const char* host;
        std::size_t languages;
        bool json;
        bool listFindings = false;
        bool help = false;
        bool version = false;
    };
    const Case cases[] = {
        {{"pakcheck", "paket"}, true, "paket", "", 4, false},
        {{"pakcheck", "paket", "--host", "C:\\Baukanter", "--json"},
         true,
         "paket",
         "C:\\Baukanter",
         4,
         true},
        {{"pakcheck", "--lang", "POL", "paket"}, true, "paket", "", 1, false},
        {{"pakcheck", "paket", "--lang", "ITA"}, false, "", "", 0, false},
        {{"pakcheck", "paket", "--host"}, false, "", "", 0, false},
        {{"pakcheck", "paket", "--verbose"}, false, "", "", 0, false},
        {{"pakcheck", "paket", "zweites"}, false, "", "", 0, false},
        {{"pakcheck"}, false, "", "", 0, false},
        {{"pakcheck", "--list-findings"}, true, "", "", 0, false, true},
        {{"pakcheck", "--help"}, true, "", "", 0, false, false, true},
        {{"pakcheck", "-h"}, true, "", "", 0, false, false, true},
        {{"pakcheck", "--version"}, true, "", "", 0, false, false, false, true},
    };
    for (const Case& c : cases) {
        Options options;
        std::string error;
        const bool parsed = Options::Parse(static_cast<int>(c.arguments.size()), c.arguments.data(),
                                           &options, &error);
        EXPECT_EQ(parsed, c.parsed) << c.arguments.back();
        EXPECT_EQ(error.empty(), c.parsed) << c.arguments.back();
        if (!parsed) continue;
        EXPECT_EQ(options.packageDir, c.package);
        EXPECT_EQ(options.hostDir, c.host);
        EXPECT_EQ(options.languages.size(), c.languages);
        EXPECT_EQ(options.json, c.json);
        EXPECT_EQ(options.listFindings, c.listFindings);
        EXPECT_EQ(options.help, c.help);
        EXPECT_EQ(options.version, c.version);
    }
}

TEST(Options, HelpNamesEveryOptionAndVersionTheProjectsVersion) {
    const std::string usage = Options::Usage();
    for (const char* option :
         {"--host", "--lang", "--json", "--list-findings", "--help", "--version"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
    EXPECT_NE(usage.find("Exit status"), std::string::npos);
    const std::string version = Options::Version();
    ASSERT_EQ(version.compare(0, 9, "pakcheck "), 0) << version;
    EXPECT_EQ(version.find_first_not_of("0123456789.", 9), version.size() - 1) << version;
    EXPECT_EQ(version.back(), '\n');
}

// The installer's texts as the checker quotes them: a quote is one line
// whatever the text holds.
TEST(MessageQuote, QuotesEveryTextOnOneLineInTheLanguageAskedFor) {
    const struct {
        const char* code;
        language::Language language;
    } languages[] = {{"GER", language::Language::German},
                     {"ENG", language::Language::English},
                     {"FRA", language::Language::French},
                     {"POL", language::Language::Polish}};
    for (const auto& l : languages) {
        messagequote::SetLanguage(l.code);
        for (int id = messageids::kFirst; id <= static_cast<int>(messageids::PluginsMissing);
             ++id) {
            const std::string text = installertexts::Text(id, l.language);
            const std::string quote = messagequote::Quote(id);
            ASSERT_GE(quote.size(), 3u) << l.code << " " << id;
            EXPECT_EQ(quote.front(), '"');
            EXPECT_EQ(quote.back(), '"');
            EXPECT_EQ(quote.find_first_of("\n\r\t"), std::string::npos) << quote;
            EXPECT_EQ(quote.find("  "), std::string::npos) << quote;
            EXPECT_EQ(quote.find('%'), std::string::npos) << quote;
            EXPECT_NE(quote[1], ' ') << quote;
            EXPECT_NE(quote[quote.size() - 2], ' ') << quote;
            EXPECT_LE(quote.size(), 250u) << quote;
            // Texts without breaks or placeholders are quoted as they are.
            if (text.find_first_of("\n\t%") == std::string::npos) {
                EXPECT_EQ(quote, "\"" + text + "\"");
            }
        }
    }
    // An unknown language code quotes English.
    messagequote::SetLanguage("ITA");
    EXPECT_EQ(messagequote::Quote(messageids::InstallSucceeded),
              "\"" +
                  installertexts::Text(messageids::InstallSucceeded, language::Language::English) +
                  "\"");
    messagequote::SetLanguage("ENG");
    EXPECT_EQ(messagequote::Quote(messageids::SourceMissing),
              "\"A file from the installation script cannot be found. ...\"");
    EXPECT_EQ(
        messagequote::Quote(messageids::CopyFailed, {"a.3dm", "C:\\b.3dm"}),
        "\"Copying of the file a.3dm to C:\\b.3dm failed. Maybe a write protection is set?\"");
    // A refusal is cut after its first sentence; a number it names shows as N.
    EXPECT_EQ(messagequote::Quote(messageids::VersionTooLow).substr(0, 24),
              "\"Zur korrekten Darstellu");
    EXPECT_NE(messagequote::Quote(messageids::VersionTooLow)
                  .find("Trako N.0 dringend vorausgesetzt! ...\""),
              std::string::npos)
        << messagequote::Quote(messageids::VersionTooLow);
    EXPECT_NE(messagequote::Quote(messageids::VersionTooLow, {"6"}).find("Trako 6.0"),
              std::string::npos);
}

// The sources of the checker: the .cpp files of its folder and its
// subfolders, without its tests and fuzz targets.
std::vector<std::string> CheckerSources() {
    std::vector<std::string> sources;
    std::vector<std::string> folders = {testpackage::SourceFile("pakcheck")};
    while (!folders.empty()) {
        const std::string folder = folders.back();
        folders.pop_back();
        std::vector<std::string> names;
        EXPECT_TRUE(files::ListFolder(folder, &names)) << folder;
        for (const std::string& name : names) {
            const std::string path = files::Join(folder, name);
            if (files::Probe(path).folder) {
                if (name != "tests" && name != "fuzz") folders.push_back(path);
            } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".cpp") == 0) {
                sources.push_back(path);
            }
        }
    }
    return sources;
}

// The codes the checker's sources pass to Add() and AddInHost(): the first
// string literal after the call that looks like a code ("source-missing").
std::set<std::string> CodesInSources() {
    std::set<std::string> codes;
    const std::vector<std::string> paths = CheckerSources();
    EXPECT_GT(paths.size(), 20u);
    for (const std::string& path : paths) {
        std::string source;
        EXPECT_TRUE(files::ReadBytes(path, &source)) << path;
        for (const char* call : {"Add(", "AddInHost("}) {
            for (std::size_t at = source.find(call); at != std::string::npos;
                 at = source.find(call, at + 1)) {
                if (at > 0 && (std::isalnum(static_cast<unsigned char>(source[at - 1])) ||
                               source[at - 1] == '_'))
                    continue;
                const std::size_t end = source.find(");", at);
                for (std::size_t quote = source.find('"', at); quote < end;
                     quote = source.find('"', quote + 1)) {
                    const std::size_t close = source.find('"', quote + 1);
                    const std::string literal = source.substr(quote + 1, close - quote - 1);
                    if (!literal.empty() && literal.find('-') != std::string::npos &&
                        literal.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-") ==
                            std::string::npos) {
                        codes.insert(literal);
                        break;
                    }
                    quote = close;
                }
            }
        }
    }
    return codes;
}

TEST(FindingCodes, EveryCodeInTheSourcesIsInTheTableAndEveryRowIsUsed) {
    const std::set<std::string> used = CodesInSources();
    EXPECT_GT(used.size(), 50u);
    std::set<std::string> table;
    for (const findingcodes::FindingCode& row : findingcodes::kTable) {
        EXPECT_TRUE(table.insert(row.code).second) << "twice in the table: " << row.code;
        EXPECT_NE(row.severities, 0u) << row.code;
        EXPECT_EQ(findingcodes::Find(row.code), &row);
        EXPECT_EQ(used.count(row.code), 1u) << "in the table, but never reported: " << row.code;
    }
    for (const std::string& code : used) {
        EXPECT_EQ(table.count(code), 1u) << "reported, but not in FindingCodes.h: " << code;
    }
    EXPECT_EQ(findingcodes::Find("no-such-code"), nullptr);
}

TEST(FindingCodes, TheReadmeShowsTheWholeTable) {
    std::string readme;
    ASSERT_TRUE(files::ReadBytes(testpackage::SourceFile("pakcheck/README.md"), &readme));
    std::string block;
    const std::string listing = findingcodes::Listing();
    for (std::size_t start = 0; start < listing.size();) {
        const std::size_t end = listing.find('\n', start) + 1;
        block += "    " + listing.substr(start, end - start);
        start = end;
    }
    EXPECT_NE(readme.find(block), std::string::npos)
        << "paste `pakcheck --list-findings`, indented by four blanks, into pakcheck/README.md:\n"
        << block;
}

// Natively only: under Wine an aborting child process may wait on a dialog.
#ifndef _WIN32
TEST(FindingCodes, AFindingWithACodeOutsideTheTableStopsTheChecker) {
    Findings findings;
    Add(&findings, Severity::Error, "InstSkript.txt", 1, "source-missing", "known");
    EXPECT_EQ(findings.size(), 1u);
    EXPECT_DEATH(Add(&findings, Severity::Error, "InstSkript.txt", 1, "no-such-code", "unknown"),
                 "no-such-code");
    // A known code with a severity the table does not list for it.
    EXPECT_DEATH(AddInHost(&findings, Severity::Note, "", 0, "host-unreadable", "note"),
                 "host-unreadable");
}
#endif

TEST(Report, APackageFolderThatCannotBeReadGivesNoReport) {
    CheckedPackage package;
    Options options;
    options.packageDir = package.Path("fehlt");
    options.languages = {"GER"};
    Report report;
    EXPECT_FALSE(checker::Check(options, &report));
}

class Written : public ::testing::Test {
protected:
    void SetUp() override {
        package.Write("a.3dm", "a");
        package.Write(
            "InstSkript.txt",
            "Dateinstallation{\r\n{a.3dm>>Resourcen\\a.3dm}\r\n{b.3dm>>Resourcen\\b.3dm}}\r\n"
            "Texturskript{{t>>Textur{id(5)name(\"Gr\xFCn\")}}}");
        package.Write("cabin.ini", "[Kabine]\r\nModell = Zug\r\n");
        package.WriteInHost("Resourcen\\Parallels\\Texturen.txt", "Basis{}");
        package.Check(true);
    }
    CheckedPackage package;
};

TEST_F(Written, TextGroupsFindingsUnderTheirFilesAndEndsWithASummary) {
    const std::string text = textreport::Write(package.LastReport());
    const std::size_t script = text.find("Install script \"InstSkript.txt\"");
    const std::size_t missing =
        text.find("error   InstSkript.txt:3: The source \"b.3dm\" is not in the package");
    const std::size_t cabin = text.find("Cabin list \"cabin.ini\"");
    const std::size_t untyped = text.find("warning cabin.ini:2: The value \"Zug\"");
    const std::size_t plan = text.find("Plan: installing from \"InstSkript.txt\"");
    ASSERT_NE(script, std::string::npos) << text;
    ASSERT_NE(missing, std::string::npos) << text;
    ASSERT_NE(cabin, std::string::npos) << text;
    ASSERT_NE(untyped, std::string::npos) << text;
    ASSERT_NE(plan, std::string::npos) << text;
    EXPECT_LT(script, missing);
    EXPECT_LT(missing, cabin);
    EXPECT_LT(cabin, untyped);
    EXPECT_LT(untyped, plan);
    EXPECT_NE(text.find(
                  "  Dateinstallation  line 1, 2 entries\n     2  a.3dm >> Resourcen\\a.3dm\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("     4  id 5: merged\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  new      Resourcen\\a.3dm"), std::string::npos) << text;
    EXPECT_NE(text.find("=> the installer would report success (message " +
                        messagequote::Quote(messageids::InstallSucceeded) + ")"),
              std::string::npos)
        << text;
    const std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    EXPECT_EQ(last, "Summary: 1 error, 1 warning, 3 notes\n") << text;
    EXPECT_EQ(checker::ExitStatus(package.LastReport()), 1);
}

TEST_F(Written, JsonCarriesEveryFindingInValidUtf8) {
    const std::string json = jsonreport::Write(package.LastReport());
    EXPECT_EQ(json.front(), '{');
    EXPECT_NE(json.find("\"summary\":{\"errors\":1,\"warnings\":1,\"notes\":3}"), std::string::npos)
        << json;
    EXPECT_NE(json.find(
                  "{\"severity\":\"error\",\"file\":\"InstSkript.txt\",\"inHost\":false,\"line\":3,"
                  "\"code\":\"source-missing\""),
              std::string::npos)
        << json;
    // The script's 1252 byte and its quotes come out as UTF-8, escaped.
    EXPECT_NE(json.find("name(\\\"Grün\\\")"), std::string::npos) << json;
    EXPECT_NE(json.find("\"action\":\"new\""), std::string::npos) << json;
    testpackage::ExpectJsonReport(json, package.LastReport());
}

// Names and texts that a JSON writer easily gets wrong: quotes, backslashes,
// control characters, bytes that are no UTF-8 (read as Windows-1252), a cut
// sequence, an encoded surrogate and an overlong form.
TEST(Report, JsonStaysValidWithHostileStrings) {
    const std::string hostile[] = {
        "quote \" and backslash \\ and \\\"",
        std::string("control \x01\x02\x1f\x7f tab\t cr\r lf\n nul") + '\0' + "end",
        "1252 \xE4\xF6\xFC\x80\x9F",
        "cut \xE2\x82",
        "surrogate \xED\xA0\x80",
        "overlong \xC0\xAF \xE0\x80\xAF",
        "valid \xC3\xA4 \xF0\x9F\x98\x80",
    };
    Report report;
    report.packageDir = hostile[0];
    report.hostDir = hostile[2];
    report.languages = {"GER"};
    for (const std::string& text : hostile) {
        Add(&report.findings, Severity::Warning, text, 1, "source-case", text);
        AddInHost(&report.findings, Severity::Note, "", 0, "plan-newer-in-host",
                  "\"" + text + "\"");
    }
    testpackage::ExpectJsonReport(jsonreport::Write(report), report);

    // The same strings through the checker: a script that names them as sources.
    CheckedPackage package;
    std::string script = "Dateinstallation\r\n{\r\n";
    for (const std::string& text : hostile) {
        std::string name = text;
        for (char& c : name) {
            if (c == '\r' || c == '\n' || c == '{' || c == '}' || c == '\0') c = '_';
        }
        script += "{" + name + ".3dm >> Resourcen\\x.3dm}\r\n";
    }
    package.Write("InstSkript.txt", script + "}\r\nTexturskript{}\r\n");
    package.Check(true);
    EXPECT_GE(package.Count("source-missing"), 7) << package.Listing();
    testpackage::ExpectJsonReport(jsonreport::Write(package.LastReport()), package.LastReport());
}

}  // namespace

}  // namespace pakcheck
