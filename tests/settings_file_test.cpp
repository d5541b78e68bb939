// The settings file "vistrel_plugin_settings.xml": its exact bytes, the reading rules, and
// input that is not a settings file at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "plugin/plugin_application.h"
#include "plugin/settings_file.h"
#include "plugin/xml_parse_bounds.h"
#include "tests/file_text.h"
#include "tests/scoped_temp_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The line ends a file written in text mode gets on this system.
std::string TextFile(std::string text) {
#ifdef _WIN32
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
#else
    return text;
#endif
}

void WriteBytes(const char* path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A record in which every field differs from the defaults, to see what a read changes.
PluginSettings Sentinel() {
    PluginSettings settings;
    settings.tessellationQuality = 0.75;
    settings.upAxis = 4;
    settings.selectionMode = 1;
    settings.promptForMechanism = true;
    settings.exportPath = u"C:\\keep\\scene.vsb";
    settings.fraPath = u"C:\\keep\\run.fra";
    settings.includeNURBS = false;
    settings.separateMaterials = false;
    return settings;
}

void ExpectSameSettings(const PluginSettings& actual, const PluginSettings& expected) {
    EXPECT_EQ(actual.tessellationQuality, expected.tessellationQuality);
    EXPECT_EQ(actual.upAxis, expected.upAxis);
    EXPECT_EQ(actual.selectionMode, expected.selectionMode);
    EXPECT_EQ(actual.promptForMechanism, expected.promptForMechanism);
    EXPECT_EQ(actual.exportPath, expected.exportPath);
    EXPECT_EQ(actual.fraPath, expected.fraPath);
    EXPECT_EQ(actual.includeNURBS, expected.includeNURBS);
    EXPECT_EQ(actual.separateMaterials, expected.separateMaterials);
}

PluginSettings ReadText(const std::string& text, PluginSettings settings = Sentinel()) {
    ReadSettingsText(text, settings);
    return settings;
}

// Text that is not read at all: the record stays as it was.
void ExpectUnread(const std::string& text) {
    PluginSettings settings = Sentinel();
    EXPECT_FALSE(ReadSettingsText(text, settings)) << text.substr(0, 100);
    ExpectSameSettings(settings, Sentinel());
}

// A settings document with the given elements inside a root of the given name.
std::string Document(const std::string& elements, const std::string& root = "vistrel_plugin_settings") {
    return "<?xml version=\"1.0\" ?>\n<" + root + ">\n" + elements + "</" + root + ">\n";
}

const char kDefaultsFile[] =
    "<?xml version=\"1.0\" ?>\n"
    "<vistrel_plugin_settings>\n"
    "    <tessellationQuality>0.200000</tessellationQuality>\n"
    "    <upAxis>1</upAxis>\n"
    "    <selectionMode>automatic</selectionMode>\n"
    "    <includeNURBS>true</includeNURBS>\n"
    "    <separateMaterials>true</separateMaterials>\n"
    "    <promptForMechanism>false</promptForMechanism>\n"
    "    <exportPath></exportPath>\n"
    "    <fraPath></fraPath>\n"
    "</vistrel_plugin_settings>\n";

}  // namespace

// ---- Writing -------------------------------------------------------------------------------------

TEST(SettingsFileWriting, DefaultsInAnEmptyFolderGiveTheExactFile) {
    ScopedTempFolder folder;
    PluginApplication app;
    app.SaveSettings();
    EXPECT_EQ(ReadFile(kSettingsFileName), TextFile(kDefaultsFile));
}

TEST(SettingsFileWriting, EveryFieldIsWrittenByItsRule) {
    ScopedTempFolder folder;
    PluginSettings settings;
    settings.tessellationQuality = 0.35f;  // the float, widened: 0.3499999940395355
    settings.upAxis = -7;
    settings.selectionMode = 2;            // anything but 0 is manual
    settings.includeNURBS = false;
    settings.separateMaterials = false;
    settings.promptForMechanism = true;
    settings.exportPath = u"C:\\R&D\\<new>\\caf\u00E9 \u03C9 'x' \"y\".vsb";
    settings.fraPath = u"\u20AC.fra";
    WriteSettingsFile(settings, kSettingsFileName);
    EXPECT_EQ(ReadFile(kSettingsFileName),
              TextFile("<?xml version=\"1.0\" ?>\n"
                       "<vistrel_plugin_settings>\n"
                       "    <tessellationQuality>0.350000</tessellationQuality>\n"
                       "    <upAxis>-7</upAxis>\n"
                       "    <selectionMode>manual</selectionMode>\n"
                       "    <includeNURBS>false</includeNURBS>\n"
                       "    <separateMaterials>false</separateMaterials>\n"
                       "    <promptForMechanism>true</promptForMechanism>\n"
                       "    <exportPath>C:\\R&amp;D\\&lt;new&gt;\\caf\xE9 ? &apos;x&apos; "
                       "&quot;y&quot;.vsb</exportPath>\n"
                       "    <fraPath>\x80.fra</fraPath>\n"
                       "</vistrel_plugin_settings>\n"));
}

