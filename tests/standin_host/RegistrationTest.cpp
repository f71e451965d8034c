#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "host/FourCharCodes.h"
#include "standin/host/Registration.h"

namespace {

using standin::Registration;

const char kFilter[] =
    "# comment\n"
    "kind = filter\r\n"
    "module = KorvanMoirenix\n"
    "   entry=MoirenixFilterMain   \n"
    "\n"
    "menu = Korvan Moirenix\n"
    "event.string = Korvan Moirenix\n"
    "parameter = 'mSrV' float value\n"
    "parameter = 'sHrs' float mode\n";

TEST(StandinHostRegistration, ReadsTheShippedPluginRegistration) {
    const char* source = std::getenv("DECIMORA_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    Registration registration;
    std::string error;
    ASSERT_TRUE(standin::ReadRegistrationFile(std::string(source) + "/entry/Registration.txt", &registration, &error))
        << error;
    EXPECT_EQ(registration.kind, standin::PluginKind::automation);
    EXPECT_EQ(registration.module, "Decimora");
    EXPECT_EQ(registration.entry, "AutoPluginMain");
    EXPECT_EQ(registration.menu, "Decimora");
    EXPECT_EQ(registration.eventId, fourcc::Make("Dcmr"));
    EXPECT_EQ(registration.eventString, "decimora");
    ASSERT_EQ(registration.parameters.size(), 1u);
    EXPECT_EQ(registration.parameters[0].key, fourcc::kFactorKey) << "the code keeps its trailing blanks";
    EXPECT_EQ(registration.parameters[0].type, "integer");
    EXPECT_EQ(registration.parameters[0].name, "factor");
}

TEST(StandinHostRegistration, ReadsAFilterWithBlanksCommentsAndCarriageReturns) {
    Registration registration;
    std::string error;
    ASSERT_TRUE(standin::ParseRegistration(kFilter, &registration, &error)) << error;
    EXPECT_EQ(registration.kind, standin::PluginKind::filter);
    EXPECT_EQ(registration.entry, "MoirenixFilterMain");
    EXPECT_FALSE(registration.eventId);
    EXPECT_EQ(registration.eventString, "Korvan Moirenix");
    ASSERT_EQ(registration.parameters.size(), 2u);
    EXPECT_EQ(registration.parameters[1].key, fourcc::kFilterMode);
}

struct Hostile {
    const char* what;
    std::string text;
    const char* message;  // part of the error
};

TEST(StandinHostRegistration, RefusesMalformedFilesWithAClearErrorAndLeavesTheRecord) {
    const std::string valid = kFilter;
    const std::vector<Hostile> cases = {
        {"empty", "", "missing 'kind'"},
        {"no equals", valid + "parameter 'a' float b\n", "line 10: expected \"key = value\""},
        {"unknown key", valid + "colour = red\n", "unknown key 'colour'"},
        {"repeated key", valid + "menu = Other\n", "'menu' given twice"},
        {"empty value", valid + "event.name =\n", "empty value"},
        {"unknown kind", "kind = shader\n", "unknown kind"},
        {"module with a folder", "module = ../../evil\n", "plain file name"},
        {"hidden module", "module = .hidden\n", "plain file name"},
        {"entry not a symbol", "entry = do it\n", "symbol name"},
        {"short code", "event.id = 'abc'\n", "four-character code"},
        {"unquoted code", "event.id = abcd\n", "four-character code"},
        {"parameter without name", "parameter = 'Rt  ' integer\n", "parameter must read"},
        {"parameter of unknown type", "parameter = 'Rt  ' complex factor\n", "parameter must read"},
        {"control character", valid + "event.name = a\x01" "b\n", "control character"},
        {"NUL", valid + std::string("event.name = a\0b\n", 17), "control character"},
        {"automation without event.id", "kind = automation\nmodule = M\nentry = E\nmenu = M\n", "event.id"},
        {"filter without event.string", "kind = filter\nmodule = M\nentry = E\nmenu = M\n", "event.string"},
        {"too long a value", "menu = " + std::string(2000, 'x') + "\n", "too long"},
        {"too large a file", std::string(standin::kMaxRegistrationBytes + 1, '#'), "larger than"},
    };
    for (const Hostile& hostile : cases) {
        Registration registration;
        registration.menu = "untouched";
        std::string error;
        EXPECT_FALSE(standin::ParseRegistration(hostile.text, &registration, &error)) << hostile.what;
        EXPECT_NE(error.find(hostile.message), std::string::npos) << hostile.what << ": " << error;
        EXPECT_EQ(registration.menu, "untouched") << hostile.what;
    }
}

TEST(StandinHostRegistration, RandomBytesAreParsedOrRefusedNeverCrash) {
    std::mt19937 random(20240601);
    const std::string alphabet = "kind=moduleentrymenuevent.idstringparameter'# \t\n\r\x01\xff";
    for (int round = 0; round < 2000; ++round) {
        std::string text = kFilter;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < edits; ++i) {
            const size_t at = random() % (text.size() + 1);
            text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), alphabet[random() % alphabet.size()]);
        }
        Registration registration;
        std::string error;
        if (!standin::ParseRegistration(text, &registration, &error)) {
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(StandinHostRegistration, MissingFileIsReported) {
    Registration registration;
    std::string error;
    EXPECT_FALSE(standin::ReadRegistrationFile("/nonexistent/Registration.txt", &registration, &error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

}  // namespace
