// The Export command end to end: the simulated host loads the plug-in library, the user saves the
// sample assembly as a scene file, and the file holds the head, the cameras and one group per
// component in the assembly's order, with their placements, flags and materials; or, when the
// file cannot be written, the user is told so, no file is left, and what stood at the path
// stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <set>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "simhost/simulated_host.h"
#include "tests/expected_scene_heads.h"
#include "tests/file_text.h"
#include "tests/plugin_command_line.h"
#include "tests/scoped_temp_folder.h"
#include "tests/test_paths.h"
#ifndef _WIN32
#include "tests/socket_file.h"
#endif
#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A transform line with its numbers rounded to 6 decimals, so that the last bits of a quarter
// turn (cos 90 degrees, which the host's maths library gives as some 6e-17) read as 0.
std::string Rounded(const std::string& line) {
    const size_t numbers = line.find("transform ") + 10;
    std::istringstream in(line.substr(numbers));
    std::string rounded = line.substr(0, numbers);
    double value = 0.0;
    for (int i = 0; in >> value; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%.6g", i > 0 ? " " : "",
                      std::fabs(value) < 1e-9 ? 0.0 : value);
        rounded += text;
    }
    return rounded;
}

// The lines of text that stand at one of the indentations and open a group or give flags or a
// transform, from the first component group (indentation 2) on: the components' groups and
// what they carry.
Lines Outline(const std::string& text, std::initializer_list<int> indents) {
    Lines outline;
    const size_t start = text.find("\n  group ");
    std::istringstream lines(start == std::string::npos ? "" : text.substr(start + 1));
    std::string line;
    while (std::getline(lines, line)) {
        for (int indent : indents) {
            for (const char* kind : {"group \"", "flags ", "transform "}) {
                if (line.rfind(std::string(indent, ' ') + kind, 0) != 0) continue;
                outline.push_back(kind[0] == 't' ? Rounded(line) : line);
            }
        }
    }
    return outline;
}

Lines ComponentOutline(const std::string& scene) { return Outline(scene, {2, 4}); }

// The text of the n-th (0-based) group at indentation 2 named name, up to the next one.
std::string TopLevelGroup(const std::string& scene, const std::string& name, int n) {
    const std::string head = "\n  group \"" + name + "\" {\n";
    size_t at = scene.find(head);
    for (int i = 0; i < n && at != std::string::npos; ++i) at = scene.find(head, at + 1);
    if (at == std::string::npos) return std::string();
    const size_t end = scene.find("\n  group ", at + 1);
    return scene.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

class ExportCommand : public ::testing::Test {
protected:
    int RunExport(const std::string& model, const std::string& saveAs = "out.vsb") {
        sim::CommandLine options = PluginCommandLine();
        options.model = HostPath(model);
        options.saveAs = saveAs;
        options.record = "record.json";
        options.commands = {"Vistrel Export"};
        std::ostringstream out;
        std::ostringstream err;
        const int status = sim::RunSimulatedHost(options, out, err);
        errors_ = err.str();
        record_ = nlohmann::json::parse(ReadFile("record.json"));
        return status;
    }

    // The names in a folder but the run's record and the plug-in's settings file: what exports
    // left there.
    static std::set<std::string> Listing(const fs::path& folder = ".") {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().u8string());
        for (const char* run : {"record.json", "vistrel_plugin_settings.xml"}) names.erase(run);
        return names;
    }

    // Exports the single part to path and checks that it was written whole.
    void ExportsWhole(const std::string& path) {
        ASSERT_EQ(RunExport(VISTREL_SOURCE_DIR "/examples/single_part.json", path), 0) << errors_;
        EXPECT_EQ(EndOfCommandText(), "The Vistrel export has finished.");
        EXPECT_EQ(ReadFile(path).substr(0, 21), "//---tarvex:dal:7---\n");
        EXPECT_EQ(ReadFile(path).substr(ReadFile(path).size() - 6), "  }\n}\n");
    }

    // The text on the label of the dialog that ended the command.
    std::string EndOfCommandText() const {
        return record_["dialogs"].back()["controls"][0]["properties"]["text"];
    }

    ScopedTempFolder folder_;
    std::string errors_;
    nlohmann::json record_;
};

