// Working the time list of an open time dialog from the test's second
// thread, and reading the list's sections of a settings file.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_driver.h"

// One item as the settings file holds it: ItemTime/n and, unless
// hasComment is false, ItemComment/n (already escaped).
struct StoredItem {
    std::string time;
    std::string comment;
    bool hasComment = true;
};

// Settings-file text with the ItemTime and ItemComment sections for items,
// under the keys given (keys[i] for items[i]; 0, 1, 2, ... when empty).
std::string ListSettings(const std::vector<StoredItem>& items, const std::vector<int>& keys = {});

// The entry lines ("key=value") of one section of a settings file's raw
// text, blank lines left out; empty when the section is missing.
std::vector<std::string> SectionLines(const std::string& raw, const std::string& section);
bool HasSection(const std::string& raw, const std::string& section);

HWND CommentBox(HWND dialog);
std::string CommentText(HWND dialog);

int ListCount(HWND dialog);
std::string ListItem(HWND dialog, int index);
std::vector<std::string> ListItems(HWND dialog);
int SelectedItem(HWND dialog);

// Sends a command that opens no box; it has been handled on return.
void SendCommand(HWND dialog, int control, int notification = BN_CLICKED);
// Picks item index as the drop-down list does: the selection, then CBN_SELENDOK.
void PickItem(HWND dialog, int index);
// Returns once the dialog's thread is back in its message loop, so that a
// command whose box has just closed has finished its work.
void Settle(HWND dialog);
// Posts a command that opens a message box, answers the box with button and
// returns once the command has finished; what the box showed is returned.
BoxSeen AnswerCommand(HWND dialog, int control, int button);
