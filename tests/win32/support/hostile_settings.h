// A generator of broken, hostile and odd Tarvix.ini files.
#pragma once
#include <string>
#include <vector>

struct HostileFile {
    std::string name;
    std::string bytes;
};

// At least a hundred files, the same ones on every run.
std::vector<HostileFile> MakeHostileSettingsFiles();
