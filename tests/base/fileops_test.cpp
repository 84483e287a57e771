#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "base/fileops.h"
#include "tests/support/scratch.h"

namespace {

// Takes the names of a listing in order and frees the nodes as callers must.
std::vector<std::string> take_names(FileNameNode* node)
{
    std::vector<std::string> names;
    while (node) {
        FileNameNode* next = node->next;
        names.push_back(node->name);
        delete[] node->name;
        delete node;
        node = next;
    }
    return names;
}

using Names = std::vector<std::string>;

// A folder holding files with assorted endings and two sub-folders, one of
// which carries a plug-in ending itself.
class FileOpsListing : public ::testing::Test {
protected:
    FileOpsListing()
    {
        for (const char* name : {"b.so", "Z.so", "c.SO", "a.dll", "x.DLL", "so", "readme", "lib.so.txt"})
            write_file(scratch / name, "x");
        make_folder(scratch / "sub");
        make_folder(scratch / "plug.so");
    }
    Names list(const char* extensions) { return take_names(__mFileOps_collect_files(scratch.path().c_str(), extensions)); }

    ScratchFolder scratch;
};

// The existence test as a user without rights to the file sees it: in a child
// that gives up the super-user's rights when the test has them.
bool exists_for_an_unprivileged_user(const std::string& path)
{
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        _exit(__mFileOps_file_exists(path.c_str()) ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return false;
    EXPECT_NE(WEXITSTATUS(status), 2) << "could not drop the super-user's rights";
    return WEXITSTATUS(status) == 0;
}

// Runs a path splitter into a heap buffer of exactly size bytes, so a write
// past the bound is caught by the address checker.
std::string split(void (*splitter)(char*, const char*), const std::string& path, size_t size)
{
    std::unique_ptr<char[]> out(new char[size]);
    memset(out.get(), 'x', size);
    splitter(out.get(), path.c_str());
    return std::string(out.get(), strnlen(out.get(), size));
}

}  // namespace

TEST(FileOpsExtension, NeedsMoreThanOneCharacterBeforeACaseSensitiveEnding)
{
    struct Case {
        const char* name;
        const char* extension;
        bool matches;
    } cases[] = {
        {"a.dll", ".dll", false},  {"ab.dll", ".dll", true},  {"AB.DLL", ".dll", false},
        {".dll", ".dll", false},   {"dll", ".dll", false},    {"ab.dl", ".dll", false},
        {"model.jmf", ".jmf", true}, {"ab.dllx", ".dll", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(__mFileOps_check_for_extension(c.name, c.extension), c.matches) << c.name << " " << c.extension;
}

TEST_F(FileOpsListing, FiltersByEndingWithoutRegardToCase)
{
    struct Case {
        const char* extensions;
        Names expected;
    } cases[] = {
        // Sorted by name with case folded: a before Z.
        {".so", {"b.so", "c.SO", "Z.so"}},
        {".dll", {"a.dll", "x.DLL"}},
        {".dll;;.so", {"a.dll", "b.so", "c.SO", "x.DLL", "Z.so"}},
        {";.dll;", {"a.dll", "x.DLL"}},
        {".*", {"a.dll", "b.so", "c.SO", "lib.so.txt", "readme", "so", "x.DLL", "Z.so"}},
        // No entries: only folders, "." and ".." included.
        {"", {".", "..", "plug.so", "sub"}},
        {";;", {".", "..", "plug.so", "sub"}},
        {".txt;.none", {"lib.so.txt"}},
    };
    for (const Case& c : cases) EXPECT_EQ(list(c.extensions), c.expected) << '"' << c.extensions << '"';
}

TEST_F(FileOpsListing, AcceptsEitherSeparatorAndDoubledSlashes)
{
    write_file(scratch / "sub/inner.so", "x");
    const std::string variants[] = {scratch / "sub", scratch.path() + "\\sub", scratch.path() + "//sub/",
                                    scratch.path() + "\\\\sub\\"};
    for (const std::string& folder : variants)
        EXPECT_EQ(take_names(__mFileOps_collect_files(folder.c_str(), ".so")), (Names{"inner.so"})) << folder;
}

TEST_F(FileOpsListing, MissingFolderOrPlainFileGivesNull)
{
    EXPECT_EQ(__mFileOps_collect_files((scratch / "missing").c_str(), ""), nullptr);
    EXPECT_EQ(__mFileOps_collect_files((scratch / "readme").c_str(), ".*"), nullptr);
    make_folder(scratch / "empty");
    EXPECT_EQ(__mFileOps_collect_files((scratch / "empty").c_str(), ".so"), nullptr);
}

TEST(FileOpsPath, SplitsFileNameFolderAndExtension)
{
    struct Case {
        const char* path;
        const char* filename;
        const char* folder;
        const char* extension;
    } cases[] = {
        {"data/model.jmf", "model", "data", "jmf"},
        {"data/sub/model.jmf", "model", "data/sub", "jmf"},
        {"model.jmf", "model", "", "jmf"},
        {"data\\sub\\model.jmf", "model", "data\\sub", "jmf"},
        {"archive.tar.gz", "archive.tar", "", "gz"},
        {"data/model", "", "data", ""},
        {"data/", "", "data", ""},
        {"data.d/model", "", "data.d", ""},  // the only '.' is in a folder name
        {"data.d\\model", "", "data.d", ""},
        {"", "", "", ""},
        {"a", "", "", ""},
        {"/a.b", "a", "", "b"},
        {"x.", "x", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(split(__mFileOps_get_pathname_filename, c.path, kMaxNameBytes), c.filename) << c.path;
        EXPECT_EQ(split(__mFileOps_get_pathname_path, c.path, kMaxPathBytes), c.folder) << c.path;
        EXPECT_EQ(split(__mFileOps_get_pathname_extention, c.path, kMaxNameBytes), c.extension) << c.path;
    }
}

TEST(FileOpsPath, OutputsAreBounded)
{
    const std::string long_name(300, 'n');
    const std::string long_extension(300, 'e');
    const std::string long_folder(400, 'f');
    const std::string path = long_folder + "/" + long_name + "." + long_extension;

    EXPECT_EQ(split(__mFileOps_get_pathname_filename, path, kMaxNameBytes), long_name.substr(0, kMaxNameBytes - 1));
    EXPECT_EQ(split(__mFileOps_get_pathname_extention, path, kMaxNameBytes),
              long_extension.substr(0, kMaxNameBytes - 1));
    EXPECT_EQ(split(__mFileOps_get_pathname_path, path, kMaxPathBytes), long_folder.substr(0, kMaxPathBytes - 1));
}

TEST(FileOpsCopy, ReplacesTheDestinationWithTheSourceBytes)
{
    ScratchFolder scratch;
    const std::string bytes("one\r\ntwo\0three\n", 15);
    write_file(scratch / "source.bin", bytes);
    write_file(scratch / "destination.bin", std::string(1000, 'o'));

    __mFileOps_file_copy((scratch / "destination.bin").c_str(), (scratch / "source.bin").c_str());
    EXPECT_EQ(read_file(scratch / "destination.bin"), bytes);

    // A copy into a new file, larger than one read.
    const std::string large(100000, 'L');
    write_file(scratch / "large.bin", large);
    __mFileOps_file_copy((scratch / "new.bin").c_str(), (scratch / "large.bin").c_str());
    EXPECT_EQ(read_file(scratch / "new.bin"), large);

    write_file(scratch / "empty.bin", "");
    __mFileOps_file_copy((scratch / "destination.bin").c_str(), (scratch / "empty.bin").c_str());
    EXPECT_EQ(read_file(scratch / "destination.bin"), "");
}

// A copy onto the very file it reads, by any name, must not truncate it first.
TEST(FileOpsCopy, CopyOntoItselfLeavesTheFileWhole)
{
    ScratchFolder scratch;
    std::string bytes;
    for (int i = 0; i < 30000; ++i) bytes += char('a' + i % 26);
    write_file(scratch / "rules.ini", bytes);
    ASSERT_EQ(link((scratch / "rules.ini").c_str(), (scratch / "linked.ini").c_str()), 0);
    make_folder(scratch / "sub");

    const std::string same_file[] = {scratch / "rules.ini", scratch / "sub/../rules.ini",
                                     scratch / "sub\\..\\rules.ini", scratch / "linked.ini"};
    for (const std::string& destination : same_file) {
        __mFileOps_file_copy(destination.c_str(), (scratch / "rules.ini").c_str());
        const std::string after = read_file(scratch / "rules.ini");
        EXPECT_EQ(after.size(), bytes.size()) << destination;
        EXPECT_TRUE(after == bytes) << destination;
    }
}

TEST(FileOpsCopy, BackslashesSeparateFolders)
{
    ScratchFolder scratch;
    make_folder(scratch / "data");
    make_folder(scratch / "local");
    write_file(scratch / "data/rules.ini", "source");
    __mFileOps_file_copy((scratch / "local\\rules.ini").c_str(), (scratch / "data\\rules.ini").c_str());
    EXPECT_EQ(read_file(scratch / "local/rules.ini"), "source");
}

TEST(FileOpsCopy, FailedCopyLeavesTheDestinationUntouched)
{
    ScratchFolder scratch;
    write_file(scratch / "destination.txt", "keep me");
    make_folder(scratch / "folder");

    for (const char* source : {"missing.txt", "folder"}) {
        __mFileOps_file_copy((scratch / "destination.txt").c_str(), (scratch / source).c_str());
        EXPECT_EQ(read_file(scratch / "destination.txt"), "keep me") << source;
        __mFileOps_file_copy((scratch / "never.txt").c_str(), (scratch / source).c_str());
        EXPECT_FALSE(file_exists(scratch / "never.txt")) << source;
    }
}

TEST(FileOpsFolders, CreateDirectoryIsTrueOnlyWhenCreated)
{
    ScratchFolder scratch;
    EXPECT_TRUE(__mFileOps_create_directory((scratch / "made").c_str()));
    EXPECT_TRUE(file_exists(scratch / "made"));
    EXPECT_FALSE(__mFileOps_create_directory((scratch / "made").c_str())) << "already there";
    EXPECT_FALSE(__mFileOps_create_directory((scratch / "no/parent").c_str()));
    EXPECT_FALSE(file_exists(scratch / "no"));

    EXPECT_TRUE(__mFileOps_create_directory((scratch.path() + "\\back").c_str()));
    EXPECT_TRUE(file_exists(scratch / "back"));
    EXPECT_TRUE(__mFileOps_create_directory((scratch.path() + "//made//inner").c_str()));
    EXPECT_TRUE(file_exists(scratch / "made/inner"));
}

TEST(FileOpsFolders, ExistsForFilesAndFolders)
{
    ScratchFolder scratch;
    write_file(scratch / "file", "");
    EXPECT_TRUE(__mFileOps_file_exists((scratch / "file").c_str()));
    EXPECT_TRUE(__mFileOps_file_exists(scratch.path().c_str()));
    EXPECT_FALSE(__mFileOps_file_exists((scratch / "missing").c_str()));
    EXPECT_TRUE(__mFileOps_file_exists((scratch.path() + "\\file").c_str()));
}

// A file the user may not read is still there: the rules copy must not be
// taken as missing and written over.
TEST(FileOpsFolders, AFileTheUserCannotReadExists)
{
    ScratchFolder scratch;
    write_file(scratch / "private", "rules");
    chmod((scratch / "private").c_str(), 0);
    chmod(scratch.path().c_str(), 0755);
    EXPECT_TRUE(exists_for_an_unprivileged_user(scratch / "private"));
    EXPECT_FALSE(exists_for_an_unprivileged_user(scratch / "missing"));
}

TEST(FileOpsFolders, ANamedPipeExistsWithoutWaitingForAWriter)
{
    ScratchFolder scratch;
    const std::string pipe_path = scratch / "pipe";
    ASSERT_EQ(mkfifo(pipe_path.c_str(), 0600), 0);
    std::future<bool> exists = std::async(std::launch::async, [&] { return __mFileOps_file_exists(pipe_path.c_str()); });
    if (exists.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Opening the writing end releases a reader blocked on the pipe.
        const int writer = open(pipe_path.c_str(), O_WRONLY | O_NONBLOCK);
        exists.wait();
        if (writer >= 0) close(writer);
        FAIL() << "the existence test blocked on the pipe";
    }
    EXPECT_TRUE(exists.get());
}

TEST(FileOpsRead, WholeFileWithTerminator)
{
    ScratchFolder scratch;
    write_file(scratch / "text.txt", "line one\nline two\n");
    char* text = __mFileOps_create_string_from_file((scratch / "text.txt").c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "line one\nline two\n");
    delete[] text;

    write_file(scratch / "empty.txt", "");
    text = __mFileOps_create_string_from_file((scratch / "empty.txt").c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    delete[] text;
}

TEST(FileOpsRead, FailuresReturnNullWithAMessage)
{
    ScratchFolder scratch;
    const std::string missing = scratch / "missing.txt";
    testing::internal::CaptureStderr();
    EXPECT_EQ(__mFileOps_create_string_from_file(missing.c_str()), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Can't open file '" + missing + "' for reading\n");

    // A folder is no file to read.
    testing::internal::CaptureStderr();
    EXPECT_EQ(__mFileOps_create_string_from_file(scratch.path().c_str()), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

TEST(FileOpsRead, BackslashesSeparateFolders)
{
    ScratchFolder scratch;
    make_folder(scratch / "data");
    write_file(scratch / "data/text.txt", "text");
    char* text = __mFileOps_create_string_from_file((scratch / "data\\text.txt").c_str());
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "text");
    delete[] text;
}

TEST(FileOpsStreams, BackslashesSeparateFolders)
{
    ScratchFolder scratch;
    make_folder(scratch / "local");
    const std::string path = scratch / "local\\data.bin";
    FILE* file = nullptr;
    __mFileOps_open_for_write(&file, path.c_str());
    ASSERT_NE(file, nullptr);
    fputs("written", file);
    EXPECT_EQ(__mFileOps_close(file), 0);
    EXPECT_EQ(read_file(scratch / "local/data.bin"), "written");

    __mFileOps_open_for_read(&file, path.c_str());
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(__mFileOps_close(file), 0);
}

TEST(FileOpsStreams, OpenReadWriteAndReportFailures)
{
    ScratchFolder scratch;
    write_file(scratch / "data.bin", "old contents");

    FILE* file = nullptr;
    __mFileOps_open_for_write(&file, (scratch / "data.bin").c_str());
    ASSERT_NE(file, nullptr);
    fputs("new", file);
    EXPECT_EQ(__mFileOps_close(file), 0);
    EXPECT_EQ(read_file(scratch / "data.bin"), "new") << "opening for write truncates";

    __mFileOps_open_for_read(&file, (scratch / "data.bin").c_str());
    ASSERT_NE(file, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(fread(buffer, 1, sizeof buffer, file), 3u);
    EXPECT_EQ(__mFileOps_close(file), 0);

    const std::string missing = scratch / "missing/data.bin";
    testing::internal::CaptureStdout();
    __mFileOps_open_for_read(&file, missing.c_str());
    EXPECT_EQ(file, nullptr);
    __mFileOps_open_for_write(&file, missing.c_str());
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Couldn't open file for read " + missing +
                                                          "\nERROR: Couldn't open file for write " + missing + "\n");
}
