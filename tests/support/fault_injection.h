#pragma once
// Real faults for tests, made without touching anything outside the test:
// a small file system that fills up, and a folder that refuses new files even
// to root. Each says why it cannot be had here, so the test can skip.

#include <cstdint>
#include <string>

namespace lexicarta::testing {

// A tmpfs of the given size mounted on a fresh folder, in a mount namespace
// of this process's own, so nothing is left mounted if the test dies.
class SmallFileSystem {
public:
    explicit SmallFileSystem(std::uint64_t bytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // Empty when mounted; otherwise why not.
    const std::string& unavailable() const { return m_unavailable; }
    // With a trailing '/'.
    const std::string& path() const { return m_path; }
    // Fills the file system up to `leave` free bytes with a filler file.
    void fill(std::uint64_t leave) const;
    void removeFiller() const;
    std::uint64_t freeBytes() const;

private:
    std::string m_path;
    std::string m_unavailable;
    bool m_mounted = false;
};

// Marks a folder immutable: its files stay writable, but no file can be
// created, renamed or deleted in it, whoever asks.
class ImmutableFolder {
public:
    explicit ImmutableFolder(const std::string& path);
    ~ImmutableFolder();
    ImmutableFolder(const ImmutableFolder&) = delete;
    ImmutableFolder& operator=(const ImmutableFolder&) = delete;

    const std::string& unavailable() const { return m_unavailable; }
    void release();

private:
    std::string m_path;
    std::string m_unavailable;
    bool m_set = false;
};

}  // namespace lexicarta::testing
