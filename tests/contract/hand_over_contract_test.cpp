#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/fixed_text.h"
#include "tests/support/test_machine.h"

// The hand-over's file and process services as Windows answers them, over the simulated
// backend and the real one alike: a folder that exists is reported, never taken over, and a
// new one is administrators-only; a file is written only where none is, and while held it can
// be started but neither written nor deleted; a folder with a file in it stays.
namespace drvsweep {
namespace {

class HandOverContract : public ::testing::Test {
protected:
    void SetUp() override {
        os_ = testing::OpenHandOverServices();
        ASSERT_TRUE(os_->TemporaryFolder(&temporary_));
        ASSERT_TRUE(temporary_.endsWith('\\')) << temporary_.c_str();
        ASSERT_TRUE(folder_.assign(temporary_.c_str()));
        ASSERT_TRUE(
            folder_.appendAll("DrvSweepContract-", std::to_string(os_->ProcessNumber()).c_str()));
        ASSERT_TRUE(file_.assign(folder_.c_str()));
        ASSERT_TRUE(file_.append("\\copy.exe"));
    }

    void TearDown() override {
        os_->ReleaseHeldFile();
        os_->DeleteOneFile(file_.c_str());
        os_->RemoveFolder(folder_.c_str());
    }

    std::unique_ptr<ProgramHandOver> os_;
    PathText temporary_;
    PathText folder_;
    PathText file_;
};

TEST_F(HandOverContract, AFolderIsMadeOnceAndAFileWrittenOnce) {
    EXPECT_EQ(os_->CreateNewFolder(folder_.c_str()), FolderCreation::Created);
    EXPECT_EQ(os_->CreateNewFolder(folder_.c_str()), FolderCreation::AlreadyExists);

    PathText unreachable;
    ASSERT_TRUE(unreachable.assign(folder_.c_str()));
    ASSERT_TRUE(unreachable.append("\\missing\\inner"));
    EXPECT_EQ(os_->CreateNewFolder(unreachable.c_str()), FolderCreation::Failed);

    static const std::uint8_t bytes[] = {'M', 'Z', 0x90, 0};
    const ProgramImage image{bytes, sizeof bytes};
    EXPECT_TRUE(os_->WriteNewFile(file_.c_str(), image));
    EXPECT_FALSE(os_->WriteNewFile(file_.c_str(), image));

    EXPECT_FALSE(os_->RemoveFolder(folder_.c_str()));
    EXPECT_TRUE(os_->DeleteOneFile(file_.c_str()));
    EXPECT_FALSE(os_->DeleteOneFile(file_.c_str()));
    EXPECT_TRUE(os_->RemoveFolder(folder_.c_str()));
    EXPECT_FALSE(os_->RemoveFolder(folder_.c_str()));
}

TEST_F(HandOverContract, ANewFolderIsAdministratorsOnly) {
    ASSERT_EQ(os_->CreateNewFolder(folder_.c_str()), FolderCreation::Created);
    EXPECT_EQ(testing::OthersWithAccess(*os_, folder_.c_str()), "");
}

TEST_F(HandOverContract, AHeldProgramCannotBeWrittenNorDeletedAndStillStarts) {
    ASSERT_EQ(os_->CreateNewFolder(folder_.c_str()), FolderCreation::Created);
    const std::string bytes = testing::StartableProgramImage();
    ASSERT_FALSE(bytes.empty());
    const ProgramImage image{reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
    ASSERT_TRUE(os_->WriteNewFile(file_.c_str(), image));
    ASSERT_TRUE(os_->HoldFile(file_.c_str()));

    EXPECT_FALSE(testing::AnotherPartyCanWrite(*os_, file_.c_str()));
    EXPECT_FALSE(os_->DeleteOneFile(file_.c_str()));
    const ChildRun run = os_->RunAndWait(
        file_.c_str(), (std::string("\"") + file_.c_str() + "\" --gtest_filter=-*").c_str());
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.exitCodeRead);
    EXPECT_EQ(run.exitCode, 0u);

    os_->ReleaseHeldFile();
    EXPECT_TRUE(testing::AnotherPartyCanWrite(*os_, file_.c_str()));
}

TEST_F(HandOverContract, AMissingProgramDoesNotStart) {
    ASSERT_EQ(os_->CreateNewFolder(folder_.c_str()), FolderCreation::Created);
    const ChildRun run =
        os_->RunAndWait(file_.c_str(), (std::string("\"") + file_.c_str() + "\"").c_str());
    EXPECT_FALSE(run.started);
}

TEST_F(HandOverContract, ATestProgramCarriesNoProgram) {
    ProgramImage image;
    EXPECT_FALSE(os_->CarriedProgram(&image));
    EXPECT_NE(std::string(os_->OwnCommandLine()), "");
}

}  // namespace
}  // namespace drvsweep
