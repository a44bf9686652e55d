#include <gtest/gtest.h>

#include "ui_model/list_key_hint.h"

using namespace mvz;

TEST(ListKeyHint, NamesOnlyTheKeysTheListAnswers) {
    struct Case {
        ListKeys keys;
        const char* hint;
    };
    const Case cases[] = {
        {{true, true, true, false, true},
         "Insert dodaj · Enter promijeni · Delete obriši · tipkajte za traženje"},
        {{false, true, false, false, false}, "Enter promijeni"},
        // A list opened to choose: Enter chooses.
        {{true, true, true, true, true},
         "Insert dodaj · Enter odaberi · Delete obriši · tipkajte za traženje"},
        {{false, false, false, false, true}, "tipkajte za traženje"},
        {{}, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(listKeyHint(c.keys), c.hint);
}
