#include "platform/linux/KeymapFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace qm::linux_platform {

int keymapFile(const std::string& text) {
    const int fd = memfd_create("quillmark-keymap", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) return -1;
    const size_t size = text.size() + 1;
    size_t written = 0;
    while (written < size) {
        const ssize_t n = write(fd, text.c_str() + written, size - written);
        if (n <= 0) {
            close(fd);
            return -1;
        }
        written += static_cast<size_t>(n);
    }
    fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL);
    return fd;
}

std::string readKeymapFile(int fd, size_t size) {
    if (size == 0) return {};
    void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map == MAP_FAILED) return {};
    const char* text = static_cast<const char*>(map);
    std::string result(text, strnlen(text, size));
    munmap(map, size);
    return result;
}

}  // namespace qm::linux_platform
