#include <gtest/gtest.h>

#include "standin/corefoundation/PropertyList.h"

using cfstandin::FindPropertyListString;

TEST(PropertyList, FindsTheStringAfterTheKeyAcrossWhitespace) {
    const std::string xml =
        "<plist version=\"1.0\">\n<dict>\n\t<key>CFBundleName</key>\n\t<string>Probe</string>\n"
        "\t<key>CFBundleIdentifier</key>\n\t<string>com.example.probe</string>\n</dict>\n</plist>\n";
    EXPECT_EQ(FindPropertyListString(xml, "CFBundleIdentifier"), "com.example.probe");
    EXPECT_EQ(FindPropertyListString(xml, "CFBundleName"), "Probe");
    EXPECT_EQ(FindPropertyListString(xml, "CFBundleVersion"), std::nullopt);
}

TEST(PropertyList, DecodesTheXmlEntities) {
    const std::string xml = "<key>K</key><string>a&amp;b&lt;c&gt;&quot;&apos;</string>";
    EXPECT_EQ(FindPropertyListString(xml, "K"), "a&b<c>\"'");
    EXPECT_EQ(FindPropertyListString("<key>K</key><string>a&bogus;</string>", "K"), std::nullopt);
}

