#!/bin/sh
# Exits 0 when this machine's kernel starts 32-bit x86 programs, 1 when it does
# not (IA-32 emulation off). The probe is a 95-byte i386 program that only
# exits with 42, so a shell that falls back to reading a refused binary as a
# script cannot pass for it.
probe=$(mktemp) || exit 1
trap 'rm -f "$probe"' EXIT
printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\137\000\000\000\137\000\000\000\005\000\000\000\000\020\000\000\061\333\263\052\270\001\000\000\000\315\200' >"$probe"
chmod 700 "$probe"
"$probe" >/dev/null 2>&1
[ $? -eq 42 ]
