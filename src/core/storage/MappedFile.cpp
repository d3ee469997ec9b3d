#include "core/storage/MappedFile.h"

#include "core/storage/NativeFileName.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace sorabel {

namespace {

// A mapping's state, changed only by compare-and-swap so that the lease
// break (a signal handler, on any thread) and the owner never work on the
// mapping at the same time. Whoever finds it busy leaves the break to the
// one working on it, which looks at `breakPending` when done.
enum State : int {
    kFree,   // the place is unused
    kActive, // the file's pages, leased
    kBusy,   // being set up, let go of, copied or closed
    kCopied, // a private copy: the lease is given back
};

struct Lease {
    std::atomic<int> state{kFree};
    std::atomic<bool> breakPending{false};
    std::atomic<int> fd{-1};
    char* data = nullptr; // written only while busy
    size_t size = 0;
};

// Leases are found by their descriptor from the signal handler, which may
// neither allocate nor lock: a fixed table. A catalogue open beyond it is
// read into memory as before.
constexpr int kLeases = 64;
Lease leases[kLeases];

// Puts an anonymous copy of the bytes where the file's pages were (mremap
// swaps it in whole, so a reader on another thread sees the same bytes
// throughout), then gives the lease back so that the writer goes on. Only
// system calls and memcpy: it runs inside the signal handler.
void copyOut(Lease& l) {
    void* copy =
        ::mmap(nullptr, l.size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (copy != MAP_FAILED) {
        std::memcpy(copy, l.data, l.size);
        ::mprotect(copy, l.size, PROT_READ);
        if (::mremap(copy, l.size, l.size, MREMAP_MAYMOVE | MREMAP_FIXED, l.data) == MAP_FAILED)
            ::munmap(copy, l.size);
    }
    // Without memory for a copy nothing better can be done than what the
    // kernel would do anyway after its break time: let the writer go on.
    ::fcntl(l.fd.load(), F_SETLEASE, F_UNLCK);
    l.state.store(kCopied);
}

// Whoever ends its work on a busy mapping calls this: a break that came
// meanwhile is carried out now.
void finishWork(Lease& l) {
    l.state.store(kActive);
    if (l.breakPending.exchange(false)) {
        int expected = kActive;
        if (l.state.compare_exchange_strong(expected, kBusy))
            copyOut(l);
    }
}

void onLeaseBreak(int, siginfo_t* info, void*) {
    const int savedErrno = errno;
    for (Lease& l : leases) {
        if (l.state.load() == kFree || l.fd.load() != info->si_fd)
            continue;
        l.breakPending.store(true);
        int expected = kActive;
        if (l.state.compare_exchange_strong(expected, kBusy)) {
            l.breakPending.store(false);
            copyOut(l);
        }
    }
    errno = savedErrno;
}

// The kernel tells of a lease break with SIGIO. Nothing else in the program
// uses it; should something have put a handler of its own there, files are
// read into memory instead.
bool handlerInstalled() {
    static const bool installed = [] {
        struct sigaction old {};
        if (::sigaction(SIGIO, nullptr, &old) != 0)
            return false;
        const bool someoneElses = (old.sa_flags & SA_SIGINFO)
                                      ? old.sa_sigaction != nullptr
                                      : old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN;
        if (someoneElses)
            return false;
        struct sigaction action {};
        action.sa_sigaction = onLeaseBreak;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGIO, &action, nullptr) == 0;
    }();
    return installed;
}

constexpr unsigned long kTmpfs = 0x01021994;

bool readAsLine(const std::string& path, std::string& line) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buf[64];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    ::close(fd);
    if (n < 0)
        return false;
    line.assign(buf, static_cast<size_t>(n));
    return true;
}

// A block device (its folder under /sys/devices) and every device beneath
// it (the disk of a partition, the disks of an encrypted or RAID volume).
bool staysAttached(const std::string& device, int depth) {
    if (depth > 8)
        return false;
    for (const char* bus : {"/usb", "/mmc", "/firewire", "/ieee1394", "/nbd", "/session", "/loop"})
        if (device.find(bus) != std::string::npos)
            return false;
    std::string removable;
    if (readAsLine(device + "/removable", removable) ||
        readAsLine(device + "/../removable", removable)) {
        if (removable.starts_with('1'))
            return false;
    }
    bool attached = true;
    if (DIR* slaves = ::opendir((device + "/slaves").c_str())) {
        while (const dirent* entry = ::readdir(slaves)) {
            if (entry->d_name[0] == '.')
                continue;
            char real[PATH_MAX];
            const std::string link = device + "/slaves/" + entry->d_name;
            if (!::realpath(link.c_str(), real) || !staysAttached(real, depth + 1)) {
                attached = false;
                break;
            }
        }
        ::closedir(slaves);
    }
    return attached;
}

