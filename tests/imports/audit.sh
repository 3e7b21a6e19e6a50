#!/usr/bin/env bash
# audit.sh - would every Windows since 95 load this 32-bit program?
#
#   audit.sh [--without NAME] OBJDUMP PROGRAM [EXPORTS]
#
# Reads PROGRAM's PE header and import table with OBJDUMP (MinGW-w64's i686
# objdump) and checks, against EXPORTS (default: win9x-exports.txt beside
# this script, whose header says where each list comes from):
#   - the header: a PE32 image for the i386, a GUI program whose subsystem
#     and OS version are 4.0 (Windows 95/98/Me and NT 4 refuse a program that
#     asks for more), based at 0x400000 (the 95/98/Me family loads a program
#     only at its own base, and that is the one every program there uses),
#     sections aligned to 4 KiB in memory and at least 512 bytes in the file;
#   - the imports: every DLL has a list for Windows 95 and one for Windows 98,
#     and every function is imported by name and exported by that DLL on both.
# A system call that is newer must be looked up by name at run time instead.
# Prints each finding and a summary; exits 1 when there is any finding, 2 on
# a bad command line. --without NAME audits as if no DLL exported NAME: the
# tests use it to see the audit fail.
set -euo pipefail
without=
if [[ ${1:-} == --without ]]; then
  without=${2:?--without needs a name}
  shift 2
fi
objdump=${1:?usage: audit.sh OBJDUMP PROGRAM [EXPORTS]}
program=${2:?usage: audit.sh OBJDUMP PROGRAM [EXPORTS]}
exports=${3:-$(dirname "$0")/win9x-exports.txt}
[[ -f $program && -f $exports ]] || { echo "audit: no $program or $exports" >&2; exit 2; }

dump=$("$objdump" -p "$program") || { echo "audit: $objdump cannot read $program" >&2; exit 2; }

awk -v program="$(basename "$program")" -v without="$without" '
  # The lists: "[NAME.DLL 95]" heads a section, "+95" in a 98 section takes
  # the whole 95 list of that DLL.
  FNR == NR {
    if ($0 ~ /^#/ || NF == 0) next
    if ($0 ~ /^\[[A-Z0-9_]+\.DLL (95|98)\]$/) {
      dll = substr($1, 2); version = substr($2, 1, 2); lists[dll " " version] = 1; next
    }
    if ($1 == "+95") { inherit[dll] = 1; next }
    if ($1 == without) next
    exported[dll " " version " " $1] = 1
    next
  }
  function has(dll, version, name) {
    return (dll " " version " " name) in exported || (version == "98" && inherit[dll] && (dll " 95 " name) in exported)
  }
  function finding(text) { print "audit: " program ": " text; findings++ }
  function expect(field, want) {
    if (!(field in header)) finding("no " field " in the PE header")
    else if (header[field] != want) finding(field " is " header[field] ", not " want)
  }
  /file format / { format = $NF }
  /^(Magic|ImageBase|SectionAlignment|FileAlignment|MajorOSystemVersion|MinorOSystemVersion|MajorSubsystemVersion|MinorSubsystemVersion|Subsystem)[ \t]/ {
    header[$1] = $2
  }
  /^\tDLL Name: / { dll = toupper($3); dlls[dll] = 1; importing = 1; next }
  importing && /^\tvma:/ { next }
  importing && NF == 0 { importing = 0; next }
  importing {
    # "\t<address>\t <hint>  <name>"; an import by ordinal has no name.
    if (NF < 3 || $3 == "<none>") { finding(dll ": an import by ordinal (" $0 ")"); next }
    imports++
    for (v = 95; v <= 98; v += 3) {
      if (!((dll " " v) in lists)) continue
      if (!has(dll, v, $3)) finding(dll " " $3 ": not exported by Windows " v)
    }
  }
  END {
    if (format != "pei-i386") finding("file format " format ", not pei-i386")
    expect("Magic", "010b")
    expect("ImageBase", "00400000")
    expect("SectionAlignment", "00001000")
    expect("MajorOSystemVersion", "4")
    expect("MinorOSystemVersion", "0")
    expect("MajorSubsystemVersion", "4")
    expect("MinorSubsystemVersion", "0")
    expect("Subsystem", "00000002")
    if (header["FileAlignment"] !~ /^0000(0[2-9a-f]|[1-9a-f].)..$/) finding("FileAlignment " header["FileAlignment"] " below 0x200")
    count = 0
    for (d in dlls) {
      count++
      for (v = 95; v <= 98; v += 3) if (!((d " " v) in lists)) finding(d ": no list for Windows " v)
    }
    if (imports == 0) finding("no imports read: not a program objdump understood")
    if (findings) { print "audit: " program ": " findings " finding(s)"; exit 1 }
    print "audit: " program ": " imports " functions from " count " DLLs, all exported by name on Windows 95 and 98; header PE32, i386, subsystem and OS 4.0, base 0x400000"
  }
' "$exports" - <<<"$dump"
