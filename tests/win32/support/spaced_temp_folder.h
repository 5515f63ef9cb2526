// A temporary folder whose path contains a space and a comma, made the
// process's temporary folder while the object lives: a ModuleCopy made
// meanwhile lands below it, so the module's own path has both in it.
#pragma once
#include <string>

class SpacedTempFolder {
public:
    SpacedTempFolder();
    ~SpacedTempFolder();
    SpacedTempFolder(const SpacedTempFolder&) = delete;
    SpacedTempFolder& operator=(const SpacedTempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string oldTmp_;
    std::string oldTemp_;
};
