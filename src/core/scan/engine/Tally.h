// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>
#include <sys/stat.h>

// What a count adds up for the files it counts: their lengths, the room they take on the disk
// (st_blocks x 512, as `du -B1` counts it) and how many there are. A file adds to all three or
// to none, so a file of several names counts once in each.
struct Tally {
    int64_t bytes = 0;
    int64_t allocated = 0;
    int64_t files = 0;

    static int64_t allocatedOf(const struct stat &st) { return int64_t(st.st_blocks) * 512; }
    void add(const struct stat &st) { add(st.st_size, allocatedOf(st)); }
    void add(int64_t length, int64_t onDisk)
    {
        bytes += length;
        allocated += onDisk;
        ++files;
    }
    Tally &operator+=(const Tally &o)
    {
        bytes += o.bytes;
        allocated += o.allocated;
        files += o.files;
        return *this;
    }
    Tally &operator-=(const Tally &o)
    {
        bytes -= o.bytes;
        allocated -= o.allocated;
        files -= o.files;
        return *this;
    }
    bool operator==(const Tally &) const = default;
};

// What a folder line or a total shows of the files it counts: their bytes (with disk usage,
// their allocated bytes) and how many they are.
struct ShownSize {
    int64_t bytes = 0;
    int64_t files = 0;
    ShownSize &operator+=(const ShownSize &o)
    {
        bytes += o.bytes;
        files += o.files;
        return *this;
    }
};
inline ShownSize shownSize(const Tally &tally, bool diskUsage)
{
    return {diskUsage ? tally.allocated : tally.bytes, tally.files};
}
