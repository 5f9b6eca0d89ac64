#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "base/atomic_file.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

TEST(AtomicFile, WriteCutShortKeepsTheOldFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("baza.pod", "stara");
    // The file size limit stands in for a disk that fills up half way.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const WriteResult result = WriteFileAtomically(folder.Path("baza.pod"), std::string(8192, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("Nie udało się zapisać pliku"), std::string::npos);
    EXPECT_EQ(folder.Read("baza.pod"), "stara");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("")),
                            std::filesystem::directory_iterator()),
              1);  // no temporary file left behind
}

}  // namespace
}  // namespace kasa
