#include "scene/scene_api_file.h"

#include <clocale>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "tests/file_text.h"
#include "tests/scene_test_file.h"
#include "tests/scoped_temp_folder.h"

namespace {

using SceneApiFile = SceneWriterTest;

// Any numeric locale other than "C" that this machine knows, or null.
const char* OtherNumericLocale()
{
    static const char* const candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", "C.utf8",
                                             "German_Germany.1252", "English_United States.1252"};
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : candidates) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            std::setlocale(LC_NUMERIC, before.c_str());
            return name;
        }
    }
    return nullptr;
}

} // namespace

TEST(SceneApiFileLocale, NumericLocaleIsCWhileTheWriterLivesAndRestoredAfter)
{
    const char* other = OtherNumericLocale();
    if (other == nullptr)
        GTEST_SKIP() << "no numeric locale besides C on this machine";
    const std::string original = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, other);
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    {
        SceneTestFile file;
        trvScene_api_file writer(file.get(), false);
        EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    }
    EXPECT_EQ(std::setlocale(LC_NUMERIC, nullptr), before);
    std::setlocale(LC_NUMERIC, original.c_str());
}

TEST(SceneApiFileOutput, EveryFormattedWriteReachesAnotherReaderAtOnce)
{
    ScopedTempFolder folder;
    FILE* file = std::fopen("scene.vsb", "wb+");
    ASSERT_NE(file, nullptr);
    trvScene_api_file writer(file, false);
    writer.Render(); // indented text only
    EXPECT_EQ(ReadFile("scene.vsb"), "\nrender\n");
    writer.BeginGroup("g", true); // ends with plain text
    EXPECT_EQ(ReadFile("scene.vsb"), "\nrender\n\ngroup \"g\" {\n");
}

TEST_F(SceneApiFile, ReservedOperationsAnswerTheirFixedValuesAndWriteNothing)
{
    trvScene_api& api = writer;
    EXPECT_FALSE(api.Connect("127.0.0.1", 5000, 5));
    EXPECT_FALSE(api.Disconnect());
    EXPECT_FALSE(api.Reserved5(1, 2, 3));
    EXPECT_EQ(api.Reserved17(1234), 1234u);
    EXPECT_EQ(api.Reserved30(0xFFFFFFFF), 0xFFFFFFFFu);
    EXPECT_EQ(api.Reserved42(), 0u);
    EXPECT_FALSE(api.Reserved45(1));
    EXPECT_FALSE(api.Reserved57(1));
    EXPECT_EQ(api.Reserved75(), 10u);
    EXPECT_EQ(api.Reserved78(3), 10u);
    api.Reserved1();
    api.Reserved32(1, 2);
    api.Reserved46();
    api.Reserved66(1);
    EXPECT_EQ(file.All(), "");
}

TEST_F(SceneApiFile, SingleLineStatements)
{
    // Icons and binary values are hexadecimal after an indented head.
    const unsigned char bytes[] = {0x0A, 0xFF};
    writer.SetIcon(bytes, 2);
    EXPECT_EQ(file.Take(), "icon bX0aff\n");
    EXPECT_TRUE(writer.Render());
    EXPECT_EQ(file.Take(), "\nrender\n");
    writer.BeginFrame(1); // indentation 2 from here on
    file.Take();
    writer.Render();
    EXPECT_EQ(file.Take(), "  \n  render\n");
    writer.SetGlobalPhotons(100);
    writer.SetCausticPhotons(-1);
    writer.SetVolumePhotons(0);
    EXPECT_EQ(file.Take(), "  global photons 100\n  caustic photons -1\n  volume photons 0\n");
    writer.SetAttribute("key", "va\xE9");
    EXPECT_EQ(file.Take(), "  attribute \"key\" xX7661e9\n");
    writer.ReportProgress("load", 0.5f);
    EXPECT_EQ(file.Take(), "  progress \"load\" 0.500000\n\n");
    writer.SetId(1);
    writer.SetId(4294967295u);
    EXPECT_EQ(file.Take(), "  id 1\n  id 4294967295\n");
    writer.SetIcon(bytes, 2);
    EXPECT_EQ(file.Take(), "  icon bX0aff  \n");
    writer.SetBinaryValue("blob", bytes, 0);
    EXPECT_EQ(file.Take(), "  blob bX  \n");
}

