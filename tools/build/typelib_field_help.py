#!/usr/bin/env python3
"""Gives every field of a record in a type library its own name as its help string.

    typelib_field_help.py IN.tlb OUT.tlb RECORD

widl refuses helpstring on struct fields, so its library is rewritten here. The library is the
MSFT format that widl and ICreateTypeLib2 write: a header, the typeinfo offsets, a directory of
15 segments (offsets absolute, everything inside them relative to their segment), the
segments, and one member block per typeinfo with members (at the typeinfo's absolute
memoffset). The file is laid out again with the new strings at the end of the string segment
and the record's member block holding longer field records; everything else is copied as it
stands, and the result is read back and compared before it is written.
"""
import struct
import sys

HEADER = struct.Struct("<21i")
MSFT_MAGIC = 0x5446534D
HELPDLL_FLAG = 0x100
SEGMENT_COUNT = 15
SEG_TYPEINFO, SEG_NAME, SEG_STRING = 0, 7, 8
TYPEINFO_SIZE = 0x64
TYPEINFO_FIELDS = 25
MEMOFFSET = 1  # index of memoffset among a typeinfo's ints
TKIND_RECORD = 1
VAR_FIXED = 0x14  # Info, DataType, Flags, VarKind and size, OffsValue
VAR_WITH_HELP = 0x1C  # then HelpContext and HelpString
STRING_PAD = 0x57


class Library:
    def __init__(self, data):
        self.data = bytes(data)
        if len(self.data) < HEADER.size:
            raise ValueError("too short for a type library")
        header = HEADER.unpack_from(self.data, 0)
        if header[0] != MSFT_MAGIC:
            raise ValueError("not an MSFT type library")
        self.count = header[8]
        offsets_at = HEADER.size + (4 if header[5] & HELPDLL_FLAG else 0)
        self.segdir_at = offsets_at + 4 * self.count
        directory = self.bytes_at(self.segdir_at, 16 * SEGMENT_COUNT)
        self.segments = [list(struct.unpack_from("<4i", directory, 16 * i))
                         for i in range(SEGMENT_COUNT)]

    def bytes_at(self, offset, length):
        if offset < 0 or length < 0 or offset + length > len(self.data):
            raise ValueError(f"{length} bytes at {offset:#x} lie outside the file")
        return self.data[offset:offset + length]

    def segment(self, index):
        offset, length = self.segments[index][:2]
        return self.bytes_at(offset, length) if offset >= 0 else b""

    def typeinfo(self, index):
        return list(struct.unpack_from(f"<{TYPEINFO_FIELDS}i", self.segment(SEG_TYPEINFO),
                                       TYPEINFO_SIZE * index))

    def name(self, offset):
        names = self.segment(SEG_NAME)
        length = struct.unpack_from("<i", names, offset + 8)[0] & 0xFF
        return names[offset + 12:offset + 12 + length].decode("ascii")

    def string(self, offset):
        strings = self.segment(SEG_STRING)
        length = struct.unpack_from("<H", strings, offset)[0]
        return strings[offset + 2:offset + 2 + length].decode("ascii")

    def members(self, index):
        """(functions, variables) of a typeinfo."""
        elements = self.typeinfo(index)[6]
        return elements & 0xFFFF, (elements >> 16) & 0xFFFF

    def block(self, index):
        """The typeinfo's member block, or None when it has no members."""
        functions, variables = self.members(index)
        if functions + variables == 0:
            return None
        offset = self.typeinfo(index)[MEMOFFSET]
        records = struct.unpack("<i", self.bytes_at(offset, 4))[0]
        return self.bytes_at(offset, 4 + records + 12 * (functions + variables))

    def find(self, name):
        for index in range(self.count):
            if self.name(self.typeinfo(index)[13]) == name:
                return index
        raise ValueError(f"no typeinfo named {name}")


def encode_string(text):
    raw = text.encode("ascii")
    entry = struct.pack("<H", len(raw)) + raw
    return entry + bytes([STRING_PAD]) * (-len(entry) % 4)


def split_block(block, count):
    """The records and the three arrays (ids, names, record offsets) of a member block."""
    size = struct.unpack_from("<i", block, 0)[0]
    records, at = [], 4
    for _ in range(count):
        length = struct.unpack_from("<i", block, at)[0] & 0xFFFF
        records.append(block[at:at + length])
        at += length
    if at != 4 + size:
        raise ValueError("member records do not fill their block")
    arrays = struct.unpack_from(f"<{3 * count}i", block, 4 + size)
    return records, arrays[:count], arrays[count:2 * count]


def join_block(records, ids, names):
    offsets, at = [], 0
    for record in records:
        offsets.append(at)
        at += len(record)
    body = b"".join(records)
    return struct.pack("<i", len(body)) + body + struct.pack(f"<{3 * len(records)}i",
                                                           *ids, *names, *offsets)