// ---- Round trip ----------------------------------------------------------------------------------

TEST(SettingsFileRoundTrip, EveryFieldComesBackAndPathsOutsideTheCodePageWithQuestionMarks) {
    ScopedTempFolder folder;
    PluginSettings written = Sentinel();
    // Two blanks in a row, markup characters and a code-page letter right before the end tag
    // must all survive.
    written.exportPath = u"C:\\My  Scenes\\R&D <1>\\Stra\u00DFe";
    written.fraPath = u"C:\\anims\\\u00E9t\u00E9 \u20AC.fra";
    PluginSettings read;
    WriteSettingsFile(written, kSettingsFileName);
    ReadSettingsFile(kSettingsFileName, read);
    ExpectSameSettings(read, written);

    // Paths longer than a value buffer are kept whole; fraPath's 1023 code-page bytes are one
    // past a buffer. A character the code page lacks comes back as "?", one per half of a pair.
    written.exportPath = u"C:\\" + std::u16string(3000, u'a') + u".vsb";
    written.fraPath = std::u16string(1023, u'\u00E9');
    WriteSettingsFile(written, kSettingsFileName);
    ReadSettingsFile(kSettingsFileName, read);
    ExpectSameSettings(read, written);
    written.exportPath = u"C:\\\u041C\u0438\u0440\\\U0001F600.vsb";
    WriteSettingsFile(written, kSettingsFileName);
    ReadSettingsFile(kSettingsFileName, read);
    EXPECT_EQ(read.exportPath, u"C:\\???\\??.vsb");
}

// ---- Reading rules -------------------------------------------------------------------------------

TEST(SettingsFileReading, KeywordsCompareExactly) {
    EXPECT_EQ(ReadText(Document("<selectionMode>Manual</selectionMode>")).selectionMode, 1);
    EXPECT_EQ(ReadText(Document("<selectionMode>automatic</selectionMode>")).selectionMode, 0);
    EXPECT_EQ(ReadText(Document("<selectionMode>auto matic</selectionMode>")).selectionMode, 1);
    PluginSettings defaults;
    EXPECT_EQ(ReadText(Document("<selectionMode>manual</selectionMode>"), defaults).selectionMode, 1);
    // The white space around a keyword is not part of it, as TinyXML reads text by default.
    EXPECT_EQ(ReadText(Document("<selectionMode>automatic </selectionMode>")).selectionMode, 0);
    const std::string spaced = Document("<selectionMode>\n  manual\n</selectionMode>");
    EXPECT_EQ(ReadText(spaced, defaults).selectionMode, 1);
    EXPECT_TRUE(ReadText(Document("<includeNURBS>true </includeNURBS>"), defaults).includeNURBS);
    EXPECT_TRUE(ReadText(Document("<promptForMechanism>\ttrue\r\n</promptForMechanism>"))
                    .promptForMechanism);

    for (const char* text : {"yes", "1", "TRUE", "t rue"}) {
        const std::string element = std::string("<includeNURBS>") + text + "</includeNURBS>";
        EXPECT_FALSE(ReadText(Document(element), defaults).includeNURBS) << text;
    }
    const PluginSettings read = ReadText(Document("<includeNURBS>true</includeNURBS>"
                                                  "<separateMaterials>true</separateMaterials>"
                                                  "<promptForMechanism>true</promptForMechanism>"));
    EXPECT_TRUE(read.includeNURBS);
    EXPECT_TRUE(read.separateMaterials);
    EXPECT_TRUE(read.promptForMechanism);
}

