#include "tables/header_line_centring.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

std::string Spaces(size_t count) {
    return std::string(count, ' ');
}

TEST(HeaderLineCentring, FollowsTheRegisterType) {
    struct Case {
        const RegisterModel& model;
        std::string text;
        const char* flags;  // "C" centring, "D" heavy characters
        std::string shown;
    };
    const std::string longLine = "  " + std::string(99, 'x');
    const Case cases[] = {
        // "Vesper": 40 characters, 20 with heavy characters; trailing spaces stay.
        {VesperModel(), "  abc  ", "", "abc  "},
        {VesperModel(), "  abc", "C", Spaces(18) + "abc"},
        {VesperModel(), "Łódź", "CD", Spaces(8) + "Łódź"},
        {VesperModel(), "   ", "C", ""},
        {VesperModel(), std::string(41, 'y'), "C", std::string(41, 'y')},
        {VesperModel(), longLine, "", std::string(99, 'x')},
        // Other types: the first header field's 20 characters, heavy or not; spaces are
        // trimmed on both sides, and texts above 100 characters are left alone.
        {ZenModel(), "  abc  ", "", "abc"},
        {ZenModel(), "  abc  ", "CD", Spaces(8) + "abc"},
        {ZenModel(), "Żółw", "C", Spaces(8) + "Żółw"},
        {ZenModel(), " " + std::string(99, 'x'), "C", std::string(99, 'x')},
        {ZenModel(), longLine, "C", longLine},
    };
    for (const Case& c : cases) {
        HeaderLine line;
        line.text = c.text;
        line.centre = std::string_view(c.flags).find('C') != std::string_view::npos;
        line.bold = std::string_view(c.flags).find('D') != std::string_view::npos;
        EXPECT_EQ(CentredHeaderText(c.model, line), c.shown)
            << c.model.name << " \"" << c.text << "\" " << c.flags;
    }
}

TEST(HeaderLineCentring, ALineWithoutAllThreeBoxesKeepsNoFlags) {
    EXPECT_EQ(HeaderLineOfControls("abc", true, false, true),
              (HeaderLine{"abc", true, false, true}));
    EXPECT_EQ(HeaderLineOfControls("abc", true, std::nullopt, true),
              (HeaderLine{"abc", false, false, false}));
    EXPECT_EQ(HeaderLineOfControls("", std::nullopt, true, true),
              (HeaderLine{"", false, false, false}));
}

}  // namespace
}  // namespace kasa
