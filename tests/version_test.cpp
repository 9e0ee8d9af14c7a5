// The header's version macros are the project's version, which the libraries and packages carry.
#include <gtest/gtest.h>

#include <string>

#include "regscript.h"

TEST(Version, HeaderMacrosAreTheProjectVersion) {
    EXPECT_STREQ(REGSCRIPT_VERSION_STRING, REGSCRIPT_PROJECT_VERSION);
    EXPECT_EQ(std::to_string(REGSCRIPT_VERSION_MAJOR) + "." + std::to_string(REGSCRIPT_VERSION_MINOR) + "." +
                  std::to_string(REGSCRIPT_VERSION_PATCH),
              REGSCRIPT_VERSION_STRING);
}
