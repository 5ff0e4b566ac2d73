#include "FileSys.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <strings.h>

namespace tempora {

bool ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
              static_cast<uint64_t>(st.st_size) <= kMaxDataFileBytes;
    if (ok) {
        char buf[65536];
        for (;;) {
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            out.append(buf, static_cast<size_t>(n));
            if (out.size() > kMaxDataFileBytes) {
                ok = false;
                break;
            }
        }
    }
    close(fd);
    if (!ok)
        out.clear();
    return ok;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        return false;
    const std::string tmp = path + ".tmp~";
    const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        unlink(tmp.c_str());
    return ok;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
    return mkdir(path.c_str(), 0755) == 0 || DirectoryExists(path);
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

std::vector<std::string> ListFiles(const std::string& folder, std::string_view suffix) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() < suffix.size() || strncasecmp(name.c_str() + name.size() - suffix.size(),
                                                       suffix.data(), suffix.size()) != 0) {
            continue;
        }
        std::string full = folder;
        if (!full.empty() && full.back() != '/')
            full += '/';
        if (FileExists(full + name))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tempora