TEST_F(ExportCommand, SampleAssemblyBecomesASceneFileWithAGroupPerComponent) {
    ASSERT_EQ(RunExport(VISTREL_SOURCE_DIR "/examples/sample_assembly.json"), 0) << errors_;
    const std::string scene = ReadFile(folder_.Path() / "out.vsb");

    // The head: the assembly is in millimetres, the settings are the defaults.
    const std::string head = ExpectedExportHead("7", "1", "1000") + "\ngroup \"ROBOT_CELL\" {\n";
    ASSERT_EQ(scene.substr(0, head.size()), head);

    // The current view's camera, then the three saved views, before the first component.
    const size_t firstGroup = scene.find("\n  group ");
    size_t at = head.size();
    for (const char* camera : {"Current Creo camera", "FRONT", "TOP", "ISO"}) {
        at = scene.find(std::string("camera \"") + camera + "\" {\n", at);
        ASSERT_LT(at, firstGroup) << camera;
    }

    // The plate, the two arms (each with its own surfaces after its group); the hidden cover and
    // the suppressed bracket are left out. With NURBS on, each material group of a solid is a
    // group of its own inside the solid's group.
    const std::string second = "0 1 0 0 -1 0 0 0 0 0 1 0 320 40 20 1";
    const Lines expected = {
        "  group \"BASE_PLATE\" {", "    flags 1024", "    group \"BASE_PLATE\" {",
        "    group \"BASE_PLATE\" {", "    transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1",
        "  group \"ARM\" {", "    flags 32768", "    group \"ARM_LINK\" {", "    group \"BOLT\" {",
        "    group \"BOLT\" {", "    transform 1 0 0 0 0 1 0 0 0 0 1 0 50 150 20 1",
        "  group \"ARM\" {", "    flags 1024", "    group \"ARM\" {",
        "    transform 1 0 0 0 0 1 0 0 0 0 1 0 50 150 20 1",
        "  group \"ARM\" {", "    flags 32768", "    group \"ARM_LINK\" {", "    group \"BOLT\" {",
        "    group \"BOLT\" {", "    transform " + second,
        "  group \"ARM\" {", "    flags 1024", "    group \"ARM\" {", "    transform " + second};
    EXPECT_EQ(ComponentOutline(scene), expected);
    EXPECT_EQ(scene.substr(scene.size() - 6), "  }\n}\n");

    // Parts in a sub-assembly are placed in the sub-assembly's coordinates. Inside the second
    // arm the representation leaves the second bolt's geometry out: its group holds its
    // placement alone.
    const Lines armParts = {
        "    flags 32768",
        "    group \"ARM_LINK\" {", "      flags 1024", "      group \"ARM_LINK\" {",
        "      transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1",
        "    group \"BOLT\" {", "      flags 1024", "      group \"BOLT\" {",
        "      transform 1 0 0 0 0 1 0 0 0 0 1 0 20 0 -5 1",
        "    group \"BOLT\" {"};
    Lines first = armParts;
    first.insert(first.end(), {"      flags 1024", "      group \"BOLT\" {",
                               "      transform 1 0 0 0 0 1 0 0 0 0 1 0 160 0 -5 1",
                               "    transform 1 0 0 0 0 1 0 0 0 0 1 0 50 150 20 1"});
    Lines secondArm = armParts;
    secondArm.insert(secondArm.end(), {"      transform 1 0 0 0 0 1 0 0 0 0 1 0 160 0 -5 1",
                                       "    transform " + second});
    EXPECT_EQ(Outline(TopLevelGroup(scene, "ARM", 0), {4, 6}), first);
    EXPECT_EQ(Outline(TopLevelGroup(scene, "ARM", 2), {4, 6}), secondArm);

    // Geometry goes out as binary arrays, each object with its material.
    EXPECT_NE(scene.find(std::string("\x01\x02\x03" "c", 4)), std::string::npos);
    EXPECT_NE(TopLevelGroup(scene, "BASE_PLATE", 0).find("material \""), std::string::npos);

    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
    EXPECT_TRUE(record_["host_memory"].empty()) << record_["host_memory"].dump();
    ASSERT_EQ(record_["dialogs"].size(), 1u);
    EXPECT_EQ(record_["dialogs"][0]["name"], "ExportFinished");
    EXPECT_EQ(EndOfCommandText(), "The Vistrel export has finished.");
}

