// A private copy of the built Tarvix.dll in a fresh folder of its own, loaded
// the way a host loads it, so that each test has its own Tarvix.ini.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class ModuleCopy {
public:
    // Copies build/bin/Tarvix.dll into a new temporary folder under fileName
    // and loads it. settingsBefore, if given, is written as Tarvix.ini first.
    explicit ModuleCopy(const char* fileName = "Tarvix.dll");
    // The same in nested folders of these names inside the new folder,
    // made and reached by their Unicode names (which the code page in use
    // may not spell).
    explicit ModuleCopy(const std::vector<std::wstring>& subfolders);
    ~ModuleCopy();
    ModuleCopy(const ModuleCopy&) = delete;
    ModuleCopy& operator=(const ModuleCopy&) = delete;

    int Tarvix(int beatTickCode) const;
    int SetMeas(int measure) const;
    int GetBeatAndTick() const;

    HMODULE module() const { return module_; }
    const std::string& folder() const { return folder_; }
    const std::string& dllPath() const { return dllPath_; }
    const std::string& iniPath() const { return iniPath_; }
    const std::wstring& wideIniPath() const { return wideIniPath_; }

    // The settings file's raw bytes ("" when it does not exist).
    std::string ReadIni() const;
    // Replaces the settings file's bytes and drops Wine's cached copy.
    void WriteIni(const std::string& bytes) const;
    // A value read through the profile API ("<missing>" when absent).
    std::string Value(const char* section, const char* key) const;
    bool Exists() const;

    // A write of the hand-over position will fail: the module then keeps
    // itself loaded, which the copy lets go of at its end.
    void ExpectKeptLoaded() { keptLoaded_ = true; }

    // Frees the module once and loads it again, as a host that loads it
    // around each call does: the module-wide state is fresh unless the
    // module keeps itself loaded.
    void Reload();

private:
    void SetPaths(const std::wstring& folder, const char* fileName);
    void Load();
    std::string outer_;
    std::vector<std::wstring> madeFolders_;
    std::string folder_;
    std::string dllPath_;
    std::string iniPath_;
    std::wstring wideDllPath_;
    std::wstring wideIniPath_;
    HMODULE module_ = nullptr;
    bool keptLoaded_ = false;
    FARPROC tarvix_ = nullptr;
    FARPROC setMeas_ = nullptr;
    FARPROC getBeatAndTick_ = nullptr;
};

// Path of the built module (build/bin/Tarvix.dll) as Windows sees it.
std::string BuiltModulePath();
// Drops Wine's cached copy of a profile file after it was changed on disk.
void FlushProfileCache(const std::string& path);
// A new empty folder under the temporary folder.
std::string MakeTempFolder();
// Deletes a folder and the files in it (not recursive).
void RemoveFolder(const std::string& folder);
// Raw bytes of a file ("" when missing) and writing them.
std::string ReadFileBytes(const std::string& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
