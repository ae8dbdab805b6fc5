#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/.

Each seed is either a plain, well-formed input that shows a fuzzer the shape
of what the target reads, or a damaged or hostile one that once made a parser
crash or answer wrongly. The framing of each target's input is described at
the top of its <target>_fuzz.cpp. Files of other names in the corpus folders
are left alone. Run again after changing it: python3 tests/fuzz/make_seeds.py
"""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("utf-8")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- settings: file bytes, then NUL-separated section, key and value ----------

def settings():
    def edit(file, section, key, value):
        return file + b"\0" + "\0".join([section, key, value]).encode("utf-8")

    game = b"[Velmor]\nHighScore=1200\nHighName=Ann\n\n[Setup]\nWellWidth=10\nWellHeight=20\n"
    write("settings", "new-key-in-section", edit(game, "Velmor", "Level", "9"))
    write("settings", "new-section", edit(b"; kept\n[Velmor]\nA=1\n", "Browser", "Home", "http://localhost/"))
    write("settings", "changed-value", edit(game, "setup", "wellwidth", "12"))
    write("settings", "key-starting-with-byte-order-mark", edit(game, "Velmor", "\ufeffHighScore", "1"))
    write("settings", "byte-order-mark-at-file-start", edit(b"\xef\xbb\xbf" + game, "Velmor", "HighScore", "5"))
    write("settings", "name-with-reserved-characters",
          edit(b"", "a=[b];#\\", " k=[e]y;#\\ ", " two\nlines\r\tand\\0 "))
    write("settings", "damaged-lines",
          edit(b"[Velmor\n\xff\xfe=\x80\r\nHighScore=1\r\n=no key\n[Velmor]\nx\\=y=z\n", "Velmor", "x=y", "w"))
    write("settings", "long-name", edit(game, "Velmor", "N" * 2000 + "=[];#\\", "v" * 100))


# ---- hive: hive text, or NUL + key path, value name, text -----------------------

HEADER = "Registry Hive Text Version 1.00\n\n"


def hive():
    def text(body):
        return (HEADER + body).encode("utf-8")

    def edit(path, name, value):
        return b"\0" + "\0".join([path, name, value]).encode("utf-8")

    clsid = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}"
    write("hive", "registration", text(
        "[HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\%s]\n@=\"RoamwellDLL.clsRoamwell\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Classes\\CLSID\\%s\\InprocServer32]\n"
        "@=\"/opt/velmor/RoamwellDLL/libRoamwellDLL.so\"\n\"ThreadingModel\"=\"Apartment\"\n\n"
        "[HKEY_CURRENT_USER\\Software\\Velmor]\n\"Count\"=dword:0000000a\n"
        "\"Blob\"=hex:01,02,03,ff\n\"Multi\"=hex(7):61,00,62,00,00,00\n"
        "\"Quote \\\"and\\\\ slash\"=\"text \\\"quoted\\\"\"\n" % (clsid, clsid)))
    write("hive", "long-hex-list", text(
        "[HKEY_CURRENT_USER\\Software\\Velmor]\n\"Data\"=hex:" + ",".join(["%02x" % (i % 256) for i in range(40)])
        .replace("0f,", "0f,\\\n  ") + "\n"))
    write("hive", "comments-crlf-and-bom",
          b"\xef\xbb\xbf" + (HEADER + "; a comment\r\n[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n").encode())
    write("hive", "corrupt-hex-byte", text("[HKEY_CURRENT_USER\\A]\n\"x\"=hex:zz\n"))
    write("hive", "section-of-another-root", text("[HKEY_LOCAL_MACHINE\\A]\n"))
    write("hive", "line-break-in-value-name", edit("Software\\Velmor", "bad\nname", "text"))
    write("hive", "line-break-in-key-name", edit("Software\\bad\nkey", "name", "text"))
    write("hive", "line-break-in-value", edit("Software\\Velmor", "name", "two\nlines"))
    write("hive", "quotes-and-control-characters",
          edit("Software\\Q\"uote]\\tab\tkey", "na\"me\\\x01\r", "te\"xt\\\x7f\r"))
    write("hive", "carriage-return-ending-names", edit("Software\\key\r", "name\r", "text\r"))


# ---- elf: a library file, or (without the ELF magic) a resource section -------

def version_blob(strings, count=None):
    out = struct.pack("<I", 0xFEEF04BD) + struct.pack("<4H", 1, 0, 0, 0) + struct.pack("<4H", 1, 0, 0, 0)
    out += struct.pack("<I", len(strings) if count is None else count)
    for k, v in strings:
        for s in (k, v):
            b = s.encode()
            out += struct.pack("<H", len(b)) + b
    return out


def directory(entries, total=None, count=None):
    body = b""
    for type_, id_, data in entries:
        t = type_.encode()
        body += struct.pack("<H", len(t)) + t + struct.pack("<II", id_, len(data)) + data
        while (16 + len(body)) % 4:
            body += b"\0"
    size = 16 + len(body)
    return b"PLATRES1" + struct.pack("<II", size if total is None else total,
                                     len(entries) if count is None else count) + body


TYPELIB = open(os.path.join(HERE, "..", "..", "RoamwellDLL", "RoamwellDLL.tlb.json"), "rb").read()
RESOURCES = directory([
    ("TYPELIB", 1, TYPELIB),
    ("_IID_CLSROAMWELL", 1, bytes(16)),
    ("VERSION", 1, version_blob([("OLESelfRegister", ""), ("ProductName", "RoamwellDLL")])),
])


def elf(resources, bits=64, **over):
    """A small library file: ELF header, the section-name table, the resource
    section and three section headers. Keyword arguments replace fields:
    shoff, shnum, shstrndx, shentsize, data (byte order), and res_size,
    res_offset, res_name, names_size for the section headers."""
    names = b"\0.shstrtab\0plat_resources\0"
    ehsize, shentsize = (64, 64) if bits == 64 else (52, 40)
    names_off = ehsize
    res_off = (names_off + len(names) + 7) & ~7
    sh_off = (res_off + len(resources) + 7) & ~7

    def shdr(name, type_, flags, addr, offset, size, align):
        if bits == 64:
            return struct.pack("<IIQQQQIIQQ", name, type_, flags, addr, offset, size, 0, 0, align, 0)
        return struct.pack("<IIIIIIIIII", name, type_, flags, addr, offset, size, 0, 0, align, 0)

    headers = shdr(0, 0, 0, 0, 0, 0, 0)
    headers += shdr(1, 3, 0, 0, names_off, over.get("names_size", len(names)), 1)
    headers += shdr(over.get("res_name", 11), 1, 2, 0x1000, over.get("res_offset", res_off),
                    over.get("res_size", len(resources)), 8)
    ident = b"\x7fELF" + bytes([2 if bits == 64 else 1, over.get("data", 1), 1]) + bytes(9)
    rest = (struct.pack("<HHIQQQIHHHHHH", 3, 62, 1, 0, 0, over.get("shoff", sh_off), 0, ehsize, 56, 0,
                        over.get("shentsize", shentsize), over.get("shnum", 3), over.get("shstrndx", 1))
            if bits == 64 else
            struct.pack("<HHIIIIIHHHHHH", 3, 3, 1, 0, 0, over.get("shoff", sh_off), 0, ehsize, 32, 0,
                        over.get("shentsize", shentsize), over.get("shnum", 3), over.get("shstrndx", 1)))
    out = bytearray(ident + rest)
    out += names
    out += bytes(res_off - len(out)) + resources
    out += bytes(sh_off - len(out)) + headers
    return bytes(out)


def elf_seeds():
    good = elf(RESOURCES)
    write("elf", "library-64", good)
    write("elf", "library-32", elf(RESOURCES, bits=32))
    # A 10 KB file whose resource section claims 2 GiB.
    small = elf(RESOURCES, res_size=1 << 31)
    write("elf", "resource-size-2-gib-in-10-kb", small + bytes(10240 - len(small)))
    write("elf", "resource-offset-past-end", elf(RESOURCES, res_offset=0xFFFFFFFFFFFFFFF0))
    write("elf", "odd-section-header-size", elf(RESOURCES, shentsize=63))
    write("elf", "big-endian", elf(RESOURCES, data=2))
    write("elf", "directory-longer-than-section", elf(directory([("TYPELIB", 1, b"{}")], total=4096)))
    # Without the magic: the resource section alone.
    write("elf", "section-directory", RESOURCES)
    write("elf", "section-two-joined-directories", RESOURCES + bytes(8) + directory([("DATA", 7, b"xyz")]))
    write("elf", "section-entry-past-end", directory([("TYPELIB", 1, b"x" * 64)])[:60])
    write("elf", "section-count-4-billion", directory([("A", 1, b"")], count=0xFFFFFFFF))
    write("elf", "section-version-count-4-billion",
          directory([("VERSION", 1, version_blob([("a", "b")], count=0xFFFFFFFF))]))


# ---- typelib: the JSON of a type library ---------------------------------------

def typelib():
    write("typelib", "roamwell", TYPELIB)
    lib = ('{"name":"L","libid":"{00000000-0000-0000-0000-000000000001}","version":"1.0",'
           '"interfaces":[{"name":"I","iid":"{00000000-0000-0000-0000-000000000002}","flags":["dual"],'
           '"methods":[{"name":"Go","dispid":%s,"kind":"%s","params":[%s]}]}],'
           '"coclasses":[{"name":"C","clsid":"{00000000-0000-0000-0000-000000000003}",'
           '"interfaces":["I"],"default":"I"}]}')
    retval = '{"name":"r","type":"long","byref":true,"flags":["out","retval"]}'
    write("typelib", "small", lib % ('"0x60030000"', "method", retval))
    write("typelib", "unknown-type", lib % ("1", "propget", '{"name":"x","type":"quad"}'))
    write("typelib", "not-an-object", "[1,2,3]")


# ---- variant: target type, source type, value ------------------------------------

VT = dict(EMPTY=0, NULL=1, I2=2, I4=3, R4=4, R8=5, BSTR=8, DISPATCH=9, ERROR=10, BOOL=11, VARIANT=12,
          UNKNOWN=13, I1=16, UI1=17, UI2=18, UI4=19, I8=20, UI8=21, INT=22, UINT=23)
ALPHABOOL = 0x80
BYREF = 0x80


def variant():
    def seed(name, target, source, value):
        write("variant", name, bytes([target, source]) + value)

    seed("nan-double-by-reference-to-i4", VT["I4"], VT["R8"] | BYREF, struct.pack("<d", math.nan))
    seed("text-by-reference-to-r8", VT["R8"], VT["BSTR"] | BYREF, b"-1.5e3")
    seed("variant-reference-to-i2", VT["I2"], VT["VARIANT"] | BYREF, b"32767.5")
    seed("text-true-to-bool", VT["BOOL"], VT["BSTR"], b"True")
    seed("double-too-large-for-i4", VT["I4"], VT["R8"], struct.pack("<d", 2147483647.5))
    seed("double-half-to-even", VT["I2"], VT["R8"], struct.pack("<d", -2.5))
    seed("bool-to-text-alpha", VT["BSTR"] | ALPHABOOL, VT["BOOL"], struct.pack("<h", -1))
    seed("double-to-text", VT["BSTR"], VT["R8"], struct.pack("<d", 1.0 / 3))
    seed("long-to-single", VT["R4"], VT["I4"], struct.pack("<i", -7))
    seed("unknown-to-dispatch", VT["DISPATCH"], VT["UNKNOWN"], b"")
    seed("text-beginning-with-u-feff-to-r8", VT["R8"], VT["BSTR"], "\ufeff12".encode())
    seed("unknown-source-type", VT["I2"], 7, bytes(8))
    seed("unknown-target-type", 0x40, VT["I2"], b"\x01\x00")


# ---- bstr: a length and its text, then operations on four slots -----------------

def op(code, slot, n=None, data=b""):
    return bytes([code | slot << 4]) + (b"" if n is None else struct.pack("<I", n) + data)


def bstr():
    hello = "hello, world".encode("utf-16-le")
    write("bstr", "alloc-and-copy", struct.pack("<I", 12) + hello + op(6, 0) + op(7, 0) + op(5, 0))
    write("bstr", "byte-length-odd", struct.pack("<I", 0) + op(1, 1, 3, b"abc") + op(6, 1) + op(7, 1))
    write("bstr", "zero-filled", struct.pack("<I", 100) + op(3, 0, 7) + op(6, 0))
    write("bstr", "nul-terminated",
          struct.pack("<I", 0) + op(2, 1, 5, "ab\0cd".encode("utf-16-le")) + op(4, 1, 2, "xy".encode("utf-16-le")))
    # QString::fromUtf16 reads a leading U+FEFF as a byte-order mark (and drops
    # it) and a leading U+FFFE as one of the other byte order (and swaps every
    # character after it): a BSTR's text must come through as it is.
    write("bstr", "text-beginning-with-u-feff", struct.pack("<I", 3) + "\ufeffab".encode("utf-16-le") + op(6, 0))
    write("bstr", "text-beginning-with-u-fffe", struct.pack("<I", 3) + "\ufffeab".encode("utf-16-le") + op(6, 0))
    write("bstr", "huge-reallocation",
          struct.pack("<I", 3) + "abc".encode("utf-16-le") + op(3, 0, 0x80000002) + op(6, 0))


# ---- guid: text --------------------------------------------------------------------

def guid():
    write("guid", "dashes-for-digits", "{0000------------------------------95}")
    write("guid", "dashes-inside-groups", "{2A47A29A--40C-40C0-A9D7-1C-40C0-A9D7}")
    write("guid", "binary-16-bytes", bytes(range(16)))


if __name__ == "__main__":
    settings()
    hive()
    elf_seeds()
    typelib()
    variant()
    bstr()
    guid()
