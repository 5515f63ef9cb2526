#include "module_copy.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "code_page_text.h"

namespace {
using IntFn = int(WINAPI*)(int);
using VoidFn = int(WINAPI*)();
constexpr char kMissing[] = "<missing>";
}

std::string BuiltModulePath()
{
    // The tests live in build/win32/tests/win32; the module in build/bin.
    char exe[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string path(exe, length);
    path.resize(path.rfind('\\') + 1);
    path += "..\\..\\..\\bin\\Tarvix.dll";
    char full[MAX_PATH];
    GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return full;
}

void FlushProfileCache(const std::string& path)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

std::string MakeTempFolder()
{
    static unsigned counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (;;) {
        char name[MAX_PATH];
        std::snprintf(name, sizeof name, "%starvix-%lu-%u", temp, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr))
            return name;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot create " << name;
            return name;
        }
    }
}

void RemoveFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                std::string file = folder + "\\" + found.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string ReadFileBytes(const std::string& path)
{
    return ReadFileBytes(FromAnsi(path));
}

std::string ReadFileBytes(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    WriteFileBytes(FromAnsi(path), bytes);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << Ansi(path);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, bytes.size());
}

ModuleCopy::ModuleCopy(const char* fileName) : outer_(MakeTempFolder())
{
    SetPaths(FromAnsi(outer_), fileName);
}

ModuleCopy::ModuleCopy(const std::vector<std::wstring>& subfolders) : outer_(MakeTempFolder())
{
    std::wstring folder = FromAnsi(outer_);
    for (const std::wstring& name : subfolders) {
        folder += L"\\" + name;
        if (!CreateDirectoryW(folder.c_str(), nullptr))
            ADD_FAILURE() << "cannot create a folder of " << folder.size() << " characters (error " << GetLastError()
                          << ")";
        madeFolders_.push_back(folder);
    }
    SetPaths(folder, "Tarvix.dll");
}

void ModuleCopy::SetPaths(const std::wstring& folder, const char* fileName)
{
    folder_ = Ansi(folder);
    wideDllPath_ = folder + L"\\" + FromAnsi(fileName);
    wideIniPath_ = folder + L"\\Tarvix.ini";
    dllPath_ = Ansi(wideDllPath_);
    iniPath_ = Ansi(wideIniPath_);
    if (!CopyFileW(FromAnsi(BuiltModulePath()).c_str(), wideDllPath_.c_str(), FALSE))
        ADD_FAILURE() << "cannot copy " << BuiltModulePath() << " to " << dllPath_;
    Load();
}

ModuleCopy::~ModuleCopy()
{
    // The copy frees the one reference it took. A module keeps one of its
    // own only once a write failed; as the host that ends here, the test
    // lets go of that one too, so that the next copy is the only Tarvix in
    // the process.
    if (module_ != nullptr) {
        FreeLibrary(module_);
        const bool kept = GetModuleHandleW(wideDllPath_.c_str()) == module_;
        EXPECT_EQ(kept, keptLoaded_) << "the module keeps itself loaded only after a write that failed";
        if (kept)
            FreeLibrary(module_);
    }
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, wideIniPath_.c_str());
    DeleteFileW(wideIniPath_.c_str());
    DeleteFileW(wideDllPath_.c_str());
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder)
        RemoveDirectoryW(folder->c_str());
    RemoveFolder(outer_);
}

void ModuleCopy::Load()
{
    module_ = LoadLibraryW(wideDllPath_.c_str());
    if (module_ == nullptr) {
        ADD_FAILURE() << "cannot load " << dllPath_ << " (error " << GetLastError() << ")";
        return;
    }
    tarvix_ = GetProcAddress(module_, "Tarvix");
    setMeas_ = GetProcAddress(module_, "SetMeas");
    getBeatAndTick_ = GetProcAddress(module_, "GetBeatAndTick");
    if (tarvix_ == nullptr || setMeas_ == nullptr || getBeatAndTick_ == nullptr)
        ADD_FAILURE() << dllPath_ << " lacks an export";
}

void ModuleCopy::Reload()
{
    if (module_ != nullptr)
        FreeLibrary(module_);
    module_ = nullptr;
    Load();
}

int ModuleCopy::Tarvix(int beatTickCode) const
{
    return reinterpret_cast<IntFn>(tarvix_)(beatTickCode);
}

int ModuleCopy::SetMeas(int measure) const
{
    return reinterpret_cast<IntFn>(setMeas_)(measure);
}

int ModuleCopy::GetBeatAndTick() const
{
    return reinterpret_cast<VoidFn>(getBeatAndTick_)();
}

std::string ModuleCopy::ReadIni() const
{
    return ReadFileBytes(wideIniPath_);
}

void ModuleCopy::WriteIni(const std::string& bytes) const
{
    WriteFileBytes(wideIniPath_, bytes);
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, wideIniPath_.c_str());
}

std::string ModuleCopy::Value(const char* section, const char* key) const
{
    char buffer[4096];
    GetPrivateProfileStringA(section, key, kMissing, buffer, sizeof buffer, iniPath_.c_str());
    return buffer;
}

bool ModuleCopy::Exists() const
{
    return GetFileAttributesW(wideIniPath_.c_str()) != INVALID_FILE_ATTRIBUTES;
}
