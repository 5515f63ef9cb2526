// Whatever Tarvix.ini holds, the module must not crash its host: the exports
// answer, the dialog appears and closes, and the list is written back in order.
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "hostile_settings.h"
#include "module_copy.h"

namespace {
constexpr int kTimeBox = 102;
constexpr size_t kListTextSize = 60;

// What the profile functions make of a text on its way through the file:
// they keep the file in Unicode, so bytes that are no Shift-JIS change.
std::string ThroughCodePage(const std::string& text)
{
    wchar_t wide[256];
    int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 256);
    char narrow[512];
    WideCharToMultiByte(CP_ACP, 0, wide, count, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

std::vector<std::string> ListTexts(HWND dialog)
{
    HWND box = GetDlgItem(dialog, kTimeBox);
    std::vector<std::string> texts;
    int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (SendMessageA(box, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(kListTextSize)) {
            ADD_FAILURE() << "item " << i << " is longer than the list ever holds";
            texts.push_back("");
            continue;
        }
        char text[kListTextSize];
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

void ExpectListRewrittenInOrder(const ModuleCopy& copy, const std::vector<std::string>& listed)
{
    for (size_t i = 0; i < listed.size(); ++i) {
        std::string key = std::to_string(i);
        EXPECT_EQ(copy.Value("ItemTime", key.c_str()), ThroughCodePage(listed[i])) << "ItemTime " << key;
        EXPECT_NE(copy.Value("ItemComment", key.c_str()), "<missing>") << "ItemComment " << key;
    }
    std::string after = std::to_string(listed.size());
    EXPECT_EQ(copy.Value("ItemTime", after.c_str()), "<missing>") << "stale item left behind";
}

// Opens the dialog, notes its list, leaves it with closeCommand.
void OpenAndClose(const ModuleCopy& copy, int closeCommand, const std::string& fileName)
{
    std::vector<std::string> listed;
    DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
        listed = ListTexts(dialog);
        PostCommand(dialog, closeCommand);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen) << fileName << ": the dialog did not appear";
    if (closeCommand == IDOK)
        EXPECT_GE(run.result, 1) << fileName;
    else
        EXPECT_EQ(run.result, 0) << fileName;
    FlushProfileCache(copy.iniPath());
    ExpectListRewrittenInOrder(copy, listed);
}
}

TEST(HostileSettings, EveryFileIsSurvivedAndRewritten)
{
    std::vector<HostileFile> files = MakeHostileSettingsFiles();
    ASSERT_GE(files.size(), 100u);
    ModuleCopy copy;
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        copy.WriteIni(file.bytes);
        copy.SetMeas(7);
        int code = copy.GetBeatAndTick();
        EXPECT_GE(static_cast<long long>(code) % 1000 + 1000, 0);  // answered without crashing
        OpenAndClose(copy, IDOK, file.name);
        copy.WriteIni(file.bytes);
        OpenAndClose(copy, IDCANCEL, file.name);
        if (HasFatalFailure())
            return;
    }
}
