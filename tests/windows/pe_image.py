"""A small reader of Windows PE images: machine, flags, sections, export
and import tables, the COFF symbol table and the version resource. Only
what the checks of the built DLLs need; every offset is bounds-checked,
so a damaged file gives PeError, never a wrong answer."""

import struct

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
FILE_DLL = 0x2000
RT_VERSION = 16


class PeError(Exception):
    pass


class PeImage:
    def __init__(self, data):
        self.data = data
        if self._u16(0) != 0x5A4D:
            raise PeError("no MZ header")
        pe = self._u32(0x3C)
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe + 4
        (self.machine, sections, _, self.symbol_table, self.symbol_count, optional_size,
         self.characteristics) = self._unpack("<HHIIIHH", coff)
        optional = coff + 20
        magic = self._u16(optional)
        self.pe32_plus = magic == 0x20B
        if magic == 0x10B:
            self.image_base = self._u32(optional + 28)
            directories = optional + 96
        elif magic == 0x20B:
            self.image_base = self._unpack("<Q", optional + 24)[0]
            directories = optional + 112
        else:
            raise PeError(f"unknown optional header magic {magic:#x}")
        count = self._u32(directories - 4)
        self.directories = [self._unpack("<II", directories + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            base = table + 40 * i
            name = self.data[base:base + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, vaddr, raw_size, raw_pointer = self._unpack("<IIII", base + 8)
            self.sections.append((name, vaddr, max(vsize, raw_size), raw_pointer, raw_size))

    # --- raw access -------------------------------------------------------
    def _unpack(self, fmt, offset):
        size = struct.calcsize(fmt)
        if offset < 0 or offset + size > len(self.data):
            raise PeError(f"read past the end at {offset:#x}")
        return struct.unpack_from(fmt, self.data, offset)

    def _u16(self, offset):
        return self._unpack("<H", offset)[0]

    def _u32(self, offset):
        return self._unpack("<I", offset)[0]

    def offset(self, rva):
        for _, vaddr, size, raw_pointer, raw_size in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= raw_size:
                    raise PeError(f"RVA {rva:#x} lies in uninitialised data")
                return raw_pointer + rva - vaddr
        raise PeError(f"RVA {rva:#x} is in no section")

    def ascii_at(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise PeError("unterminated name")
        return self.data[start:end].decode("ascii")

    # --- tables -----------------------------------------------------------
    @property
    def is_dll(self):
        return bool(self.characteristics & FILE_DLL)

    def exports(self):
        """{name: RVA} of the exported names."""
        rva, size = self.directories[0]
        if size == 0:
            return {}
        base = self.offset(rva)
        (_, _, _, _, _, _, function_count, name_count, functions, names,
         ordinals) = self._unpack("<IIHHIIIIIII", base)
        result = {}
        for i in range(name_count):
            name = self.ascii_at(self._u32(self.offset(names + 4 * i)))
            ordinal = self._u16(self.offset(ordinals + 2 * i))
            if ordinal >= function_count:
                raise PeError(f"export {name} has a bad ordinal")
            result[name] = self._u32(self.offset(functions + 4 * ordinal))
        return result

    def imports(self):
        """{dll name: [imported names]} in the order of the table."""
        rva, size = self.directories[1]
        result = {}
        if size == 0:
            return result
        entry = self.offset(rva)
        thunk_size = 8 if self.pe32_plus else 4
        while True:
            lookup, _, _, name_rva, first_thunk = self._unpack("<IIIII", entry)
            if name_rva == 0:
                break
            names = []
            thunk = self.offset(lookup or first_thunk)
            while True:
                value = self._unpack("<Q" if thunk_size == 8 else "<I", thunk)[0]
                if value == 0:
                    break
                by_ordinal = value >> (63 if thunk_size == 8 else 31)
                names.append(f"#{value & 0xFFFF}" if by_ordinal else
                             self.ascii_at((value & 0x7FFFFFFF) + 2))
                thunk += thunk_size
            result[self.ascii_at(name_rva)] = names
            entry += 20
        return result

    def symbols(self):
        """{name: RVA} from the COFF symbol table (empty when stripped)."""
        if self.symbol_table == 0 or self.symbol_count == 0:
            return {}
        strings = self.symbol_table + 18 * self.symbol_count
        result = {}
        index = 0
        while index < self.symbol_count:
            base = self.symbol_table + 18 * index
            raw = self.data[base:base + 8]
            value, section, _, _, aux = self._unpack("<IhHBB", base + 8)
            if raw[:4] == b"\0\0\0\0":
                start = strings + struct.unpack_from("<I", raw, 4)[0]
                end = self.data.find(b"\0", start)
                name = self.data[start:end].decode("ascii", "replace")
            else:
                name = raw.rstrip(b"\0").decode("ascii", "replace")
            if 1 <= section <= len(self.sections):
                result[name] = self.sections[section - 1][1] + value
            index += 1 + aux
        return result

    # --- version resource -------------------------------------------------
    def version_resource(self):
        """The raw VS_VERSIONINFO block (the first language of the first
        RT_VERSION entry)."""
        rva, size = self.directories[2]
        if size == 0:
            raise PeError("no resources")
        root = self.offset(rva)

        def entries(directory):
            named, numbered = self._unpack("<HH", directory + 12)
            for i in range(named + numbered):
                ident, target = self._unpack("<II", directory + 16 + 8 * i)
                yield ident, target

        def child(target):
            return root + (target & 0x7FFFFFFF), bool(target & 0x80000000)

        for ident, target in entries(root):
            if ident != RT_VERSION:
                continue
            names, is_dir = child(target)
            while is_dir:
                _, target = next(entries(names))
                names, is_dir = child(target)
            data_rva, data_size = self._unpack("<II", names)
            start = self.offset(data_rva)
            return self.data[start:start + data_size]
        raise PeError("no version resource")


def _align4(n):
    return (n + 3) & ~3


def parse_version_node(block, offset=0):
    """One node of a version resource: (key, value, children), where value
    is bytes for binary nodes and str for text nodes."""
    if offset + 6 > len(block):
        raise PeError("version node past the end")
    length, value_length, kind = struct.unpack_from("<HHH", block, offset)
    end = offset + length
    if length < 6 or end > len(block):
        raise PeError("bad version node length")
    pos = offset + 6
    key_end = pos
    while key_end + 1 < end and block[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = block[pos:key_end].decode("utf-16-le")
    pos = _align4(key_end + 2)
    if kind == 1:  # text: value_length counts UTF-16 units, terminator included
        raw = block[pos:pos + 2 * value_length]
        value = raw.decode("utf-16-le").split("\0", 1)[0]
        pos += 2 * value_length
    else:
        value = block[pos:pos + value_length]
        pos += value_length
    pos = _align4(pos)
    children = []
    while pos < end:
        node, pos = parse_version_node(block, pos)
        children.append(node)
    return (key, value, children), _align4(end)


def version_info(image):
    """{'fixed': VS_FIXEDFILEINFO fields, 'strings': {table: {name: value}},
    'translations': [(language, code page)]}."""
    (key, fixed, children), _ = parse_version_node(image.version_resource())
    if key != "VS_VERSION_INFO":
        raise PeError(f"version resource key is {key!r}")
    if len(fixed) != 52:
        raise PeError("no fixed file information")
    fields = struct.unpack("<13I", fixed)
    names = ("signature", "struct_version", "file_ms", "file_ls", "product_ms", "product_ls",
             "flags_mask", "flags", "os", "type", "subtype", "date_ms", "date_ls")
    result = {"fixed": dict(zip(names, fields)), "strings": {}, "translations": []}
    for child_key, _, grandchildren in children:
        if child_key == "StringFileInfo":
            for table, _, entries in grandchildren:
                result["strings"][table] = {name: value for name, value, _ in entries}
        elif child_key == "VarFileInfo":
            for _, value, _ in grandchildren:
                for i in range(0, len(value) - 3, 4):
                    result["translations"].append(struct.unpack_from("<HH", value, i))
    return result
