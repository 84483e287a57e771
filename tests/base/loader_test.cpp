#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/scratch.h"

namespace {

struct PluginFile {
    const char* fixture;  // built test plug-in
    const char* file;     // its name in the plugin folder
};

// Lays out a plugin folder and runs the loader on it in a fresh process
// started in the folder above it.
ProcessResult open_core_with(const std::vector<PluginFile>& plugins, bool with_folder = true,
                             std::string* plugin_folder = nullptr)
{
    ScratchFolder scratch;
    if (with_folder) make_folder(scratch / "plugin");
    for (const PluginFile& plugin : plugins)
        copy_file(std::string(ZR_FIXTURE_DIR) + "/" + plugin.fixture + ".so", scratch / ("plugin/" + std::string(plugin.file)));
    if (plugin_folder) *plugin_folder = scratch / "plugin";
    return run_process(std::string(ZR_FIXTURE_DIR) + "/loader_probe " + scratch.path());
}

// The line before the unbound modules' lines: where the plug-ins were looked for.
std::string looked_in(const std::string& plugin_folder)
{
    return "ERROR: Plug-ins are looked for in " + plugin_folder +
           ": start the program from its own folder, as ./play.sh does\n";
}

// Lines of output that begin with prefix, in order.
std::vector<std::string> lines_starting(const std::string& output, const std::string& prefix)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

const char* const kNoGraphics = "ERROR: No graphics module successfully bound\n";
const char* const kNoInput = "ERROR: No input module successfully bound\n";
const char* const kNoSystem = "ERROR: No system module successfully bound\n";

}  // namespace

