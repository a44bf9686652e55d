#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include <openssl/evp.h>

#include "submission/digest.h"
#include "support/temp_dir.h"

using namespace mvz;
using namespace mvz::test;

namespace {

std::string write(const TempDir& dir, const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

TEST(Digest, IsTheUpperCaseSha1OfTheFileBytes) {
    TempDir dir;
    EXPECT_EQ(doSHAOnFile(write(dir, "abc.txt", "abc")),
              "A9993E364706816ABA3E25717850C26C9CD0D89D");
    EXPECT_EQ(doSHAOnFile(write(dir, "empty.txt", "")), "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709");
    EXPECT_EQ(doSHAOnFile(write(dir, "million.txt", std::string(1000000, 'a'))),
              "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");

    // A file of several read blocks with a part block at the end gives the
    // digest of its whole content; CR LF and bytes above 127 count as they are.
    std::string big;
    for (int i = 0; big.size() < 2621447; ++i)
        big += std::to_string(i) + "\r\n\x8A";
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int n = 0;
    ASSERT_EQ(EVP_Digest(big.data(), big.size(), md, &n, EVP_sha1(), nullptr), 1);
    std::string expected;
    for (unsigned i = 0; i < n; ++i) {
        static const char hex[] = "0123456789ABCDEF";
        expected += hex[md[i] >> 4];
        expected += hex[md[i] & 15];
    }
    EXPECT_EQ(doSHAOnFile(write(dir, "big.txt", big)), expected);
}

TEST(Digest, AFileThatCannotBeReadGivesNoDigestAndSaysWhy) {
    TempDir dir;
    std::string why;
    EXPECT_EQ(doSHAOnFile(dir.file("missing.txt"), &why), "");
    EXPECT_EQ(why, "No such file or directory");
    EXPECT_EQ(doSHAOnFile(dir.str(), &why), "");
    EXPECT_EQ(why, "Is a directory");
}

TEST(Digest, MarksAreGroupedAndComparedWithOrWithoutDashes) {
    const std::string digest = "A9993E364706816ABA3E25717850C26C9CD0D89D";
    EXPECT_EQ(groupedMark(digest), "A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D");
    EXPECT_EQ(groupedMark(digest.substr(1)), "");
    EXPECT_EQ(groupedMark(digest.substr(1) + "G"), "");

    struct Case {
        const char* mark;
        bool matches;
    };
    const Case cases[] = {
        {"A9993E364706816ABA3E25717850C26C9CD0D89D", true},
        {"A9993E3647-06816ABA3E-25717850C2-6C9CD0D89D", true},
        {"  a9993e3647-06816aba3e-25717850c2-6c9cd0d89d ", true},
        {"A9993E364706816ABA3E25717850C26C9CD0D89E", false},
        {"A9993E3647-06816ABA3E-25717850C2-6C9CD0D89E", false},
        {"A9993E364-706816ABA3E-25717850C2-6C9CD0D89D", false}, // dash out of place
        {"A9993E364706816ABA3E25717850C26C9CD0D89", false},
        {"1234567890-1234567890-1234567890-1234567890", false}, // the placeholder
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(markMatches(c.mark, digest), c.matches) << c.mark;
    EXPECT_TRUE(isControlMark("1234567890-1234567890-1234567890-1234567890"));
    EXPECT_FALSE(isControlMark("A9993E3647 06816ABA3E 25717850C2 6C9CD0D89D"));
}

} // namespace
