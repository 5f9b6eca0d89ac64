// Storage of the byte buffer: capacity growth, copies, editing of the content and files.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>

#include "comm/ibuffer.h"
#include "support/bytes.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::Bytes;
using testing::FromBytes;

// Everything from the length up to the capacity must be zero.
bool TailIsZero(const iBuffer& b) {
    for (int32_t i = b.Length(); i < b.Capacity(); ++i) {
        if (b.Data()[i] != 0) {
            return false;
        }
    }
    return true;
}

// However the storage grows or is copied, the content stays and the tail stays zero, as the
// buffer is also read as zero-terminated text.
TEST(IBufferCapacity, GrowthCopiesAndClearKeepContentAndAZeroTail) {
    const iBuffer empty;
    EXPECT_EQ(empty.Capacity(), 100);
    EXPECT_EQ(empty.FreeSpace(), 100);
    EXPECT_TRUE(TailIsZero(empty));
    EXPECT_EQ(iBuffer(static_cast<const char*>(nullptr)).Length(), 0);

    iBuffer b("");
    b.Append(std::string(90, 'a'));
    b.AppendByte('c');  // past the first hundred bytes with ten to spare
    EXPECT_GE(b.Capacity(), 101);
    EXPECT_EQ(Bytes(b), std::string(90, 'a') + "c");
    EXPECT_TRUE(TailIsZero(b));
    EXPECT_GE(b.Grow(120), 120);
    EXPECT_EQ(Bytes(b), std::string(90, 'a') + "c");
    EXPECT_TRUE(TailIsZero(b));

    iBuffer source;
    source.Append(std::string(95, 'q'));
    source.AppendByte(0);
    source.Append("end");
    const iBuffer copy(source);
    EXPECT_EQ(Bytes(copy), Bytes(source));
    iBuffer big;
    big.Reserve(1000);
    big.Append("old content");
    big.Assign(source);
    EXPECT_EQ(Bytes(big), Bytes(source));
    EXPECT_TRUE(TailIsZero(big));
    iBuffer assigned;
    assigned = source;
    EXPECT_EQ(Bytes(assigned), Bytes(source));
    source.Assign(source);
    EXPECT_EQ(source.Length(), 99);

    const int32_t capacity = big.Capacity();
    big.Clear();
    EXPECT_EQ(big.Length(), 0);
    EXPECT_EQ(big.Capacity(), capacity);
    EXPECT_TRUE(TailIsZero(big));
}

TEST(IBufferContent, TextsTakenFromTheBufferItselfSurviveItsChanges) {
    iBuffer b;
    b.Append(std::string(95, 'm'));
    b.Append(b.Text());  // forces the storage to move
    EXPECT_EQ(Bytes(b), std::string(190, 'm'));

    iBuffer c("prefix-rest");
    c.Assign(c.Text() + 7);
    EXPECT_EQ(Bytes(c), "rest");

    iBuffer d("x");
    d.Assign(d.FormatDecimal(4711));  // a scratch text is freed by the Clear inside Assign
    EXPECT_EQ(Bytes(d), "4711");

    iBuffer e("ab");
    ASSERT_TRUE(e.InsertText(1, e.Text()));
    EXPECT_EQ(Bytes(e), "aabb");

    iBuffer f("ab");
    f.Prepend(f);
    EXPECT_EQ(Bytes(f), "abab");
    f.AppendBuffer(f);
    EXPECT_EQ(Bytes(f), "abababab");
}

TEST(IBufferContent, MovedFromBufferIsEmptyAndUsable) {
    iBuffer a("data");
    a.SetNumberFormat("%0.2f");
    iBuffer b(std::move(a));
    EXPECT_EQ(Bytes(b), "data");
    EXPECT_STREQ(b.FormatFloat(1.5), "1.50");

    EXPECT_EQ(a.Length(), 0);  // NOLINT(bugprone-use-after-move): deliberately reused
    EXPECT_STREQ(a.FormatFloat(1.5), "1.500000");
    a.Append("new");
    EXPECT_EQ(Bytes(a), "new");

    iBuffer c;
    c = std::move(b);
    EXPECT_EQ(Bytes(c), "data");
    EXPECT_STREQ(b.FormatFloat(2.0), "2.000000");  // NOLINT(bugprone-use-after-move)
}

TEST(IBufferContent, AppendVariants) {
    iBuffer b;
    b.Append(static_cast<const char*>(nullptr));
    EXPECT_EQ(b.Length(), 0);
    b.Append("ab");
    b.AppendByte(0);
    b.AppendBuffer(iBuffer("cd"));
    EXPECT_EQ(Bytes(b), std::string("ab\0cd", 5));
    // A text argument ends at its first zero byte.
    b.Append("x\0y");
    EXPECT_EQ(Bytes(b), std::string("ab\0cdx", 6));
}

