#!/usr/bin/env python3
"""Repairs the context-id map of a .chm written by chmcmd.

chmcmd 3.2 stores each context id's topic in #STRINGS as the absolute path of the
page on the build machine ("/build/dir/main_dialog.html"), so HH_HELP_CONTEXT looks
for a page the file does not hold. The right name is the tail of that string: the
repaired #IVB points each id past the build folder's prefix. The new #IVB goes
uncompressed into section 0, appended at the end of the file, and the directory
entry "/#IVB" is rewritten to find it there; nothing else moves.

    fix_context_ids.py CHM PROJECT_DIR CHMLS
"""
import os
import struct
import subprocess
import sys
import tempfile


def encint(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def decint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


def extract(chmls, chm, name, folder):
    target = os.path.join(folder, name.strip("/").replace("#", "_"))
    subprocess.run([chmls, "extract", chm, name, target], check=True, capture_output=True)
    with open(target, "rb") as f:
        return f.read()


def string_at(strings, offset):
    end = strings.index(b"\0", offset)
    return strings[offset:end]


def context_map(ivb, strings):
    count = struct.unpack_from("<I", ivb, 0)[0] // 8
    return [struct.unpack_from("<II", ivb, 4 + 8 * i) for i in range(count)]


def repaired_ivb(ivb, strings, prefix):
    pairs = []
    for context, offset in context_map(ivb, strings):
        topic = string_at(strings, offset)
        if topic.startswith(prefix):
            offset += len(prefix)
        pairs.append((context, offset))
    body = b"".join(struct.pack("<II", c, o) for c, o in pairs)
    return struct.pack("<I", len(body)) + body


def relocate_ivb(data, new_ivb):
    data = bytearray(data)
    hs0_offset, _, hs1_offset, _, content_offset = struct.unpack_from("<QQQQQ", data, 0x38)
    chunk_size, density = struct.unpack_from("<II", data, hs1_offset + 0x10)
    header_length = struct.unpack_from("<I", data, hs1_offset + 0x08)[0]
    chunks = struct.unpack_from("<I", data, hs1_offset + 0x2C)[0]
    new_offset = len(data) - content_offset
    for n in range(chunks):
        start = hs1_offset + header_length + n * chunk_size
        chunk = bytes(data[start:start + chunk_size])
        if chunk[:4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", chunk, 4)[0]
        entries, pos, found = [], 0x14, False
        while pos < chunk_size - free:
            length, pos = decint(chunk, pos)
            name = chunk[pos:pos + length]
            pos += length
            section, pos = decint(chunk, pos)
            offset, pos = decint(chunk, pos)
            size, pos = decint(chunk, pos)
            if name == b"/#IVB":
                section, offset, size, found = 0, new_offset, len(new_ivb), True
            entries.append(encint(len(name)) + name + encint(section) + encint(offset) + encint(size))
        if not found:
            continue
        # The quickref area at the chunk's end (entry count last) is kept as it was.
        count = struct.unpack_from("<H", chunk, chunk_size - 2)[0]
        tail = 2 + 2 * (count // (1 + (1 << density)))
        body = b"".join(entries)
        if 0x14 + len(body) > chunk_size - tail:
            sys.exit("fix_context_ids: no room left in the directory chunk")
        rebuilt = bytearray(chunk[:0x14]) + body
        struct.pack_into("<I", rebuilt, 4, chunk_size - len(rebuilt))
        rebuilt += bytes(chunk_size - tail - len(rebuilt)) + chunk[chunk_size - tail:]
        data[start:start + chunk_size] = rebuilt
        data += new_ivb
        struct.pack_into("<Q", data, hs0_offset + 8, len(data))  # the file's own length
        return bytes(data)
    sys.exit("fix_context_ids: no /#IVB entry in the directory")


def main():
    chm, project_dir, chmls = sys.argv[1:4]
    prefix = (os.path.abspath(project_dir).rstrip("/") + "/").encode()
    with tempfile.TemporaryDirectory() as work:
        ivb = extract(chmls, chm, "/#IVB", work)
        strings = extract(chmls, chm, "/#STRINGS", work)
        if all(not string_at(strings, o).startswith(prefix) for _, o in context_map(ivb, strings)):
            return  # nothing to repair
        with open(chm, "rb") as f:
            data = f.read()
        with open(chm, "wb") as f:
            f.write(relocate_ivb(data, repaired_ivb(ivb, strings, prefix)))
        # Read the map back the way a viewer does and show it.
        ivb = extract(chmls, chm, "/#IVB", work)
        listing = subprocess.run([chmls, "-p", "-n", "list", chm], check=True, capture_output=True).stdout
        for context, offset in context_map(ivb, strings):
            topic = string_at(strings, offset)
            if topic.startswith(b"/") or b"/" + topic not in listing.split():
                sys.exit("fix_context_ids: context %d names %r, which the file does not hold" % (context, topic))
            print("context %d -> %s" % (context, topic.decode()))


if __name__ == "__main__":
    main()
