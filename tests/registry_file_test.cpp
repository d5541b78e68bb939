// The registry file reader of the POSIX build: what each line form gives, and that anything
// malformed reads as missing.
#include "platform/registry_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const char* kKey = "HKEY_CURRENT_USER\\SOFTWARE\\Tarvex";

// The value name of kKey in a file made of the header and body, or null.
const RegistryValue* Find(const RegistryFile& file, const std::string& name)
{
    const RegistryFile::ValueMap* values = file.Values(kKey);
    if (values == nullptr) return nullptr;
    const auto it = values->find(RegistryFile::Fold(name));
    return it == values->end() ? nullptr : &it->second;
}

// The type and bytes of that value; kMissing and no bytes when there is none.
using Typed = std::pair<std::uint32_t, Bytes>;
constexpr std::uint32_t kMissing = 0xFFFFFFFF;

Typed Value(const RegistryFile& file, const std::string& name)
{
    const RegistryValue* value = Find(file, name);
    return value != nullptr ? Typed{value->type, value->data} : Typed{kMissing, {}};
}

RegistryFile ParseBody(const std::string& body) { return RegistryFile::Parse(kHeader + body); }

TEST(RegistryFile, EachValueFormGivesItsTypeAndBytes)
{
    const RegistryFile file = ParseBody(
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\r\n"
        "\"Path\"=\"C:\\\\R \\\"x\\\"\"\r\n"
        "\"N\"=\"\xC3\xA9\xF0\x9F\x98\x80\"\n"
        "\"Port\"=dword:00000fa0\n\"Short\"=dword:7\n"
        "\"Bin\"=hex:0a,FF,\\\n"
        "  00,3\n"
        "\"Expand\"=hex(2):41,00,00,00\n"
        "\"Empty\"=hex:\n"
        "@=\"d\"\n");
    // Text is UTF-16LE with its zero: C : \ R blank " x ", then U+00E9 and U+1F600 as the
    // surrogates D83D DE00.
    EXPECT_EQ(Value(file, "Path"), (Typed{1, {'C', 0, ':', 0, '\\', 0, 'R', 0, ' ', 0, '"', 0,
                                              'x', 0, '"', 0, 0, 0}}));
    EXPECT_EQ(Value(file, "N"), (Typed{1, {0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}}));
    // A DWORD is four little-endian bytes; hex keeps its type, over continuation lines.
    EXPECT_EQ(Value(file, "Port"), (Typed{4, {0xA0, 0x0F, 0, 0}}));
    EXPECT_EQ(Value(file, "Short"), (Typed{4, {7, 0, 0, 0}}));
    EXPECT_EQ(Value(file, "Bin"), (Typed{3, {0x0A, 0xFF, 0x00, 0x03}}));
    EXPECT_EQ(Value(file, "Expand"), (Typed{2, {0x41, 0, 0, 0}}));
    EXPECT_EQ(Value(file, "Empty"), (Typed{3, {}}));
    EXPECT_EQ(Value(file, ""), (Typed{1, {'d', 0, 0, 0}}));  // the key's default value
}

TEST(RegistryFile, NamesCompareWithoutCase)
{
    const RegistryFile file =
        ParseBody("[hkey_current_user\\software\\TARVEX]\n\"LiveLinkPort\"=dword:1\n");
    EXPECT_TRUE(file.HasKey("HKEY_CURRENT_USER\\Software\\Tarvex"));
    EXPECT_NE(Find(file, "livelinkport"), nullptr);
}

