#!/usr/bin/env python3
"""Fails on any instruction of a PE32 file that the i486 does not have.

    i486-check.py FILE [OBJDUMP]

Disassembles the executable sections only (those objdump marks CODE) and
checks every instruction against the i486 instruction set: the 80386's
integer and system instructions, the i486's additions (BSWAP, CMPXCHG, XADD,
INVD, WBINVD, INVLPG) and the i387 floating-point instructions. Anything else
fails, named with its address: the Pentium's RDTSC, RDMSR/WRMSR, CMPXCHG8B
and CPUID (which only some late i486 models have), the Pentium Pro's CMOVcc,
FCMOVcc, FCOMI/FUCOMI and UD2, long NOPs, SYSENTER, MMX, SSE and every later
extension, and any byte that does not decode at all.

The one block of data inside .text is the linker's table of static
constructors and destructors, which ld's PE script places at the very end of
.text: -1, constructor addresses, 0, -1, destructor addresses, 0. It is found
by that shape and left out; every address in it must lie in .text. Anything
else disassembled as code that is not an instruction fails the check: it
cannot pass by accident, only fail.
"""
import re
import struct
import subprocess
import sys

# Mnemonics as objdump prints them (AT&T syntax). Integer instructions may
# carry an operand-size suffix (b, w, l).
INTEGER = """
aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call clc cld cli clts cmc cmp cmps
cmpxchg daa das dec div enter hlt idiv imul in inc ins int int3 into invd invlpg iret lahf lar lds lea
leave les lfs lgdt lgs lidt lldt lmsw lods loop loope loopne loopz loopnz lsl lss ltr mov movs mul neg
jmp not or out outs pop popa popf push pusha pushf rcl rcr ret lret rol ror sahf sal sar sbb scas sgdt shl
shld shr shrd sidt sldt smsw stc std sti stos str sub test verr verw wbinvd xadd xchg xlat xor ljmp lcall
""".split()
CONDITIONS = "o no b c nae ae nb nc e z ne nz be na a nbe s ns p pe np po l nge ge nl le ng g nle".split()
FIXED = set("""
cbtw cwtl cwtd cltd movsbw movsbl movswl movzbw movzbl movzwl jcxz jecxz iretw iretl wait fwait nop
lretw lretl pushaw pushal popaw popal pushfw pushfl popfw popfl
""".split())
FIXED |= {"j" + c for c in CONDITIONS} | {"set" + c for c in CONDITIONS}
# The i387 (and so the i486's built-in unit): arithmetic with its memory forms
# (s: 32-bit real or 16-bit integer, l: 64-bit real or 32-bit integer, t: 80-bit,
# ll: 64-bit integer), compares, loads of constants, control.
X87 = re.compile(r"""^f(
    (add|sub|subr|mul|div|divr)([sl]|p)? | fi? |
    i(add|sub|subr|mul|div|divr|com|comp)[sl]? |
    (com|comp)[sl]? | compp | ucom | ucomp | ucompp | icom | icomp |
    ld[slt]? | ild[sl]? | ildll | st[sl]? | stp[slt]? | ist[sl]? | istp[sl]? | istpll | bld | bstp |
    xch | ld(1|z|pi|l2e|l2t|lg2|ln2) | chs | abs | sqrt | scale | prem1? | rndint | xtract |
    sin | cos | sincos | ptan | patan | 2xm1 | yl2x | yl2xp1 | tst | xam | nop | free |
    (n)?(stsw|stcw|clex|init|stenv|save) | ldcw | ldenv | rstor | incstp | decstp | wait
)$""".replace("| fi? |", "|"), re.X)
PREFIXES = set("rep repz repe repnz repne lock data16 addr16 cs ds es fs gs ss".split())
# Registers that only later processors have.
NEWER_REGISTER = re.compile(r"%(x|y|z)?mm\d|%k[0-7]\b|%bnd\d|%cr[48]\b")


def allowed(mnemonic):
    if mnemonic in FIXED or X87.match(mnemonic):
        return True
    if mnemonic in INTEGER:
        return True
    if mnemonic[-1] in "bwl" and mnemonic[:-1] in INTEGER:
        return True
    return False


def code_sections(objdump, path):
    out = subprocess.run([objdump, "-h", path], check=True, capture_output=True, text=True).stdout.splitlines()
    sections = []
    for i, line in enumerate(out):
        fields = line.split()
        if len(fields) >= 7 and fields[0].isdigit() and i + 1 < len(out) and "CODE" in out[i + 1]:
            sections.append((fields[1], int(fields[2], 16), int(fields[3], 16), int(fields[5], 16)))
    return sections


def constructor_tables(data, vma, size):
    """Start of the constructor and destructor tables at the end of the section, or None."""
    words_end = size - size % 4
    def word(offset):
        return struct.unpack_from("<I", data, offset)[0]
    def in_section(address):
        return vma <= address < vma + size
    pos = words_end - 4
    start = None
    for _ in range(2):  # the destructor table, then the constructor table before it
        if pos < 0 or word(pos) != 0:
            return None
        pos -= 4
        while pos >= 0 and word(pos) != 0xFFFFFFFF:
            if not in_section(word(pos)):
                return None
            pos -= 4
        if pos < 0:
            return None
        start = pos
        pos -= 4
    return vma + start


def main():
    path = sys.argv[1]
    objdump = sys.argv[2] if len(sys.argv) > 2 else "i686-w64-mingw32-objdump"
    with open(path, "rb") as f:
        image = f.read()
    failures = 0
    checked = 0
    sections = code_sections(objdump, path)
    if not sections:
        print("FAIL: no executable section found")
        return 1
    for name, size, vma, file_offset in sections:
        data = image[file_offset:file_offset + size]
        stop = vma + size
        tables = constructor_tables(data, vma, min(size, len(data)))
        if tables is not None:
            print("%s: constructor tables at %#x-%#x left out (data)" % (name, tables, stop))
            stop = tables
        listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", "-j", name, "--stop-address=%#x" % stop, path],
                                 check=True, capture_output=True, text=True).stdout
        for line in listing.splitlines():
            m = re.match(r"^\s*([0-9a-f]+):\t(.*)$", line)
            if not m:
                continue
            address, text = m.group(1), m.group(2).strip()
            words = text.split()
            while words and words[0] in PREFIXES:
                words.pop(0)
            checked += 1
            if not words:
                continue  # a prefix on its own line: the instruction follows
            mnemonic = words[0]
            if text.startswith("(bad)") or mnemonic == ".byte":
                print("FAIL: undecodable bytes (%s) at %s in %s" % (text, address, name))
                failures += 1
            elif not allowed(mnemonic):
                print("FAIL: %s at %s in %s is not an i486 instruction" % (text, address, name))
                failures += 1
            elif NEWER_REGISTER.search(text):
                print("FAIL: %s at %s in %s uses a register the i486 does not have" % (text, address, name))
                failures += 1
    if checked == 0:
        print("FAIL: nothing was disassembled")
        return 1
    print("%d instructions checked against the i486 set, %d not in it" % (checked, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
