#!/usr/bin/python3
"""A slow share to measure on: a read-only FUSE view of a real folder that
waits a set time on every open and every attribute read (and once per folder
listing), as a file server across a network answers each request after a
round trip. Requests are served concurrently, as a server does; the kernel
keeps no names or attributes between requests, so every lookup asks.

    slowshare.py SOURCE MOUNTPOINT DELAY_MS

Runs in the foreground until unmounted (fusermount -u MOUNTPOINT). Uses
Debian's python3-fusepy (tools/setup.sh --bench)."""
import errno
import os
import stat
import sys
import time

try:
    import fusepy as fuse  # Debian's name for it
except ImportError:
    import fuse


class SlowShare(fuse.Operations):
    use_ns = True

    def __init__(self, source, delay):
        self.source = source
        self.delay = delay

    def _wait(self):
        if self.delay > 0:
            time.sleep(self.delay)

    def _real(self, path):
        return self.source + path

    def getattr(self, path, fh=None):
        self._wait()
        try:
            info = os.fstat(fh) if fh is not None else os.lstat(self._real(path))
        except OSError as error:
            raise fuse.FuseOSError(error.errno)
        return {key: getattr(info, key) for key in (
            "st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_atime_ns", "st_mtime_ns", "st_ctime_ns",
            "st_ino")} | {"st_atime": info.st_atime_ns, "st_mtime": info.st_mtime_ns, "st_ctime": info.st_ctime_ns}

    def readdir(self, path, fh):
        self._wait()
        # The entries' kinds come with the listing, as a share's listing
        # carries each entry's attributes: no lookup per entry to tell a
        # folder from a file.
        yield ".", None, 0
        yield "..", None, 0
        with os.scandir(self._real(path)) as entries:
            for entry in entries:
                kind = entry.stat(follow_symlinks=False).st_mode & stat.S_IFMT(0o170000)
                yield entry.name, {"st_mode": kind, "st_ino": entry.inode()}, 0

    def readlink(self, path):
        return os.readlink(self._real(path))

    def open(self, path, flags):
        self._wait()
        try:
            return os.open(self._real(path), os.O_RDONLY)
        except OSError as error:
            raise fuse.FuseOSError(error.errno)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)
        return 0

    def statfs(self, path):
        info = os.statvfs(self._real(path))
        return {key: getattr(info, key) for key in (
            "f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail", "f_files", "f_ffree", "f_namemax")}


def main():
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    source, mountpoint, delay_ms = os.path.abspath(sys.argv[1]), sys.argv[2], float(sys.argv[3])
    fuse.FUSE(SlowShare(source, delay_ms / 1000.0), mountpoint, foreground=True, nothreads=False, ro=True,
              allow_other=True, use_ino=True, entry_timeout=0, attr_timeout=0, negative_timeout=0,
              fsname="tessaly-slowshare")
    return 0


if __name__ == "__main__":
    sys.exit(main())
