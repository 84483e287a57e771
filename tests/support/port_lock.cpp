// The program's port 2052 belongs to the machine, not to one test run: every
// test program that starts a host on it holds this lock file while its tests
// run, so the runs of other build folders and checkouts wait their turn
// instead of finding the port taken or joining each other's hosts.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

const char* const kLockFile = "/tmp/zorblitrally-port-2052.lock";
// Within the test's own timeout, with room for the test itself.
constexpr std::chrono::seconds kLongestWait(240);

class PortLock : public testing::Environment {
public:
    void SetUp() override
    {
        descriptor = open(kLockFile, O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
        ASSERT_GE(descriptor, 0) << "cannot open " << kLockFile;
        const auto until = std::chrono::steady_clock::now() + kLongestWait;
        while (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            ASSERT_LT(std::chrono::steady_clock::now(), until) << "port 2052 still held by another run";
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    void TearDown() override
    {
        if (descriptor >= 0) close(descriptor);
        descriptor = -1;
    }

private:
    int descriptor = -1;
};

testing::Environment* const lock = testing::AddGlobalTestEnvironment(new PortLock);

}  // namespace
