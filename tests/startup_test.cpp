// The program's version text, its registry keys and the command-line rules.
#include "app/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

app::StartRequest Classify(std::vector<std::wstring> arguments) {
    return app::ClassifyCommandLine(arguments);
}

TEST(StartupTest, VersionTextsAndRegistryKeys) {
    EXPECT_EQ(app::FormatVersion(false), L"2.02");
    EXPECT_EQ(app::FormatVersion(true), L"2.02.00337");
    EXPECT_EQ(app::MakerKeyPath(), L"Software\\Tamberlyn");
    EXPECT_EQ(app::ProductKeyPath(), L"Software\\Tamberlyn\\Orvendal");
    EXPECT_EQ(app::SettingsKeyPath(), L"Software\\Tamberlyn\\Orvendal\\2.02");
}

TEST(StartupTest, OnlyTheExactSwitchesRemoveTheSettings) {
    EXPECT_TRUE(Classify({L"/install"}).remove_settings);
    EXPECT_TRUE(Classify({L"/uninstall"}).remove_settings);
    EXPECT_EQ(Classify({L"/uninstall"}).file_name, L"");

    for (const wchar_t* other : {L"/INSTALL", L"/Uninstall", L"/install ", L"/", L"/x"}) {
        const app::StartRequest request = Classify({other});
        EXPECT_FALSE(request.remove_settings) << "argument " << other;
        EXPECT_EQ(request.file_name, L"") << "a '/' argument is never a file name";
    }
    EXPECT_FALSE(Classify({L"/install", L"/install"}).remove_settings) << "only a single argument counts";
}

TEST(StartupTest, ASingleOtherArgumentIsTheFileToHash) {
    EXPECT_EQ(Classify({L"C:\\Data\\a file.txt"}).file_name, L"C:\\Data\\a file.txt");
    EXPECT_EQ(Classify({L"Привет.txt"}).file_name, L"Привет.txt");
    EXPECT_FALSE(Classify({L"a.txt"}).remove_settings);
    EXPECT_EQ(Classify({}).file_name, L"");
    EXPECT_EQ(Classify({L"a.txt", L"b.txt"}).file_name, L"") << "a second argument leaves the dialog empty";
    EXPECT_FALSE(Classify({L"a.txt"}).check);
}

TEST(StartupTest, CheckTakesTheOneSumFileAfterIt) {
    const app::StartRequest request = Classify({L"/check", L"D:\\下载\\SHA256SUMS"});
    EXPECT_TRUE(request.check);
    EXPECT_EQ(request.sum_file, L"D:\\下载\\SHA256SUMS");
    EXPECT_EQ(request.file_name, L"");
    for (const std::vector<std::wstring>& none :
         {std::vector<std::wstring>{L"/check"}, {L"/check", L"a", L"b"}}) {
        EXPECT_TRUE(Classify(none).check);
        EXPECT_EQ(Classify(none).sum_file, L"") << none.size() << " arguments name no sum file";
    }
    EXPECT_FALSE(Classify({L"/CHECK", L"SHA256SUMS"}).check) << "switches are case-sensitive";
    EXPECT_FALSE(Classify({L"SHA256SUMS", L"/check"}).check);
}

}  // namespace