TEST(SettingsFileReading, NumbersAreStoredWithoutRangeChecks) {
    PluginSettings read = ReadText(Document("<tessellationQuality>5</tessellationQuality>"
                                            "<upAxis>7</upAxis>"));
    EXPECT_EQ(read.tessellationQuality, 5.0);
    EXPECT_EQ(read.upAxis, 7);

    read = ReadText(Document("<tessellationQuality>fine</tessellationQuality><upAxis>y</upAxis>"));
    EXPECT_EQ(read.tessellationQuality, 0.0);
    EXPECT_EQ(read.upAxis, 0);

    EXPECT_EQ(ReadText(Document("<upAxis>99999999999999999999</upAxis>")).upAxis, INT32_MAX);
    EXPECT_EQ(ReadText(Document("<upAxis>-99999999999999999999</upAxis>")).upAxis, INT32_MIN);
}

TEST(SettingsFileReading, MissingOrEmptyElementsKeepTheirFields) {
    const std::string allEmpty =
        "<tessellationQuality></tessellationQuality><upAxis/><selectionMode></selectionMode>"
        "<includeNURBS></includeNURBS><separateMaterials/><promptForMechanism></promptForMechanism>"
        "<exportPath></exportPath><fraPath/>";
    ExpectSameSettings(ReadText(Document(allEmpty)), Sentinel());
    ExpectSameSettings(ReadText(Document("")), Sentinel());
    ExpectSameSettings(ReadText(Document("<exportPath><![CDATA[]]></exportPath>")), Sentinel());
    ExpectSameSettings(ReadText(Document("<exportPath><sub>x</sub></exportPath>")), Sentinel());
}

TEST(SettingsFileReading, AnyRootOrderDoesNotMatterOtherElementsAreIgnoredAndTheFirstCounts) {
    PluginSettings read = ReadText(Document("<unknown>1</unknown>"
                                            "<fraPath>b.fra</fraPath>"
                                            "<upAxis a=\"1\" b='2'>3</upAxis>"
                                            "<upAxis>5</upAxis>"
                                            "<nested><upAxis>0</upAxis></nested>",
                                            "other_settings"));
    EXPECT_EQ(read.upAxis, 3);
    EXPECT_EQ(read.fraPath, u"b.fra");
    EXPECT_EQ(read.exportPath, Sentinel().exportPath);

    // However many there are.
    std::string many;
    for (int i = 0; i < 150; ++i) many += "<extra>" + std::to_string(i) + "</extra><empty/>";
    read = ReadText(Document(many + "<upAxis>2</upAxis><includeNURBS>true</includeNURBS>"));
    EXPECT_EQ(read.upAxis, 2);
    EXPECT_TRUE(read.includeNURBS);
}

TEST(SettingsFileReading, PathsAreDecodedConvertedFromTheCodePageAndTrimmed) {
    PluginSettings read =
        ReadText(Document("<exportPath>C:\\R&amp;D\\&lt;x&gt;\\\x80\x81\xE9.vsb</exportPath>"
                          "<fraPath>C:\\a  b\\\r\nc.fra</fraPath>"));
    EXPECT_EQ(read.exportPath, u"C:\\R&D\\<x>\\\u20AC\u0081\u00E9.vsb");
    EXPECT_EQ(read.fraPath, u"C:\\a  b\\\nc.fra");  // line ends as TinyXML's file loading has them
    // The white space around a path is dropped; nothing but white space is no text, and the
    // path in memory stays.
    read = ReadText(Document("<exportPath>\n    C:\\scenes\\car.vsb\n  </exportPath>"
                             "<fraPath>\t C:\\my  anims\\run .fra \r\n</fraPath>"));
    EXPECT_EQ(read.exportPath, u"C:\\scenes\\car.vsb");
    EXPECT_EQ(read.fraPath, u"C:\\my  anims\\run .fra");
    EXPECT_EQ(ReadText(Document("<exportPath>\n  </exportPath>")).exportPath, Sentinel().exportPath);
}

TEST(SettingsFileReading, FileWithAnEditorsByteOrderMarkIsReadAMissingOrHugeOneChangesNothing) {
    ScopedTempFolder folder;
    PluginSettings settings = Sentinel();
    EXPECT_EQ(ReadSettingsFile(kSettingsFileName, settings), SettingsFileRead::Absent);
    const std::string comment = "<!--" + std::string(3 << 20, 'x') + "-->";
    WriteBytes(kSettingsFileName, Document("<upAxis>2</upAxis>" + comment));
    EXPECT_EQ(ReadSettingsFile(kSettingsFileName, settings), SettingsFileRead::Unread);
    ExpectSameSettings(settings, Sentinel());
    WriteBytes(kSettingsFileName, "\xEF\xBB\xBF" + Document("<upAxis>2</upAxis>"));
    EXPECT_EQ(ReadSettingsFile(kSettingsFileName, settings), SettingsFileRead::Read);
    EXPECT_EQ(settings.upAxis, 2);
}

