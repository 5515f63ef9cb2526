#include "spaced_temp_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "module_copy.h"

namespace {
std::string Variable(const char* name)
{
    char value[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : "";
}

void Restore(const char* name, const std::string& value)
{
    SetEnvironmentVariableA(name, value.empty() ? nullptr : value.c_str());
}
}

SpacedTempFolder::SpacedTempFolder() : oldTmp_(Variable("TMP")), oldTemp_(Variable("TEMP"))
{
    static unsigned counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof name, "%starvix about, %lu-%u", temp, GetCurrentProcessId(), ++counter);
    if (!CreateDirectoryA(name, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        ADD_FAILURE() << "cannot create " << name;
    path_ = name;
    // GetTempPathA takes TMP first, then TEMP.
    SetEnvironmentVariableA("TMP", path_.c_str());
    SetEnvironmentVariableA("TEMP", path_.c_str());
}

SpacedTempFolder::~SpacedTempFolder()
{
    Restore("TMP", oldTmp_);
    Restore("TEMP", oldTemp_);
    RemoveFolder(path_);
}
