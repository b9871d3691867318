#include "search/io_error.h"

#include <gtest/gtest.h>

namespace sifter {
namespace {

struct MessageCase {
    std::int32_t code;
    const char* message;
};

class IoErrorMessageTest : public testing::TestWithParam<MessageCase> {
protected:
    void SetUp() override { TakeError(); }
    void TearDown() override { TakeError(); }
};

TEST_P(IoErrorMessageTest, IsChosenByTheExactCode) {
    const MessageCase& c = GetParam();
    EXPECT_EQ(IoErrorMessage(c.code), c.message);
    const EInOutError error(c.code);
    EXPECT_EQ(error.code(), c.code);
    EXPECT_STREQ(error.what(), c.message);
}

TEST_P(IoErrorMessageTest, CheckErrorRaisesItForAPendingCodeAndClearsIt) {
    const MessageCase& c = GetParam();
    SetPendingError(c.code);
    try {
        CheckError();
        FAIL() << "nothing raised for code " << c.code;
    } catch (const Exception& raised) {
        const auto* error = dynamic_cast<const EInOutError*>(&raised);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->code(), c.code);
        EXPECT_STREQ(error->what(), c.message);
    }
    EXPECT_EQ(PendingError(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, IoErrorMessageTest,
    testing::Values(MessageCase{2, "File not found"}, MessageCase{3, "Invalid filename"},
                    MessageCase{4, "Too many open files"}, MessageCase{5, "File access denied"},
                    MessageCase{100, "Read beyond end of file"}, MessageCase{101, "Disk full"},
                    MessageCase{106, "Invalid numeric input"}, MessageCase{102, "I/O error 102"},
                    MessageCase{103, "I/O error 103"}, MessageCase{104, "I/O error 104"},
                    MessageCase{105, "I/O error 105"}, MessageCase{107, "I/O error 107"},
                    MessageCase{32, "I/O error 32"}, MessageCase{112, "I/O error 112"},
                    MessageCase{1, "I/O error 1"}, MessageCase{6, "I/O error 6"},
                    MessageCase{-3, "I/O error -3"},
                    MessageCase{INT32_MIN, "I/O error -2147483648"}));

TEST(PendingErrorTest, TakeErrorReturnsTheCodeOnceAndCheckErrorIgnoresZero) {
    TakeError();
    EXPECT_NO_THROW(CheckError());
    SetPendingError(32);
    SetPendingError(5);  // a later failure replaces the earlier code
    EXPECT_EQ(PendingError(), 5);
    EXPECT_EQ(TakeError(), 5);
    EXPECT_EQ(TakeError(), 0);
    EXPECT_NO_THROW(CheckError());
}

TEST(ErrorBoxTextTest, AppendsAFullStopWhenTheLastCharacterSortsAfterIt) {
    EXPECT_EQ(ErrorBoxText("File access denied"), "File access denied.");
    EXPECT_EQ(ErrorBoxText("I/O error 112"), "I/O error 112.");
    EXPECT_EQ(ErrorBoxText("Unable to insert a line"), "Unable to insert a line.");
    EXPECT_EQ(ErrorBoxText("ends/"), "ends/.");      // '/' comes right after '.'
    EXPECT_EQ(ErrorBoxText("caf\xE9"), "caf\xE9.");  // bytes above 127 sort after it too
    EXPECT_EQ(ErrorBoxText("ends."), "ends.");
    EXPECT_EQ(ErrorBoxText("ends!"), "ends!");
    EXPECT_EQ(ErrorBoxText("range a-"), "range a-");  // '-' comes right before '.'
    EXPECT_EQ(ErrorBoxText("("), "(");
    EXPECT_EQ(ErrorBoxText(""), "");
}

}  // namespace
}  // namespace sifter