// What cannot be written or replaced is reported and left as it was, nothing beside it: a missing
// folder, a name too long, a new file in a read-only folder, a folder, a read-only file, a FIFO
// (whose first write would hold the host, waiting for a reader), a socket.
TEST_F(ExportCommand, WhatCannotBeWrittenIsReportedAndLeftAsItWas) {
    fs::create_directory("scenes");
    std::vector<std::string> paths = {"missing/out.vsb", std::string(252, 'n') + ".vsb", "scenes"};
    const auto writing = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::create_directory("read_only");
    fs::permissions("read_only", writing, fs::perm_options::remove);
    if (!std::ofstream("read_only/probe")) paths.push_back("read_only/out.vsb");  // not as root
#ifndef _WIN32  // wine replaces a read-only file when it runs as root
    std::ofstream("kept.vsb") << "previous scene";
    fs::permissions("kept.vsb", fs::perms::owner_read);
    ASSERT_EQ(mkfifo("fifo", 0600), 0);
    ASSERT_TRUE(MakeSocket("socket"));
    paths.insert(paths.end(), {"kept.vsb", "fifo", "socket"});
#endif
    const std::set<std::string> before = Listing();
    std::error_code error;
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        const fs::file_type type = fs::status(path, error).type();
        ASSERT_EQ(RunExport(VISTREL_SOURCE_DIR "/examples/single_part.json", path), 0) << errors_;
        EXPECT_EQ(EndOfCommandText(), "The Vistrel scene file could not be written: " + path);
        EXPECT_EQ(fs::status(path, error).type(), type);
        EXPECT_TRUE(path != "kept.vsb" || ReadFile(path) == "previous scene");
        EXPECT_EQ(Listing(), before);
    }
    EXPECT_TRUE(fs::is_empty("scenes"));
    fs::permissions("read_only", writing, fs::perm_options::add);
    EXPECT_TRUE(Listing("read_only").size() <= 1u);  // the probe, as root
}

// Every name up to the file system's 255 bytes exports, a file there or not, however many
// temporary files killed exports left beside it (also under this process's own names): those stay.
TEST_F(ExportCommand, AnyValidNameExportsWhateverWasLeftBesideIt) {
    std::ofstream("out.vsb") << "previous scene";
    const std::string pid = std::to_string(GetCurrentProcessId());
    for (int n = 0; n < 100; ++n) {
        std::ofstream("out.vsb." + std::to_string(n) + ".tmp") << "left over";
        std::ofstream("~vistrel" + pid + "-" + std::to_string(n) + ".tmp") << "left over";
    }
    std::set<std::string> expected = Listing();
    for (const std::string& path : {std::string(251, 'n') + ".vsb", std::string("out.vsb")}) {
        SCOPED_TRACE(path.size());
        ExportsWhole(path);
        expected.insert(path);
        EXPECT_EQ(Listing(), expected);
    }
    EXPECT_EQ(ReadFile("~vistrel" + pid + "-99.tmp"), "left over");
}

#ifndef _WIN32
// The replaced file keeps its mode, owner and group (as root another group, else the user's); a
// writable file in a read-only folder is written in place (not as root, whom folders do not bind).
TEST_F(ExportCommand, TheReplacedFileKeepsItsPermissions) {
    const gid_t group = geteuid() == 0 ? 4242 : getegid();
    fs::create_directory("locked");
    for (const auto& [path, mode] : {std::pair<const char*, mode_t>{"private.vsb", 0600},
                                     {"shared.vsb", 0640}, {"locked/out.vsb", 0600}}) {
        std::ofstream(path) << "previous scene";
        ASSERT_EQ(chmod(path, mode), 0);
        ASSERT_EQ(chown(path, static_cast<uid_t>(-1), mode == 0640 ? group : getegid()), 0);
        if (path[0] == 'l' && geteuid() == 0) GTEST_SKIP() << "a read-only folder, as root";
        ASSERT_EQ(path[0] == 'l' ? chmod("locked", 0500) : 0, 0);
        struct stat before = {};
        stat(path, &before);
        ExportsWhole(path);
        struct stat after = {};
        stat(path, &after);
        EXPECT_EQ(after.st_mode & 07777, mode) << path;
        EXPECT_EQ(after.st_uid, before.st_uid) << path;
        EXPECT_EQ(after.st_gid, before.st_gid) << path;
    }
    EXPECT_EQ(Listing("locked"), std::set<std::string>{"out.vsb"});
    chmod("locked", 0700);
}
#endif

