#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Whether a freshly forked process can take the lock `name`.
bool OtherProcessCanAcquire(const std::string& name) {
    pid_t pid = fork();
    if (pid == 0) {
        platform::InstanceLock lock;
        _exit(lock.Acquire(name) ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(InstanceLock, OneHolderAcrossProcesses) {
    const std::string name = "glintcap-test-" + std::to_string(getpid());
    {
        platform::InstanceLock lock;
        ASSERT_TRUE(lock.Acquire(name));
        EXPECT_TRUE(lock.Acquire(name));  // taking it again keeps it
        EXPECT_FALSE(OtherProcessCanAcquire(name));
        EXPECT_TRUE(OtherProcessCanAcquire(name + "-other"));
    }
    EXPECT_TRUE(OtherProcessCanAcquire(name));  // released with the object
}

TEST(InstanceLock, DeadHolderReleasesIt) {
    const std::string name = "glintcap-test-dead-" + std::to_string(getpid());
    pid_t pid = fork();
    if (pid == 0) {
        platform::InstanceLock* leaked = new platform::InstanceLock;
        _exit(leaked->Acquire(name) ? 0 : 1);  // never released by the holder itself
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    platform::InstanceLock lock;
    EXPECT_TRUE(lock.Acquire(name));
}

TEST(InstanceLock, NamesThatAreNotFileNamesAreRefused) {
    platform::InstanceLock lock;
    EXPECT_FALSE(lock.Acquire(""));
    EXPECT_FALSE(lock.Acquire("../escape"));
}

}  // namespace
