// GDK kept from OpenGL: the program's own GDK_GL=disable is there while GTK starts and
// gone afterwards, and a value of the user's is never touched.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gtk/GtkNoGl.h"

namespace {

class GdkGlVariable : public ::testing::Test {
protected:
    void SetUp() override {
        const char* before = std::getenv("GDK_GL");
        FHad = before != nullptr;
        if (FHad) FBefore = before;
        ::unsetenv("GDK_GL");
    }
    void TearDown() override {
        if (FHad)
            ::setenv("GDK_GL", FBefore.c_str(), 1);
        else
            ::unsetenv("GDK_GL");
    }
    static std::string Value() {
        const char* v = std::getenv("GDK_GL");
        return v ? v : "(unset)";
    }

private:
    bool FHad = false;
    std::string FBefore;
};

TEST_F(GdkGlVariable, OursWhileGtkStartsAndGoneAfterwards) {
    const bool ours = KeepGdkFromGl();
    EXPECT_TRUE(ours);
    EXPECT_EQ(Value(), "disable");
    ForgetGdkGlSetting(ours);
    // A browser started from the program must not inherit GL switched off.
    EXPECT_EQ(Value(), "(unset)");
}

TEST_F(GdkGlVariable, TheUsersOwnValueStands) {
    for (const char* users : {"always", "", "disable", "gles,software-draw"}) {
        SCOPED_TRACE(users);
        ::setenv("GDK_GL", users, 1);
        const bool ours = KeepGdkFromGl();
        EXPECT_FALSE(ours);
        EXPECT_EQ(Value(), users);
        ForgetGdkGlSetting(ours);
        // Even the user's own "disable" stays for the programs started from here.
        EXPECT_EQ(Value(), users);
    }
}

TEST_F(GdkGlVariable, AValueSetAfterOursIsKept) {
    const bool ours = KeepGdkFromGl();
    ::setenv("GDK_GL", "always", 1);
    ForgetGdkGlSetting(ours);
    EXPECT_EQ(Value(), "always");
}

}  // namespace
