#include "ui/web_and_help.h"

#include <gtest/gtest.h>

using namespace ui;

TEST(WebAddress, MakerAddressPageWordAndSource) {
    EXPECT_EQ(BuildWebAddress(L"", L"Orvendal"), L"https://www.tamberlyn.example/?source=Orvendal.exe");
    EXPECT_EQ(BuildWebAddress(LibraryPageWord, L"Orvendal"),
              L"https://www.tamberlyn.example/velloquin?source=Orvendal.exe");
}

TEST(HelpRequest, HelpFileBesideTheExecutable) {
    std::optional<HelpRequest> request = BuildHelpRequest(L"C:\\Tools\\Orvendal.exe");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->file, L"C:\\Tools\\Orvendal.chm");
    EXPECT_EQ(request->topic, L"C:\\Tools\\Orvendal.chm>Main");
    EXPECT_EQ(HelpNotFoundMessage(L"未能找到", request->file),
              L"未能找到\"C:\\Tools\\Orvendal.chm\" Help file!");

    // The help file's name is fixed, whatever the executable is called or where it is.
    request = BuildHelpRequest(L"D:\\工具\\哈希\\renamed.exe");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->topic, L"D:\\工具\\哈希\\Orvendal.chm>Main");
    request = BuildHelpRequest(L"\\\\server\\share\\Orvendal.exe");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->file, L"\\\\server\\share\\Orvendal.chm");
    request = BuildHelpRequest(L"C:\\Orvendal.exe");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->file, L"C:\\Orvendal.chm");
}

TEST(HelpRequest, NothingWithoutADirectory) {
    EXPECT_FALSE(BuildHelpRequest(L""));
    EXPECT_FALSE(BuildHelpRequest(L"Orvendal.exe"));
    EXPECT_FALSE(BuildHelpRequest(L"/opt/tools/Orvendal.exe"));
}
