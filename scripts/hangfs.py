#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A FUSE file system that mirrors a folder and can be made slow or hung, the way a stale
network share behaves, for the tests and the benchmark.

  /usr/bin/python3 scripts/hangfs.py SOURCE MOUNTPOINT [--delay-ms N] [--control FILE]
                                     [--fsname NAME]

Runs in the foreground, multithreaded. Every call first sleeps N ms with --delay-ms. With
--control FILE, FILE lists path prefixes relative to the mount root, one a line ("/" is
everything, statfs included): a call on a path at or below a listed prefix waits until FILE
no longer lists it. A prefix may follow the names of the calls it holds and a blank
("readdir /hung": only the reads of folder entries at or below /hung wait). FILE is read again whenever its modification time changes, and polled
every 30 ms while a call waits. Nothing is cached by the kernel (all timeouts 0), so every
call of a program reaches this process. Callers wait for MOUNTPOINT in /proc/self/mountinfo,
and unmount with `fusermount -u -z MOUNTPOINT`.
"""
import argparse
import errno
import os
import sys
import threading
import time

import fusepy as fuse


class Control:
    """The prefixes that hang, read again from their file whenever it changes."""

    def __init__(self, path):
        self.path = path
        self.stamp = None
        self.prefixes = []
        self.lock = threading.Lock()

    def current(self):
        if self.path is None:
            return []
        with self.lock:
            try:
                st = os.stat(self.path)
                stamp = (st.st_mtime_ns, st.st_size, st.st_ino)
            except OSError:
                stamp = None
            if stamp != self.stamp:
                self.stamp = stamp
                try:
                    with open(self.path, encoding="utf-8", errors="replace") as f:
                        lines = [line.strip() for line in f]
                except OSError:
                    lines = []
                self.prefixes = []
                for line in lines:
                    ops, _, prefix = line.rpartition(" ")
                    if prefix.startswith("/"):
                        self.prefixes.append((set(ops.split(",")) if ops else None, prefix.rstrip("/") or "/"))
            return self.prefixes

    def blocks(self, op, paths):
        for ops, prefix in self.current():
            if ops is not None and op not in ops:
                continue
            for path in paths:
                if prefix == "/" or path == prefix or path.startswith(prefix + "/"):
                    return True
        return False


class HangFs(fuse.Operations):
    use_ns = True

    def __init__(self, source, delay_ms, control):
        self.source = os.path.realpath(source)
        self.delay = delay_ms / 1000.0
        self.control = control

    def __call__(self, op, *args):
        if op not in ("init", "destroy"):
            if self.delay > 0:
                time.sleep(self.delay)
            # rename and symlink name a second path of the mount
            paths = [args[0]] if args and isinstance(args[0], str) else ["/"]
            if op == "rename":
                paths.append(args[1])
            while self.control.blocks(op, paths):
                time.sleep(0.03)
        return super().__call__(op, *args)

    def real(self, path):
        return os.path.join(self.source, path.lstrip("/"))

    # reading

    def getattr(self, path, fh=None):
        st = os.fstat(fh) if fh is not None else os.lstat(self.real(path))
        keys = ("st_mode", "st_nlink", "st_uid", "st_gid", "st_size", "st_ino", "st_blocks",
                "st_atime_ns", "st_mtime_ns", "st_ctime_ns")
        attrs = {k.replace("_ns", ""): getattr(st, k) for k in keys}
        return attrs

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self.real(path))

    def readlink(self, path):
        return os.readlink(self.real(path))

    def statfs(self, path):
        sv = os.statvfs(self.real(path))
        keys = ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree", "f_files",
                "f_flag", "f_frsize", "f_namemax")
        return {k: getattr(sv, k) for k in keys}

    def access(self, path, amode):
        if not os.access(self.real(path), amode, follow_symlinks=False):
            raise fuse.FuseOSError(errno.EACCES)

    def open(self, path, flags):
        return os.open(self.real(path), flags | os.O_NOFOLLOW)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    # the writes a save makes

    def create(self, path, mode, fi=None):
        return os.open(self.real(path), os.O_RDWR | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW, mode)

    def write(self, path, data, offset, fh):
        return os.pwrite(fh, data, offset)

    def truncate(self, path, length, fh=None):
        if fh is not None:
            os.ftruncate(fh, length)
        else:
            os.truncate(self.real(path), length)

    def flush(self, path, fh):
        return 0

    def fsync(self, path, datasync, fh):
        (os.fdatasync if datasync else os.fsync)(fh)

    def release(self, path, fh):
        os.close(fh)

    def rename(self, old, new):
        os.rename(self.real(old), self.real(new))

    def unlink(self, path):
        os.unlink(self.real(path))

    def chmod(self, path, mode):
        os.chmod(self.real(path), mode, follow_symlinks=False)

    def utimens(self, path, times=None):
        os.utime(self.real(path), ns=times, follow_symlinks=False)

    def symlink(self, target, source):
        os.symlink(source, self.real(target))

    def mkdir(self, path, mode):
        os.mkdir(self.real(path), mode)

    def rmdir(self, path):
        os.rmdir(self.real(path))


def main():
    parser = argparse.ArgumentParser(description="Mirror SOURCE at MOUNTPOINT, slow or hung.")
    parser.add_argument("source")
    parser.add_argument("mountpoint")
    parser.add_argument("--delay-ms", type=float, default=0)
    parser.add_argument("--control", default=None)
    parser.add_argument("--fsname", default="hangfs")
    args = parser.parse_args()
    if not os.path.isdir(args.source):
        sys.exit("hangfs: not a folder: " + args.source)
    ops = HangFs(args.source, args.delay_ms, Control(args.control))
    fuse.FUSE(ops, args.mountpoint, foreground=True, nothreads=False, fsname=args.fsname,
              subtype="hangfs", attr_timeout=0, entry_timeout=0, negative_timeout=0)


if __name__ == "__main__":
    main()