TEST(RegistryFile, KeyExistsWhenItOrAKeyBelowItIsNamed)
{
    const RegistryFile file = ParseBody("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5]\n");
    EXPECT_TRUE(file.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel 5"));
    EXPECT_TRUE(file.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex"));
    EXPECT_TRUE(file.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE"));
    EXPECT_TRUE(file.HasKey("HKEY_CURRENT_USER"));  // a root always exists
    EXPECT_FALSE(file.HasKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex\\Vistrel"));
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\SOFTWARE"));
    EXPECT_FALSE(file.HasKey("HKEY_NOWHERE\\SOFTWARE"));
    // Implied keys exist but hold no values.
    EXPECT_EQ(file.Values("HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvex"), nullptr);
}

TEST(RegistryFile, LaterLinesDeleteAndReplace)
{
    const RegistryFile file = ParseBody(
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\n"
        "\"A\"=\"1\"\n\"B\"=\"2\"\n\"A\"=dword:2\n\"B\"=-\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Gone\\Sub]\n\"X\"=\"x\"\n"
        "[-HKEY_CURRENT_USER\\SOFTWARE\\Gone]\n"
        "\"Y\"=\"after a deleted key: goes nowhere\"\n");
    EXPECT_EQ(Value(file, "A"), (Typed{4, {2, 0, 0, 0}}));
    EXPECT_EQ(Value(file, "B").first, kMissing);
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\SOFTWARE\\Gone"));
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\SOFTWARE\\Gone\\Sub"));
}

TEST(RegistryFile, MalformedLinesReadAsMissing)
{
    const RegistryFile file = ParseBody(
        "\"Orphan\"=\"before any key\"\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\n"
        "\"Unclosed\"=\"abc\n"
        "\"Trailing\"=\"abc\" x\n"
        "\"BadEscape\"=\"a\\tb\"\n"
        "\"LongDword\"=dword:123456789\n"
        "\"NotHexDword\"=dword:12g4\n"
        "\"EmptyDword\"=dword:\n"
        "\"BadHex\"=hex:1,zz\n"
        "\"WideHexByte\"=hex:123\n"
        "\"UnknownForm\"=qword:1\n"
        "\"NoEquals\" \"x\"\n"
        "; \"Comment\"=\"x\"\n"
        "\"Good\"=\"kept\"\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\\\Double]\n"
        "\"InBadKey\"=\"x\"\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Unclosed\n"
        "\"InUnclosedKey\"=\"x\"\n");
    const RegistryFile::ValueMap* values = file.Values(kKey);
    ASSERT_NE(values, nullptr);
    ASSERT_EQ(values->size(), 1u);
    EXPECT_EQ(values->begin()->first, "GOOD");
    EXPECT_FALSE(file.HasKey("HKEY_CURRENT_USER\\SOFTWARE\\Unclosed"));
}

TEST(RegistryFile, WithoutTheHeaderThereAreNoKeys)
{
    const std::string body = "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\n\"A\"=\"1\"\n";
    EXPECT_FALSE(RegistryFile::Parse(body).HasKey(kKey));
    EXPECT_FALSE(RegistryFile::Parse("REGEDIT4\n" + body).HasKey(kKey));
    EXPECT_FALSE(RegistryFile::Parse("\n" + kHeader + body).HasKey(kKey));
    EXPECT_FALSE(RegistryFile::Parse("").HasKey(kKey));
}

TEST(RegistryFile, ReadsUtf8AndUtf16FilesWithByteOrderMarks)
{
    const std::string text = kHeader + "[HKEY_CURRENT_USER\\SOFTWARE\\Tarvex]\n\"A\"=\"1\"\n";
    EXPECT_NE(Find(RegistryFile::Parse("\xEF\xBB\xBF" + text), "A"), nullptr);

    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(Value(RegistryFile::Parse(utf16), "A"), (Typed{1, {'1', 0, 0, 0}}));
}

TEST(RegistryFile, MissingOrUnreadableFileHoldsNoKeys)
{
    EXPECT_FALSE(RegistryFile::Load("/nonexistent/folder/registry.reg").HasKey(kKey));
    EXPECT_FALSE(RegistryFile::Load(std::filesystem::temp_directory_path().string()).HasKey(kKey));
}

}  // namespace
