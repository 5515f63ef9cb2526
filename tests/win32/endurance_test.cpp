// Hundreds of dialogs in one host process: nothing the module takes may pile
// up, since the host runs for hours and a leak takes the user's song with it.
#include <gtest/gtest.h>

#include <cstdio>

#include "call_counter.h"
#include "dialog_driver.h"
#include "module_copy.h"
#include "res/resource.h"

namespace {
constexpr int kDialogs = 500;
constexpr int kWarmUp = 50;
constexpr int kItems = 50;
// Private bytes may wobble with the platform's own caches, not grow with use.
constexpr SIZE_T kPrivateBytesSlack = 4 * 1024 * 1024;

std::string ListFile()
{
    std::string times = "[ItemTime]\r\n";
    std::string comments = "[ItemComment]\r\n";
    for (int i = 0; i < kItems; ++i) {
        times += std::to_string(i) + "=" + std::to_string(i + 1) + ":01:000\r\n";
        comments += std::to_string(i) + "=comment " + std::to_string(i) + "\\nsecond line\\tend\r\n";
    }
    return times + comments;
}

BOOL CALLBACK CountTooltip(HWND window, LPARAM count)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char className[32];
    GetClassNameA(window, className, sizeof className);
    if (process == GetCurrentProcessId() && lstrcmpiA(className, "tooltips_class32") == 0)
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int TooltipWindows()
{
    int count = 0;
    EnumWindows(CountTooltip, reinterpret_cast<LPARAM>(&count));
    return count;
}

// Committed private memory of the process. Wine reports no PrivateUsage,
// so the address space is walked instead.
SIZE_T PrivateBytes()
{
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < address)
            break;
    }
    return total;
}

// One user session: sometimes the about box, sometimes a notice, an item
// added and one deleted, then OK or Cancel.
void WorkDialog(HWND dialog, int round, bool& boxesSeen)
{
    if (round % 10 == 0) {
        PostSysCommand(dialog, IDM_TIME_VERSION);
        HWND about = WaitForOwnedDialog(dialog);
        boxesSeen = boxesSeen && about != nullptr;
        if (about != nullptr) {
            PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(about);
        }
    }
    if (round % 7 == 0) {
        SendDlgItemMessageA(dialog, IDC_TIME_BOX, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        PostCommand(dialog, IDC_TIME_DELETE);
        boxesSeen = boxesSeen && AnswerBox(dialog, IDOK).shown;
    }
    if (round % 3 == 0) {
        SetDlgItemTextA(dialog, IDC_TIME_BOX, "999:09:999");
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TIME_ADD, BN_CLICKED), 0);
        int added = static_cast<int>(SendDlgItemMessageA(dialog, IDC_TIME_BOX, CB_GETCOUNT, 0, 0)) - 1;
        SendDlgItemMessageA(dialog, IDC_TIME_BOX, CB_SETCURSEL, added, 0);
        PostCommand(dialog, IDC_TIME_DELETE);
        boxesSeen = boxesSeen && AnswerBox(dialog, IDYES).shown;
    }
    PostCommand(dialog, round % 2 == 0 ? IDOK : IDCANCEL);
    WaitUntilGone(dialog);
}
}

TEST(Endurance, FiveHundredDialogsLeaveNothingBehind)
{
    ModuleCopy copy;
    copy.WriteIni(ListFile());
    StartCountingCalls(copy.module());
    const int tooltipsBefore = TooltipWindows();
    SIZE_T warmedUp = 0;

    for (int round = 0; round < kDialogs; ++round) {
        bool boxesSeen = true;
        DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) { WorkDialog(dialog, round, boxesSeen); });
        ASSERT_TRUE(run.dialogSeen) << "round " << round;
        ASSERT_TRUE(boxesSeen) << "round " << round << ": a box did not appear";
        HeldCounts counts = CurrentCounts();
        ASSERT_EQ(counts.blocksHeld, 0u) << "round " << round << ": comment blocks left allocated";
        ASSERT_EQ(counts.fontsHeld, 0u) << "round " << round << ": fonts left undeleted";
        ASSERT_EQ(counts.dcsHeld, 0u) << "round " << round << ": device contexts left unreleased";
        ASSERT_EQ(counts.foreignFrees, 0u) << "round " << round;
        ASSERT_EQ(TooltipWindows(), tooltipsBefore) << "round " << round << ": tooltip window left behind";
        if (round + 1 == kWarmUp)
            warmedUp = PrivateBytes();
    }

    FlushProfileCache(copy.iniPath());
    EXPECT_EQ(copy.Value("ItemTime", std::to_string(kItems - 1).c_str()), std::to_string(kItems) + ":01:000");
    EXPECT_EQ(copy.Value("ItemTime", std::to_string(kItems).c_str()), "<missing>");

    HeldCounts counts = CurrentCounts();
    SIZE_T finished = PrivateBytes();
    std::printf("endurance: %d dialogs, %zu comment blocks allocated and freed, %zu title fonts made and deleted\n",
                kDialogs, counts.blocksAllocated, counts.fontsCreated);
    std::printf("endurance: private bytes after %d dialogs %lu KiB, after %d %lu KiB (growth %ld KiB)\n", kWarmUp,
                static_cast<unsigned long>(warmedUp / 1024), kDialogs, static_cast<unsigned long>(finished / 1024),
                static_cast<long>((static_cast<long long>(finished) - static_cast<long long>(warmedUp)) / 1024));
    EXPECT_GE(counts.blocksAllocated, static_cast<size_t>(kDialogs * kItems));
    EXPECT_GE(counts.fontsCreated, static_cast<size_t>(kDialogs / 10));
    EXPECT_GT(warmedUp, 0u) << "private bytes could not be read";
    EXPECT_LE(finished, warmedUp + kPrivateBytesSlack);
}
