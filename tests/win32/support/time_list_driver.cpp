#include "time_list_driver.h"

#include "dialog_driver.h"

namespace {
constexpr int kTimeBox = 102;
constexpr int kCommentBox = 1004;
constexpr char kLineEnd[] = "\r\n";

std::string Section(const char* name, const std::vector<std::string>& lines)
{
    std::string text = std::string("[") + name + "]" + kLineEnd;
    for (const std::string& line : lines)
        text += line + kLineEnd;
    return text;
}

std::vector<std::string> SplitLines(const std::string& raw)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\n', start);
        if (end == std::string::npos)
            end = raw.size();
        std::string line = raw.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
}

std::string ListSettings(const std::vector<StoredItem>& items, const std::vector<int>& keys)
{
    std::vector<std::string> times;
    std::vector<std::string> comments;
    for (size_t i = 0; i < items.size(); ++i) {
        std::string key = std::to_string(i < keys.size() ? keys[i] : static_cast<int>(i));
        times.push_back(key + "=" + items[i].time);
        if (items[i].hasComment)
            comments.push_back(key + "=" + items[i].comment);
    }
    return Section("ItemTime", times) + Section("ItemComment", comments);
}

std::vector<std::string> SectionLines(const std::string& raw, const std::string& section)
{
    std::vector<std::string> entries;
    bool inside = false;
    for (const std::string& line : SplitLines(raw)) {
        if (!line.empty() && line.front() == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty())
            entries.push_back(line);
    }
    return entries;
}

bool HasSection(const std::string& raw, const std::string& section)
{
    for (const std::string& line : SplitLines(raw))
        if (line == "[" + section + "]")
            return true;
    return false;
}

HWND CommentBox(HWND dialog)
{
    return GetDlgItem(dialog, kCommentBox);
}

std::string CommentText(HWND dialog)
{
    return ItemText(dialog, kCommentBox);
}

int ListCount(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, kTimeBox, CB_GETCOUNT, 0, 0));
}

std::string ListItem(HWND dialog, int index)
{
    LRESULT length = SendDlgItemMessageA(dialog, kTimeBox, CB_GETLBTEXTLEN, index, 0);
    if (length < 0)
        return "<no item>";
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendDlgItemMessageA(dialog, kTimeBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::vector<std::string> ListItems(HWND dialog)
{
    std::vector<std::string> items;
    for (int i = 0, count = ListCount(dialog); i < count; ++i)
        items.push_back(ListItem(dialog, i));
    return items;
}

int SelectedItem(HWND dialog)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, kTimeBox, CB_GETCURSEL, 0, 0));
}

void SendCommand(HWND dialog, int control, int notification)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(control, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, control)));
}

void PickItem(HWND dialog, int index)
{
    SendDlgItemMessageA(dialog, kTimeBox, CB_SETCURSEL, index, 0);
    SendCommand(dialog, kTimeBox, CBN_SELENDOK);
}

void Settle(HWND dialog)
{
    // A message sent from another thread is handled only when the dialog's
    // thread next asks for messages, i.e. after the command has returned.
    SendMessageA(dialog, WM_NULL, 0, 0);
}

BoxSeen AnswerCommand(HWND dialog, int control, int button)
{
    PostCommand(dialog, control);
    BoxSeen seen = AnswerBox(dialog, button);
    Settle(dialog);
    return seen;
}
