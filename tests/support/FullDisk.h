#pragma once

// A folder where new bytes find only a little room, for the tests of saving
// on real files. As root, the folder is a 64 kB tmpfs that a filler file
// fills up to the room asked for, so writes meet a real full disk (ENOSPC).
// Without the right to mount, a limit on the size of the files written while
// it holds (RLIMIT_FSIZE) makes writes fail the same way, part of the way
// through (EFBIG). Linux only.

#include <csignal>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

class FullDisk {
public:
    static constexpr const char* kFiller = "remplissage";

    explicit FullDisk(std::string folder) : m_folder(std::move(folder)) {
        std::filesystem::create_directories(m_folder);
        m_mounted = ::mount("tmpfs", m_folder.c_str(), "tmpfs", 0, "size=64k") == 0;
    }
    ~FullDisk() {
        leaveRoom(std::nullopt);
        if (m_mounted) {
            ::umount(m_folder.c_str());
        }
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return m_mounted; }

    // From now on new bytes find room for about `room` more (in whole pages of
    // the tmpfs); none: the disk is given back whole.
    void leaveRoom(std::optional<std::size_t> room) {
        if (m_mounted) {
            fillUpTo(room);
        } else {
            limitFileSize(room);
        }
    }

private:
    void fillUpTo(std::optional<std::size_t> room) {
        const std::string filler = m_folder + "/" + kFiller;
        if (!room) {
            ::unlink(filler.c_str());
            return;
        }
        const int descriptor = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const std::vector<char> page(4096, 'r');
        std::size_t size = 0;
        for (ssize_t written = 1; descriptor >= 0 && written > 0;) {
            written = ::write(descriptor, page.data(), page.size());
            size += written > 0 ? static_cast<std::size_t>(written) : 0;
        }
        if (descriptor >= 0) {
            [[maybe_unused]] const int truncated =
                ::ftruncate(descriptor, static_cast<off_t>(size > *room ? size - *room : 0));
            ::close(descriptor);
        }
    }

    void limitFileSize(std::optional<std::size_t> room) {
        if (room && !m_limited) {
            std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &m_saved);
        }
        if (room) {
            rlimit limit = m_saved;
            limit.rlim_cur = *room;
            ::setrlimit(RLIMIT_FSIZE, &limit);
        } else if (m_limited) {
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        }
        m_limited = room.has_value();
    }

    std::string m_folder;
    bool m_mounted = false;
    bool m_limited = false;
    rlimit m_saved{};
};