def with_help_string(record, help_offset):
    """A field record that carries HelpContext (kept, else 0) and the given HelpString."""
    ints = list(struct.unpack(f"<{len(record) // 4}i", record))
    if len(record) < VAR_WITH_HELP:
        ints += [0] * ((VAR_WITH_HELP - len(record)) // 4)
    ints[6] = help_offset
    ints[0] = (ints[0] & ~0xFFFF) | (4 * len(ints))
    return struct.pack(f"<{len(ints)}i", *ints)


def relayout(library, new_segments, new_blocks):
    """The library laid out again, with some segments and member blocks replaced."""
    data = library.data
    regions = []
    for index, (offset, length, _, _) in enumerate(library.segments):
        if offset >= 0:
            regions.append((offset, length, "segment", index))
    for index in range(library.count):
        block = library.block(index)
        if block is not None:
            regions.append((library.typeinfo(index)[MEMOFFSET], len(block), "block", index))
    regions.sort()
    at = library.segdir_at + 16 * SEGMENT_COUNT
    for offset, length, _, _ in regions:
        if offset != at:
            raise ValueError(f"unexpected layout at {offset:#x}")
        at += length
    if at != len(data):
        raise ValueError("data after the last region")

    # A segment that did not exist goes right after the one before it in the directory.
    order = [(kind, index) for _, _, kind, index in regions]
    for index in sorted(new_segments):
        if ("segment", index) not in order:
            before = max(i for i in range(index) if ("segment", i) in order)
            order.insert(order.index(("segment", before)) + 1, ("segment", index))

    out = bytearray(data[:library.segdir_at + 16 * SEGMENT_COUNT])
    placed = {}
    for kind, index in order:
        if kind == "segment":
            content = new_segments.get(index, library.segment(index))
        else:
            content = new_blocks.get(index, library.block(index))
        placed[(kind, index)] = len(out)
        out += content
        if kind == "segment":
            struct.pack_into("<2i", out, library.segdir_at + 16 * index, placed[(kind, index)],
                             len(content))
    for index in range(library.count):
        memoffset = placed.get(("block", index), len(out))  # no members: past the file
        struct.pack_into("<i", out, placed[("segment", SEG_TYPEINFO)] + TYPEINFO_SIZE * index
                         + 4 * MEMOFFSET, memoffset)
    return bytes(out)


def add_field_help(library, record_name):
    index = library.find(record_name)
    if library.typeinfo(index)[0] & 0xF != TKIND_RECORD:
        raise ValueError(f"{record_name} is not a record")
    functions, variables = library.members(index)
    records, ids, names = split_block(library.block(index), functions + variables)
    strings = bytearray(library.segment(SEG_STRING))
    for field in range(functions, functions + variables):
        help_offset = len(strings)
        strings += encode_string(library.name(names[field]))
        records[field] = with_help_string(records[field], help_offset)
    block = join_block(records, ids, names)
    return relayout(library, {SEG_STRING: bytes(strings)}, {index: block})


def check(before, after, record_name):
    """Everything but the record's field help strings is as it was."""
    if (before.data[:before.segdir_at] != after.data[:after.segdir_at]
            or before.count != after.count):
        raise ValueError("header changed")
    for index in range(SEGMENT_COUNT):
        old, new = before.segment(index), after.segment(index)
        if index == SEG_TYPEINFO:
            continue
        if not new.startswith(old) or (index != SEG_STRING and new != old):
            raise ValueError(f"segment {index} changed")
    record = before.find(record_name)
    for index in range(before.count):
        old, new = before.typeinfo(index), after.typeinfo(index)
        if old[:MEMOFFSET] + old[MEMOFFSET + 1:] != new[:MEMOFFSET] + new[MEMOFFSET + 1:]:
            raise ValueError(f"typeinfo {index} changed")
        count = sum(before.members(index))
        if count == 0:
            continue
        old_records, old_ids, old_names = split_block(before.block(index), count)
        new_records, new_ids, new_names = split_block(after.block(index), count)
        if (old_ids, old_names) != (new_ids, new_names):
            raise ValueError(f"member ids or names of typeinfo {index} changed")
        for old_record, new_record, name in zip(old_records, new_records, old_names):
            if index != record:
                if old_record != new_record:
                    raise ValueError(f"member of typeinfo {index} changed")
                continue
            if old_record[2:VAR_FIXED] != new_record[2:VAR_FIXED]:
                raise ValueError("field record changed")
            help_offset = struct.unpack_from("<i", new_record, 0x18)[0]
            if after.string(help_offset) != before.name(name):
                raise ValueError("help string is not the field's name")


def main(argv):
    if len(argv) != 4:
        sys.exit("usage: typelib_field_help.py IN.tlb OUT.tlb RECORD")
    source, target, record_name = argv[1:]
    with open(source, "rb") as f:
        library = Library(f.read())
    result = add_field_help(library, record_name)
    check(library, Library(result), record_name)
    with open(target, "wb") as f:
        f.write(result)


if __name__ == "__main__":
    main(sys.argv)
