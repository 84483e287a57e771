// The real program's models: the first start imports the cart and extra
// models from their fbx files and caches them as jmf; later starts read the jmf.
#include <gtest/gtest.h>

#include "tests/support/scratch.h"

namespace {

const char* const kModels[] = {"carts/Foxcart", "carts/Erminecart", "extraModel/speedboost", "extraModel/finishLine"};

class ModelsRunTest : public ::testing::Test {
protected:
    void SetUp() override { copy_program_with_fake_modules(scratch, "Servers < a >\n"); }
    std::string game(const std::string& model) const { return scratch / ("data/zorblitRally/" + model); }
    ProcessResult start() { return run_process("cd '" + scratch.path() + "' && FAKE_ESCAPE_FRAME=2 ./zorblitrally"); }

    ScratchFolder scratch;
};

TEST_F(ModelsRunTest, FirstStartCachesEveryModelAndTheSecondReadsTheCache)
{
    const ProcessResult first = start();
    EXPECT_EQ(first.exit_code, 0) << first.output;
    EXPECT_EQ(first.output.find("File not found"), std::string::npos) << first.output;
    EXPECT_EQ(first.output.find("Could not find mesh"), std::string::npos) << first.output;
    EXPECT_EQ(first.output.find("ERROR: "), std::string::npos) << first.output;
    std::vector<std::string> cached;
    for (const char* model : kModels) {
        ASSERT_TRUE(file_exists(game(model) + ".jmf")) << model;
        cached.push_back(read_file(game(model) + ".jmf"));
        remove((game(model) + ".fbx").c_str());
    }
    for (const char* folder : {"carts", "extraModel"}) EXPECT_FALSE(any_file_ending_in(game(folder), ".tmp")) << folder;
    const ProcessResult second = start();
    EXPECT_EQ(second.exit_code, 0) << second.output;
    EXPECT_EQ(second.output.find("ERROR: "), std::string::npos) << second.output;
    for (size_t i = 0; i < cached.size(); ++i) EXPECT_EQ(read_file(game(kModels[i]) + ".jmf"), cached[i]);
}

TEST_F(ModelsRunTest, WithoutTheImporterNothingIsCached)
{
    remove((scratch / "plugin/meshferry.so").c_str());
    const ProcessResult run = start();
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_NE(run.output.find("WARNING: could not load model data from the format FBX"), std::string::npos)
        << run.output;
    for (const char* model : kModels) EXPECT_FALSE(file_exists(game(model) + ".jmf")) << model;
}

}  // namespace
