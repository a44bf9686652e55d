#include <gtest/gtest.h>

#include "data/storage_error.h"

TEST(StorageError, TextOfKnownAndUnknownNumbers) {
    EXPECT_EQ(mvz::storageErrorText(89), "Record Changed By Another Station");
    EXPECT_EQ(mvz::storageErrorText(12345), "Unknown Error");
}