TEST(IBufferContent, Remove) {
    struct Case {
        int32_t pos;
        int32_t count;
        bool ok;
        const char* left;
    };
    const Case cases[] = {
        {2, 2, true, "abef"},     {4, 10, true, "abcd"},   {2, -1, true, "ab"},
        {5, 1, true, "abcde"},    {2, 0, true, "abcdef"},  {2, -2, true, "abcdef"},
        {-1, 2, false, "abcdef"}, {6, 1, false, "abcdef"},
    };
    for (const Case& c : cases) {
        iBuffer b("abcdef");
        EXPECT_EQ(b.Remove(c.pos, c.count), c.ok) << c.pos << "," << c.count;
        EXPECT_EQ(Bytes(b), c.left) << c.pos << "," << c.count;
        EXPECT_TRUE(TailIsZero(b)) << c.pos << "," << c.count;
    }
    iBuffer empty;  // nothing to remove is no failure
    EXPECT_TRUE(empty.Remove(0, -1));
    EXPECT_TRUE(empty.Remove(5, 3));
    EXPECT_EQ(empty.Length(), 0);
}

TEST(IBufferContent, InsertTextAndPrepend) {
    iBuffer b("abef");
    EXPECT_TRUE(b.InsertText(2, "cd"));
    EXPECT_EQ(Bytes(b), "abcdef");
    EXPECT_TRUE(b.InsertText(0, ">"));
    EXPECT_TRUE(b.InsertText(b.Length(), "<"));
    EXPECT_EQ(Bytes(b), ">abcdef<");
    EXPECT_FALSE(b.InsertText(-1, "x"));
    EXPECT_FALSE(b.InsertText(b.Length() + 1, "x"));
    EXPECT_EQ(Bytes(b), ">abcdef<");

    iBuffer tail(std::string(90, 't').c_str());
    tail.Prepend(iBuffer(std::string(150, 'h').c_str()));
    EXPECT_EQ(Bytes(tail), std::string(150, 'h') + std::string(90, 't'));
    EXPECT_TRUE(TailIsZero(tail));
    tail.Prepend(iBuffer());
    EXPECT_EQ(tail.Length(), 240);
}

TEST(IBufferContent, NthStringAfterSeparatorsBecomeZeroBytes) {
    iBuffer b("12;ab;;x");
    EXPECT_EQ(b.ReplaceByte(';', 0), 3);
    EXPECT_EQ(b.Length(), 8);
    EXPECT_STREQ(b.NthString(0), "12");
    EXPECT_STREQ(b.NthString(-1), "12");
    EXPECT_STREQ(b.NthString(1), "ab");
    EXPECT_STREQ(b.NthString(2), "");
    EXPECT_STREQ(b.NthString(3), "x");
    EXPECT_STREQ(b.NthString(4), "");  // fewer fields than asked
}

TEST(IBufferContent, ToUpperAndTrailingZeros) {
    iBuffer b("`aBz{1");
    b.ToUpper();
    EXPECT_EQ(Bytes(b), "`ABZ{1");

    iBuffer z = FromBytes(std::string("a\0b\0\0", 5));
    z.TrimTrailingZeros();
    EXPECT_EQ(Bytes(z), std::string("a\0b", 3));
    iBuffer only = FromBytes(std::string(3, '\0'));
    only.TrimTrailingZeros();
    EXPECT_EQ(only.Length(), 0);
}

class IBufferFile : public ::testing::Test {
  protected:
    std::string PathOf(const char* name) const { return folder_.Path(name); }
    testing::ScratchFolder folder_;
};

TEST_F(IBufferFile, SaveThenLoadKeepsEveryByte) {
    const std::string all = testing::AllByteValues() + "\r\nlast line\r\n";
    const std::string path = PathOf("all.bin");
    ASSERT_TRUE(FromBytes(all).SaveFile(path));

    iBuffer loaded("old");
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(Bytes(loaded), all);
    EXPECT_GT(loaded.Capacity(), loaded.Length());
    EXPECT_TRUE(TailIsZero(loaded));
    // A shorter save replaces the file whole; a folder that is not there fails.
    ASSERT_TRUE(iBuffer("short").SaveFile(path));
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(Bytes(loaded), "short");
    EXPECT_FALSE(iBuffer("x").SaveFile(PathOf("no_such_folder/file.txt")));
}

// On Windows a name with Polish letters opens only by its wide path.
TEST_F(IBufferFile, PolishLettersInThePath) {
    folder_.MakeFolder("Paweł");
    const std::string path = PathOf("Paweł/żółć.bin");
    ASSERT_TRUE(iBuffer("\x1bP41\x1b\\").SaveFile(path));
    iBuffer loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(Bytes(loaded), "\x1bP41\x1b\\");
}

TEST_F(IBufferFile, MissingOrEmptyFileLoadsNothing) {
    iBuffer b("previous");
    EXPECT_FALSE(b.LoadFile(PathOf("missing.txt")));
    EXPECT_EQ(b.Length(), 0);

    const std::string empty = PathOf("empty.txt");
    std::ofstream(empty).close();
    b.Append("previous");
    EXPECT_FALSE(b.LoadFile(empty));
    EXPECT_EQ(b.Length(), 0);
}

}  // namespace
}  // namespace kasa
