// stanag-cat DRIVE [FILE]: recorder media through the real libraries.
// With DRIVE alone it lists the drives with their volume names and the
// drive's files with their sizes; with FILE it copies that file to standard
// output through the input calls. quillon's own messages go to standard
// error, so that standard output carries only the listing or the file.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "quillon.h"
#include "tessin.h"
#include "tool_usage.h"

namespace {

const char kUsage[] =
    "usage: stanag-cat DRIVE          list drives, volumes, and DRIVE's files with their sizes\n"
    "       stanag-cat DRIVE FILE     copy FILE from DRIVE (1 to 99) to standard output\n"
    "The ingest server is found through the \"ParvellControl\" service, or\n"
    "ORVANE_PORT_ParvellControl and ORVANE_HOST_ParvellControl.\n";

int Usage(const char* message) {
    std::fprintf(stderr, "stanag-cat: %s\n%s", message, kUsage);
    return 2;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t w = ::write(fd, data, size);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        data += w;
        size -= static_cast<std::size_t>(w);
    }
    return true;
}

bool Print(int fd, const std::string& text) { return WriteAll(fd, text.data(), text.size()); }

int List(int out, const char* drive) {
    std::vector<char> drives(QUILLON_DRIVE_LIST_ROOM), volumes(QUILLON_VOLUME_LIST_ROOM);
    int found = GetSTANAGDrivesVolumeNames(drives.data(), volumes.data());
    std::string text = "drives (" + std::to_string(found) + "): " + drives.data() + "\n";
    text += "volumes: " + std::string(volumes.data()) + "\n";

    std::vector<char> names(QUILLON_FILE_LIST_ROOM);
    std::vector<int64_t> sizes(QUILLON_MAX_FILES);
    int count = GetSTANAGFilesSizes(drive, names.data(), sizes.data());
    if (count < 0) {
        // No count of files, not even 0, is known of a drive that could not be read.
        Print(out, text);
        std::fprintf(stderr, "stanag-cat: cannot read drive %s\n", drive);
        return 1;
    }
    text += "drive " + std::string(drive) + ": " + std::to_string(count) + " files\n";
    const char* name = names.data();
    for (int i = 0; i < count && i < QUILLON_MAX_FILES; ++i) {
        const char* comma = std::strchr(name, ',');
        std::size_t length = comma ? static_cast<std::size_t>(comma - name) : std::strlen(name);
        text += std::string(name, length) + "\t" + std::to_string(sizes[static_cast<std::size_t>(i)]) + "\n";
        name += comma ? length + 1 : length;
    }
    return Print(out, text) ? 0 : 1;
}

int Copy(int out, int drive, const char* file) {
    int handle = iOpen(file, 100 + drive);
    if (handle == -1) {
        std::fprintf(stderr, "stanag-cat: cannot open %s on drive %d\n", file, drive);
        return 1;
    }
    std::vector<char> buffer(QUILLON_DEFAULT_CHUNK);
    int status = 0;
    for (;;) {
        int n = iRead(handle, buffer.data(), static_cast<int>(buffer.size()));
        if (n == 0) break;
        if (n < 0) {
            std::fprintf(stderr, "stanag-cat: read of %s failed\n", file);
            status = 1;
            break;
        }
        if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) {
            std::fprintf(stderr, "stanag-cat: write failed: %s\n", std::strerror(errno));
            status = 1;
            break;
        }
    }
    iClose(handle);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    if (tools::HelpAsked(argc, argv)) return tools::ShowUsage(kUsage, true);
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-') return Usage((std::string("unknown option ") + argv[i]).c_str());
    if (argc != 2 && argc != 3) return Usage("wrong number of arguments");
    const char* drive = argv[1];

    int number = -1;
    if (argc == 3) {
        char* end = nullptr;
        errno = 0;
        long value = std::strtol(drive, &end, 10);
        if (errno != 0 || end == drive || *end != '\0' || value < 0 || value > 99)
            return Usage("DRIVE must be a drive number from 1 to 99 to copy a file");
        // Input type 100 names a plain file, so drive 0 cannot be read this way.
        if (value == 0) return Usage("drive 0 cannot be read through the input calls");
        number = static_cast<int>(value);
    }

    std::signal(SIGPIPE, SIG_IGN);
    int out = ::dup(STDOUT_FILENO);
    if (out < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
        std::fprintf(stderr, "stanag-cat: cannot set up standard output: %s\n", std::strerror(errno));
        return 1;
    }
    int status = argc == 2 ? List(out, drive) : Copy(out, number, argv[2]);
    std::fflush(stdout);
    ::close(out);
    return status;
}
