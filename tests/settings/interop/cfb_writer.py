"""A plain writer of compound files with any streams and storages, for tests that need
containers the way other programs leave them."""
import struct

FREE, END, FATSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD


def container(entries):
    """A version-3 compound file laid out plainly: FAT, directory, mini FAT, mini stream, then
    each large stream. entries: (name, type, parent index or None, clsid, state bits, ctime,
    mtime, bytes), the root first; siblings are chained to the right."""
    fat = [FATSECT]

    def chain(count):
        first = len(fat)
        for i in range(count):
            fat.append(len(fat) + 1 if i + 1 < count else END)
        return first if count else END

    n = len(entries)
    dir_start = chain((n + 3) // 4)
    mini_fat, ministream, start = [], b"", [END] * n
    for i, e in enumerate(entries):
        data = e[7]
        if i and e[1] == 2 and 0 < len(data) < 4096:
            start[i] = len(mini_fat)
            count = (len(data) + 63) // 64
            mini_fat += [len(mini_fat) + k + 1 if k + 1 < count else END for k in range(count)]
            ministream += data + bytes(count * 64 - len(data))
    mini_fat_start = chain(1 if mini_fat else 0)
    mini_start = chain((len(ministream) + 511) // 512)
    for i, e in enumerate(entries):
        if i and e[1] == 2 and len(e[7]) >= 4096:
            start[i] = chain((len(e[7]) + 511) // 512)
    assert len(fat) <= 128 and len(mini_fat) <= 128
    children = {}
    for i, e in enumerate(entries[1:], 1):
        children.setdefault(e[2] or 0, []).append(i)
    child, right = [FREE] * n, [FREE] * n
    for parent, kids in children.items():
        child[parent] = kids[0]
        for a, b in zip(kids, kids[1:]):
            right[a] = b
    sectors = {}
    directory = b""
    for i, (name, kind, _parent, clsid, state, ctime, mtime, data) in enumerate(entries):
        raw = name.encode("utf-16-le")
        size = len(ministream) if i == 0 else len(data)
        first = (mini_start if ministream else END) if i == 0 else start[i]
        directory += struct.pack("<64sHBBIII16sIQQII", raw + bytes(64 - len(raw)), len(raw) + 2, kind, 1,
                                 FREE, right[i], child[i], clsid, state, ctime, mtime, first, size) + bytes(4)
    directory += bytes(-len(directory) % 512)
    sectors[dir_start] = directory
    if mini_fat:
        sectors[mini_fat_start] = struct.pack("<128I", *(mini_fat + [FREE] * (128 - len(mini_fat))))
    if ministream:
        sectors[mini_start] = ministream + bytes(-len(ministream) % 512)
    for i, e in enumerate(entries):
        if i and e[1] == 2 and len(e[7]) >= 4096:
            sectors[start[i]] = e[7] + bytes(-len(e[7]) % 512)
    header = bytearray(512)
    header[0:8] = bytes.fromhex("D0CF11E0A1B11AE1")
    struct.pack_into("<HHHHI", header, 24, 0x3E, 3, 0xFFFE, 9, 6)
    struct.pack_into("<IIIIIIIII", header, 44, 1, dir_start, 0, 4096, mini_fat_start, 1 if mini_fat else 0, END, 0, 0)
    struct.pack_into("<109I", header, 76, 0, *([FREE] * 108))
    body = bytearray(512 * (len(fat) - 1))
    for s, data in sectors.items():
        body[512 * (s - 1):512 * (s - 1) + len(data)] = data
    return bytes(header) + struct.pack("<128I", *(fat + [FREE] * (128 - len(fat)))) + bytes(body)
