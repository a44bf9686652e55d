#include <gtest/gtest.h>

#include "base/plain_name.h"

using namespace mvz;

TEST(PlainName, FoldsCroatianLettersAndJoinsWordsWithOneHyphen) {
    const std::pair<const char*, const char*> cases[] = {
        {"ŠIFARNIK - OPĆINE I GRADOVI", "sifarnik-opcine-i-gradovi"},
        {"Gradovi i općine", "gradovi-i-opcine"},
        {"Đurđevac, Čakovec / Žminj", "durdevac-cakovec-zminj"},
        {"  O S I G U R A N I C I  ", "o-s-i-g-u-r-a-n-i-c-i"},
        {"M-Vz 2010.", "m-vz-2010"},
        {"---", ""},
    };
    for (const auto& [title, name] : cases)
        EXPECT_EQ(plainName(title), name) << title;
}

TEST(PlainName, ReportFileNameAddsTheDayAndAPlaceholderForAnEmptyTitle) {
    EXPECT_EQ(reportFileName("ŠIFARNIK - OPĆINE I GRADOVI", "2026-12-11"),
              "sifarnik-opcine-i-gradovi-2026-12-11.pdf");
    EXPECT_EQ(reportFileName("", "2026-12-11"), "ispis-2026-12-11.pdf");
}
