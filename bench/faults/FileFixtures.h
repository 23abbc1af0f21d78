// Files and folders of the prefix that the fault cases build and take down.
// Meant for the private prefix of scripts/faults.sh: what is in the way is
// deleted. Setup failures throw TavrelHost::HostError.
#pragma once

#include <string>

namespace Faults {

// The current user's Start Menu folder (CSIDL_STARTMENU).
std::wstring StartMenuFolder();

// Deletes everything in the Start Menu, Wine's own shortcuts too, so that a
// task-1 answer holds exactly what a case built.
void ClearStartMenu();

// A folder created empty (whatever was there is removed first) and removed
// with everything in it when the owner goes.
class ScratchTree {
public:
    explicit ScratchTree(std::wstring path);
    ~ScratchTree();
    ScratchTree(const ScratchTree&) = delete;
    ScratchTree& operator=(const ScratchTree&) = delete;

    // The folder, or `relative` below it.
    std::wstring Path(const std::wstring& relative = L"") const;

private:
    std::wstring path_;
};

// A copy of Wine's winver.exe at `path` (parents created): a real program
// that stays idle, since nothing here starts it.
void PlaceProgram(const std::wstring& path);
// A shortcut at `shortcut` (parents created) to `target`.
void PlaceShortcut(const std::wstring& shortcut, const std::wstring& target);
// A file holding exactly `bytes` (parents created).
void PlaceFile(const std::wstring& path, const std::string& bytes);

}  // namespace Faults