TEST(Loader, EmptyOrMissingFolderBindsNothingAndSaysSo)
{
    for (bool with_folder : {true, false}) {
        std::string plugin_folder;
        const ProcessResult result = open_core_with({}, with_folder, &plugin_folder);
        ASSERT_EQ(result.exit_code, 0) << result.output;
        EXPECT_NE(result.output.find("open true\ncount 0\n"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find(looked_in(plugin_folder) + kNoGraphics + kNoInput + kNoSystem), std::string::npos)
            << result.output;
        EXPECT_EQ(count_of(result.output, "Plug-ins are looked for"), 1);
        EXPECT_NE(result.output.find("graphics unbound input unbound system unbound net unbound audio unbound"),
                  std::string::npos);
    }
}

TEST(Loader, LibraryMissingAnExportIsReleasedAndTakesNoId)
{
    const ProcessResult result = open_core_with({{"fx_five", "a_five.so"}, {"fx_mesh", "b_mesh.so"}, {"fx_mesh", "c.txt"}});
    EXPECT_NE(result.output.find("ERROR: Attempt to load module a_five.so failed\n"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("loading plugin: MOD-Five"), std::string::npos);
    EXPECT_NE(result.output.find("loading plugin: Mesh-Ferry\n"), std::string::npos);
    EXPECT_NE(result.output.find("count 1\nplugin 0 Mesh-Ferry ModelImport\n"), std::string::npos) << result.output;
}

TEST(Loader, SuffixIsMatchedWithoutRegardToCase)
{
    const ProcessResult result = open_core_with({{"fx_mesh", "mesh.SO"}});
    EXPECT_NE(result.output.find("count 1\n"), std::string::npos) << result.output;
}

TEST(Loader, TrellisBeforeWirelinkBindsEverythingInTheFirstPass)
{
    const ProcessResult result = open_core_with({{"fx_trellis", "a_trellis.so"}, {"fx_wirelink", "b_wirelink.so"}});
    EXPECT_NE(result.output.find("graphics bound input bound system bound net bound audio unbound"), std::string::npos)
        << result.output;
    // Pass one binds all four kinds; pass two binds nothing and ends the loop.
    EXPECT_EQ(count_of(result.output, "MOD-Trellis: prereqs"), 2);
    EXPECT_EQ(count_of(result.output, "MOD-Wirelink: prereqs"), 2);
    EXPECT_EQ(lines_starting(result.output, "MOD-"),
              (std::vector<std::string>{"MOD-Trellis: prereqs", "MOD-Trellis: initialize with parameters",
                                        "MOD-Trellis: connect GRAPHICS", "MOD-Trellis: connect INPUT",
                                        "MOD-Trellis: connect SYSTEM", "MOD-Wirelink: prereqs",
                                        "MOD-Wirelink: initialize with parameters", "MOD-Wirelink: connect NET",
                                        "MOD-Trellis: prereqs", "MOD-Wirelink: prereqs"}));
    EXPECT_EQ(result.output.find("ERROR: No"), std::string::npos);
    EXPECT_EQ(result.output.find("Plug-ins are looked for"), std::string::npos);
}

TEST(Loader, WirelinkBeforeTrellisWaitsOnePass)
{
    const ProcessResult result = open_core_with({{"fx_wirelink", "a_wirelink.so"}, {"fx_trellis", "b_trellis.so"}});
    EXPECT_NE(result.output.find("graphics bound input bound system bound net bound"), std::string::npos) << result.output;
    EXPECT_EQ(count_of(result.output, "MOD-Wirelink: prereqs"), 3);
    EXPECT_EQ(count_of(result.output, "MOD-Trellis: prereqs"), 3);
    const std::vector<std::string> connects = lines_starting(result.output, "MOD-");
    const std::vector<std::string> expected = {"MOD-Wirelink: prereqs", "MOD-Trellis: prereqs",
                                               "MOD-Trellis: initialize with parameters", "MOD-Trellis: connect GRAPHICS",
                                               "MOD-Trellis: connect INPUT", "MOD-Trellis: connect SYSTEM",
                                               "MOD-Wirelink: prereqs", "MOD-Wirelink: initialize with parameters",
                                               "MOD-Wirelink: connect NET", "MOD-Trellis: prereqs",
                                               "MOD-Wirelink: prereqs", "MOD-Trellis: prereqs"};
    EXPECT_EQ(connects, expected);
}

TEST(Loader, PrerequisiteNeverMetLeavesThePluginLoadedAndUnbound)
{
    for (const char* fixture : {"fx_wirelink", "fx_orphan"}) {
        const ProcessResult result = open_core_with({{fixture, "net.so"}});
        EXPECT_NE(result.output.find("count 1\n"), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("net unbound"), std::string::npos);
        EXPECT_EQ(result.output.find(": initialize"), std::string::npos);
        EXPECT_NE(result.output.find(std::string(kNoGraphics) + kNoInput + kNoSystem), std::string::npos);
    }
}

TEST(Loader, KindGoesToTheFirstPluginThatAcceptsIt)
{
    const ProcessResult result = open_core_with({{"fx_trellis", "a.so"}, {"fx_second", "b.so"}});
    EXPECT_NE(result.output.find("MOD-Trellis: connect GRAPHICS"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("MOD-Second: connect GRAPHICS"), std::string::npos);
    EXPECT_NE(result.output.find("MOD-Second: connect AUDIO"), std::string::npos);
    EXPECT_NE(result.output.find("audio bound"), std::string::npos);
}

TEST(Loader, PluginThatCannotHandOverATableLeavesTheKindForTheNext)
{
    const ProcessResult result = open_core_with({{"fx_broken", "a.so"}, {"fx_trellis", "b.so"}});
    EXPECT_NE(result.output.find("ERROR: Could not grab graphics interface from MOD-Broken\n"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("MOD-Trellis: connect GRAPHICS"), std::string::npos);
    EXPECT_EQ(count_of(result.output, "Could not grab"), 1) << "opening ends: the failure is not a binding";
}

TEST(Loader, ModelImportLookupAndCalls)
{
    const ProcessResult result = open_core_with({{"fx_trellis", "a.so"}, {"fx_mesh", "b.so"}});
    EXPECT_NE(result.output.find("first ModelImport FBX 1\nfirst ModelImport any 1\nfirst ModelImport XYZ -1\n"),
              std::string::npos)
        << result.output;
    // The importer is initialised only by the first call that reaches it.
    const size_t initialised = result.output.find("Mesh-Ferry: initialize");
    ASSERT_NE(initialised, std::string::npos);
    EXPECT_GT(initialised, result.output.find("first ModelImport XYZ"));
    EXPECT_NE(result.output.find("Mesh-Ferry: import_mesh_set cart.fbx\ncall import 7\n"), std::string::npos);
    EXPECT_NE(result.output.find("call missing 0\n"), std::string::npos);
}

TEST(Loader, InvalidIdsAreReportedAndNeverCalled)
{
    const ProcessResult result = open_core_with({{"fx_mesh", "a.so"}});
    EXPECT_NE(result.output.find("ERROR: Invalid plugin Id-1\nname -1 INVALID\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("ERROR: Invalid plugin Id1\npurpose past end INVALID\n"), std::string::npos);
    EXPECT_NE(result.output.find("compatible -1 0\n"), std::string::npos);
    EXPECT_NE(result.output.find("function -1 null\n"), std::string::npos);
    EXPECT_NE(result.output.find("call -1 0\n"), std::string::npos);
}

TEST(Loader, UniquePointerKeepsTheFirstAndRefusesNull)
{
    const ProcessResult result = open_core_with({});
    EXPECT_NE(result.output.find("unique 42 first\nunique 43 null\n"), std::string::npos) << result.output;
}
