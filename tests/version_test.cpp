// The header's version macros and regscript_version() are the project's version, which the
// libraries and packages carry.
#include <gtest/gtest.h>

#include <string>

#include "regscript.h"
#include "regscript_ext.h"

TEST(Version, IsTheProjectVersion) {
    EXPECT_STREQ(REGSCRIPT_VERSION_STRING, REGSCRIPT_PROJECT_VERSION);
    EXPECT_STREQ(regscript_version(), REGSCRIPT_PROJECT_VERSION);
    EXPECT_EQ(std::to_string(REGSCRIPT_VERSION_MAJOR) + "." + std::to_string(REGSCRIPT_VERSION_MINOR) + "." +
                  std::to_string(REGSCRIPT_VERSION_PATCH),
              REGSCRIPT_VERSION_STRING);
}
