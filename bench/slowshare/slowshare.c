/* A slow share to measure on: a read-only FUSE view of a real folder that
 * waits a set time on every open and every attribute read (and once per
 * folder listing), as a file server across a network answers each request
 * after a round trip. Requests are served concurrently, as a server serves
 * them; the kernel keeps no names or attributes between requests, so every
 * lookup asks. Written in C so that the share's own cost per request (a few
 * microseconds) stays far below the delays it stands for: a Python server
 * (python3-fusepy) spends about 0.1 ms of interpreter time per request,
 * which alone capped it at some 10,000 requests a second.
 *
 *   slowshare SOURCE MOUNTPOINT DELAY_MS [FUSE OPTIONS...]
 *
 * Runs in the foreground until unmounted (fusermount3 -u MOUNTPOINT).
 * bench/slowshare/slowshare.sh builds and runs it. */
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

static int g_source = -1; /* the real folder, opened */
static struct timespec g_delay;

static void Wait(void) {
    if (g_delay.tv_sec != 0 || g_delay.tv_nsec != 0) nanosleep(&g_delay, NULL);
}

/* "/a/b" -> "a/b" relative to the source folder; "/" -> ".". */
static const char* Relative(const char* path) { return path[1] == '\0' ? "." : path + 1; }

static void* Init(struct fuse_conn_info* conn, struct fuse_config* config) {
    (void)conn;
    config->use_ino = 1;
    config->entry_timeout = 0;
    config->attr_timeout = 0;
    config->negative_timeout = 0;
    return NULL;
}

static int GetAttr(const char* path, struct stat* info, struct fuse_file_info* file) {
    Wait();
    const int result = file != NULL ? fstat((int)file->fh, info) : fstatat(g_source, Relative(path), info, AT_SYMLINK_NOFOLLOW);
    return result == 0 ? 0 : -errno;
}

static int ReadLink(const char* path, char* buffer, size_t size) {
    const ssize_t length = readlinkat(g_source, Relative(path), buffer, size - 1);
    if (length < 0) return -errno;
    buffer[length] = '\0';
    return 0;
}

/* The entries' kinds come with the listing, as a share's listing carries
 * each entry's attributes: no lookup per entry to tell a folder from a file. */
static int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t offset, struct fuse_file_info* file,
                   enum fuse_readdir_flags flags) {
    (void)offset, (void)file, (void)flags;
    Wait();
    const int fd = openat(g_source, Relative(path), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return -errno;
    DIR* dir = fdopendir(fd);
    if (dir == NULL) {
        close(fd);
        return -errno;
    }
    for (struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        struct stat kind;
        memset(&kind, 0, sizeof kind);
        kind.st_ino = entry->d_ino;
        kind.st_mode = (mode_t)DTTOIF(entry->d_type);
        if (fill(buffer, entry->d_name, &kind, 0, 0) != 0) break;
    }
    closedir(dir);
    return 0;
}

static int Open(const char* path, struct fuse_file_info* file) {
    Wait();
    const int fd = openat(g_source, Relative(path), O_RDONLY);
    if (fd < 0) return -errno;
    file->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buffer, size_t size, off_t offset, struct fuse_file_info* file) {
    (void)path;
    const ssize_t got = pread((int)file->fh, buffer, size, offset);
    return got < 0 ? -errno : (int)got;
}

static int Release(const char* path, struct fuse_file_info* file) {
    (void)path;
    close((int)file->fh);
    return 0;
}

static int StatFs(const char* path, struct statvfs* info) {
    (void)path;
    return fstatvfs(g_source, info) == 0 ? 0 : -errno;
}

static const struct fuse_operations kOperations = {
    .getattr = GetAttr,
    .readlink = ReadLink,
    .open = Open,
    .read = Read,
    .statfs = StatFs,
    .release = Release,
    .readdir = ReadDir,
    .init = Init,
};

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: %s SOURCE MOUNTPOINT DELAY_MS [FUSE OPTIONS...]\n", argv[0]);
        return 2;
    }
    g_source = open(argv[1], O_RDONLY | O_DIRECTORY);
    if (g_source < 0) {
        perror(argv[1]);
        return 1;
    }
    const long nanoseconds = (long)(atof(argv[3]) * 1e6);
    g_delay.tv_sec = nanoseconds / 1000000000L;
    g_delay.tv_nsec = nanoseconds % 1000000000L;
    /* Foreground, many threads (a server answers many requests at once),
     * read-only, open to Wine's processes too. */
    char* arguments[64] = {argv[0], argv[2], "-f", "-o", "ro,allow_other,fsname=tessaly-slowshare,max_threads=64"};
    int count = 5;
    for (int i = 4; i < argc && count < 63; ++i) arguments[count++] = argv[i];
    return fuse_main(count, arguments, &kOperations, NULL);
}
