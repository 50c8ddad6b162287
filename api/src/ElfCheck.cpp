#include "ElfCheck.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessra::api {

namespace {

// The ELF types of this process's word size (Elf64_* on a 64-bit machine).
using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);
constexpr unsigned char OwnClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;

unsigned char ownByteOrder()
{
    const std::uint16_t probe = 1;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 1 ? ELFDATA2LSB : ELFDATA2MSB;
}

/// Closes a file descriptor when it goes.
class FileHandle {
public:
    explicit FileHandle(int fd)
        : m_fd(fd)
    {
    }
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

/// Reads exactly `size` bytes at `offset`; false when the file ends first.
bool readAt(int fd, void* buffer, std::size_t size, std::uint64_t offset)
{
    auto* bytes = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t got = ::pread(fd, bytes, size, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool insideFile(std::uint64_t offset, std::uint64_t length, std::uint64_t fileSize)
{
    return offset <= fileSize && length <= fileSize - offset;
}

const std::string Damaged = "the file is truncated or damaged";

std::string notLoadable(const std::string& reason)
{
    return "not a loadable library (" + reason + ")";
}

std::string identProblem(const unsigned char* ident)
{
    if (std::memcmp(ident, ELFMAG, SELFMAG) != 0)
        return notLoadable("it is not an ELF file");
    if (ident[EI_CLASS] != OwnClass)
        return notLoadable(std::string("it is built for ")
            + (ident[EI_CLASS] == ELFCLASS32 ? "32-bit" : "another kind of")
            + " machines, this program is " + std::to_string(sizeof(void*) * 8) + "-bit");
    if (ident[EI_DATA] != ownByteOrder())
        return notLoadable("it is built for machines of another byte order");
    return {};
}

} // namespace

std::string elfLoadProblem(const std::string& path)
{
    FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat info { };
    if (file.fd() < 0 || ::fstat(file.fd(), &info) != 0)
        return "it cannot be read (" + std::string(std::strerror(errno)) + ")";
    if (!S_ISREG(info.st_mode))
        return "it is not a regular file";
    const auto fileSize = static_cast<std::uint64_t>(info.st_size);

    unsigned char ident[EI_NIDENT] {};
    if (!readAt(file.fd(), ident, SELFMAG, 0))
        return notLoadable("it is not an ELF file");
    if (!readAt(file.fd(), ident, EI_NIDENT, 0))
        return Damaged;
    if (std::string problem = identProblem(ident); !problem.empty())
        return problem;

    Ehdr header {};
    if (!readAt(file.fd(), &header, sizeof header, 0))
        return Damaged;
    if (header.e_type != ET_DYN)
        return notLoadable("it is an ELF file but not a shared library");
    if (header.e_phnum == 0 || header.e_phentsize != sizeof(Phdr)
        || !insideFile(header.e_phoff, std::uint64_t { header.e_phnum } * sizeof(Phdr), fileSize))
        return Damaged;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        Phdr segment {};
        if (!readAt(file.fd(), &segment, sizeof segment, header.e_phoff + i * sizeof(Phdr)))
            return Damaged;
        if (segment.p_type == PT_LOAD && !insideFile(segment.p_offset, segment.p_filesz, fileSize))
            return Damaged;
    }
    return {};
}

} // namespace tessra::api
