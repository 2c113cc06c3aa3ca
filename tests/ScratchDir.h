#pragma once
// Test helpers for real folders, files and registry keys under Wine.
#include <windows.h>

#include <string>

// A fresh folder below the temporary folder, removed with everything in it
// when the object ends. Paths are code page 932 text.
class ScratchDir {
public:
    ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    ~ScratchDir();

    const std::string& Path() const { return path; }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }

private:
    std::string path;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
bool MakeDirectory(const std::string& path);
std::string CurrentDirectory();

// A key below HKEY_LOCAL_MACHINE\Software in the registry's 32-bit view, made
// the way a 32-bit installer makes its keys, deleted with its values at the end.
class ScratchKey {
public:
    explicit ScratchKey(const std::string& subPath);
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    ~ScratchKey();

    bool SetString(const std::string& name, const std::string& data, DWORD type = REG_SZ);
    bool SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size);
    bool HasValue(const std::string& name) const;
    bool DeleteValue(const std::string& name);

private:
    std::string subPath;
    HKEY key = nullptr;
};