// Whether a file's bytes can be left where they lie. Every change to them
// must pass through this kernel, so that a lease hears of it: not on a
// network or user-space file system (NFS, SMB, sshfs), where another machine
// or process may change the file unseen. And the storage must stay: a page
// read again from a USB stick or an SD card after it was pulled out would
// end the program. Anything else, or anything that cannot be told, is read
// into memory instead.
bool safeToLeaveInPlace(int fd, const struct stat& st) {
    struct statfs fs {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case kTmpfs: // memory: nothing to pull out
        return true;
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // xfs
    case 0xF2F52010: // f2fs
        break;
    default: // including btrfs and overlayfs, whose device a file does not name
        return false;
    }
    const std::string link = "/sys/dev/block/" + std::to_string(major(st.st_dev)) + ':' +
                             std::to_string(minor(st.st_dev));
    char real[PATH_MAX];
    return ::realpath(link.c_str(), real) && staysAttached(real, 0);
}

int claimPlace() {
    for (int i = 0; i < kLeases; ++i) {
        int expected = kFree;
        if (leases[i].state.compare_exchange_strong(expected, kBusy))
            return i;
    }
    return -1;
}

} // namespace

std::shared_ptr<const MappedFile> MappedFile::open(const QString& path, qint64 maxBytes) {
    if (path.isEmpty() || !handlerInstalled())
        return nullptr;
    // Made first: once the file is leased nothing may throw before it owns it.
    std::unique_ptr<MappedFile> file(new MappedFile);
    const int fd = ::open(NativeFileName::encode(path).constData(),
                          O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || !safeToLeaveInPlace(fd, st)) {
        ::close(fd);
        return nullptr;
    }
    const int place = claimPlace();
    if (place < 0) {
        ::close(fd);
        return nullptr;
    }
    Lease& l = leases[place];
    l.breakPending.store(false);
    l.fd.store(fd);
    const auto giveUp = [&] {
        l.fd.store(-1); // before closing: the number may be another file's next
        ::close(fd);
        l.state.store(kFree);
        return nullptr;
    };
    // The lease first, so that the size read next is the size it keeps.
    if (::fcntl(fd, F_SETSIG, SIGIO) != 0 || ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0)
        return giveUp();
    // The kernel tells the thread that took the lease, which may be one that
    // reads ahead and is gone by the time anyone writes: tell the process.
    if (::fcntl(fd, F_SETOWN, ::getpid()) != 0)
        return giveUp();
    if (::fstat(fd, &st) != 0 || st.st_size <= 0 || st.st_size > maxBytes)
        return giveUp();
    const auto size = static_cast<size_t>(st.st_size);
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (data == MAP_FAILED)
        return giveUp();
    l.data = static_cast<char*>(data);
    l.size = size;
    file->slot_ = place;
    file->data_ = l.data;
    file->size_ = size;
    finishWork(l);
    return std::shared_ptr<const MappedFile>(std::move(file));
}

MappedFile::~MappedFile() {
    if (slot_ < 0)
        return;
    Lease& l = leases[slot_];
    for (;;) {
        int s = l.state.load();
        if (s == kBusy) { // a break being carried out on another thread
            sched_yield();
            continue;
        }
        if (l.state.compare_exchange_weak(s, kBusy))
            break;
    }
    ::munmap(l.data, l.size);
    ::close(l.fd.exchange(-1)); // gives the lease back, if it is still held
    l.state.store(kFree);
}

void MappedFile::letGo() const {
    Lease& l = leases[slot_];
    int expected = kActive;
    // A private copy is never let go of: its pages are the only copy.
    if (!l.state.compare_exchange_strong(expected, kBusy))
        return;
    ::madvise(l.data, l.size, MADV_DONTNEED);
    finishWork(l);
}

} // namespace sorabel