TEST_F(SceneApiFile, FlagsAreWrittenOutsideObjectsOnly)
{
    writer.SetFlags(0x8000);
    EXPECT_EQ(file.Take(), "flags 32768\n");
    writer.BeginObject("o", true);
    file.Take();
    writer.SetFlags(0x400);
    EXPECT_EQ(file.Take(), "");
    writer.EndObject();
    file.Take();
    writer.SetFlags(0x10400);
    EXPECT_EQ(file.Take(), "flags 66560\n");
}

TEST_F(SceneApiFile, RawTextIsFormattedOnceCutAt4095CharactersAndIndented)
{
    const std::string longText(5000, 'r');
    writer.WriteRaw("%s", longText.c_str());
    EXPECT_EQ(file.Take(), longText.substr(0, 4095));
    writer.WriteRaw("//---tarvex:dal:%d---\n", 7);
    writer.WriteRaw("%s", "100% done\n");
    EXPECT_EQ(file.Take(), "//---tarvex:dal:7---\n100% done\n");
    writer.BeginFrame(0);
    file.Take();
    writer.WriteRaw("a\nb\n");
    EXPECT_EQ(file.Take(), "  a\n  b\n");
}

TEST_F(SceneApiFile, OutputModeSwitchesBinaryArraysByItsSecondBit)
{
    EXPECT_EQ(writer.SetOutputMode(0x2, 99), 0x2u);
    EXPECT_EQ(writer.State().binaryArrays, 1);
    EXPECT_EQ(writer.State().outputMode, 0x2u);
    EXPECT_EQ(writer.SetOutputMode(0x5, 0), 0x5u);
    EXPECT_EQ(writer.State().binaryArrays, 0);
    EXPECT_EQ(writer.SetOutputMode(0xFFFFFFFF, 0), 0xFFFFFFFFu);
    EXPECT_EQ(writer.State().binaryArrays, 1);
    EXPECT_EQ(file.All(), "");
}

TEST(SceneApiFileWithoutFile, WritesNothingButStillChangesItsState)
{
    trvScene_api_file writer(nullptr, true);
    writer.BeginGroup("g", true);
    EXPECT_EQ(writer.State().indent, 2);
    EXPECT_EQ(writer.State().paramStyle, 1);
    EXPECT_TRUE(writer.BeginCamera("c"));
    EXPECT_EQ(writer.State().openBlock, TopBlock::Camera);
    writer.EndCamera();
    EXPECT_TRUE(writer.BeginShader(nullptr, "t"));
    const float f = 1;
    writer.SetParameter("p", SceneValueType::Float, &f);
    ShaderBuffer* buffer = writer.CurrentShaderBuffer();
    ASSERT_NE(buffer, nullptr);
    writer.EndShader(1);
    EXPECT_EQ(writer.CurrentShaderBuffer(), buffer);
    writer.BindShader(0, buffer);
    writer.BeginArray("a");
    writer.AddArrayElement(SceneValueType::Float, &f);
    EXPECT_EQ(writer.State().accumulator.count, 1);
    writer.EndArray();
    writer.EndGroup();
    EXPECT_EQ(writer.State().indent, 0);
    EXPECT_EQ(writer.State().paramStyle, 0);
}

// Place 0 destroys the writer, which frees every capture buffer (the sanitizer build reports
// any left behind); its flag says whether the writer's own memory is freed as well: a writer
// made in storage of the caller's is only destroyed.
TEST(SceneApiFileLifecycle, DeletingDestructorFreesEveryCaptureBufferAndItselfAsFlagged)
{
    for (const unsigned int flags : {kDeleteFreesMemory, 0u}) {
        SceneTestFile file;
        alignas(trvScene_api_file) unsigned char storage[sizeof(trvScene_api_file)];
        trvScene_api* api = flags != 0 ? new trvScene_api_file(file.get(), true)
                                       : new (storage) trvScene_api_file(file.get(), true);
        for (int i = 0; i < 40; ++i) { // more buffers than the registry's first storage holds
            api->BeginShader(nullptr, "t");
            const std::int32_t value = i;
            api->SetParameter("i", SceneValueType::Int, &value);
            api->EndShader(1);
        }
        api->BeginGroup("left open", true);
        const std::string written = file.All();
        api->DeletingDestructor(flags); // closes the file
        EXPECT_EQ(written, "\ngroup \"left open\" {\n");
    }
}