#ifndef _WIN32
// A full file system cuts the file short (here a limit on the size of files the process
// writes): what was written is removed, and the scene exported before stays whole; through a
// symbolic link, the link stays too.
TEST_F(ExportCommand, AFileCutShortIsRemovedAndThePreviousSceneKept) {
    fs::create_directory("scenes");
    std::ofstream("scenes/cell.vsb") << "previous scene";
    fs::create_symlink("scenes/cell.vsb", "cell.vsb");
    std::ofstream("out.vsb") << "previous scene";
    for (const std::string path : {"out.vsb", "cell.vsb"}) {
        SCOPED_TRACE(path);
        rlimit limit = {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit unlimited = limit;
        limit.rlim_cur = 65536;
        const auto signal = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead
        setrlimit(RLIMIT_FSIZE, &limit);
        const int status = RunExport(VISTREL_SOURCE_DIR "/examples/sample_assembly.json", path);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, signal);
        ASSERT_EQ(status, 0) << errors_;
        EXPECT_EQ(EndOfCommandText(), "The Vistrel scene file could not be written: " + path);
        EXPECT_EQ(ReadFile(path), "previous scene");
    }
    EXPECT_TRUE(fs::is_symlink("cell.vsb"));
    EXPECT_EQ(Listing(), (std::set<std::string>{"cell.vsb", "out.vsb", "scenes"}));
    EXPECT_EQ(Listing("scenes"), std::set<std::string>{"cell.vsb"});

    // Exported again through the link, the file it points at is replaced and the link stays;
    // through a link to a file not made yet, the file is made where the link points. Only the
    // links' files are added.
    fs::create_symlink("scenes/new.vsb", "new.vsb");
    for (const std::string path : {"cell.vsb", "new.vsb"}) {
        ExportsWhole(path);
        EXPECT_TRUE(fs::is_symlink(path));
    }
    EXPECT_EQ(Listing("scenes"), (std::set<std::string>{"cell.vsb", "new.vsb"}));
}

// An existing file whose final path the system cannot tell (here: deeper than the longest path
// the system gives back) is replaced as any other, through the path as given.
TEST_F(ExportCommand, AFileWhoseFinalPathTheSystemCannotTellIsReplaced) {
    const std::string level(200, 'd');
    for (int depth = 0; depth < 22; ++depth) {
        fs::create_directory(level);
        fs::current_path(level);
    }
    std::ofstream("out.vsb") << "previous scene";
    ExportsWhole("out.vsb");
    EXPECT_EQ(Listing(), std::set<std::string>{"out.vsb"});
    for (int depth = 0; depth < 22; ++depth, fs::remove_all(level))  // level by level
        fs::current_path("..");
}
#endif

TEST_F(ExportCommand, ASinglePartIsOneGroupInTheModelGroup) {
    ASSERT_EQ(RunExport(VISTREL_SOURCE_DIR "/examples/single_part.json"), 0) << errors_;
    const std::string scene = ReadFile(folder_.Path() / "out.vsb");
    EXPECT_NE(scene.find("\n  \"meter_scale\" 39.3701,\n"), std::string::npos);  // inches
    EXPECT_NE(scene.find("\ngroup \"FLANGE\" {\n"), std::string::npos);
    const Lines outline = ComponentOutline(scene);
    ASSERT_GE(outline.size(), 3u);
    EXPECT_EQ(outline[0], "  group \"FLANGE\" {");
    EXPECT_EQ(outline[1], "    flags 1024");
    EXPECT_EQ(outline.back(), "    transform 1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1");
    EXPECT_EQ(std::count(outline.begin(), outline.end(), outline[0]), 1);
    EXPECT_TRUE(record_["problems"].empty()) << record_["problems"].dump();
}

}  // namespace