// ---- Input that is not a settings file -----------------------------------------------------------

TEST(SettingsFileBadInput, EveryTruncationChangesNothing) {
    const std::string whole = Document("<tessellationQuality>0.5</tessellationQuality>"
                                       "<upAxis>2</upAxis><exportPath>x.vsb</exportPath>");
    // Everything short of the root's end tag is cut.
    const std::size_t complete = whole.rfind('>') + 1;
    for (std::size_t length = 0; length < complete; ++length) {
        SCOPED_TRACE(length);
        ExpectUnread(whole.substr(0, length));
    }
    EXPECT_EQ(ReadText(whole.substr(0, complete)).upAxis, 2);
}

TEST(SettingsFileBadInput, BinaryAndNonXmlChangeNothing) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) & 0xFF);
    for (const std::string& text :
         {binary, std::string("tessellationQuality = 0.5\nupAxis = 2\n"),
          std::string("{\"upAxis\": 2}"), std::string("<?xml version=\"1.0\" ?>\n"),
          Document("<upAxis>2</upAxis></wrong>", "root"),
          std::string("<a>\0<upAxis>2</upAxis></a>", 26),
          // A code-page letter before the end of the text must not carry the parser past it.
          std::string("<a><upAxis>2</upAxis>\xF0")})
        ExpectUnread(text);
}

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TEST(SettingsFileBadInput, MoreMarkupThanTinyXmlCanTakeSafelyChangesNothing) {
    // Nesting that would overflow TinyXML's stack, and an element whose attributes it would look
    // up among each other for hours (well-formed: parsed, it would give upAxis).
    ExpectUnread(Repeat("<a>", 200000));
    std::string attributes;
    for (int i = 0; i < 80000; ++i) attributes += " a" + std::to_string(i) + "='1'";
    ExpectUnread("<settings" + attributes + "><upAxis>2</upAxis></settings>");
    // Nesting and attributes far beyond any settings file are read, quoted markup included.
    const std::string nested =
        Repeat("<a x='/>' y=\"1\">", 450) + "&#x3C;/a>" + Repeat("</a>", 450);
    EXPECT_EQ(ReadText(Document("<upAxis>2</upAxis>" + nested)).upAxis, 2);
}

TEST(SettingsFileBadInput, BoundsHoldUpToTheirLimitsAndTheTextEndsAtAZeroByte) {
    EXPECT_TRUE(XmlParseWithinBounds("<a x=1><b y=2>", 2, 2));
    EXPECT_FALSE(XmlParseWithinBounds("<a x=1><b y=2><", 2, 2));
    EXPECT_FALSE(XmlParseWithinBounds("<a x=1><b y=2=", 2, 2));
    EXPECT_TRUE(XmlParseWithinBounds(std::string_view("<a>\0<<==", 7), 1, 0));
}

TEST(SettingsFileBadInput, FolderOrFifoInPlaceOfTheFileIsNeitherReadNorWrittenOver) {
    ScopedTempFolder folder;
    PluginSettings settings = Sentinel();
    std::filesystem::create_directory(kSettingsFileName);
    EXPECT_EQ(ReadSettingsFile(kSettingsFileName, settings), SettingsFileRead::Unread);
    WriteSettingsFile(settings, kSettingsFileName);
    WriteSettingsFile(settings, "no such folder/vistrel_plugin_settings.xml");
    ExpectSameSettings(settings, Sentinel());
    EXPECT_TRUE(std::filesystem::is_empty(kSettingsFileName));
    EXPECT_FALSE(std::filesystem::exists("no such folder"));
#ifndef _WIN32
    // Opening a FIFO would wait for its other side, and with one there the settings would go to
    // whoever reads it.
    std::filesystem::remove(kSettingsFileName);
    ASSERT_EQ(mkfifo(kSettingsFileName, 0600), 0);
    const int reader = open(kSettingsFileName, O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    WriteSettingsFile(settings, kSettingsFileName);
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0);
    close(reader);
    WriteSettingsFile(settings, kSettingsFileName);
    EXPECT_EQ(ReadSettingsFile(kSettingsFileName, settings), SettingsFileRead::Unread);
    ExpectSameSettings(settings, Sentinel());
    EXPECT_TRUE(std::filesystem::is_fifo(kSettingsFileName));
#endif
}
